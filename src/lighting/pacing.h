// How fast each effect thread runs: the waits of every loop by mode and speed, and the
// pauses made before some modes. All values in milliseconds. Speeds come from settings
// bytes (0 fastest); a speed above the tables' 15 columns is read as the last one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vz::lighting {

inline constexpr std::size_t kSpeedColumns = 15;

constexpr std::size_t SpeedColumn(std::uint8_t speed) {
  return speed < kSpeedColumns ? speed : kSpeedColumns - 1;
}

// Mouse: each loop waits 2s + 3, then 10s (s the raw speed byte).
constexpr std::uint32_t MouseFirstWaitMs(std::uint8_t speed) { return 2u * speed + 3; }
constexpr std::uint32_t MouseSecondWaitMs(std::uint8_t speed) { return 10u * speed; }

// Mouse bounce and ripple wait a further 50 ms.
constexpr std::uint32_t MousePauseBeforeMs(std::uint8_t mode) {
  return mode == 4 || mode == 5 ? 50 : 0;
}

namespace detail {

// 9, 13, 17, ... 65: the mousepad's row for every mode, the keyboard's from speed 5 on.
constexpr std::array<std::uint8_t, kSpeedColumns> kSlowRow = [] {
  std::array<std::uint8_t, kSpeedColumns> row{};
  for (std::size_t s = 0; s < kSpeedColumns; ++s) row[s] = static_cast<std::uint8_t>(9 + 4 * s);
  return row;
}();

inline constexpr std::size_t kKeyboardModes = 17;

constexpr std::array<std::uint8_t, kKeyboardModes * kSpeedColumns> BuildKeyboardDelays() {
  std::array<std::uint8_t, kKeyboardModes * kSpeedColumns> t{};
  for (std::size_t mode = 0; mode < kKeyboardModes; ++mode) {
    std::uint8_t fastest = 9;
    if (mode == 0) fastest = 2;
    if (mode == 4 || mode == 7 || mode == 12) fastest = 3;
    const std::array<std::uint8_t, 5> fast = {fastest, 13, 27, 37, 45};
    for (std::size_t s = 0; s < kSpeedColumns; ++s) {
      t[mode * kSpeedColumns + s] = s < fast.size() ? fast[s] : kSlowRow[s];
    }
  }
  t[2 * kSpeedColumns + 14] = 63;
  return t;
}

}  // namespace detail

// Keyboard delay table, [mode x 15 + speed]; modes past the table use the last row.
inline constexpr auto kKeyboardDelays = detail::BuildKeyboardDelays();
static_assert(kKeyboardDelays[0] == 2 && kKeyboardDelays[4 * 15] == 3 && kKeyboardDelays[15] == 9);
static_assert(kKeyboardDelays[2 * 15 + 14] == 63 && kKeyboardDelays[3 * 15 + 14] == 65);

constexpr std::uint32_t KeyboardDelayMs(std::uint8_t mode, std::uint8_t speed) {
  const std::size_t row = mode < detail::kKeyboardModes ? mode : detail::kKeyboardModes - 1;
  return kKeyboardDelays[row * kSpeedColumns + SpeedColumn(speed)];
}

// Mousepad: one row for all modes.
constexpr std::uint32_t MousepadDelayMs(std::uint8_t speed) {
  return detail::kSlowRow[SpeedColumn(speed)];
}
static_assert(MousepadDelayMs(0) == 9 && MousepadDelayMs(4) == 25 && MousepadDelayMs(14) == 65);

// Mousepad bounce, ripple and sweep wait a further while, partly by speed.
constexpr std::uint32_t MousepadPauseBeforeMs(std::uint8_t mode, std::uint8_t speed) {
  struct Row {
    std::uint8_t mode;
    std::uint32_t base;
    std::uint32_t perSpeed;
  };
  constexpr std::array<Row, 3> rows = {{{4, 100, 10}, {5, 50, 0}, {7, 50, 5}}};
  for (const Row& r : rows) {
    if (r.mode == mode) return r.base + r.perSpeed * speed;
  }
  return 0;
}

// Synchronized lighting: 4 ms per speed step.
constexpr std::uint32_t SyncDelayMs(std::uint8_t speed) { return 4u * speed; }

// The first wait of the threads after their start, and the idle waits.
inline constexpr std::uint32_t kMouseStartMs = 3000;
inline constexpr std::uint32_t kMousepadStartMs = 3000;
inline constexpr std::uint32_t kKeyboardStartMs = 1000;
inline constexpr std::uint32_t kAbsentWaitMs = 100;       // device not connected
inline constexpr std::uint32_t kSyncNobodyWaitMs = 1000;  // no device connected at all
inline constexpr std::uint32_t kSyncIdleWaitMs = 100;     // devices there, none in sync

}  // namespace vz::lighting
