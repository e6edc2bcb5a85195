// Keyboard effects. A generator writes a colour and a level for every key into the
// per-key table; the frame step then turns the table into the frame of the keyboard model:
// 378 bytes (red, green, blue per LED, each scaled by the key's level) for the colour
// model, 126 level bytes for the single-colour model. Nothing here sleeps or sends.
#pragma once

#include <array>
#include <cstdint>

#include "lighting/colour_tables.h"
#include "lighting/keyboard_tables.h"
#include "lighting/light_frame.h"
#include "lighting/lighting_fields.h"

namespace vz::lighting {

struct KeyEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t level = 0;
};

// Four planes over the 23 columns of kKeyColumns. Bits 0..5 of a byte are rows 0..5 (0 the
// top row), bits 6 and 7 two rows below the keyboard. A cell is set when any plane has it.
struct RippleField {
  enum Plane { kUpLeft = 0, kDownLeft = 1, kUpRight = 2, kDownRight = 3 };
  std::array<std::array<std::uint8_t, kColumnCount>, 4> planes{};

  std::uint8_t Column(std::size_t column) const;  // the four planes or'ed together
  void SetInAllPlanes(std::size_t column, std::uint8_t bits);
  // Every set bit moves one column sideways and leaves a copy one row up or down.
  void Shift();
};

struct ShowState {
  std::uint8_t stage = 0;  // 0 sweep, 1 pairs, 2 ripple start, 3 ripple, 4 fade out
  std::uint8_t position = 0;
};

struct KeyboardEffectState {
  std::array<KeyEntry, kKeyCount> table{};  // the frame step's input
  // Per-key effect state. The level is also the pulse counter of colour mode 11.
  std::array<std::uint8_t, kKeyCount> hue{};
  std::array<std::uint8_t, kKeyCount> level{};
  std::array<std::uint8_t, kKeyCount> pulse{};  // counters of colour mode 16, single 8 and 9
  std::uint8_t sharedHue = 0;
  std::uint8_t counter = 0;  // the keyboard engine's step counter
  std::uint8_t rainPosition = 0;
  std::uint8_t diagonalHue = 0;
  RippleField ripple;
  ShowState show;
};

// What one keyboard frame is made from. `custom` is the active set of the custom colour
// layouts: 3 bytes per LED for the colour model, 1 byte per LED (255 lit) for the other.
struct KeyboardInput {
  LightingFields fields;
  std::uint8_t model = kColourKeyboard;
  std::array<std::uint8_t, kColourFrameSize> custom{};
};

// True when the model has the mode: 17 modes for the colour model, 11 for the other.
bool KeyboardModeKnown(std::uint8_t model, std::uint8_t mode);

// The pause the thread makes before drawing this mode, in ms.
std::uint32_t KeyboardPauseBeforeMs(std::uint8_t model, std::uint8_t mode);

// Draws one frame into state.table. `syncCounter` is the synchronized engine's step
// counter, which the row rainbow and the snake use. Returns false, touching nothing, when
// the model flag or the mode is unknown.
bool DrawKeyboard(const KeyboardInput& in, KeyboardEffectState& state, std::uint8_t& syncCounter);

// The frame step: the frame of the model from the per-key table; keys without LED in the
// model never reach it. An unknown model gives a frame of length 0.
LightFrame KeyboardFrame(const KeyboardEffectState& state, std::uint8_t model);

// What the keys of a frame show, by key number (the on-screen keys); black for keys without
// LED. A level frame shows white at the key's level.
std::array<Rgb, kKeyCount> KeyboardPreview(const LightFrame& frame, std::uint8_t model);

// The preparation made when a mode is chosen on the keyboard page: the hue spread of colour
// mode 4, the ripple seeds of colour modes 5 and 15 and single-colour mode 3, the pulse
// counters of colour modes 11 and 16 and single-colour modes 8 and 9. Other modes need none.
void PrepareKeyboardMode(KeyboardEffectState& state, std::uint8_t model, std::uint8_t mode);

// A drop of the rain on one key, as a click on it starts: full level and the next rain hue.
// Keys 126 and above are ignored.
void StartKeyEffect(KeyboardEffectState& state, std::uint8_t key);

}  // namespace vz::lighting
