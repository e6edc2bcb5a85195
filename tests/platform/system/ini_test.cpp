#include "platform/system/ini.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <thread>

#include "platform/system/files.h"
#include "platform/system/sync.h"
#include "temp_dir.h"

namespace vz {
namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  ini::DropCache();
}

std::string ReadText(const std::string& path) {
  const auto bytes = files::ReadAll(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

std::string Utf16Le(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

struct ReadCase {
  const char* what;
  std::string content;
  const char* section;
  const char* key;
  const char* expected;  // with the default "dflt"
  int capacity = ini::kDefaultCapacity;
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, ReadsTheValueOrTheDefault) {
  test::TempDir dir;
  const ReadCase& c = GetParam();
  const std::string path = dir.File("x.ini");
  WriteBytes(path, c.content);
  EXPECT_EQ(ini::ReadString(path, c.section, c.key, "dflt", c.capacity), c.expected) << c.what;
}

const std::string kTenMegabyteLine = "[s]\nbig=" + std::string(10 * 1024 * 1024, 'x') + "\nk=after\n";

INSTANTIATE_TEST_SUITE_P(
    GoodAndMalformed, IniRead,
    ::testing::Values(
        ReadCase{"plain", "[PROFILENAME]\n0=profile1\n", "PROFILENAME", "0", "profile1"},
        ReadCase{"case of section and key ignored", "[ProfileName]\nCount=3\n", "PROFILENAME", "COUNT", "3"},
        ReadCase{"blanks trimmed", "  [ s ]  \n  key  =  value with blanks  \t\n", "s", "key", "value with blanks"},
        ReadCase{"quotes removed", "[s]\nk=\"quoted\"\n", "s", "k", "quoted"},
        ReadCase{"missing key", "[s]\nother=1\n", "s", "k", "dflt"},
        ReadCase{"missing section", "[t]\nk=1\n", "s", "k", "dflt"},
        ReadCase{"empty value is a value", "[s]\nk=\n", "s", "k", ""},
        ReadCase{"keys before any section", "k=1\n[s]\nj=2\n", "s", "k", "dflt"},
        ReadCase{"no sections at all", "k=1\nj=2\n", "s", "k", "dflt"},
        ReadCase{"duplicate section: first wins", "[s]\nk=first\n[s]\nk=second\n", "s", "k", "first"},
        ReadCase{"duplicate key: first wins", "[s]\nk=first\nk=second\n", "s", "k", "first"},
        ReadCase{"key only in the duplicate section", "[s]\na=1\n[S]\nk=late\n", "s", "k", "dflt"},
        ReadCase{"mixed CRLF and LF", "[s]\r\na=1\nk=2\r\n[t]\nk=3\r\n", "s", "k", "2"},
        ReadCase{"no final line end", "[s]\nk=last", "s", "k", "last"},
        ReadCase{"comment lines skipped", "[s]\n;k=commented\nk=real\n", "s", "k", "real"},
        ReadCase{"NUL ends the value", std::string("[s]\nk=ab\0cd\n", 11), "s", "k", "ab"},
        ReadCase{"binary garbage", std::string("\x01\x02[\xFF\xFE\x00=]\n\x80\x81=\x82\n[s]\nk=ok\n", 24), "s", "k", "ok"},
        ReadCase{"unclosed section header", "[s\nk=v\n", "s", "k", "v"},
        ReadCase{"value cut to capacity - 1", "[s]\nk=abcdefgh\n", "s", "k", "abcd", 5},
        ReadCase{"cut never splits a character", "[s]\nk=\xE4\xBD\xA0\xE5\xA5\xBD\xE5\x90\x97\n", "s", "k", "\xE4\xBD\xA0\xE5\xA5\xBD", 3},
        ReadCase{"UTF-16LE with byte-order mark", Utf16Le(u"[MACRONAME]\r\n0=\u5b8f1\r\n"), "macroname", "0", "\xE5\xAE\x8F" "1"},
        ReadCase{"UTF-8 byte-order mark", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
        ReadCase{"ten megabyte line", kTenMegabyteLine, "s", "k", "after"}));

TEST(IniRead, MissingFileAndVanishingFileGiveTheDefault) {
  test::TempDir dir;
  const std::string path = dir.File("gone.ini");
  EXPECT_EQ(ini::ReadString(path, "s", "k", "0"), "0");
  WriteBytes(path, "[s]\nk=1\n");
  EXPECT_EQ(ini::ReadString(path, "s", "k", "0"), "1");
  ::unlink(path.c_str());
  EXPECT_EQ(ini::ReadString(path, "s", "k", "0"), "0");  // the cache does not outlive the file
}

TEST(IniRead, SeesAChangeMadeBehindItsBack) {
  test::TempDir dir;
  const std::string path = dir.File("x.ini");
  std::ofstream(path) << "[s]\nk=1\n";
  EXPECT_EQ(ini::ReadString(path, "s", "k", "0"), "1");
  std::ofstream(path) << "[s]\nk=22\n";  // same inode, new size and time
  EXPECT_EQ(ini::ReadString(path, "s", "k", "0"), "22");
}

TEST(IniRead, FindsTheFileWhateverTheCaseOfItsName) {
  test::TempDir dir;
  WriteBytes(dir.File("KbMacro.ini"), "[MACROCOUNT]\ncount=2\n");
  EXPECT_EQ(ini::ReadInt(dir.File("kbMacro.ini"), "MACROCOUNT", "count"), 2);
}

TEST(IniNumbers, LeadingDigitsOnly) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"3x", 3}, {"abc", 0}, {"", 0}, {"12", 12}, {" 7", 7}, {"-2", -2}, {"0x10", 0}, {"99999999999", 0x7FFFFFFF}};
  for (const auto& c : cases) EXPECT_EQ(ini::ParseLeadingInt(c.text), c.value) << c.text;
}

struct WriteCase {
  const char* what;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

class IniWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyWhatItMust) {
  test::TempDir dir;
  const WriteCase& c = GetParam();
  const std::string path = dir.File("x.ini");
  if (c.before != "<none>") WriteBytes(path, c.before);
  ASSERT_TRUE(ini::WriteString(path, c.section, c.key, c.value));
  EXPECT_EQ(ReadText(path), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Writes, IniWrite,
    ::testing::Values(
        WriteCase{"creates file and section", "<none>", "s", "k", "v", "[s]\nk=v\n"},
        WriteCase{"replaces in place, keeps comments and order",
                  "; top\n[s]\na=1\nk=old ; x\nz=3\n", "S", "K", "new",
                  "; top\n[s]\na=1\nK=new\nz=3\n"},
        WriteCase{"appends at the end of its section", "[s]\na=1\n\n[t]\nb=2\n", "s", "k", "v",
                  "[s]\na=1\nk=v\n\n[t]\nb=2\n"},
        WriteCase{"appends a missing section at the end", "[s]\na=1\n", "t", "k", "v", "[s]\na=1\n[t]\nk=v\n"},
        WriteCase{"keeps CRLF files CRLF", "[s]\r\na=1\r\n", "s", "a", "2", "[s]\r\na=2\r\n"},
        WriteCase{"line breaks cannot smuggle in keys", "<none>", "s", "k", "x\n[evil]\ny=1",
                  "[s]\nk=x [evil] y=1\n"},
        WriteCase{"UTF-16 file rewritten as UTF-8", Utf16Le(u"[s]\r\na=\u4e00\r\n"), "s", "b", "2",
                  "[s]\r\na=\xE4\xB8\x80\r\nb=2\r\n"}));

TEST(IniWrite, DeleteKeyAndSection) {
  test::TempDir dir;
  const std::string path = dir.File("x.ini");
  WriteBytes(path, "[a]\nk=1\nj=2\n[b]\nk=3\n[c]\nk=4\n");
  ASSERT_TRUE(ini::DeleteKey(path, "A", "K"));
  ASSERT_TRUE(ini::DeleteSection(path, "b"));
  EXPECT_EQ(ReadText(path), "[a]\nj=2\n[c]\nk=4\n");
  EXPECT_EQ(ini::ReadString(path, "b", "k", "0"), "0");
}

TEST(IniWrite, EightThreadsWritingDifferentKeysLoseNone) {
  test::TempDir dir;
  const std::string path = dir.File("shared.ini");
  constexpr int kThreads = 8;
  constexpr int kKeys = 40;
  std::vector<WorkerThread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back("writer", [&, t] {
      for (int k = 0; k < kKeys; ++k) {
        ini::WriteString(path, "S" + std::to_string(t % 3), "t" + std::to_string(t) + "k" + std::to_string(k),
                         std::to_string(t * 1000 + k));
      }
      return 0;
    });
  }
  for (auto& w : writers) ASSERT_TRUE(w.JoinFor(60000));
  for (int t = 0; t < kThreads; ++t) {
    for (int k = 0; k < kKeys; ++k) {
      EXPECT_EQ(ini::ReadInt(path, "S" + std::to_string(t % 3), "t" + std::to_string(t) + "k" + std::to_string(k)),
                t * 1000 + k);
    }
  }
}

// A writer killed at any moment leaves the old or the new file, never a mix.
TEST(IniWrite, AKilledWriterLeavesTheOldOrTheNewFile) {
  test::TempDir dir;
  const std::string path = dir.File("index.ini");
  const std::string filler(200000, 'f');
  const std::string contentA = "[s]\nwho=A\npad=" + filler + "\nend=A\n";
  ASSERT_TRUE(files::WriteAtomic(path, contentA.data(), contentA.size()));
  std::mt19937 rng(12345);
  for (int round = 0; round < 25; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        const std::string who = (i % 2) ? "A" : "B";
        ini::WriteString(path, "s", "who", who);
        ini::WriteString(path, "s", "end", who);
      }
    }
    ::usleep(1000 + rng() % 20000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ini::DropCache();
    const std::string text = ReadText(path);
    ASSERT_NE(text.find("pad=" + filler + "\n"), std::string::npos) << "torn file in round " << round;
    const std::string who = ini::ReadString(path, "s", "who", "?");
    EXPECT_TRUE(who == "A" || who == "B");
  }
  // No temporary file is left behind as a visible entry other than dot-files of killed writers.
  for (const auto& name : files::List(dir.Path())) EXPECT_TRUE(name == "index.ini" || name[0] == '.') << name;
}

}  // namespace
}  // namespace vz
