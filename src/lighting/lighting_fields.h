// The values every effect generator works from: the eight lighting bytes of a device
// (or of the synchronized lighting) and colours as red, green, blue bytes.
#pragma once

#include <cstdint>

namespace vz::lighting {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Bytes 1..8 of a device's ActiveSettings, or the whole of SyncLighting.
// brightness 0..4 and speed 0..4 (0 fastest) as stored; other values are tolerated.
struct LightingFields {
  std::uint8_t mode = 0;
  std::uint8_t brightness = 0;
  std::uint8_t speed = 0;
  std::uint8_t direction = 0;    // not 0: left / up / forwards
  std::uint8_t colourCycle = 0;  // not 0: colours from the wheel instead of `colour`
  Rgb colour;
  friend bool operator==(const LightingFields&, const LightingFields&) = default;
};

enum class Device : std::uint8_t { kMouse = 0, kMousepad = 1, kKeyboard = 2 };

// The keyboard model flag: which mode set and which frame the keyboard takes.
inline constexpr std::uint8_t kColourKeyboard = 0;
inline constexpr std::uint8_t kSingleColourKeyboard = 1;

}  // namespace vz::lighting
