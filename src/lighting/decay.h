// How a lit element fades: bands of levels, each losing a fixed amount per frame. A level
// never drops below 0, so a faint element goes dark instead of wrapping to a bright one.
#pragma once

#include <array>
#include <cstdint>

namespace vz::lighting {

struct DecayBand {
  std::uint8_t from;   // the band holds levels from..(the previous band's from - 1)
  std::uint8_t minus;  // lost per frame
};

using DecayRule = std::array<DecayBand, 6>;

// Bands from the brightest down; a band of {0, 0} ends the rule early.
constexpr std::uint8_t Decay(std::uint8_t level, const DecayRule& rule) {
  for (const DecayBand& band : rule) {
    if (band.from == 0) break;
    if (level >= band.from) {
      return level > band.minus ? static_cast<std::uint8_t>(level - band.minus) : 0;
    }
  }
  return level;
}

inline constexpr DecayRule kMouseRippleDecay = {
    {{128, 40}, {64, 30}, {32, 10}, {17, 8}, {1, 4}, {0, 0}}};
inline constexpr DecayRule kPadRippleDecay = {
    {{128, 30}, {64, 20}, {32, 10}, {17, 5}, {1, 1}, {0, 0}}};
// The keyboard's: levels 1..8 go dark at once.
inline constexpr DecayRule kKeyDecay = {{{128, 30}, {64, 20}, {32, 10}, {17, 5}, {9, 4}, {1, 8}}};
// The keyboard's space-bar ripple fades faster in the upper bands. Its band 9..16 falls by
// 4 like the other rule's, so a key that was lit does not keep a faint glow for ever.
inline constexpr DecayRule kKeySpaceRippleDecay = {
    {{128, 40}, {64, 30}, {32, 10}, {17, 8}, {9, 4}, {1, 8}}};

static_assert(Decay(3, kMouseRippleDecay) == 0 && Decay(255, kMouseRippleDecay) == 215);
static_assert(Decay(16, kPadRippleDecay) == 15 && Decay(0, kPadRippleDecay) == 0);
static_assert(Decay(8, kKeyDecay) == 0 && Decay(9, kKeyDecay) == 5 && Decay(128, kKeyDecay) == 98);

}  // namespace vz::lighting
