// Colours: three bytes red, green, blue in every image and file; 0xFFRRGGBB on controls.
#pragma once

#include <cstdint>

namespace vz {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr std::uint32_t ToArgb(Rgb c) {
  return 0xFF000000u | std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
}

constexpr Rgb FromArgb(std::uint32_t argb) {
  return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
          static_cast<std::uint8_t>(argb)};
}

}  // namespace vz
