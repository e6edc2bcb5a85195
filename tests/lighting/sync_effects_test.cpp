#include <gtest/gtest.h>

#include "lighting/colour_tables.h"
#include "lighting/keyboard_tables.h"
#include "lighting/sync_effects.h"

namespace vz::lighting {
namespace {

constexpr SyncTargets kAllThree{true, true, true, kColourKeyboard};

LightingFields Sync(std::uint8_t mode, std::uint8_t direction = 1, std::uint8_t cycle = 1,
                    Rgb colour = {255, 255, 255}, std::uint8_t brightness = 4) {
  return {mode, brightness, 0, direction, cycle, colour};
}

TEST(SyncEffects, WaveRunsAcrossTheThreeDevicesByColumn) {
  std::uint8_t counter = 0;
  const SyncFrames f = SyncFrame(Sync(0), counter, kAllThree);
  ASSERT_EQ(f.mouse.length, 60);
  ASSERT_EQ(f.mousepad.length, 45);
  ASSERT_EQ(f.keyboard.length, 378);
  // Column i shows wheel[1 + 7i] on every device.
  struct Row {
    std::size_t column;
    std::uint8_t mouseLed;  // kNoLed where the device has no LED in that column
    std::uint8_t padLed;
    std::uint8_t key;
  };
  const Row rows[] = {
      {0, 19, 0, 105}, {2, 9, 2, 0}, {6, 17, 6, 108}, {14, kNoLed, 14, 95},
      {22, kNoLed, kNoLed, 118},
  };
  for (const Row& r : rows) {
    const Rgb expected = kWheel[(1 + 7 * r.column) % 192];
    if (r.mouseLed != kNoLed) {
      EXPECT_EQ(f.mouse.Led(r.mouseLed), expected) << "column " << r.column;
    }
    if (r.padLed != kNoLed) {
      EXPECT_EQ(f.mousepad.Led(r.padLed), expected) << "column " << r.column;
    }
    EXPECT_EQ(f.keyboard.Led(kColourKeyLed[r.key]), expected) << "column " << r.column;
  }
  EXPECT_EQ(counter, 1);
  EXPECT_EQ(f.pauseAfterMs, 0u);

  // Fixed colour, direction 0: the wave table from 95 backwards, 10 entries per column.
  counter = 0;
  const SyncFrames w = SyncFrame(Sync(0, 0, 0), counter, kAllThree);
  EXPECT_EQ(counter, 95);
  EXPECT_EQ(w.mousepad.Led(0).red, kWave[95]);
  EXPECT_EQ(w.mousepad.Led(3).green, kWave[(95 + 30) % 96]);
  EXPECT_EQ(w.mouse.Led(3).blue, kWave[(95 + 30) % 96]);
  EXPECT_EQ(w.keyboard.Led(kColourKeyLed[1]).red, kWave[(95 + 30) % 96]);
}

TEST(SyncEffects, UniformEffectsAndThePausesForDevicesNotInSync) {
  struct Row {
    std::uint8_t mode;
    SyncTargets to;
    std::uint32_t pause;
  };
  const Row rows[] = {
      {0, kAllThree, 0},
      {0, {true, false, false, 0}, 7},
      {1, kAllThree, 6},
      {1, {false, true, false, 0}, 16},
      {2, {false, false, true, 0}, 2},
      {3, kAllThree, 5},
      {3, {true, true, false, 0}, 11},
  };
  for (const Row& r : rows) {
    std::uint8_t counter = 0;
    const SyncFrames f = SyncFrame(Sync(r.mode), counter, r.to);
    EXPECT_EQ(f.pauseAfterMs, r.pause) << "mode " << int(r.mode);
    EXPECT_EQ(f.mouse.length != 0, r.to.mouse);
    EXPECT_EQ(f.mousepad.length != 0, r.to.mousepad);
    EXPECT_EQ(f.keyboard.length != 0, r.to.keyboard);
  }
  // Static: the colour scaled by brightness on every LED.
  std::uint8_t counter = 0;
  const SyncFrames s = SyncFrame(Sync(3, 1, 0, {255, 128, 0}, 0), counter, kAllThree);
  EXPECT_EQ(s.mouse.Led(13), (Rgb{45, 23, 0}));
  EXPECT_EQ(s.mousepad.Led(14), (Rgb{45, 23, 0}));
  EXPECT_EQ(s.keyboard.Led(kColourKeyLed[119]), (Rgb{45, 23, 0}));
  // Breathing: the wheel entry of the counter, then the breath, then the brightness.
  counter = 62;
  const SyncFrames b = SyncFrame(Sync(2), counter, kAllThree);
  EXPECT_EQ(b.mouse.Led(0), kWheel[63]);
  counter = 191;
  EXPECT_EQ(SyncFrame(Sync(1), counter, kAllThree).mousepad.Led(7), kWheel[0]);
}

TEST(SyncEffects, ModesWithoutASynchronizedEffectSendNothing) {
  for (std::uint8_t mode : {4, 5, 12, 255}) {
    std::uint8_t counter = 7;
    const SyncFrames f = SyncFrame(Sync(mode), counter, kAllThree);
    EXPECT_EQ(f.mouse.length + f.mousepad.length + f.keyboard.length, 0) << int(mode);
    EXPECT_EQ(counter, 7);
  }
}

TEST(SyncEffects, SingleColourKeyboardGetsALevelFrame) {
  std::uint8_t counter = 0;
  SyncTargets to = kAllThree;
  to.keyboardModel = kSingleColourKeyboard;
  const SyncFrames f = SyncFrame(Sync(3, 1, 0, {0, 200, 90}), counter, to);
  ASSERT_EQ(f.keyboard.length, 126);
  EXPECT_EQ(f.keyboard.bytes[kSingleKeyLed[41]], 200);
  to.keyboardModel = 5;
  EXPECT_EQ(SyncFrame(Sync(3), counter, to).keyboard.length, 0);
}

}  // namespace
}  // namespace vz::lighting
