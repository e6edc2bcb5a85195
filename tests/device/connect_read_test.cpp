#include "settings/connect_read.h"

#include <gtest/gtest.h>

#include <chrono>

#include "device/device_channel.h"
#include "emulator/emulated_device.h"
#include "platform/hid/hid_layer.h"
#include "platform/hid/virtual_backend.h"

namespace vz {
namespace {

using Clock = std::chrono::steady_clock;
using emulator::Area;
using emulator::EmulatedDevice;
using emulator::Fault;
using emulator::FaultKind;
using emulator::Model;

std::int64_t MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

class ConnectReadTest : public ::testing::Test {
 protected:
  void SetUp() override { hid::RegisterBackend(backend_); }
  void TearDown() override {
    channel_.Device().Close();
    device_.reset();
    hid::UnregisterBackend(backend_);
  }

  // Plugs the model and opens the channel on its command collection, as the presence
  // thread would.
  void Connect(Model model, std::uint16_t vid, std::uint16_t pid, const emulator::DeviceOptions& options = {}) {
    device_ = EmulatedDevice::Create(backend_, model, nullptr, options);
    device_->Plug();
    channel_.SetIdentity(vid, pid, 0x92, 0xFF1C);
    HidDevice& hid = channel_.Device();
    ASSERT_TRUE(hid.EnumeratePaths());
    while (const std::string* path = hid.NextPath()) {
      if (!hid.OpenPath(*path, true, true, true, false)) continue;
      if (hid.VendorId() == vid && hid.UsagePage() == 0xFF1C) break;
      hid.Close();
    }
    hid.FreePaths();
    ASSERT_TRUE(hid.IsOpen());
    channel_.SetOpen(true);
  }

  std::shared_ptr<hid::VirtualBackend> backend_ = std::make_shared<hid::VirtualBackend>();
  std::shared_ptr<EmulatedDevice> device_;
  DeviceChannel channel_;
  DeviceImages images_;
};

TEST_F(ConnectReadTest, TheMouseFillsInfoDefaultMapAndAllFiveKeyBlocks) {
  Connect(Model::kMouse, 0x195D, 0x1028);
  const std::vector<std::uint8_t> block3(512, 0x33);
  device_->Write(Area::kKeys, 3 * 126, block3);
  EXPECT_EQ(ConnectRead(DeviceKind::kMouse, channel_, images_), ConnectOutcome::kRead);
  const KindImages& mouse = images_.Of(DeviceKind::kMouse);
  EXPECT_EQ(mouse.info.SensorCode(), device_->Read(Area::kDeviceInfo, 9, 1)[0] | device_->Read(Area::kDeviceInfo, 10, 1)[0] << 8);
  EXPECT_EQ(std::vector<std::uint8_t>(mouse.defaultKeyMap.begin(), mouse.defaultKeyMap.end()),
            device_->Read(Area::kDefaultKeyMap, 0, 512));
  EXPECT_EQ(std::vector<std::uint8_t>(mouse.keyBlocks[3].begin(), mouse.keyBlocks[3].end()), block3);
  EXPECT_EQ(mouse.active.Slot(), 0);
  EXPECT_FALSE(device_->InTransfer());
}

TEST_F(ConnectReadTest, TheMousepadTakesItsRecordsAndActiveSlot) {
  Connect(Model::kMousepad, 0x0C45, 0x5004);
  std::vector<std::uint8_t> record(64, 0);
  record[1] = 6;  // lighting mode of slot 2
  device_->Write(Area::kSettings, 2 * 64, record);
  device_->Write(Area::kSettings, 0, {2});
  EXPECT_EQ(ConnectRead(DeviceKind::kMousepad, channel_, images_), ConnectOutcome::kRead);
  const KindImages& pad = images_.Of(DeviceKind::kMousepad);
  EXPECT_EQ(pad.active.Slot(), 2);
  EXPECT_EQ(pad.active.Get(1), 6);
}

TEST_F(ConnectReadTest, AKeyboardWithTooManyKeysIsRefusedAndTheImagesKeepTheirContents) {
  Connect(Model::kKeyboard, 0x0C45, 0x6556, {.keyCount = 171});
  KindImages& keyboard = images_.Of(DeviceKind::kKeyboard);
  keyboard.info.bytes[0] = 0x5A;
  keyboard.keyBlocks[0][0] = 0x77;
  EXPECT_EQ(ConnectRead(DeviceKind::kKeyboard, channel_, images_), ConnectOutcome::kRefused);
  EXPECT_EQ(keyboard.info.bytes[0], 0x5A);
  EXPECT_EQ(keyboard.keyBlocks[0][0], 0x77);
  EXPECT_EQ(channel_.DataSize(), 512);
}

TEST_F(ConnectReadTest, TheKeyboardReadsAsManyBytesAsItHasKeys) {
  Connect(Model::kKeyboard, 0x0C45, 0x6556, {.keyCount = 104});
  EXPECT_EQ(ConnectRead(DeviceKind::kKeyboard, channel_, images_), ConnectOutcome::kRead);
  EXPECT_EQ(channel_.DataSize(), 312);
  EXPECT_EQ(images_.Of(DeviceKind::kKeyboard).info.KeyCount(), 104);
}

TEST_F(ConnectReadTest, UnpluggedMidwayTheReadEndsAtOnceKeepingWhatItRead) {
  Connect(Model::kMouse, 0x195D, 0x1028);
  device_->InjectFault(Fault{8, 12, FaultKind::kUnplug});  // in the middle of key block 1
  const auto start = Clock::now();
  EXPECT_EQ(ConnectRead(DeviceKind::kMouse, channel_, images_), ConnectOutcome::kSilent);
  EXPECT_LT(MsSince(start), 1600);  // one chunk's attempts at most, never the whole read
  const KindImages& mouse = images_.Of(DeviceKind::kMouse);
  EXPECT_NE(mouse.info.SensorCode(), 0);  // read before the device left
  // And the channel stays usable: a further command fails at once.
  const auto again = Clock::now();
  std::uint8_t info[33];
  EXPECT_NE(channel_.ReadDeviceInfo(info), kCmdOk);
  EXPECT_LT(MsSince(again), 200);
}

TEST_F(ConnectReadTest, ADeviceThatNeverAnswersCostsOneCommandsRetriesAndNoMore) {
  Connect(Model::kMouse, 0x195D, 0x1028);
  device_->InjectFault(Fault{emulator::kAnyCommand, 0, FaultKind::kSilent, 1000});
  const auto start = Clock::now();
  EXPECT_EQ(ConnectRead(DeviceKind::kMouse, channel_, images_), ConnectOutcome::kSilent);
  const auto elapsed = MsSince(start);
  EXPECT_GE(elapsed, 4 * 300 - 50);  // four attempts of 300 ms each
  EXPECT_LT(elapsed, 4 * 300 + 600);
}

}  // namespace
}  // namespace vz
