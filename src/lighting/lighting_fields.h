// The values every effect generator works from: the eight lighting bytes of a device
// (or of the synchronized lighting) and colours as red, green, blue bytes.
#pragma once

#include <cstdint>

#include "settings/settings_layout.h"

namespace vz::lighting {

// The same layouts the device images keep: bytes 1..8 of a device's ActiveSettings, or the
// whole of SyncLighting. brightness 0..4 and speed 0..4 (0 fastest) as stored; other values
// are tolerated.
using vz::LightingFields;
using vz::Rgb;

enum class Device : std::uint8_t { kMouse = 0, kMousepad = 1, kKeyboard = 2 };

// The keyboard model flag: which mode set and which frame the keyboard takes.
inline constexpr std::uint8_t kColourKeyboard = 0;
inline constexpr std::uint8_t kSingleColourKeyboard = 1;

}  // namespace vz::lighting
