// The factory files the build put into the program folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/system/files.h"
#include "platform/system/folders.h"
#include "platform/system/ini.h"
#include "profiles/profile_payload.h"
#include "profiles/profile_store.h"
#include "settings/mouse_settings.h"
#include "settings/sensor.h"
#include "tools/factory/factory.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FactoryFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("VZ_PROGRAM_DIR"), nullptr);
    char pattern[] = "/tmp/vz-factory-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    ASSERT_EQ(setenv("VZ_DOCUMENTS_DIR", root_.c_str(), 1), 0);
    ini::DropCache();
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::string root_;
};

struct ProfileCase {
  DeviceKind kind;
  ProfileKind profile;
  int variant;
};

TEST_F(FactoryFilesTest, DefaultProfilesLoadBackIntoTheImagesTheyWereMadeFrom) {
  const ProfileCase cases[] = {
      {DeviceKind::kMouse, ProfileKind::kDevice, 0},    {DeviceKind::kMouse, ProfileKind::kLighting, 0},
      {DeviceKind::kMouse, ProfileKind::kKey, 0},       {DeviceKind::kMousepad, ProfileKind::kLighting, 0},
      {DeviceKind::kKeyboard, ProfileKind::kDevice, 0}, {DeviceKind::kKeyboard, ProfileKind::kLighting, 0},
      {DeviceKind::kKeyboard, ProfileKind::kKey, 0},    {DeviceKind::kKeyboard, ProfileKind::kDevice, 1},
      {DeviceKind::kKeyboard, ProfileKind::kLighting, 1}, {DeviceKind::kKeyboard, ProfileKind::kKey, 1},
  };
  for (const ProfileCase& c : cases) {
    SetKeyboardVariant(c.variant);
    const std::string source = DefaultPath(c.kind, c.profile);
    SCOPED_TRACE(source);
    ASSERT_TRUE(std::filesystem::exists(source));
    // As the first run does: the default file becomes the kind's profile "0".
    ASSERT_TRUE(files::Copy(source, ProfilePath(c.kind, "0", c.profile), true));

    DeviceImages factory;
    factory::FillFactoryImages(factory, c.variant);
    DeviceImages loaded;
    ImagesPointerSettings os(factory);
    ASSERT_EQ(LoadProfile(loaded, c.kind, c.profile, 0, os), 0);
    EXPECT_EQ(AssemblePayload(loaded, c.kind, c.profile), AssemblePayload(factory, c.kind, c.profile));
    Bytes live(loaded.Of(c.kind).active.Length()), expected(live.size());
    loaded.Of(c.kind).active.CopyOut(live.data());
    factory.Of(c.kind).active.CopyOut(expected.data());
    if (c.profile != ProfileKind::kKey) {
      EXPECT_EQ(live, expected);
    }
    if (c.kind == DeviceKind::kMouse && c.profile == ProfileKind::kLighting) {
      EXPECT_EQ(loaded.PointerSpeed(), 10);
      EXPECT_EQ(loaded.ScrollLines(), 3);
    }
  }
  SetKeyboardVariant(0);
}

TEST(FactorySettings, MouseStagesSpreadOverTheSensorRange) {
  DeviceImages images;
  factory::FillFactoryImages(images, 0);
  const ActiveSettings& mouse = images.Of(DeviceKind::kMouse).active;
  const auto sensor = FindSensor(0x3360);
  ASSERT_TRUE(sensor);
  std::set<std::uint32_t> colours;
  int previous = 0;
  for (int stage = 1; stage <= 5; ++stage) {
    const int dpi = DpiOfPosition(mouse::DpiStagePosition(mouse, stage), 100, sensor->dpiMinimum);
    EXPECT_GT(dpi, previous);
    EXPECT_LE(dpi, 12000);
    previous = dpi;
    colours.insert(ToArgb(mouse::DpiStageColour(mouse, stage)));
  }
  EXPECT_EQ(previous, 6400);
  EXPECT_EQ(colours.size(), 5u);
  EXPECT_LT(mouse::CurrentDpiStage(mouse), 5);
  for (DeviceKind kind : {DeviceKind::kMouse, DeviceKind::kKeyboard, DeviceKind::kMousepad})
    EXPECT_EQ(images.Of(kind).active.Lighting().brightness, 4);
  EXPECT_EQ(images.Of(DeviceKind::kMouse).records[0][record::kPointerSpeed], 10);
  EXPECT_EQ(images.Of(DeviceKind::kMouse).records[0][record::kScrollLines], 3);
}

TEST(FactorySettings, KeyboardBlockHoldsEveryKeyOnce) {
  DeviceImages images;
  factory::FillFactoryImages(images, 1);
  const KeyMap& block = images.Of(DeviceKind::kKeyboard).keyBlocks[0];
  std::set<std::pair<int, int>> seen;
  for (std::size_t i = 0; i < 104; ++i) {
    const KeyAssignment key = KeyAt(block, i);
    EXPECT_EQ(key.type, 0x20) << i;
    EXPECT_NE(key.param1 == 0, key.param2 == 0) << i;  // a modifier or a key, not both
    seen.insert({key.param1, key.param2});
  }
  EXPECT_EQ(seen.size(), 104u);
  EXPECT_EQ(KeyAt(block, 104).type, 0x05);
}

// The fields of an ActionLine "%d,%d,%d,%d,%d,%s".
struct Line {
  int delayLow, delayHigh, type, code, pressed;
  std::string label;
};

bool Parse(const std::string& text, Line* line) {
  char label[64] = {};
  return std::sscanf(text.c_str(), "%d,%d,%d,%d,%d,%63s", &line->delayLow, &line->delayHigh,
                     &line->type, &line->code, &line->pressed, label) == 6 &&
         (line->label = label, true);
}

TEST(FactoryCursorFiles, ThirtyBulletsOfSixStepsWithEditableLines) {
  for (int slot = 0; slot < factory::kGunSlotCount; ++slot) {
    const std::string path = folders::Program() + factory::CursorFileName(slot);
    SCOPED_TRACE(path);
    ASSERT_EQ(ini::ReadInt(path, "MACROACTIONCOUNT", "count"), 180);
    for (int b = 0; b < factory::kBulletCount; ++b) {
      Line delay, x, y;
      ASSERT_TRUE(Parse(ini::ReadString(path, "MACROACTION", std::to_string(6 * b + 3), "0"), &delay));
      ASSERT_TRUE(Parse(ini::ReadString(path, "MACROACTION", std::to_string(6 * b + 4), "0"), &x));
      ASSERT_TRUE(Parse(ini::ReadString(path, "MACROACTION", std::to_string(6 * b + 5), "0"), &y));
      const int ms = delay.delayLow + 256 * delay.delayHigh;
      EXPECT_GE(ms, 90);
      EXPECT_LE(ms, 110);
      EXPECT_EQ(x.type & 0x7F, 4);
      EXPECT_EQ(y.type & 0x7F, 5);
      EXPECT_EQ(x.delayLow + y.delayLow + x.delayHigh + y.delayHigh, 0);
      EXPECT_EQ(x.pressed, x.type >> 7);
      EXPECT_EQ(x.label, x.type & 0x80 ? "mouse_move_to_left_text" : "mouse_move_to_right_text");
      EXPECT_EQ(y.label, y.type & 0x80 ? "mouse_move_to_up_text" : "mouse_move_to_down_text");
      EXPECT_EQ(y.type, 0x05);  // recoil is pulled down
      EXPECT_LE(x.code, 3);     // drift stays slight
    }
    EXPECT_EQ(ini::ReadString(path, "MACROACTION", "180", "none"), "none");
  }
}

}  // namespace
}  // namespace vz
