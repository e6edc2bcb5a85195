#include <gtest/gtest.h>

#include <set>

#include "lighting/colour_tables.h"
#include "lighting/decay.h"
#include "lighting/keyboard_tables.h"
#include "lighting/pacing.h"

namespace vz::lighting {
namespace {

TEST(ColourWheel, SegmentsRiseAndFallThroughTheSixHues) {
  struct Row {
    std::size_t index;
    Rgb colour;
  };
  const Row rows[] = {
      {0, {255, 1, 0}},    {9, {255, 32, 0}},  {31, {255, 255, 0}}, {32, {248, 255, 0}},
      {63, {0, 255, 0}},   {64, {0, 255, 1}},  {95, {0, 255, 255}}, {96, {0, 248, 255}},
      {127, {0, 0, 255}},  {128, {1, 0, 255}}, {159, {255, 0, 255}}, {160, {255, 0, 248}},
      {191, {255, 0, 0}},  {192, {255, 1, 0}}, {255, {0, 255, 0}},
  };
  for (const Row& r : rows) EXPECT_EQ(kWheel[r.index], r.colour) << "entry " << r.index;
  // In every entry of the cycle one component is 255 and the two others never both are.
  for (std::size_t i = 0; i < kWheelCycle; ++i) {
    const Rgb c = kWheel[i];
    const int full = (c.red == 255) + (c.green == 255) + (c.blue == 255);
    EXPECT_TRUE(full == 1 || full == 2) << "entry " << i;
  }
}

TEST(ColourArithmetic, ScalingKeepsFullFactorAndRoundsDown) {
  struct Row {
    std::uint8_t component, factor, expected;
  };
  const Row rows[] = {{255, 255, 255}, {128, 255, 128}, {255, 45, 45},
                      {128, 45, 23},   {255, 0, 0},     {1, 149, 0}};
  for (const Row& r : rows) {
    EXPECT_EQ(Scale(r.component, r.factor), r.expected)
        << int(r.component) << " x " << int(r.factor);
  }
  EXPECT_EQ(BrightnessFactor(0), 45);
  EXPECT_EQ(BrightnessFactor(4), 255);
  EXPECT_EQ(BrightnessFactor(9), 255) << "an out-of-range brightness byte must not read past";
}

TEST(StepCounter, WrapsBothWaysAndRecoversFromAnotherCycleLength) {
  struct Row {
    std::uint8_t start, direction, n, expected;
  };
  const Row rows[] = {
      {0, 1, 192, 1},    {191, 1, 192, 0},  {0, 0, 192, 191}, {5, 0, 192, 4},
      {127, 1, 128, 0},  {0, 0, 128, 127},  {95, 1, 96, 0},   {0, 0, 96, 95},
      // A counter left by a longer cycle (or by the shared sync counter) comes back in range.
      {150, 1, 128, 0},  {150, 0, 128, 127}, {128, 0, 128, 127}, {191, 0, 96, 95},
  };
  for (const Row& r : rows) {
    std::uint8_t counter = r.start;
    EXPECT_EQ(Advance(counter, r.direction, r.n), r.expected)
        << int(r.start) << " dir " << int(r.direction) << " n " << int(r.n);
    EXPECT_EQ(counter, r.expected);
  }
}

TEST(Decay, BandsOfEachRuleAndNoWrapBelowZero) {
  struct Row {
    const char* rule;
    const DecayRule* bands;
    std::uint8_t level, expected;
  };
  const Row rows[] = {
      {"mouse", &kMouseRippleDecay, 255, 215}, {"mouse", &kMouseRippleDecay, 127, 97},
      {"mouse", &kMouseRippleDecay, 40, 30},   {"mouse", &kMouseRippleDecay, 20, 12},
      {"mouse", &kMouseRippleDecay, 3, 0},     {"mouse", &kMouseRippleDecay, 0, 0},
      {"pad", &kPadRippleDecay, 128, 98},      {"pad", &kPadRippleDecay, 64, 44},
      {"pad", &kPadRippleDecay, 17, 12},       {"pad", &kPadRippleDecay, 3, 2},
      {"key", &kKeyDecay, 130, 100},           {"key", &kKeyDecay, 16, 12},
      {"key", &kKeyDecay, 9, 5},               {"key", &kKeyDecay, 8, 0},
      {"space", &kKeySpaceRippleDecay, 255, 215}, {"space", &kKeySpaceRippleDecay, 100, 70},
      {"space", &kKeySpaceRippleDecay, 20, 12},   {"space", &kKeySpaceRippleDecay, 12, 8},
      {"space", &kKeySpaceRippleDecay, 8, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Decay(r.level, *r.bands), r.expected) << r.rule << " " << int(r.level);
  }
  // Whatever the start, every key of the space ripple goes dark: nothing keeps a glow.
  for (int start = 1; start < 256; ++start) {
    std::uint8_t level = static_cast<std::uint8_t>(start);
    for (int frame = 0; frame < 40; ++frame) level = Decay(level, kKeySpaceRippleDecay);
    EXPECT_EQ(level, 0) << "from " << start;
  }
}

TEST(KeyboardTables, OrdersCoverTheKeysTheyShould) {
  // The rain takes every serpentine index once per round.
  EXPECT_EQ(std::set<int>(kRainOrder.begin(), kRainOrder.end()).size(), 104u);
  const std::array<std::uint8_t, 10> rainStart = {88, 24, 101, 57, 49, 20, 5, 14, 16, 69};
  EXPECT_TRUE(std::equal(rainStart.begin(), rainStart.end(), kRainOrder.begin()));
  EXPECT_EQ(kSerpentine.front(), 15);
  EXPECT_EQ(kSerpentine.back(), 77);
  EXPECT_EQ(kSnakePath[16], 41);
  EXPECT_EQ(kSnakePath[62], kNoKey);
  EXPECT_EQ(kSnakePath[105], 105);
  // Every key on the column map has an LED in both models.
  for (const auto& column : kKeyColumns) {
    for (std::uint8_t key : column) {
      if (key == kNoKey) continue;
      EXPECT_NE(kColourKeyLed[key], kNoKey) << "key " << int(key);
      EXPECT_NE(kSingleKeyLed[key], kNoKey) << "key " << int(key);
    }
  }
}

TEST(Pacing, DelayTablesBySpeedAndMode) {
  struct Row {
    const char* what;
    std::uint32_t actual, expected;
  };
  const Row rows[] = {
      {"mouse speed 0", MouseFirstWaitMs(0) + MouseSecondWaitMs(0), 3},
      {"mouse speed 4", MouseFirstWaitMs(4) + MouseSecondWaitMs(4), 51},
      {"mouse ripple", MousePauseBeforeMs(5), 50},
      {"mouse static", MousePauseBeforeMs(3), 0},
      {"pad speed 1", MousepadDelayMs(1), 13},
      {"pad speed 200", MousepadDelayMs(200), 65},
      {"pad bounce speed 2", MousepadPauseBeforeMs(4, 2), 120},
      {"pad sweep speed 3", MousepadPauseBeforeMs(7, 3), 65},
      {"pad ripple", MousepadPauseBeforeMs(5, 4), 50},
      {"keyboard wave fastest", KeyboardDelayMs(0, 0), 2},
      {"keyboard snake fastest", KeyboardDelayMs(12, 0), 3},
      {"keyboard rain fastest", KeyboardDelayMs(9, 0), 9},
      {"keyboard speed 2", KeyboardDelayMs(9, 2), 27},
      {"keyboard speed 5", KeyboardDelayMs(1, 5), 29},
      {"keyboard breathing speed 14", KeyboardDelayMs(2, 14), 63},
      {"keyboard mode 40", KeyboardDelayMs(40, 0), 9},
      {"sync speed 3", SyncDelayMs(3), 12},
  };
  for (const Row& r : rows) EXPECT_EQ(r.actual, r.expected) << r.what;
}

}  // namespace
}  // namespace vz::lighting
