#include "profiles/profile_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "profiles/profile_file.h"
#include "profiles/profile_payload.h"
#include "profiles/temp_folders.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bytes Pattern(std::size_t n, std::uint8_t seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + 7 * i);
  return b;
}

// The operating system's values as a device-profile load sees them.
class FixedPointer : public PointerSettings {
 public:
  FixedPointer(int speed, int lines) : speed_(speed), lines_(lines) {}
  int Speed() override { return speed_; }
  int ScrollLines() override { return lines_; }

 private:
  int speed_;
  int lines_;
};

class ProfileStoreTest : public testing::TempDocuments {
 protected:
  // A profile file at position 0 of the kind's list (the empty index names it "0").
  void PutProfile(DeviceKind kind, ProfileKind profile, const Bytes& payload) {
    ASSERT_TRUE(WriteProfileFile(ProfilePath(kind, "0", profile), payload.data(), payload.size(),
                                 FileCode(kind)));
  }
  Bytes Payload(DeviceKind kind, ProfileKind profile) {
    const Bytes file = FileBytes(ProfilePath(kind, "0", profile));
    return file.size() < kProfileHeaderSize ? Bytes{} : Bytes(file.begin() + kProfileHeaderSize, file.end());
  }

  DeviceImages images_;
  FixedPointer os_{7, 5};
};

TEST_F(ProfileStoreTest, FoldersAndPaths) {
  const std::string docs = root_ + "/docs/";
  EXPECT_EQ(DataRoot(), docs + "Gaming Mouse/");
  EXPECT_EQ(IndexPath(DeviceKind::kMouse), docs + "Gaming Mouse/ms/msProfile.ini");
  EXPECT_EQ(IndexPath(DeviceKind::kKeyboard), docs + "Gaming Mouse/kb/kbProfile.ini");
  EXPECT_EQ(ProfilePath(DeviceKind::kMousepad, "Red", ProfileKind::kLighting),
            docs + "Gaming Mouse/mp/Red.led");
  EXPECT_TRUE(std::filesystem::is_directory(docs + "Gaming Mouse/mp"));
}

TEST_F(ProfileStoreTest, DefaultFileNamesFollowTheKeyboardVariant) {
  struct Case {
    DeviceKind kind;
    ProfileKind profile;
    int variant;
    const char* name;
  };
  const Case cases[] = {
      {DeviceKind::kMouse, ProfileKind::kDevice, 0, "msdevicedefault.config"},
      {DeviceKind::kMouse, ProfileKind::kKey, 1, "mskeydefault.pro"},
      {DeviceKind::kMousepad, ProfileKind::kLighting, 0, "mpdengdefault.led"},
      {DeviceKind::kMousepad, ProfileKind::kDevice, 0, ""},
      {DeviceKind::kKeyboard, ProfileKind::kLighting, 0, "kbdengdefault.led"},
      {DeviceKind::kKeyboard, ProfileKind::kLighting, 1, "kb15dengdefault.led"},
      {DeviceKind::kKeyboard, ProfileKind::kKey, 1, "kbkey15default.pro"},
      {DeviceKind::kKeyboard, ProfileKind::kDevice, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DefaultFileName(c.kind, c.profile, c.variant), c.name);
  }
  SetKeyboardVariant(2);
  EXPECT_EQ(DefaultPath(DeviceKind::kKeyboard, ProfileKind::kDevice), "");
  SetKeyboardVariant(0);
}

TEST_F(ProfileStoreTest, SavedFilesHaveTheirPayloadSizeAndKindCode) {
  struct Case {
    DeviceKind kind;
    ProfileKind profile;
    std::size_t size;
  };
  const Case cases[] = {
      {DeviceKind::kMouse, ProfileKind::kDevice, 576},
      {DeviceKind::kMouse, ProfileKind::kLighting, 64},
      {DeviceKind::kMouse, ProfileKind::kKey, 512},
      {DeviceKind::kKeyboard, ProfileKind::kDevice, 2470},
      {DeviceKind::kKeyboard, ProfileKind::kLighting, 1958},
      {DeviceKind::kKeyboard, ProfileKind::kKey, 512},
      {DeviceKind::kMousepad, ProfileKind::kLighting, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind) * 10 + static_cast<int>(c.profile));
    ASSERT_TRUE(SaveProfile(images_, c.kind, c.profile));
    const Bytes file = FileBytes(ProfilePath(c.kind, "0", c.profile));
    ASSERT_EQ(file.size(), kProfileHeaderSize + c.size);
    EXPECT_EQ(file[0], 0xAA);
    EXPECT_EQ(file[1], 0x55);
    EXPECT_EQ(file[4], FileCode(c.kind));
  }
  EXPECT_EQ(PayloadSize(DeviceKind::kMousepad, ProfileKind::kDevice), 0u);
  EXPECT_FALSE(SaveProfile(images_, DeviceKind::kMousepad, ProfileKind::kKey));
}

TEST_F(ProfileStoreTest, SaveGoesToTheStoredSelection) {
  struct Case {
    const char* select;
    const char* file;
  };
  const Case cases[] = {{"abc", "first"}, {"3x", "fourth"}, {"2", "third"}};
  for (int i = 0; i < 4; ++i) {
    const char* names[] = {"first", "second", "third", "fourth"};
    WriteIndex(DeviceKind::kMouse, "PROFILEDENGNAME", std::to_string(i), names[i]);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.select);
    WriteIndex(DeviceKind::kMouse, "PROFILEDENGSELECT", "select", c.select);
    const std::string path = ProfilePath(DeviceKind::kMouse, c.file, ProfileKind::kLighting);
    std::filesystem::remove(path);
    ASSERT_TRUE(SaveProfile(images_, DeviceKind::kMouse, ProfileKind::kLighting));
    EXPECT_TRUE(std::filesystem::exists(path));
  }
}

TEST_F(ProfileStoreTest, SavingWithSlotTwoActiveWritesTheLiveSettingsWithTheirSlot) {
  KindImages& mouse = images_.Of(DeviceKind::kMouse);
  mouse.records[0].fill(0x11);
  mouse.active.Set(record::kSlot, 2);
  mouse.active.Set(record::kBrightness, 3);
  mouse.active.Set(37, 0x77);
  images_.SetPointerSpeed(12);
  images_.SetScrollLines(9);
  ASSERT_TRUE(SaveProfile(images_, DeviceKind::kMouse, ProfileKind::kLighting));

  Bytes expected(64, 0x11);
  for (std::size_t i = 0; i < kMouseActiveSize; ++i) expected[i] = 0;
  expected[record::kSlot] = 2;
  expected[record::kBrightness] = 3;
  expected[37] = 0x77;
  expected[record::kPointerSpeed] = 12;
  expected[record::kScrollLines] = 9;
  EXPECT_EQ(Payload(DeviceKind::kMouse, ProfileKind::kLighting), expected);
}

TEST_F(ProfileStoreTest, KeyboardLightingRoundTrip) {
  DeviceImages source;
  source.Of(DeviceKind::kKeyboard).active.SetLighting({8, 3, 1, 1, 0, {1, 2, 3}});
  source.SetCustomSet(3);
  const Bytes colours = Pattern(kCustomColourTableSize, 5);
  source.CustomColours().CopyIn(colours.data(), colours.size());
  ASSERT_TRUE(SaveProfile(source, DeviceKind::kKeyboard, ProfileKind::kLighting));

  ASSERT_EQ(LoadProfile(images_, DeviceKind::kKeyboard, ProfileKind::kLighting, 0, os_), kProfileRead);
  EXPECT_EQ(images_.Of(DeviceKind::kKeyboard).active.Lighting(),
            (LightingFields{8, 3, 1, 1, 0, {1, 2, 3}}));
  EXPECT_EQ(images_.CustomSet(), 3);
  Bytes loaded(kCustomColourTableSize);
  images_.CustomColours().CopyOut(loaded.data(), loaded.size());
  EXPECT_EQ(loaded, colours);
}

TEST_F(ProfileStoreTest, ShortDeviceProfileLoadsWithZeros) {
  KindImages& mouse = images_.Of(DeviceKind::kMouse);
  mouse.keyBlocks[0].fill(0xEE);
  mouse.records[0].fill(0xEE);
  mouse.active.Set(record::kMode, 5);
  PutProfile(DeviceKind::kMouse, ProfileKind::kDevice, Pattern(100, 1));

  ASSERT_EQ(LoadProfile(images_, DeviceKind::kMouse, ProfileKind::kDevice, 0, os_), kProfileRead);
  Bytes block(mouse.keyBlocks[0].begin(), mouse.keyBlocks[0].end());
  Bytes expected = Pattern(100, 1);
  expected.resize(kKeyMapSize, 0);
  EXPECT_EQ(block, expected);
  EXPECT_EQ(Bytes(mouse.records[0].begin(), mouse.records[0].end()), Bytes(kRecordSize, 0));
  EXPECT_EQ(mouse.active.Get(record::kMode), 0);
}

TEST_F(ProfileStoreTest, KeyboardDeviceProfileIsAcceptedAsAMouseOne) {
  const Bytes keyboardPayload = Pattern(2470, 3);
  ASSERT_TRUE(WriteProfileFile(ProfilePath(DeviceKind::kMouse, "0", ProfileKind::kDevice),
                               keyboardPayload.data(), keyboardPayload.size(), 1));

  ASSERT_EQ(LoadProfile(images_, DeviceKind::kMouse, ProfileKind::kDevice, 0, os_), kProfileRead);
  const KindImages& mouse = images_.Of(DeviceKind::kMouse);
  EXPECT_EQ(Bytes(mouse.keyBlocks[0].begin(), mouse.keyBlocks[0].end()),
            Bytes(keyboardPayload.begin(), keyboardPayload.begin() + 512));
  EXPECT_EQ(Bytes(mouse.records[0].begin(), mouse.records[0].end()),
            Bytes(keyboardPayload.begin() + 512, keyboardPayload.begin() + 576));
  EXPECT_EQ(mouse.active.Get(37), keyboardPayload[512 + 37]);
}

TEST_F(ProfileStoreTest, PointerSettingsOnLoad) {
  struct Case {
    const char* what;
    ProfileKind profile;
    std::uint8_t fileSpeed, fileLines;
    int osSpeed, osLines;
    int speed, lines;
  };
  const Case cases[] = {
      {"lighting profile takes bytes 38, 39", ProfileKind::kLighting, 14, 6, 7, 5, 14, 6},
      {"lighting profile: scroll lines 0 load as 1", ProfileKind::kLighting, 4, 0, 7, 5, 4, 1},
      {"lighting profile: speed 0 loads as 1", ProfileKind::kLighting, 0, 8, 7, 5, 1, 8},
      {"device profile takes the system's values", ProfileKind::kDevice, 14, 6, 7, 5, 7, 5},
      {"device profile: system 0 becomes 1", ProfileKind::kDevice, 14, 6, 0, 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes payload(PayloadSize(DeviceKind::kMouse, c.profile), 0);
    const std::size_t recordAt = c.profile == ProfileKind::kDevice ? kKeyMapSize : 0;
    payload[recordAt + record::kPointerSpeed] = c.fileSpeed;
    payload[recordAt + record::kScrollLines] = c.fileLines;
    PutProfile(DeviceKind::kMouse, c.profile, payload);
    FixedPointer os(c.osSpeed, c.osLines);
    ASSERT_EQ(LoadProfile(images_, DeviceKind::kMouse, c.profile, 0, os), kProfileRead);
    EXPECT_EQ(images_.PointerSpeed(), c.speed);
    EXPECT_EQ(images_.ScrollLines(), c.lines);
  }
}

TEST_F(ProfileStoreTest, DeviceProfileLoadKeepsThePointerValues) {
  images_.SetPointerSpeed(10);
  images_.SetScrollLines(3);
  Bytes payload(576, 0);
  payload[kKeyMapSize + record::kPointerSpeed] = 20;
  payload[kKeyMapSize + record::kScrollLines] = 100;
  PutProfile(DeviceKind::kMouse, ProfileKind::kDevice, payload);
  ImagesPointerSettings unchanged(images_);
  ASSERT_EQ(LoadProfile(images_, DeviceKind::kMouse, ProfileKind::kDevice, 0, unchanged), kProfileRead);
  EXPECT_EQ(images_.PointerSpeed(), 10);
  EXPECT_EQ(images_.ScrollLines(), 3);
}

TEST_F(ProfileStoreTest, FailedLoadsLeaveTheImages) {
  KindImages& pad = images_.Of(DeviceKind::kMousepad);
  pad.records[0].fill(0x42);
  pad.active.Set(record::kMode, 4);
  const SettingsRecord before = pad.records[0];

  EXPECT_EQ(LoadProfile(images_, DeviceKind::kMousepad, ProfileKind::kLighting, 0, os_), kProfileMissing);

  const Bytes bigEndian = {0x55, 0xAA, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9};
  std::ofstream(ProfilePath(DeviceKind::kMousepad, "0", ProfileKind::kLighting), std::ios::binary)
      .write(reinterpret_cast<const char*>(bigEndian.data()), static_cast<std::streamsize>(bigEndian.size()));
  EXPECT_EQ(LoadProfile(images_, DeviceKind::kMousepad, ProfileKind::kLighting, 0, os_), kProfileBadFormat);

  EXPECT_EQ(pad.records[0], before);
  EXPECT_EQ(pad.active.Get(record::kMode), 4);
}

TEST_F(ProfileStoreTest, CustomSetOutsideTheFiveSetsLoadsAsZero) {
  Bytes payload(1958, 0);
  payload[kRecordSize] = 9;  // custom set, little-endian
  PutProfile(DeviceKind::kKeyboard, ProfileKind::kLighting, payload);
  images_.SetCustomSet(2);
  ASSERT_EQ(LoadProfile(images_, DeviceKind::kKeyboard, ProfileKind::kLighting, 0, os_), kProfileRead);
  EXPECT_EQ(images_.CustomSet(), 0);
}

TEST_F(ProfileStoreTest, NamesThatAreNoFileNamesAreRefused) {
  const std::string escape = "../../escaped";
  WriteIndex(DeviceKind::kMouse, "PROFILEDEVICENAME", "0", escape);
  EXPECT_FALSE(SaveProfile(images_, DeviceKind::kMouse, ProfileKind::kDevice));
  EXPECT_FALSE(std::filesystem::exists(root_ + "/docs/escaped.config"));
  EXPECT_FALSE(std::filesystem::exists(root_ + "/escaped.config"));

  // A file planted where the name points is not read either.
  const Bytes payload(576, 1);
  ASSERT_TRUE(WriteProfileFile(root_ + "/docs/escaped.config", payload.data(), payload.size(), 2));
  EXPECT_EQ(LoadProfile(images_, DeviceKind::kMouse, ProfileKind::kDevice, 0, os_), kProfileMissing);
}

// The debug output is all a failed load or save leaves behind; VZ_DEBUG_OUTPUT is set for
// this test program, so it reaches stderr.
TEST_F(ProfileStoreTest, FailuresAreToldInTheDebugOutput) {
  struct Case {
    const char* what;
    void (*arrange)(ProfileStoreTest&);
    bool save;
    const char* text;
  };
  const Case cases[] = {
      {"missing file", [](ProfileStoreTest&) {}, false, "配置文件丢失"},
      {"wrong magic",
       [](ProfileStoreTest&) {
         std::ofstream(ProfilePath(DeviceKind::kMouse, "0", ProfileKind::kLighting)) << "not a profile";
       },
       false, "配置文件格式错误"},
      {"target cannot be replaced",
       [](ProfileStoreTest&) {
         std::filesystem::create_directory(ProfilePath(DeviceKind::kMouse, "0", ProfileKind::kLighting));
       },
       true, "文件打开失败"},
      {"name is no file name",
       [](ProfileStoreTest&) { WriteIndex(DeviceKind::kMouse, "PROFILEDENGNAME", "0", "a/b"); },
       true, "profile name is not a file name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(DataFolder(DeviceKind::kMouse));
    ini::DropCache();
    c.arrange(*this);
    ::testing::internal::CaptureStderr();
    if (c.save) {
      EXPECT_FALSE(SaveProfile(images_, DeviceKind::kMouse, ProfileKind::kLighting));
    } else {
      EXPECT_NE(LoadProfile(images_, DeviceKind::kMouse, ProfileKind::kLighting, 0, os_), kProfileRead);
    }
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(c.text), std::string::npos);
  }
}

}  // namespace
}  // namespace vz
