// Factory cursor sequences: recoil compensation for four fire patterns. Each bullet fires
// (left button held briefly), pulls down one count at once, waits the bullet delay and
// then moves by the bullet's offsets; the offsets grow over the first bullets of a spray
// as recoil climbs, then settle, with a slight sideways drift.
#include <array>
#include <cstdio>
#include <cstdlib>

#include "tools/factory/factory.h"

namespace vz::factory {

namespace {

constexpr std::uint8_t kButtonPress = 0x81;
constexpr std::uint8_t kButtonRelease = 0x01;
constexpr std::uint8_t kLeftButton = 0x01;
constexpr std::uint8_t kMoveLeft = 0x84;
constexpr std::uint8_t kMoveRight = 0x04;
constexpr std::uint8_t kMoveUp = 0x85;
constexpr std::uint8_t kMoveDown = 0x05;

constexpr std::uint16_t kTriggerHoldMs = 20;
constexpr std::uint16_t kReleaseMs = 5;
constexpr std::uint8_t kBasePull = 1;

struct Pattern {
  std::uint16_t bulletDelayMs;
  std::array<std::int8_t, kBulletCount> horizontal;  // counts per bullet, negative = left
  std::array<std::uint8_t, kBulletCount> down;       // counts per bullet
};

// clang-format off
constexpr std::array<Pattern, kGunSlotCount> kPatterns = {{
    // 1: a steady rifle, drifting right after the first burst.
    {100,
     {0, 0, 0, 1, 1, 1, 1, 1, 0, 0, -1, -1, 0, 0, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 1, 1, 0, 0, 0},
     {2, 3, 4, 5, 6, 6, 6, 5, 5, 5, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
    // 2: a fast rifle that climbs hard and pulls left.
    {90,
     {0, 0, -1, -1, -1, -1, -2, -2, -1, -1, 0, 0, 1, 1, 1, 0, 0, -1, -1, -1, 0, 0, 1, 1, 0, 0, -1, -1, 0, 0},
     {3, 4, 5, 6, 7, 7, 7, 6, 6, 5, 5, 5, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
    // 3: a slower, heavier rifle with a wide sway.
    {110,
     {0, 1, 1, 2, 2, 1, 0, -1, -2, -2, -1, 0, 1, 2, 2, 1, 0, -1, -2, -2, -1, 0, 1, 2, 2, 1, 0, -1, -1, 0},
     {3, 4, 6, 7, 8, 8, 7, 7, 6, 6, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
    // 4: a light carbine, gentle and nearly straight.
    {95,
     {0, 0, 0, 0, 1, 0, 0, 0, -1, 0, 0, 0, 1, 0, 0, 0, -1, 0, 0, 0, 1, 0, 0, 0, -1, 0, 0, 0, 0, 0},
     {1, 2, 2, 3, 3, 4, 4, 4, 3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
}};
// clang-format on

CursorStep HorizontalMove(int counts) {
  const auto distance = static_cast<std::uint8_t>(std::abs(counts));
  if (counts < 0) return {0, kMoveLeft, distance, 1, "mouse_move_to_left_text"};
  return {0, kMoveRight, distance, 0, "mouse_move_to_right_text"};
}

CursorStep DownMove(std::uint16_t delay, std::uint8_t counts) {
  return {delay, kMoveDown, counts, 0, "mouse_move_to_down_text"};
}

}  // namespace

std::vector<CursorStep> FactoryCursorSequence(int gunSlot) {
  const Pattern& pattern = kPatterns.at(static_cast<std::size_t>(gunSlot));
  std::vector<CursorStep> steps;
  steps.reserve(kBulletCount * kStepsPerBullet);
  for (std::size_t b = 0; b < kBulletCount; ++b) {
    steps.push_back({kTriggerHoldMs, kButtonPress, kLeftButton, 1, "mouse_key_left"});
    steps.push_back({kReleaseMs, kButtonRelease, kLeftButton, 0, "mouse_key_left"});
    steps.push_back(DownMove(0, kBasePull));
    // The bullet delay rides on a move of no distance, so editing it moves nothing.
    steps.push_back(DownMove(pattern.bulletDelayMs, 0));
    steps.push_back(HorizontalMove(pattern.horizontal[b]));
    steps.push_back(DownMove(0, pattern.down[b]));
  }
  return steps;
}

std::string CursorFileName(int gunSlot) { return "name_" + std::to_string(gunSlot + 1) + ".cur"; }

std::string CursorFileText(const std::vector<CursorStep>& steps) {
  std::string text = "[MACROACTIONCOUNT]\ncount=" + std::to_string(steps.size()) + "\n[MACROACTION]\n";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const CursorStep& s = steps[i];
    char line[64];
    std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,", s.delay & 0xFF, s.delay >> 8, s.type,
                  s.code, s.pressed);
    text += std::to_string(i) + "=" + line + std::string(s.label) + "\n";
  }
  return text;
}

}  // namespace vz::factory
