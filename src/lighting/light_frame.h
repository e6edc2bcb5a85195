// One frame of command 18: a red, green, blue triple per LED in LED order (the
// single-colour keyboard takes one level byte per LED instead).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/lighting_fields.h"

namespace vz::lighting {

inline constexpr std::size_t kMaxFrameSize = 378;
inline constexpr std::uint16_t kMouseFrameSize = 60;
inline constexpr std::uint16_t kPadShortFrameSize = 45;
inline constexpr std::uint16_t kPadLongFrameSize = 60;  // static, breathing, flash: 15 zero bytes

struct LightFrame {
  std::array<std::uint8_t, kMaxFrameSize> bytes{};
  std::uint16_t length = 0;        // bytes to send; 0 sends nothing
  std::uint32_t pauseAfterMs = 0;  // the thread waits this long after sending

  void SetLed(std::size_t led, Rgb c) {
    bytes[3 * led] = c.red;
    bytes[3 * led + 1] = c.green;
    bytes[3 * led + 2] = c.blue;
  }
  Rgb Led(std::size_t led) const {
    return {bytes[3 * led], bytes[3 * led + 1], bytes[3 * led + 2]};
  }
};

}  // namespace vz::lighting
