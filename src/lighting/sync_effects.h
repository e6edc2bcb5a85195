// The synchronized effects: one effect from SyncLighting drawn on every device in sync,
// placed on the 23 columns of the common layout (keyboard column map, mouse columns 0..6,
// mousepad LEDs 0..14). One call gives one frame for each device in sync.
#pragma once

#include <cstdint>

#include "lighting/light_frame.h"
#include "lighting/lighting_fields.h"

namespace vz::lighting {

struct SyncTargets {
  bool mouse = false;
  bool mousepad = false;
  bool keyboard = false;
  std::uint8_t keyboardModel = kColourKeyboard;
};

// A frame of length 0 goes to nobody. pauseAfterMs holds the effect's own pause plus the
// pauses that stand in for the devices not in sync.
struct SyncFrames {
  LightFrame mouse;
  LightFrame mousepad;
  LightFrame keyboard;
  std::uint32_t pauseAfterMs = 0;
};

// Modes 0 wave, 1 colour cycle, 2 breathing, 3 static.
bool SyncModeKnown(std::uint8_t mode);

// `counter` is the synchronized engine's step counter. A single-colour keyboard receives a
// level frame: each key's level is the brightest component of its colour.
SyncFrames SyncFrame(const LightingFields& sync, std::uint8_t& counter, const SyncTargets& to);

}  // namespace vz::lighting
