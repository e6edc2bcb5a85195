// The keyboard's fixed tables: where each key's LED sits in the two models' frames, the
// key orders the moving effects walk, and the curves and seeds of the per-key pulses.
// Keys are numbered 0..125 as the on-screen keyboard numbers its positions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/colour_tables.h"
#include "lighting/lighting_fields.h"

namespace vz::lighting {

inline constexpr std::size_t kKeyCount = 126;
inline constexpr std::size_t kKeyboardLeds = 126;
inline constexpr std::size_t kColourFrameSize = 3 * kKeyboardLeds;  // 378
inline constexpr std::size_t kLevelFrameSize = kKeyboardLeds;       // 126

namespace detail {

// A run of consecutive keys, first..last, counting down when last < first.
struct KeyRun {
  std::uint8_t first;
  std::uint8_t last;
};

// Keys first..last on LEDs firstLed, firstLed + 1, ...
struct LedRun {
  std::uint8_t first;
  std::uint8_t last;
  std::uint8_t firstLed;
};

template <std::size_t N, std::size_t R>
constexpr std::array<std::uint8_t, N> Expand(const std::array<KeyRun, R>& runs) {
  std::array<std::uint8_t, N> out{};
  std::size_t n = 0;
  for (const KeyRun& r : runs) {
    const int step = r.last >= r.first ? 1 : -1;
    for (int k = r.first;; k += step) {
      out[n++] = static_cast<std::uint8_t>(k);
      if (k == r.last) break;
    }
  }
  if (n != N) throw "run lengths do not add up";  // fails the constant evaluation
  return out;
}

template <std::size_t R>
constexpr std::array<std::uint8_t, kKeyCount> LedMap(const std::array<LedRun, R>& runs) {
  std::array<std::uint8_t, kKeyCount> map{};
  for (auto& m : map) m = kNoKey;
  for (const LedRun& r : runs) {
    for (int k = r.first; k <= r.last; ++k) {
      map[k] = static_cast<std::uint8_t>(r.firstLed + (k - r.first));
    }
  }
  return map;
}

template <std::size_t N>
constexpr bool DistinctKeys(const std::array<std::uint8_t, N>& keys) {
  std::array<bool, 256> seen{};
  for (std::uint8_t k : keys) {
    if (k == kNoKey) continue;
    if (seen[k]) return false;
    seen[k] = true;
  }
  return true;
}

constexpr bool LedsFit(const std::array<std::uint8_t, kKeyCount>& map) {
  for (std::uint8_t led : map) {
    if (led != kNoKey && led >= kKeyboardLeds) return false;
  }
  return DistinctKeys(map);
}

}  // namespace detail

// Key -> LED of the colour model and of the single-colour model (kNoKey: no LED).
inline constexpr std::array<std::uint8_t, kKeyCount> kColourKeyLed =
    detail::LedMap(std::to_array<detail::LedRun>({
        {0, 12, 0},     {13, 15, 14},   {21, 61, 21},    {63, 74, 63},    {75, 75, 76},
        {76, 78, 80},   {84, 84, 84},   {85, 94, 86},    {95, 95, 97},    {96, 96, 99},
        {97, 99, 101},  {105, 111, 105}, {112, 112, 113}, {113, 115, 119}, {116, 117, 123},
        {118, 118, 104}, {119, 119, 62},
    }));
inline constexpr std::array<std::uint8_t, kKeyCount> kSingleKeyLed =
    detail::LedMap(std::to_array<detail::LedRun>({
        {0, 15, 0},    {21, 37, 18},  {38, 38, 53},    {39, 39, 35},    {40, 40, 71},
        {41, 41, 89},  {42, 58, 36},  {59, 61, 68},    {63, 74, 54},    {75, 75, 67},
        {76, 78, 86},  {84, 84, 72},  {85, 95, 74},    {96, 96, 85},    {97, 99, 103},
        {105, 117, 90}, {118, 118, 106}, {119, 119, 107},
    }));
static_assert(detail::LedsFit(kColourKeyLed) && detail::LedsFit(kSingleKeyLed));
static_assert(kColourKeyLed[13] == 14 && kColourKeyLed[16] == kNoKey && kColourKeyLed[119] == 62);
static_assert(kSingleKeyLed[21] == 18 && kSingleKeyLed[62] == kNoKey && kSingleKeyLed[119] == 107);

// The 104 keys that have an LED, walked as a serpentine from Esc's row leftwards.
inline constexpr std::array<std::uint8_t, 104> kSerpentine =
    detail::Expand<104>(std::to_array<detail::KeyRun>({
        {15, 0}, {21, 21}, {42, 42}, {63, 63}, {84, 84}, {105, 119}, {41, 22}, {43, 43},
        {64, 64}, {85, 99}, {78, 78}, {61, 44}, {65, 77},
    }));
static_assert(detail::DistinctKeys(kSerpentine));

namespace detail {
// The serpentine holds exactly the keys that have an LED, in both models.
constexpr bool SerpentineIsTheLitKeys() {
  std::array<bool, kKeyCount> inPath{};
  for (std::uint8_t k : kSerpentine) inPath[k] = true;
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    if (inPath[k] != (kColourKeyLed[k] != kNoKey) || inPath[k] != (kSingleKeyLed[k] != kNoKey)) {
      return false;
    }
  }
  return true;
}
}  // namespace detail
static_assert(detail::SerpentineIsTheLitKeys());

// The path of the snake, 106 entries; kNoKey entries light nothing.
inline constexpr std::array<std::uint8_t, 106> kSnakePath =
    detail::Expand<106>(std::to_array<detail::KeyRun>({
        {0, 15}, {41, 21}, {42, 61}, {119, 119}, {78, 75}, {kNoKey, kNoKey}, {74, 63},
        {84, 84}, {kNoKey, kNoKey}, {85, 99}, {118, 105},
    }));
static_assert(detail::DistinctKeys(kSnakePath));

// Where the rain falls: indexes into kSerpentine, each once per round of 104 drops.
inline constexpr std::array<std::uint8_t, 104> kRainOrder = {
    88,  24, 101, 57, 49, 20, 5,  14, 16, 69, 63, 31, 67, 35, 43,  6,  66, 85, 45,  64, 28,
    23,  78, 42,  90, 76, 10, 79, 1,  51, 46, 4,  62, 52, 12, 11,  70, 39, 95, 94,  13, 61,
    26,  87, 77,  97, 34, 41, 19, 3,  0,  89, 15, 73, 9,  74, 80,  17, 32, 2,  55,  72, 99,
    83,  18, 48,  54, 21, 58, 27, 25, 71, 81, 29, 75, 37, 53, 7,   36, 103, 40, 38, 92, 8,
    96,  47, 65,  93, 56, 84, 98, 100, 33, 50, 102, 44, 68, 91, 60, 82, 30, 59, 86, 22};
static_assert(detail::DistinctKeys(kRainOrder) && kRainOrder.size() == kSerpentine.size());

// Eight named colours of the per-key pulse with the seven-colour flag.
inline constexpr std::array<Rgb, 8> kSecondColours = {{{255, 0, 0},
                                                       {255, 96, 0},
                                                       {255, 255, 0},
                                                       {0, 255, 0},
                                                       {0, 255, 255},
                                                       {0, 0, 255},
                                                       {128, 0, 255},
                                                       {255, 255, 255}}};

namespace detail {
constexpr std::array<std::uint8_t, 192> BuildPulse() {
  constexpr std::array<std::uint8_t, 81> shape = {
      0,   4,   8,   14,  22,  33,  45,  61,  77,  94,  114, 134, 158, 182, 206, 234, 255,
      248, 241, 234, 227, 220, 213, 206, 200, 194, 188, 182, 176, 170, 164, 158, 152, 146,
      140, 134, 129, 124, 119, 114, 109, 104, 99,  94,  89,  85,  81,  77,  73,  69,  65,
      61,  57,  53,  49,  45,  42,  39,  36,  33,  30,  27,  24,  22,  20,  18,  16,  14,
      12,  10,  9,   8,   7,   6,   5,   4,   3,   2,   2,   1,   0};
  std::array<std::uint8_t, 192> t{};
  for (std::size_t i = 0; i < shape.size(); ++i) t[i] = shape[i];
  return t;
}
}  // namespace detail

// One pulse: a quick rise, a long fall, then dark for the rest of the 192 steps.
inline constexpr std::array<std::uint8_t, 192> kPulse = detail::BuildPulse();
static_assert(kPulse[16] == 255 && kPulse[17] == 248 && kPulse[80] == 0 && kPulse[79] == 1);

// The pulse counter each cell of kKeyColumns starts from (mode 11, single-colour mode 8).
inline constexpr std::array<std::array<std::uint8_t, kKeyRows>, kColumnCount> kPulseStart = {{
    {72, 52, 32, 12, 182, 162},   {72, 52, 32, 12, 182, 162},   {120, 100, 80, 60, 40, 20},
    {92, 82, 72, 62, 52, 42},     {160, 140, 120, 100, 80, 60}, {80, 70, 60, 50, 20, 10},
    {90, 30, 0, 160, 130, 100},   {50, 30, 10, 180, 160, 140},  {32, 22, 12, 2, 182, 172},
    {120, 100, 80, 60, 40, 20},   {20, 5, 185, 170, 155, 140},  {60, 35, 15, 180, 155, 130},
    {120, 110, 100, 90, 80, 70},  {192, 162, 132, 102, 72, 32}, {80, 70, 60, 50, 20, 10},
    {100, 95, 90, 85, 80, 75},    {90, 80, 70, 60, 50, 40},     {140, 110, 80, 50, 20, 180},
    {70, 55, 40, 25, 10, 190},    {120, 100, 80, 60, 40, 20},   {92, 82, 72, 62, 52, 42},
    {60, 50, 40, 30, 20, 10},     {192, 162, 132, 102, 72, 32},
}};

// The scripted show: first 20 rows swept from the edges inwards, then 31 pairs lit in turn.
inline constexpr std::array<std::array<std::uint8_t, 6>, 20> kShowSweepRows = {{
    {0, 118, kNoKey, kNoKey, kNoKey, kNoKey},
    {1, 117, kNoKey, kNoKey, kNoKey, kNoKey},
    {2, 116, kNoKey, kNoKey, kNoKey, kNoKey},
    {3, 115, 21, 118, kNoKey, kNoKey},
    {4, 114, 22, 99, kNoKey, kNoKey},
    {5, 113, 23, 98, kNoKey, kNoKey},
    {6, 112, 24, 97, 42, 119},
    {7, 111, 25, 96, 43, 78},
    {8, 110, 26, 95, 44, 77},
    {9, 109, 27, 94, 45, 76},
    {33, 92, 28, 93, 46, kNoKey},
    {54, 71, 29, 92, 47, kNoKey},
    {74, 50, 30, 71, 48, 75},
    {94, 30, 31, 50, 49, 74},
    {93, 31, 52, 30, 50, 73},
    {92, 32, 72, 31, 51, 72},
    {71, 33, 71, 52, 52, 71},
    {50, 54, 50, 72, 53, kNoKey},
    {30, 74, kNoKey, kNoKey, kNoKey, kNoKey},
    {31, 94, kNoKey, kNoKey, kNoKey, kNoKey},
}};
inline constexpr std::array<std::array<std::uint8_t, 2>, 16> kShowPairs = {{
    {30, 94}, {31, 93}, {32, 92}, {33, 71}, {54, 50}, {74, 30}, {94, 31}, {93, 32},
    {92, 33}, {71, 54}, {50, 74}, {51, 73}, {52, 72}, {53, 51}, {73, 52}, {72, 53},
}};

// Twelve diagonals of the keyboard, from key 51 outwards to the corners.
inline constexpr std::array<std::array<std::uint8_t, 12>, 12> kDiagonals = {{
    {51, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126},
    {30, 50, 71, 72, 52, 31, 126, 126, 126, 126, 126, 126},
    {8, 29, 49, 70, 91, 92, 93, 73, 53, 32, 126, 126},
    {7, 28, 48, 69, 90, 109, 94, 74, 54, 33, 9, 126},
    {6, 27, 47, 68, 89, 110, 95, 75, 55, 34, 10, 11},
    {5, 26, 46, 67, 88, 108, 111, 112, 56, 35, 12, 126},
    {4, 25, 45, 66, 87, 113, 96, 57, 36, 13, 126, 126},
    {3, 24, 44, 65, 86, 114, 115, 58, 37, 15, 14, 126},
    {2, 23, 43, 64, 85, 107, 97, 76, 59, 38, 126, 126},
    {1, 22, 42, 63, 84, 106, 116, 98, 77, 60, 39, 126},
    {0, 21, 105, 117, 99, 78, 61, 40, 126, 126, 126, 126},
    {118, 119, 41, 126, 126, 126, 126, 126, 126, 126, 126, 126},
}};

}  // namespace vz::lighting
