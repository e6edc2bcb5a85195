// The fixed tables and the arithmetic shared by every effect generator: brightness
// factors, the colour wheel, the wave and breath curves, the placement of the three
// devices' LEDs on the 23 columns of the synchronized layout, scaling and the step counter.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/lighting_fields.h"

namespace vz::lighting {

// Brightness b (0..4) gives the factor every frame is scaled by. Values above 4 (a stored
// byte from an old profile) are read as 4.
inline constexpr std::array<std::uint8_t, 5> kBrightnessFactor = {45, 97, 149, 201, 255};

constexpr std::uint8_t BrightnessFactor(std::uint8_t brightness) {
  return kBrightnessFactor[brightness < kBrightnessFactor.size() ? brightness : 4];
}

// Scaling by factor v: each component c becomes (c * (v + 1)) >> 8, so 255 keeps a colour.
constexpr std::uint8_t Scale(std::uint8_t c, std::uint8_t v) {
  return static_cast<std::uint8_t>((c * (v + 1)) >> 8);
}

constexpr Rgb Scale(Rgb c, std::uint8_t v) {
  return {Scale(c.red, v), Scale(c.green, v), Scale(c.blue, v)};
}

// A level applied by the keyboard's frame step: (c * level) >> 8.
constexpr std::uint8_t ApplyLevel(std::uint8_t c, std::uint8_t level) {
  return static_cast<std::uint8_t>((c * level) >> 8);
}

// value + 1, or 0 when that reaches n (also for a value already at or past n).
constexpr std::uint8_t NextBelow(std::uint8_t value, std::size_t n) {
  return std::size_t{value} + 1 >= n ? 0 : static_cast<std::uint8_t>(value + 1);
}

// The step counter each engine keeps: with direction not 0 it counts up and wraps from
// n - 1 to 0, with direction 0 it counts down and wraps from 0 to n - 1. A counter that
// another user left at n or above (the keyboard shares the sync engine's counter) is
// brought back into 0..n - 1 the same way.
constexpr std::uint8_t Advance(std::uint8_t& counter, std::uint8_t direction, std::uint8_t n) {
  if (direction != 0) {
    counter = NextBelow(counter, n);
  } else {
    counter = counter == 0 || counter > n ? static_cast<std::uint8_t>(n - 1)
                                          : static_cast<std::uint8_t>(counter - 1);
  }
  return counter;
}

namespace detail {

inline constexpr std::array<std::uint8_t, 32> kRising = {
    1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81,  89,  99,  109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
inline constexpr std::array<std::uint8_t, 32> kFalling = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};

constexpr std::array<Rgb, 256> BuildWheel() {
  std::array<Rgb, 256> w{};
  for (std::size_t j = 0; j < 32; ++j) {
    const std::uint8_t up = kRising[j];
    const std::uint8_t down = kFalling[j];
    w[j] = {255, up, 0};          // red to yellow
    w[32 + j] = {down, 255, 0};   // yellow to green
    w[64 + j] = {0, 255, up};     // green to cyan
    w[96 + j] = {0, down, 255};   // cyan to blue
    w[128 + j] = {up, 0, 255};    // blue to magenta
    w[160 + j] = {255, 0, down};  // magenta to red
  }
  // A copy of the start of the cycle, so that any byte is a valid index.
  for (std::size_t j = 0; j < 64; ++j) w[192 + j] = w[j];
  return w;
}

inline constexpr std::array<std::uint8_t, 48> kWaveRise = {
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

template <std::size_t N>
constexpr std::array<std::uint8_t, 2 * N> Mirrored(const std::array<std::uint8_t, N>& rise) {
  std::array<std::uint8_t, 2 * N> t{};
  for (std::size_t i = 0; i < N; ++i) {
    t[i] = rise[i];
    t[2 * N - 1 - i] = rise[i];
  }
  return t;
}

constexpr std::array<std::uint8_t, 64> BuildBreathRise() {
  constexpr std::array<std::uint8_t, 24> start = {0,  1,  2,  3,  4,  5,  6,  7,
                                                  8,  9,  10, 12, 14, 16, 18, 20,
                                                  22, 24, 27, 30, 33, 36, 39, 42};
  std::array<std::uint8_t, 64> t{};
  std::size_t n = 0;
  for (std::uint8_t v : start) t[n++] = v;
  for (std::uint8_t v : kWaveRise) {
    if (v >= 45) t[n++] = v;
  }
  return t;
}

}  // namespace detail

inline constexpr std::array<Rgb, 256> kWheel = detail::BuildWheel();
inline constexpr std::size_t kWheelCycle = 192;
inline constexpr std::array<std::uint8_t, 96> kWave = detail::Mirrored(detail::kWaveRise);
inline constexpr std::array<std::uint8_t, 128> kBreath =
    detail::Mirrored(detail::BuildBreathRise());

static_assert(kWheel[0] == Rgb{255, 1, 0});
static_assert(kWheel[31] == Rgb{255, 255, 0});
static_assert(kWheel[63] == Rgb{0, 255, 0});
static_assert(kWheel[127] == Rgb{0, 0, 255});
static_assert(kWheel[191] == Rgb{255, 0, 0});
static_assert(kWheel[192 + 17] == kWheel[17] && kWheel[255] == kWheel[63]);
static_assert(kWave[0] == 22 && kWave[47] == 255 && kWave[48] == 255 && kWave[95] == 22);
static_assert(kBreath[23] == 42 && kBreath[24] == 45 && kBreath[63] == 255 && kBreath[127] == 0);

// "Colour" of the effects: the wheel entry named when the seven-colour flag is set, the
// fixed colour otherwise. wheelIndex is below 256.
constexpr Rgb EffectColour(const LightingFields& f, std::size_t wheelIndex) {
  return f.colourCycle != 0 ? kWheel[wheelIndex] : f.colour;
}

// The wave shared by the synchronized lighting and the mousepad, one colour per column.
// Seven-colour: the wheel from p = Advance(direction, 192) on, 7 entries per column. Else
// the fixed colour, brightened and dimmed along the wave table from p = Advance(direction,
// 96) on, 10 entries per column. `b` is the brightness factor.
template <std::size_t N>
constexpr void WaveColours(const LightingFields& f, std::uint8_t b, std::uint8_t& counter,
                           std::array<Rgb, N>& out) {
  if (f.colourCycle != 0) {
    std::size_t p = Advance(counter, f.direction, kWheelCycle);
    for (Rgb& c : out) {
      c = Scale(kWheel[p], b);
      p = (p + 7) % kWheelCycle;
    }
  } else {
    std::size_t p = Advance(counter, f.direction, kWave.size());
    for (Rgb& c : out) {
      c = Scale(Scale(f.colour, b), kWave[p]);
      p = (p + 10) % kWave.size();
    }
  }
}

// The synchronized layout has 23 columns. Each device places its LEDs on them.
inline constexpr std::size_t kColumnCount = 23;
inline constexpr std::size_t kKeyRows = 6;
inline constexpr std::uint8_t kNoKey = 126;  // a cell, path entry or map value without key

// Keyboard key numbers (0..119) by column, rows top to bottom.
inline constexpr std::array<std::array<std::uint8_t, kKeyRows>, kColumnCount> kKeyColumns = {{
    {126, 126, 126, 126, 126, 105}, {126, 21, 42, 63, 84, 106}, {0, 22, 43, 64, 85, 107},
    {1, 23, 44, 65, 86, 126},       {2, 24, 45, 66, 87, 126},   {3, 25, 46, 67, 88, 126},
    {4, 26, 47, 68, 89, 108},       {126, 27, 48, 69, 90, 126}, {5, 28, 49, 70, 91, 126},
    {6, 29, 50, 71, 92, 109},       {7, 30, 51, 72, 93, 126},   {8, 31, 52, 73, 94, 110},
    {9, 32, 53, 74, 126, 126},      {10, 33, 54, 126, 126, 111}, {11, 34, 55, 75, 95, 126},
    {12, 126, 126, 126, 126, 112},  {13, 35, 56, 126, 126, 113}, {14, 36, 57, 126, 96, 114},
    {15, 37, 58, 126, 126, 115},    {126, 38, 59, 76, 97, 116}, {126, 39, 60, 77, 98, 126},
    {126, 40, 61, 78, 99, 117},     {126, 41, 126, 119, 118, 126},
}};

// The mouse's 20 LEDs as 7 columns of 3 (LED 9 stands in two places of column 2).
inline constexpr std::size_t kMouseLeds = 20;
inline constexpr std::size_t kMouseColumns = 7;
inline constexpr std::array<std::array<std::uint8_t, 3>, kMouseColumns> kMouseColumnLeds = {{
    {0, 7, 19}, {1, 8, 18}, {2, 9, 9}, {3, 10, 14}, {4, 11, 15}, {5, 12, 16}, {6, 13, 17},
}};

// The mousepad's 15 LEDs: column i of the synchronized layout is LED i.
inline constexpr std::size_t kMousepadLeds = 15;

// The mousepad's LEDs on its 5 x 7 grid, as the LEDs of each grid column.
inline constexpr std::size_t kPadGridColumns = 7;
inline constexpr std::uint8_t kNoLed = 255;
inline constexpr std::array<std::array<std::uint8_t, 5>, kPadGridColumns> kPadGridColumnLeds = {{
    {0, 1, 2, 3, 4},
    {5, kNoLed, kNoLed, kNoLed, kNoLed},
    {6, kNoLed, kNoLed, kNoLed, kNoLed},
    {7, kNoLed, kNoLed, kNoLed, kNoLed},
    {8, kNoLed, kNoLed, kNoLed, kNoLed},
    {9, kNoLed, kNoLed, kNoLed, kNoLed},
    {14, 13, 12, 11, 10},
}};

}  // namespace vz::lighting
