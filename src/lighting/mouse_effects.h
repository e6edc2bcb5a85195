// Frame generators of the mouse (20 LEDs, 7 columns of 3) and the mousepad (15 LEDs, a
// 5 x 7 grid). Each call computes one frame from the device's lighting fields and the
// engine's own state, which it updates; nothing here sleeps, sends or reads a clock.
#pragma once

#include <array>
#include <cstdint>

#include "lighting/light_frame.h"
#include "lighting/lighting_fields.h"

namespace vz::lighting {

// The ring that carries the ripple: a set flag lights its element and moves one place per
// frame. 23 places, of which the mouse lights 0..13 (shows 0..6) and the pad 0..14.
inline constexpr std::size_t kRingSize = 23;

struct ReactiveState {
  bool active = false;
  std::uint8_t level = 0;
  std::uint32_t startTick = 0;
  std::uint8_t hue = 0;  // wheel index 0..191, moved on by 14 at every trigger
};

struct RippleRing {
  std::array<bool, kRingSize> ring{};
  std::array<std::uint8_t, kRingSize> level{};
  std::array<std::uint8_t, kRingSize> hue{};
};

struct BounceState {
  std::int8_t position = 0;  // runs -1 .. n + 1
  bool falling = false;
};

// The mousepad's sweep: phase 0 grows the lit block from the left, phase 1 shrinks it.
struct SweepState {
  std::uint8_t phase = 0;
  std::uint16_t mask = 0;
  std::uint8_t count = 0;
};

// Everything the mouse or the mousepad engine keeps between frames. Starts dark.
struct PointerEffectState {
  std::uint8_t counter = 0;  // the engine's step counter
  std::uint8_t palette = 0;  // mouse breathing palette 0..2
  BounceState bounce;
  ReactiveState reactive;
  RippleRing ripple;
  SweepState sweep;  // mousepad only
};

// What one frame is made from. `triggered` is true when a button event was taken for this
// frame (only the reactive modes take one, see TakesTrigger). `rippleHue` is the hue byte
// the mouse and mousepad ripples share. `tick` is the millisecond tick count.
struct PointerInput {
  LightingFields fields;
  bool triggered = false;
  std::uint32_t tick = 0;
};

// Mouse modes 0..6: 60-byte frames. Another mode gives a frame of length 0.
bool MouseModeKnown(std::uint8_t mode);
bool MouseTakesTrigger(std::uint8_t mode);
LightFrame MouseFrame(const PointerInput& in, PointerEffectState& state, std::uint8_t& rippleHue);

// Mousepad modes 0..8: 45-byte frames, 60 bytes in modes 2, 3 and 8 with the last 15 zero.
// The sweep (mode 7) gives no frame and a 1000 ms pause when it changes phase.
bool MousepadModeKnown(std::uint8_t mode);
bool MousepadTakesTrigger(std::uint8_t mode);
LightFrame MousepadFrame(const PointerInput& in, PointerEffectState& state,
                         std::uint8_t& rippleHue);

// The ripple restart made when the ripple mode or a direction is chosen: the ring holds one
// flag, at place 7 for the mouse with direction set (it then runs towards 0), else at 0.
void SeedMouseRipple(PointerEffectState& state, bool direction);
void SeedMousepadRipple(PointerEffectState& state);

}  // namespace vz::lighting
