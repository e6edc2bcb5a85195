// The factory key profiles against the emulated devices' own factory maps: applying a
// factory key profile leaves every key and button doing what it did out of the box.
#include <gtest/gtest.h>

#include <vector>

#include "emulator/device_models.h"
#include "tools/factory/factory.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(FactoryKeys, MatchTheDevicesFactoryMaps) {
  for (int variant = 0; variant < 2; ++variant) {
    DeviceImages images;
    factory::FillFactoryImages(images, variant);
    const KeyMap& block = images.Of(DeviceKind::kKeyboard).keyBlocks[0];
    const Bytes device = emulator::KeyboardFactoryAssignments();
    ASSERT_LE(device.size(), block.size());
    EXPECT_EQ(Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(device.size())), device);
  }
  const emulator::ModelSpec mouse = emulator::MakeModelSpec(emulator::Model::kMouse);
  DeviceImages images;
  factory::FillFactoryImages(images, 0);
  const KeyMap& block = images.Of(DeviceKind::kMouse).keyBlocks[0];
  EXPECT_EQ(Bytes(block.begin(), block.begin() + 21),  // buttons 0..6
            Bytes(mouse.defaultKeyMap.begin(), mouse.defaultKeyMap.begin() + 21));
}

}  // namespace
}  // namespace vz
