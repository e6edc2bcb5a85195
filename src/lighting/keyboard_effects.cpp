#include "lighting/keyboard_effects.h"

#include <algorithm>
#include <cstddef>

#include "lighting/keyboard_modes.h"

namespace vz::lighting {
namespace {

using keyboard::kColourModes;
using keyboard::kSingleColourModes;
using keyboard::ModeRow;

const ModeRow* FindMode(std::uint8_t model, std::uint8_t mode) {
  if (model == kColourKeyboard && mode < kColourModes.size()) return &kColourModes[mode];
  if (model == kSingleColourKeyboard && mode < kSingleColourModes.size()) {
    return &kSingleColourModes[mode];
  }
  return nullptr;
}

const std::array<std::uint8_t, kKeyCount>* LedMapOf(std::uint8_t model) {
  if (model == kColourKeyboard) return &kColourKeyLed;
  if (model == kSingleColourKeyboard) return &kSingleKeyLed;
  return nullptr;
}

// Hues of colour mode 4: a running sum from 0 that steps by 33, or by 97 in 160..222.
void SpreadHues(KeyboardEffectState& s) {
  std::uint8_t sum = 0;
  for (std::uint8_t& hue : s.hue) {
    hue = sum;
    sum = static_cast<std::uint8_t>(sum + (sum < 160 || sum > 222 ? 33 : 97));
  }
}

void SeedRipple(KeyboardEffectState& s, std::size_t column, std::size_t row) {
  s.ripple.SetInAllPlanes(column, keyboard::RowBit(row));
}

// Counters from the start table, hue 7 x column where `hues` is given.
void StartPulses(KeyboardEffectState& s, std::array<std::uint8_t, kKeyCount>& counters,
                 bool hues) {
  for (std::size_t col = 0; col < kColumnCount; ++col) {
    for (std::size_t row = 0; row < kKeyRows; ++row) {
      const std::uint8_t key = kKeyColumns[col][row];
      if (key == kNoKey) continue;
      counters[key] = kPulseStart[col][row];
      if (hues) s.hue[key] = static_cast<std::uint8_t>(7 * col);
    }
  }
}

// Counters falling away diagonally: column i starts at 192 - 8i, each row 35 lower, and a
// result of 192 or more (as a byte) 63 lower again.
void SeedPulsesDiagonally(KeyboardEffectState& s) {
  for (std::size_t col = 0; col < kColumnCount; ++col) {
    auto value = static_cast<std::uint8_t>(192 - 8 * col);
    for (std::size_t row = 0; row < kKeyRows; ++row) {
      value = static_cast<std::uint8_t>(value - 35);
      if (value >= 192) value = static_cast<std::uint8_t>(value - 63);
      const std::uint8_t key = kKeyColumns[col][row];
      if (key == kNoKey) continue;
      s.pulse[key] = value;
      s.hue[key] = static_cast<std::uint8_t>(7 * col);
    }
  }
}

enum class Prep {
  kNone,
  kHueSpread,
  kSpaceSeed,
  kCornerSeed,
  kNamedPulses,
  kStartPulses,
  kDiagonal,
};

struct PrepRow {
  std::uint8_t model;
  std::uint8_t mode;
  Prep prep;
};

constexpr std::array<PrepRow, 8> kPreparations = {{
    {kColourKeyboard, 4, Prep::kHueSpread},
    {kColourKeyboard, 5, Prep::kSpaceSeed},
    {kColourKeyboard, 11, Prep::kNamedPulses},
    {kColourKeyboard, 15, Prep::kCornerSeed},
    {kColourKeyboard, 16, Prep::kDiagonal},
    {kSingleColourKeyboard, 3, Prep::kSpaceSeed},
    {kSingleColourKeyboard, 8, Prep::kStartPulses},
    {kSingleColourKeyboard, 9, Prep::kDiagonal},
}};

}  // namespace

std::uint8_t RippleField::Column(std::size_t column) const {
  return static_cast<std::uint8_t>(planes[kUpLeft][column] | planes[kDownLeft][column] |
                                   planes[kUpRight][column] | planes[kDownRight][column]);
}

void RippleField::SetInAllPlanes(std::size_t column, std::uint8_t bits) {
  for (auto& plane : planes) plane[column] |= bits;
}

void RippleField::Shift() {
  constexpr std::size_t kLast = kColumnCount - 1;
  const auto old = planes;
  // Each plane moves its bits one row (up: >> 1, down: << 1 cut to 8 bits) and one column
  // sideways: the left planes take in the old bits of the column to their right, the right
  // planes those of the column to their left.
  auto step = [&](Plane p, bool up, std::size_t k) {
    const std::uint8_t v = old[p][k];
    const bool fromRight = p == kUpLeft || p == kDownLeft;
    std::uint8_t neighbour = 0;
    if (fromRight && k < kLast) neighbour = old[p][k + 1];
    if (!fromRight && k > 0) neighbour = old[p][k - 1];
    return static_cast<std::uint8_t>((up ? v >> 1 : v << 1) | neighbour);
  };
  for (std::size_t k = 0; k < kColumnCount; ++k) {
    planes[kUpLeft][k] = step(kUpLeft, true, k);
    planes[kDownLeft][k] = step(kDownLeft, false, k);
    planes[kUpRight][k] = step(kUpRight, true, k);
    planes[kDownRight][k] = step(kDownRight, false, k);
  }
}

bool KeyboardModeKnown(std::uint8_t model, std::uint8_t mode) {
  return FindMode(model, mode) != nullptr;
}

std::uint32_t KeyboardPauseBeforeMs(std::uint8_t model, std::uint8_t mode) {
  const ModeRow* row = FindMode(model, mode);
  return row != nullptr ? row->pauseBeforeMs : 0;
}

bool DrawKeyboard(const KeyboardInput& in, KeyboardEffectState& state, std::uint8_t& syncCounter) {
  const ModeRow* row = FindMode(in.model, in.fields.mode);
  if (row == nullptr) return false;
  keyboard::Ctx c{in, state, syncCounter, in.model == kSingleColourKeyboard};
  row->draw(c);
  return true;
}

LightFrame KeyboardFrame(const KeyboardEffectState& state, std::uint8_t model) {
  LightFrame frame;
  const auto* leds = LedMapOf(model);
  if (leds == nullptr) return frame;
  const bool levels = model == kSingleColourKeyboard;
  frame.length = levels ? kLevelFrameSize : kColourFrameSize;
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    const std::uint8_t led = (*leds)[k];
    if (led == kNoKey) continue;
    const KeyEntry& e = state.table[k];
    if (levels) {
      frame.bytes[led] = e.level;
    } else {
      frame.SetLed(led, {ApplyLevel(e.red, e.level), ApplyLevel(e.green, e.level),
                         ApplyLevel(e.blue, e.level)});
    }
  }
  return frame;
}

std::array<Rgb, kKeyCount> KeyboardPreview(const LightFrame& frame, std::uint8_t model) {
  std::array<Rgb, kKeyCount> keys{};
  const auto* leds = LedMapOf(model);
  if (leds == nullptr || frame.length == 0) return keys;
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    const std::uint8_t led = (*leds)[k];
    if (led == kNoKey) continue;
    if (model == kSingleColourKeyboard) {
      const std::uint8_t v = frame.bytes[led];
      keys[k] = {v, v, v};
    } else {
      keys[k] = frame.Led(led);
    }
  }
  return keys;
}

void PrepareKeyboardMode(KeyboardEffectState& state, std::uint8_t model, std::uint8_t mode) {
  const auto* row =
      std::find_if(kPreparations.begin(), kPreparations.end(),
                   [&](const PrepRow& r) { return r.model == model && r.mode == mode; });
  const Prep prep = row != kPreparations.end() ? row->prep : Prep::kNone;
  switch (prep) {
    case Prep::kHueSpread:
      SpreadHues(state);
      break;
    case Prep::kSpaceSeed:
      SeedRipple(state, keyboard::kSpaceColumn, keyboard::kBelowRow);
      break;
    case Prep::kCornerSeed:
      SeedRipple(state, keyboard::kLeftCornerColumn, 0);
      break;
    case Prep::kNamedPulses:
      StartPulses(state, state.level, true);
      break;
    case Prep::kStartPulses:
      StartPulses(state, state.pulse, false);
      break;
    case Prep::kDiagonal:
      SeedPulsesDiagonally(state);
      break;
    case Prep::kNone:
      break;
  }
}

}  // namespace vz::lighting
