// The lighting effect threads read the lighting bytes every frame while the user-interface
// thread writes them; under ThreadSanitizer a plain byte access on either side shows here.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "settings/device_images.h"

namespace vz {
namespace {

TEST(LightingBytes, EffectThreadReadsWhileTheUserInterfaceWrites) {
  DeviceImages images;
  std::atomic<bool> stop{false};
  std::atomic<int> torn{0};
  auto valid = [](std::uint8_t b) { return b == 0 || b == 0x11 || b == 0x22; };
  std::thread effect([&] {
    while (!stop.load()) {
      const LightingFields own = images.Of(DeviceKind::kMouse).active.Lighting();
      const LightingFields sync = images.SyncLighting();
      const std::uint8_t key = images.CustomColours().Get(3 * 378 + 5);
      const std::int32_t set = images.CustomSet();
      if (!valid(own.colour.green) || !valid(sync.brightness) || !valid(key) || set < 0 || set > 4) ++torn;
      // The effects keep their phase in byte 9 of the record.
      images.Of(DeviceKind::kMousepad).active.Set(record::kEffectPhase, static_cast<std::uint8_t>(set % 3));
    }
  });
  for (int i = 0; i < 20000; ++i) {
    const std::uint8_t v = i % 2 ? 0x11 : 0x22;
    images.Of(DeviceKind::kMouse).active.SetLighting({v, v, v, v, v, {v, v, v}});
    images.SetSyncLighting({v, v, v, v, v, {v, v, v}});
    images.CustomColours().Set(3 * 378 + 5, v);
    images.SetCustomSet(i % 5);
    images.Of(DeviceKind::kMousepad).active.Set(record::kBrightness, v);
    (void)images.Of(DeviceKind::kMousepad).active.Get(record::kEffectPhase);
  }
  stop = true;
  effect.join();
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace vz
