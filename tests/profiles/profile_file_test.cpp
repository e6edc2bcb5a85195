#include "profiles/profile_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "profiles/temp_folders.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::uint8_t first, std::uint8_t second) {
  Bytes b(kProfileHeaderSize, 0);
  b[0] = first;
  b[1] = second;
  b[4] = 2;
  return b;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Counting(std::size_t n, std::uint8_t from = 1) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(from + i);
  return b;
}

void WriteRaw(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class ProfileFileTest : public testing::TempDocuments {};

struct ReadCase {
  const char* what;
  Bytes file;
  int expected;
  Bytes payloadPrefix;  // the buffer starts with these, the rest is zero
};

TEST_F(ProfileFileTest, ReadsWhatTheHeaderAllows) {
  constexpr std::size_t kSize = 64;
  const ReadCase cases[] = {
      {"full payload", Concat(Header(0xAA, 0x55), Counting(kSize)), kProfileRead, Counting(kSize)},
      {"longer file: only size bytes", Concat(Header(0xAA, 0x55), Counting(kSize + 40)),
       kProfileRead, Counting(kSize)},
      {"short payload: the rest stays zero", Concat(Header(0xAA, 0x55), Counting(10)),
       kProfileRead, Counting(10)},
      {"header only", Header(0xAA, 0x55), kProfileRead, {}},
      {"magic alone", Bytes{0xAA, 0x55}, kProfileRead, {}},
      {"magic written big-endian", Concat(Header(0x55, 0xAA), Counting(kSize)),
       kProfileBadFormat, {}},
      {"another magic", Concat(Header(0x00, 0x00), Counting(kSize)), kProfileBadFormat, {}},
      {"one byte", Bytes{0xAA}, kProfileBadFormat, {}},
      {"empty file", Bytes{}, kProfileBadFormat, {}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = root_ + "/p.led";
    WriteRaw(path, c.file);
    Bytes buffer(kSize, 0);
    EXPECT_EQ(ReadProfileFile(path, buffer.data(), kSize), c.expected);
    Bytes expected = c.payloadPrefix;
    expected.resize(kSize, 0);
    EXPECT_EQ(buffer, expected);
  }
}

TEST_F(ProfileFileTest, MissingFilesReadAsMissing) {
  Bytes buffer(8, 0);
  EXPECT_EQ(ReadProfileFile(root_ + "/none.led", buffer.data(), 8), kProfileMissing);
  EXPECT_EQ(ReadProfileFile("", buffer.data(), 8), kProfileMissing);
  EXPECT_EQ(ReadProfileFile(root_, buffer.data(), 8), kProfileMissing);  // a folder
}

TEST_F(ProfileFileTest, NameIsMatchedWithoutRegardToCase) {
  WriteRaw(root_ + "/mskeydefault.pro", Concat(Header(0xAA, 0x55), Counting(4)));
  Bytes buffer(4, 0);
  EXPECT_EQ(ReadProfileFile(root_ + "/mskeydefault.PRO", buffer.data(), 4), kProfileRead);
  EXPECT_EQ(buffer, Counting(4));
}

TEST_F(ProfileFileTest, WriteLaysOutTheHeaderAndReadsBack) {
  const std::string path = root_ + "/x.config";
  const Bytes payload = Counting(20, 0x40);
  ASSERT_TRUE(WriteProfileFile(path, payload.data(), payload.size(), 3));

  std::ifstream in(path, std::ios::binary);
  const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Bytes header(kProfileHeaderSize, 0);
  header[0] = 0xAA;
  header[1] = 0x55;
  header[4] = 3;
  EXPECT_EQ(file, Concat(header, payload));

  Bytes buffer(payload.size(), 0);
  EXPECT_EQ(ReadProfileFile(path, buffer.data(), buffer.size()), kProfileRead);
  EXPECT_EQ(buffer, payload);
}

TEST_F(ProfileFileTest, WriteIntoAMissingFolderFails) {
  const Bytes payload(4, 1);
  EXPECT_FALSE(WriteProfileFile(root_ + "/no/such/folder/x.led", payload.data(), 4, 2));
}

}  // namespace
}  // namespace vz
