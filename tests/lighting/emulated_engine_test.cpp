// The engine against the emulated devices through the real channel and HID layer: what
// the wire carries, read back from the emulator's trace and memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "emulated_rig.h"
#include "lighting/effect_engine.h"
#include "lighting/keyboard_tables.h"

namespace vz::lighting {
namespace {

using testing::EmulatedRig;

constexpr EngineTiming kNoStartWait{0, 0, 0};

LightingFields Static(Rgb colour, std::uint8_t speed = 0) { return {3, 4, speed, 1, 0, colour}; }

long long MedianInterval(std::vector<long long> starts) {
  std::vector<long long> gaps;
  for (std::size_t i = 1; i < starts.size(); ++i) gaps.push_back(starts[i] - starts[i - 1]);
  if (gaps.empty()) return -1;
  std::sort(gaps.begin(), gaps.end());
  return gaps[gaps.size() / 2];
}

std::vector<std::uint8_t> Repeated(Rgb c, std::size_t leds, std::size_t length) {
  std::vector<std::uint8_t> out(length, 0);
  for (std::size_t i = 0; i < leds; ++i) {
    out[3 * i] = c.red;
    out[3 * i + 1] = c.green;
    out[3 * i + 2] = c.blue;
  }
  return out;
}

// The device's last frame is read while the next may be arriving chunk by chunk: wait for
// a whole frame equal to the expected one.
bool Shows(const emulator::EmulatedDevice& device, const std::vector<std::uint8_t>& expected) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (device.LightFrame() == expected) return true;
    SleepMs(5);
  }
  return false;
}

TEST(EmulatedEngine, MouseFrameCadenceOnTheWire) {
  // A 60-byte frame is two chunks of one request and one answer each: about 4 ms on USB.
  struct Row {
    std::uint8_t speed;
    std::uint32_t runMs;
    long long low, high;
  };
  const Row rows[] = {{0, 500, 6, 12}, {4, 900, 54, 65}};
  for (const Row& r : rows) {
    EmulatedRig rig(true);
    ASSERT_TRUE(rig.AllOpen());
    rig.mouse.SetFields(Static({255, 0, 0}, r.speed));
    rig.Channel(Device::kMousepad).SetOpen(false);
    rig.Channel(Device::kKeyboard).SetOpen(false);
    {
      LightingEngine engine(rig.Io(), kNoStartWait);
      engine.Start();
      SleepMs(r.runMs);
      engine.SignalStop();
      ASSERT_TRUE(engine.Join(2000));
    }
    const auto starts = rig.Starts().Of("mouse");
    ASSERT_GT(starts.size(), 8u) << "speed " << int(r.speed);
    const long long median = MedianInterval(starts);
    ::testing::Test::RecordProperty("median_frame_ms_speed_" + std::to_string(r.speed), median);
    EXPECT_GE(median, r.low) << "speed " << int(r.speed);
    EXPECT_LE(median, r.high) << "speed " << int(r.speed);
    EXPECT_EQ(rig.Emulated(Device::kMouse).LightFrame(), Repeated({255, 0, 0}, 20, 60));
  }
}

TEST(EmulatedEngine, SyncedDevicesShowTheSyncEffectUntilTheirFlagClears) {
  EmulatedRig rig(false);
  ASSERT_TRUE(rig.AllOpen());
  rig.mouse.SetFields(Static({255, 0, 0}));
  rig.mousepad.SetFields(Static({0, 255, 0}));
  rig.keyboard.SetFields(Static({0, 0, 255}));
  rig.sync.Set(Static({40, 50, 60}));
  for (Device d : {Device::kMouse, Device::kMousepad, Device::kKeyboard}) {
    rig.Channel(d).SetSyncFlag(true);
  }
  LightingEngine engine(rig.Io(), kNoStartWait);
  engine.Start();
  SleepMs(200);
  EXPECT_TRUE(Shows(rig.Emulated(Device::kMouse), Repeated({40, 50, 60}, 20, 60)));
  EXPECT_TRUE(Shows(rig.Emulated(Device::kMousepad), Repeated({40, 50, 60}, 15, 45)));
  // Every key's LED in the synced colour; LED 13, which belongs to no key, stays dark.
  std::vector<std::uint8_t> keyboard(378, 0);
  for (std::uint8_t led : kColourKeyLed) {
    if (led == kNoKey) continue;
    keyboard[3 * led] = 40;
    keyboard[3 * led + 1] = 50;
    keyboard[3 * led + 2] = 60;
  }
  EXPECT_EQ(keyboard[3 * 13], 0);
  EXPECT_TRUE(Shows(rig.Emulated(Device::kKeyboard), keyboard));

  // A disconnection clears the pad's flag; back, it shows its own 60-byte static frame.
  rig.Channel(Device::kMousepad).SetSyncFlag(false);
  EXPECT_TRUE(Shows(rig.Emulated(Device::kMousepad), Repeated({0, 255, 0}, 15, 60)));
  EXPECT_TRUE(Shows(rig.Emulated(Device::kMouse), Repeated({40, 50, 60}, 20, 60)));
  engine.SignalStop();
  EXPECT_TRUE(engine.Join(2000));
}

}  // namespace
}  // namespace vz::lighting
