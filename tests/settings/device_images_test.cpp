#include "settings/device_images.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/mouse_settings.h"
#include "settings/sensor.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BuiltInKeyMaps, HoldTheFactoryButtonsThenFillerAndTwoZeros) {
  DeviceImages images;
  const KeyMap& mouse = images.Of(DeviceKind::kMouse).defaultKeyMap;
  const Bytes buttons = {0x10, 0x01, 0, 0x10, 0x04, 0, 0x10, 0x02, 0,
                         0x10, 0x10, 0, 0x10, 0x08, 0, 0x13, 0x03, 0};
  EXPECT_EQ(Bytes(mouse.begin(), mouse.begin() + 18), buttons);
  EXPECT_EQ(Bytes(mouse.begin() + 18, mouse.begin() + 510), Bytes(492, 0x05));
  EXPECT_EQ(Bytes(mouse.begin() + 510, mouse.end()), Bytes(2, 0));

  const KeyMap& keyboard = images.Of(DeviceKind::kKeyboard).defaultKeyMap;
  EXPECT_EQ(Bytes(keyboard.begin(), keyboard.begin() + 510), Bytes(510, 0x05));
  EXPECT_EQ(Bytes(keyboard.begin() + 510, keyboard.end()), Bytes(2, 0));
}

TEST(ActiveSettingsTest, LengthsAndLightingFields) {
  DeviceImages images;
  EXPECT_EQ(images.Of(DeviceKind::kMouse).active.Length(), 38u);
  EXPECT_EQ(images.Of(DeviceKind::kMousepad).active.Length(), 21u);
  EXPECT_EQ(images.Of(DeviceKind::kKeyboard).active.Length(), 21u);

  ActiveSettings& pad = images.Of(DeviceKind::kMousepad).active;
  pad.SetLighting({6, 4, 3, 1, 1, {0x12, 0x34, 0x56}});
  Bytes bytes(21);
  pad.CopyOut(bytes.data());
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 10), (Bytes{0, 6, 4, 3, 1, 1, 0x12, 0x34, 0x56, 0}));
  // A mouse-only field does not exist on the short record.
  pad.Set(record::kPointerSpeed, 9);
  EXPECT_EQ(pad.Get(record::kPointerSpeed), 0);
}

TEST(MouseFields, DpiStagesSkipTheCurrentStageByte) {
  ActiveSettings active(kMouseActiveSize);
  for (int stage = 1; stage <= 5; ++stage) {
    mouse::SetDpiStagePosition(active, stage, static_cast<std::uint8_t>(10 * stage));
    mouse::SetDpiStageColour(active, stage, {static_cast<std::uint8_t>(stage), 0x80, 0xFF});
  }
  mouse::SetDpiStagePosition(active, 6, 99);  // no sixth stage is kept
  Bytes bytes(kMouseActiveSize);
  active.CopyOut(bytes.data());
  EXPECT_EQ(Bytes(bytes.begin() + 15, bytes.begin() + 21), (Bytes{10, 20, 30, 40, 0, 50}));
  EXPECT_EQ(Bytes(bytes.begin() + 23, bytes.end()),
            (Bytes{1, 0x80, 0xFF, 2, 0x80, 0xFF, 3, 0x80, 0xFF, 4, 0x80, 0xFF, 5, 0x80, 0xFF}));
  EXPECT_EQ(mouse::DpiStagePosition(active, 5), 50);
  EXPECT_EQ(mouse::DpiStageColour(active, 3), (Rgb{3, 0x80, 0xFF}));
}

TEST(Colours, ConvertBetweenImageBytesAndControlColours) {
  struct Case {
    Rgb rgb;
    std::uint32_t argb;
  };
  const Case cases[] = {{{0, 0, 0}, 0xFF000000u},
                        {{0xFF, 0x00, 0xF6}, 0xFFFF00F6u},
                        {{0x12, 0x34, 0x56}, 0xFF123456u}};
  for (const Case& c : cases) {
    EXPECT_EQ(ToArgb(c.rgb), c.argb);
    EXPECT_EQ(FromArgb(c.argb), c.rgb);
  }
  EXPECT_EQ(FromArgb(0x00ABCDEFu), (Rgb{0xAB, 0xCD, 0xEF}));  // alpha ignored
}

TEST(FillOnConnectTest, MouseStartsOnSlotZeroWithItsKeyBlocks) {
  DeviceImages images;
  KindImages& mouse = images.Of(DeviceKind::kMouse);
  mouse.records[0].fill(0x33);
  ConnectReads reads;
  reads.info[info::kSensorCode] = 0x60;
  reads.info[info::kSensorCode + 1] = 0x33;
  for (std::size_t b = 0; b < kSlotCount; ++b) reads.keyBlocks[b].fill(static_cast<std::uint8_t>(b + 1));
  reads.defaultKeyMap.fill(0x44);
  images.FillOnConnect(DeviceKind::kMouse, reads);

  EXPECT_EQ(mouse.info.SensorCode(), 0x3360);
  EXPECT_EQ(mouse.keyBlocks[4][0], 5);
  EXPECT_EQ(mouse.defaultKeyMap[511], 0x44);
  EXPECT_EQ(mouse.active.Slot(), 0);
  EXPECT_EQ(mouse.active.Get(37), 0x33);  // from record 0, which the mouse does not read
}

TEST(FillOnConnectTest, MousepadFollowsTheDeviceSlot) {
  struct Case {
    std::uint8_t deviceSlot;
    std::uint8_t activeSlot;
  };
  for (const Case c : {Case{3, 3}, Case{0, 0}, Case{7, 0}}) {
    SCOPED_TRACE(c.deviceSlot);
    DeviceImages images;
    ConnectReads reads;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
      reads.records[s].fill(static_cast<std::uint8_t>(0x10 * (s + 1)));
      reads.records[s][0] = 0xEE;  // byte 0 kept in the table as the device sent it
    }
    reads.activeSlot = c.deviceSlot;
    images.FillOnConnect(DeviceKind::kMousepad, reads);
    const KindImages& pad = images.Of(DeviceKind::kMousepad);
    EXPECT_EQ(pad.records[2][0], 0xEE);
    EXPECT_EQ(pad.records[2][55], 0x30);
    EXPECT_EQ(pad.records[2][56], 0);
    EXPECT_EQ(pad.active.Slot(), c.activeSlot);
    EXPECT_EQ(pad.active.Get(record::kMode), 0x10 * (c.activeSlot + 1));
  }
}

TEST(FillOnConnectTest, KeyboardTakesOnlyTheBytesItsKeysNeed) {
  DeviceImages images;
  KindImages& keyboard = images.Of(DeviceKind::kKeyboard);
  keyboard.keyBlocks[0].fill(0x99);
  keyboard.keyBlocks[1].fill(0x99);
  ConnectReads reads;
  reads.info[info::kKeyCount] = 104;
  reads.dataSize = 3 * 104;
  reads.keyBlocks[0].fill(0x20);
  reads.keyBlocks[1].fill(0x21);
  reads.defaultKeyMap.fill(0x20);
  images.FillOnConnect(DeviceKind::kKeyboard, reads);

  EXPECT_EQ(keyboard.info.KeyCount(), 104);
  EXPECT_EQ(keyboard.keyBlocks[0][311], 0x20);
  EXPECT_EQ(keyboard.keyBlocks[0][312], 0x99);
  EXPECT_EQ(keyboard.keyBlocks[1][0], 0x99);  // only block 0 is used
  EXPECT_EQ(keyboard.defaultKeyMap[312], 0x05);
}

TEST(CommitForSaveTest, CopiesTheLiveSettingsAndPointerIntoRecordZero) {
  DeviceImages images;
  KindImages& mouse = images.Of(DeviceKind::kMouse);
  mouse.records[0].fill(0xCC);
  mouse.active.Set(record::kSlot, 2);
  mouse.active.Set(record::kReportRate, 3);
  images.SetPointerSpeed(20);
  images.SetScrollLines(100);
  images.CommitForSave(DeviceKind::kMouse);
  EXPECT_EQ(mouse.records[0][0], 2);
  EXPECT_EQ(mouse.records[0][14], 3);
  EXPECT_EQ(mouse.records[0][37], 0);
  EXPECT_EQ(mouse.records[0][38], 20);
  EXPECT_EQ(mouse.records[0][39], 100);
  EXPECT_EQ(mouse.records[0][40], 0xCC);

  KindImages& pad = images.Of(DeviceKind::kMousepad);
  pad.records[0].fill(0xCC);
  images.CommitForSave(DeviceKind::kMousepad);
  EXPECT_EQ(pad.records[0][20], 0);
  EXPECT_EQ(pad.records[0][21], 0xCC);  // beyond the short record: kept
  EXPECT_EQ(pad.records[0][38], 0xCC);
}

TEST(KeyBlockInUseTest, MouseFollowsItsSlotKeyboardStaysOnBlockZero) {
  DeviceImages images;
  images.Of(DeviceKind::kMouse).active.Set(record::kSlot, 3);
  images.Of(DeviceKind::kKeyboard).active.Set(record::kSlot, 3);
  EXPECT_EQ(&images.KeyBlockInUse(DeviceKind::kMouse), &images.Of(DeviceKind::kMouse).keyBlocks[3]);
  EXPECT_EQ(&images.KeyBlockInUse(DeviceKind::kKeyboard), &images.Of(DeviceKind::kKeyboard).keyBlocks[0]);
}

TEST(KeyPositionsTest, FirstMatchingKeyBelowTheKeyCount) {
  DeviceImages images;
  KeyMap& defaults = images.Of(DeviceKind::kKeyboard).defaultKeyMap;
  PutKey(defaults, 0, {0x20, 0, 0x29});  // Esc
  PutKey(defaults, 1, {0x20, 0, 0x3A});  // F1
  PutKey(defaults, 2, {0x20, 0, 0x29});  // a second Esc: the first one wins
  PutKey(defaults, 3, {0x20, 0, 0x00});  // no key
  PutKey(defaults, 5, {0x20, 0, 0x3B});  // F2, beyond the key count
  std::array<KeyAssignment, kKeyPositionCount> layout{};
  layout.fill({0x20, 0, 0});
  layout[0] = {0x20, 0, 0x29};
  layout[1] = {0x20, 0, 0x3A};
  layout[2] = {0x20, 0, 0x3B};
  images.KeyPositions()[10] = 4;  // left from an earlier keyboard
  images.RebuildKeyPositions(layout, 5);
  EXPECT_EQ(images.KeyPositions()[0], 0);
  EXPECT_EQ(images.KeyPositions()[1], 1);
  EXPECT_EQ(images.KeyPositions()[2], kNoKey);
  EXPECT_EQ(images.KeyPositions()[3], kNoKey);  // (0x20, 0, 0) never matches key 3
  EXPECT_EQ(images.KeyPositions()[10], kNoKey);
}

TEST(KeyboardVariantTest, FollowsTheProductId) {
  struct Case {
    std::uint16_t productId;
    int variant;
  };
  SetKeyboardVariant(0);
  for (const Case c : {Case{0x6556, 1}, Case{0x7200, 1}, Case{0x0800, 0}, Case{0x7200, 0}}) {
    SetKeyboardVariantFromProduct(c.productId);
    EXPECT_EQ(KeyboardVariant(), c.variant) << std::hex << c.productId;
  }
}

TEST(SensorTable, SetsTheDpiMinimumOfKnownSensors) {
  struct Case {
    std::uint16_t code;
    std::uint16_t minimum;
    bool known;
  };
  const Case cases[] = {{0x3325, 200, true}, {0x3050, 250, true}, {0x3360, 100, true},
                        {0x3310, 50, true}, {0x1234, 777, false}};
  for (const Case& c : cases) {
    DeviceInfo info;
    info.bytes[info::kSensorCode] = static_cast<std::uint8_t>(c.code);
    info.bytes[info::kSensorCode + 1] = static_cast<std::uint8_t>(c.code >> 8);
    info.SetDpiMinimum(777);
    info.bytes[info::kDpiStep] = 100;
    EXPECT_EQ(ApplySensorTable(info).has_value(), c.known);
    EXPECT_EQ(info.DpiMinimum(), c.minimum);
  }
  DeviceInfo mouse;
  mouse.bytes[info::kDpiStep] = 100;
  mouse.SetDpiMinimum(100);
  EXPECT_EQ(DpiOfPosition(mouse, 49), 5000);
  EXPECT_EQ(DpiOfPosition(mouse, 119), 12000);
}

}  // namespace
}  // namespace vz
