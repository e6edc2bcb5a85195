#include "platform/system/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "platform/system/folders.h"
#include "platform/system/registry.h"
#include "temp_dir.h"

namespace vz {
namespace {

void Touch(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

TEST(Files, LookupIgnoresTheCaseOfTheName) {
  test::TempDir dir;
  Touch(dir.File("msdengdefault.led"), "x");
  Touch(dir.File("profile1.PRO"), "y");
  EXPECT_EQ(files::FindNoCase(dir.File("msdengdefault.Led")), dir.File("msdengdefault.led"));
  EXPECT_EQ(files::FindNoCase(dir.File("profile1.pro")), dir.File("profile1.PRO"));
  EXPECT_FALSE(files::FindNoCase(dir.File("profile2.pro")).has_value());
  // Writing through a name in another case replaces the existing file instead of adding one.
  ASSERT_TRUE(files::WriteAtomic(dir.File("PROFILE1.pro"), "zz", 2));
  EXPECT_EQ(files::List(dir.Path()), (std::vector<std::string>{"msdengdefault.led", "profile1.PRO"}));
  EXPECT_EQ(files::ReadAll(dir.File("profile1.PRO"))->size(), 2u);
}

TEST(Files, CopyHonoursReplaceAndMoveRenames) {
  test::TempDir dir;
  Touch(dir.File("a"), "new");
  Touch(dir.File("b"), "old");
  EXPECT_FALSE(files::Copy(dir.File("a"), dir.File("b"), /*replace=*/false));
  EXPECT_EQ(files::ReadAll(dir.File("b"))->size(), 3u);
  EXPECT_TRUE(files::Copy(dir.File("a"), dir.File("c"), false));
  EXPECT_TRUE(files::Move(dir.File("c"), dir.File("d")));
  EXPECT_FALSE(files::Exists(dir.File("c")));
  EXPECT_TRUE(files::Exists(dir.File("d")));
  EXPECT_FALSE(files::Copy(dir.File("missing"), dir.File("e"), true));
}

TEST(Files, ReadAllRefusesWhatIsTooLarge) {
  test::TempDir dir;
  Touch(dir.File("big"), std::string(5000, 'x'));
  EXPECT_FALSE(files::ReadAll(dir.File("big"), 4096).has_value());
  EXPECT_EQ(files::ReadAll(dir.File("big"), 5000)->size(), 5000u);
  EXPECT_FALSE(files::ReadAll(dir.Path()).has_value());  // a folder is not a file
}

TEST(Files, SafeFileNames) {
  const struct {
    const char* name;
    bool safe;
  } cases[] = {{"profile1", true}, {"A copy copy", true}, {"\xE9\x85\x8D\xE7\xBD\xAE", true}, {"", false},
               {".", false},       {"..", false},          {"a/b", false},   {"a\\b", false},
               {"tab\tname", false}, {"new\nline", false}};
  for (const auto& c : cases) EXPECT_EQ(files::IsSafeFileName(c.name), c.safe) << c.name;
}

TEST(Folders, OverridesAndCreationOfMissingLevels) {
  test::TempDir dir;
  const std::string docs = dir.File("deep/er/docs");
  ::setenv("VZ_DOCUMENTS_DIR", docs.c_str(), 1);
  ::setenv("VZ_CONFIG_DIR", dir.File("config").c_str(), 1);
  EXPECT_EQ(folders::Documents(), docs + "/");
  EXPECT_TRUE(files::IsDirectory(docs));
  ASSERT_TRUE(registry::WriteString("SOFTWARE\\Kavrel Ostrin", "LANGUAGE", "2020"));
  EXPECT_EQ(registry::ReadString("software\\kavrel ostrin", "language"), "2020");
  EXPECT_FALSE(registry::ReadString("SOFTWARE\\Kavrel Ostrin", "OTHER").has_value());
  EXPECT_EQ(registry::FilePath(), dir.File("config") + "/Kavrel Ostrin/registry.ini");
  ::unsetenv("VZ_DOCUMENTS_DIR");
  ::unsetenv("VZ_CONFIG_DIR");
}

}  // namespace
}  // namespace vz
