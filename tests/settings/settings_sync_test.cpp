// The settings flush, refresh and slot switch against the emulated mouse, mousepad and
// keyboard: what each puts on the wire and what it leaves in the images.
#include "settings/settings_sync.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "device/device_channel.h"
#include "emulator/emulator.h"
#include "platform/hid/hid_layer.h"
#include "platform/system/ini.h"
#include "profiles/profile_file.h"
#include "profiles/profile_store.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;
using emulator::Area;

constexpr std::uint16_t kVendorUsagePage = 0xFF1C;

class RecordingPages : public PageRefill {
 public:
  void RefillSettingsPage(DeviceKind kind) override { calls.push_back("refill " + std::string(Prefix(kind))); }
  void HideFunctionPanel(DeviceKind kind) override { calls.push_back("hide " + std::string(Prefix(kind))); }
  std::vector<std::string> calls;
};

class SettingsSyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vz-sync-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    ASSERT_EQ(setenv("VZ_DOCUMENTS_DIR", root_.c_str(), 1), 0);
    ini::DropCache();
    std::string error;
    emulation_ = emulator::Attach("keyboard,mouse,mousepad", root_ + "/trace.txt", &error);
    ASSERT_TRUE(emulation_) << error;
    Open(DeviceKind::kKeyboard, "keyboard");
    Open(DeviceKind::kMouse, "mouse");
    Open(DeviceKind::kMousepad, "mousepad");
  }
  void TearDown() override {
    for (auto& channel : channels_) channel.Device().Close();
    emulation_.reset();
    std::filesystem::remove_all(root_);
  }

  void Open(DeviceKind kind, const char* name) {
    const auto device = emulation_->Find(name);
    ASSERT_TRUE(device);
    hid::Enumeration all;
    hid::EnumerateInterfaces(&all);
    DeviceChannel& channel = Channel(kind);
    for (const hid::InterfaceInfo& i : all.interfaces) {
      if (i.attributes.vendorId != device->Spec().vendorId ||
          i.attributes.productId != device->Spec().productId || i.caps.usagePage != kVendorUsagePage)
        continue;
      channel.SetIdentity(i.attributes.vendorId, i.attributes.productId, i.caps.usage, i.caps.usagePage);
      ASSERT_EQ(channel.Device().OpenPath(i.path, true, true, true, false), 1);
      channel.SetOpen(true);
      return;
    }
    FAIL() << "no command interface for " << name;
  }

  DeviceChannel& Channel(DeviceKind kind) { return channels_[Index(kind)]; }
  emulator::EmulatedDevice& Device(const char* name) { return *emulation_->Find(name); }
  Bytes Live(DeviceKind kind) {
    Bytes b(images_.Of(kind).active.Length());
    images_.Of(kind).active.CopyOut(b.data());
    return b;
  }
  // Host-to-device reports of one command, as the trace lists them: "<device> <command>".
  std::vector<std::string> SentCommands(int command) {
    std::ifstream in(root_ + "/trace.txt");
    std::vector<std::string> out;
    std::string ms, device, direction, id, c1, c2, cmd;
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      fields >> ms >> device >> direction >> id >> c1 >> c2 >> cmd;
      if (direction == ">" && std::stoi(cmd, nullptr, 16) == command) out.push_back(device);
    }
    return out;
  }

  std::string root_;
  std::unique_ptr<emulator::Emulation> emulation_;
  std::array<DeviceChannel, kDeviceKindCount> channels_;
  DeviceImages images_;
  RecordingPages pages_;
  ProfileRefreshSaver saver_{images_};
  SettingsSync sync_{images_,
                     {&channels_[0], &channels_[1], &channels_[2]},
                     pages_,
                     saver_};
};

TEST_F(SettingsSyncTest, TenChangesInOnePeriodCostOneWriteOfFiftySixBytes) {
  auto& mouse = Device("mouse");
  ASSERT_TRUE(mouse.Write(Area::kSettings, 0, Bytes(320, 0xFF)));
  ActiveSettings& active = images_.Of(DeviceKind::kMouse).active;
  for (std::size_t i = 0; i < active.Length(); ++i) active.Set(i, static_cast<std::uint8_t>(i));
  active.Set(record::kSlot, 0);
  for (std::uint8_t position = 0; position < 10; ++position) {
    active.Set(record::kBrightness, position % 5);
    images_.MarkPending(DeviceKind::kMouse);
  }
  EXPECT_EQ(sync_.Flush(), 1);
  EXPECT_EQ(sync_.Flush(), 0);
  EXPECT_EQ(mouse.RequestCount(6), 1u);

  const Bytes record = mouse.Read(Area::kSettings, 0, 64);
  Bytes expected = Live(DeviceKind::kMouse);
  expected.resize(56, 0);           // bytes 38..55 go out as zeros
  expected.resize(64, 0xFF);        // 56..63 are not written
  EXPECT_EQ(record, expected);
  EXPECT_EQ(record[record::kBrightness], 4);
  EXPECT_FALSE(images_.Pending(DeviceKind::kMouse));
}

TEST_F(SettingsSyncTest, FlushGoesKeyboardMouseMousepad) {
  images_.MarkPending(DeviceKind::kMousepad);
  images_.MarkPending(DeviceKind::kMouse);
  images_.MarkPending(DeviceKind::kKeyboard);
  EXPECT_EQ(sync_.Flush(), 3);
  const auto& kb = Device("keyboard").Spec().name;
  EXPECT_EQ(SentCommands(6), (std::vector<std::string>{kb, "mouse", "mousepad"}));
  // The short records go out padded to 56 as well.
  Bytes pad = Device("mousepad").Read(Area::kSettings, 0, 56);
  EXPECT_EQ(Bytes(pad.begin() + 21, pad.end()), Bytes(35, 0));
}

TEST_F(SettingsSyncTest, AChangeWithoutDeviceIsDroppedNotQueued) {
  Channel(DeviceKind::kMouse).SetOpen(false);
  images_.Of(DeviceKind::kMouse).active.Set(record::kBrightness, 3);
  images_.MarkPending(DeviceKind::kMouse);
  EXPECT_EQ(sync_.Flush(), 1);
  EXPECT_FALSE(images_.Pending(DeviceKind::kMouse));

  Channel(DeviceKind::kMouse).SetOpen(true);  // the device is back
  EXPECT_EQ(sync_.Flush(), 0);
  EXPECT_EQ(Device("mouse").RequestCount(6), 0u);
}

struct SelectCase {
  const char* what;
  std::uint8_t deviceSlot;
  int n;
};

TEST_F(SettingsSyncTest, SelectSlotThatChangesNothing) {
  const SelectCase cases[] = {
      {"already active", 3, 3},
      {"above the slots", 0, 5},
      {"below the slots", 0, -1},
      {"device slot unreadable", 9, 2},
  };
  auto& mouse = Device("mouse");
  for (const SelectCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(mouse.Write(Area::kSettings, 0, Bytes{c.deviceSlot}));
    images_.Of(DeviceKind::kMouse).records[1].fill(0x5A);
    images_.Of(DeviceKind::kMouse).active.Set(record::kMode, 6);
    const auto records = images_.Of(DeviceKind::kMouse).records;
    const Bytes live = Live(DeviceKind::kMouse);
    const std::size_t writes = mouse.RequestCount(6);

    EXPECT_FALSE(sync_.SelectSlot(DeviceKind::kMouse, c.n));
    EXPECT_EQ(mouse.RequestCount(6), writes);
    EXPECT_EQ(images_.Of(DeviceKind::kMouse).records, records);
    EXPECT_EQ(Live(DeviceKind::kMouse), live);
    EXPECT_TRUE(pages_.calls.empty());
  }
}

TEST_F(SettingsSyncTest, SelectSlotIsRefusedWhenTheDeviceDoesNotAnswer) {
  auto& mouse = Device("mouse");
  mouse.InjectFault({5, 0, emulator::FaultKind::kSilent, 8, 0});
  EXPECT_FALSE(sync_.SelectSlot(DeviceKind::kMouse, 2));
  EXPECT_EQ(mouse.RequestCount(6), 0u);
  EXPECT_TRUE(pages_.calls.empty());
}

TEST_F(SettingsSyncTest, SelectSlotSwitchesAndKeepsTheLiveSettings) {
  auto& mouse = Device("mouse");
  Bytes slot2(64);
  for (std::size_t i = 0; i < slot2.size(); ++i) slot2[i] = static_cast<std::uint8_t>(0x80 + i);
  ASSERT_TRUE(mouse.Write(Area::kSettings, 2 * 64, slot2));
  ASSERT_TRUE(mouse.Write(Area::kSettings, 0, Bytes{0}));
  ActiveSettings& active = images_.Of(DeviceKind::kMouse).active;
  active.Set(record::kMode, 4);

  ASSERT_TRUE(sync_.SelectSlot(DeviceKind::kMouse, 2));
  EXPECT_EQ(mouse.Read(Area::kSettings, 0, 1), Bytes{2});
  const KindImages& images = images_.Of(DeviceKind::kMouse);
  EXPECT_EQ(images.records[0][record::kMode], 4);  // the live settings kept in their slot
  EXPECT_EQ(Bytes(images.records[2].begin(), images.records[2].begin() + 56),
            Bytes(slot2.begin(), slot2.begin() + 56));
  EXPECT_EQ(active.Slot(), 2);
  EXPECT_EQ(active.Get(37), slot2[37]);
  EXPECT_EQ(&images_.KeyBlockInUse(DeviceKind::kMouse), &images.keyBlocks[2]);
  EXPECT_FALSE(images_.Pending(DeviceKind::kMouse));
  EXPECT_EQ(pages_.calls, (std::vector<std::string>{"hide ms", "refill ms"}));
}

TEST_F(SettingsSyncTest, RefreshOnTheMouseStaysOnSlotZero) {
  auto& mouse = Device("mouse");
  Bytes slot0(64, 0x21);
  ASSERT_TRUE(mouse.Write(Area::kSettings, 0, slot0));
  ASSERT_TRUE(mouse.Write(Area::kSettings, 0, Bytes{2}));  // the device says slot 2

  ASSERT_TRUE(sync_.RefreshActive(DeviceKind::kMouse));
  const KindImages& images = images_.Of(DeviceKind::kMouse);
  EXPECT_EQ(images.active.Slot(), 0);
  EXPECT_EQ(images.records[0][0], 0);
  EXPECT_EQ(images.records[0][55], 0x21);
  EXPECT_EQ(images.active.Get(37), 0x21);
  EXPECT_EQ(pages_.calls, (std::vector<std::string>{"refill ms"}));
  // Saved where a refresh saves: the mouse's lighting and device profiles.
  EXPECT_TRUE(std::filesystem::exists(ProfilePath(DeviceKind::kMouse, "0", ProfileKind::kLighting)));
  EXPECT_TRUE(std::filesystem::exists(ProfilePath(DeviceKind::kMouse, "0", ProfileKind::kDevice)));
}

TEST_F(SettingsSyncTest, RefreshOnTheMousepadFollowsTheDeviceSlot) {
  auto& pad = Device("mousepad");
  ASSERT_TRUE(pad.Write(Area::kSettings, 3 * 64, Bytes(64, 0x33)));
  ASSERT_TRUE(pad.Write(Area::kSettings, 0, Bytes{3}));
  ASSERT_TRUE(sync_.RefreshActive(DeviceKind::kMousepad));
  const KindImages& images = images_.Of(DeviceKind::kMousepad);
  EXPECT_EQ(images.active.Slot(), 3);
  EXPECT_EQ(images.records[3][0], 3);
  EXPECT_EQ(images.active.Get(record::kMode), 0x33);
  // The lighting profile now holds the refreshed record, with its slot.
  Bytes saved(kRecordSize, 0);
  ASSERT_EQ(ReadProfileFile(ProfilePath(DeviceKind::kMousepad, "0", ProfileKind::kLighting),
                            saved.data(), saved.size()), kProfileRead);
  EXPECT_EQ(saved[record::kSlot], 3);
  EXPECT_EQ(saved[record::kMode], 0x33);

  ASSERT_TRUE(pad.Write(Area::kSettings, 0, Bytes{8}));
  EXPECT_FALSE(sync_.RefreshActive(DeviceKind::kMousepad));
  EXPECT_EQ(images.active.Slot(), 3);
}

}  // namespace
}  // namespace vz
