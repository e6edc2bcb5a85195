// The keyboard's mode tables, shared by the generator entry points and the mode files.
#pragma once

#include <array>
#include <cstdint>

#include "lighting/keyboard_effects.h"

namespace vz::lighting::keyboard {

// The ripple field's seeds: the space bar's column, one row below the keyboard, and the
// two top corners.
inline constexpr std::size_t kSpaceColumn = 9;
inline constexpr std::size_t kBelowRow = 6;
inline constexpr std::size_t kLeftCornerColumn = 1;
inline constexpr std::size_t kRightCornerColumn = 22;

constexpr std::uint8_t RowBit(std::size_t row) { return static_cast<std::uint8_t>(1u << row); }

struct Ctx {
  const KeyboardInput& in;
  KeyboardEffectState& s;
  std::uint8_t& syncCounter;
  bool levelsOnly;  // the single-colour model: only the level reaches the keyboard

  const LightingFields& f() const { return in.fields; }
  std::uint8_t b() const { return BrightnessFactor(in.fields.brightness); }
  // b x value >> 8: the brightness applied to an effect's own level.
  std::uint8_t Dimmed(std::uint8_t value) const {
    return static_cast<std::uint8_t>(b() * value >> 8);
  }
  void Put(std::size_t key, Rgb colour, std::uint8_t level) {
    // A level-only key shows white on the preview.
    const Rgb c = levelsOnly ? Rgb{255, 255, 255} : colour;
    s.table[key] = {c.red, c.green, c.blue, level};
  }
};

struct ModeRow {
  void (*draw)(Ctx&);
  std::uint32_t pauseBeforeMs;
};

extern const std::array<ModeRow, 17> kColourModes;
extern const std::array<ModeRow, 11> kSingleColourModes;

}  // namespace vz::lighting::keyboard
