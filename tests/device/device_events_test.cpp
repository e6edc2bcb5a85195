#include <gtest/gtest.h>

#include "tests/device/channel_fixture.h"

namespace vz::test {
namespace {

using emulator::Action;
using emulator::Model;

// Reads the way the event listeners do: the consumer-control collection of the device,
// each report decoded, the first usage of the first element taken as the event.
class EventReader {
 public:
  explicit EventReader(const emulator::EmulatedDevice& device) {
    const auto& spec = device.Spec();
    if (!hid_.EnumeratePaths()) return;
    while (const std::string* path = hid_.NextPath()) {
      if (VendorIdFromPath(*path) != spec.vendorId || ProductIdFromPath(*path) != spec.productId) {
        continue;
      }
      if (!hid_.OpenPath(*path, true, false, true, false)) continue;
      if (hid_.UsagePage() == 0x0C && hid_.Usage() == 0x01) break;
      hid_.Close();
    }
    hid_.FreePaths();
  }

  bool Open() const { return hid_.IsOpen(); }

  // The first usage of the next report, or -1 when none came.
  int NextEvent() {
    std::uint32_t n = 0;
    if (!hid_.ReadReport(hid_.InputReportLength(), &n, hid_.InputReportBuffer(), 500)) return -1;
    if (!hid_.UnpackReport(hid::ReportType::kInput, hid_.InputReportBuffer(), n)) return -1;
    const auto& elements = hid_.Elements(hid::ReportType::kInput);
    if (elements.empty() || !elements[0].isButtonData) return -1;
    return elements[0].button.usages[0];
  }

 private:
  HidDevice hid_;
};

TEST(DeviceEvents, ButtonsOnTheDeviceReachTheListenerAsFirstUsages) {
  struct Row {
    Model model;
    Action action;
    int event;
  };
  const Row rows[] = {{Model::kMouse, Action::kDpiButton, 0x401},
                      {Model::kMouse, Action::kProfileButton, 0x402},
                      {Model::kMouse, Action::kClick, 0x403},
                      {Model::kKeyboard, Action::kLightingButton, 0x402}};
  for (const auto& row : rows) {
    ChannelFixture f(row.model);
    ASSERT_TRUE(f.opened);
    EventReader listener(*f.device);
    ASSERT_TRUE(listener.Open()) << f.device->Name();
    ASSERT_TRUE(f.device->Press(row.action));
    EXPECT_EQ(listener.NextEvent(), row.event) << f.device->Name();
    EXPECT_EQ(listener.NextEvent(), 0) << "the release carries no usage";
  }
}

// On the keyboard both collections share one interface: the channel must not see the
// events, and the listener must not see the command answers.
TEST(DeviceEvents, EventsAndCommandAnswersStayInTheirCollections) {
  ChannelFixture f(Model::kKeyboard);
  ASSERT_TRUE(f.opened);
  EventReader listener(*f.device);
  ASSERT_TRUE(listener.Open());
  ASSERT_TRUE(f.device->Press(Action::kProfileButton));
  std::uint8_t slot = 0xEE;
  ASSERT_EQ(f.channel.ReadSettings(&slot, 1, 0), kCmdOk);
  EXPECT_EQ(slot, 1) << "the profile button made slot 1 active";
  EXPECT_EQ(listener.NextEvent(), 0x402);
  EXPECT_EQ(listener.NextEvent(), 0);
  EXPECT_EQ(listener.NextEvent(), -1) << "no command answer on the consumer collection";
}

// The DPI button changes the active record on the device; a re-read finds the new stage.
TEST(DeviceEvents, TheDpiButtonMovesTheStageOfTheActiveRecord) {
  ChannelFixture f(Model::kMouse);
  ASSERT_TRUE(f.opened);
  const std::uint8_t slot2 = 2;
  ASSERT_EQ(f.channel.WriteSettings(&slot2, 1, 0), kCmdOk);
  std::uint8_t before[56], after[56];
  ASSERT_EQ(f.channel.ReadSettings(before, 56, 128), kCmdOk);
  ASSERT_TRUE(f.device->Press(Action::kDpiButton));
  ASSERT_EQ(f.channel.ReadSettings(after, 56, 128), kCmdOk);
  EXPECT_EQ(after[19], (before[19] + 1) % 5);
  std::uint8_t slot0[56];
  ASSERT_EQ(f.channel.ReadSettings(slot0, 56, 0), kCmdOk);
  EXPECT_EQ(slot0[19], before[19]) << "other slots keep their stage";
}

}  // namespace
}  // namespace vz::test
