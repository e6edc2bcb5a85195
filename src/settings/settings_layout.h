// Byte layouts of the device memory that the host mirrors, and of the host-only data
// kept beside it. All multi-byte values are little-endian.
//
// Settings area of every device: byte 0 is the number of the active slot; slot n (0..4)
// holds a 64-byte settings record at offset n * 64, so slot 0 shares its first byte with
// the active-slot number. Only the first 56 bytes of a record travel in one report; bytes
// 56..63 are never read from the device.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/colour.h"
#include "settings/device_kind.h"

namespace vz {

inline constexpr std::size_t kSlotCount = 5;
inline constexpr std::size_t kRecordSize = 64;
inline constexpr std::size_t kRecordReadSize = 56;  // one report's payload
inline constexpr std::size_t kFlushSize = 56;
inline constexpr std::size_t kKeyMapSize = 512;     // DefaultKeyMap and every key block
inline constexpr std::size_t kInfoSize = 33;
inline constexpr std::size_t kMouseActiveSize = 38;
inline constexpr std::size_t kShortActiveSize = 21;  // mousepad and keyboard
inline constexpr std::size_t kSyncLightingSize = 8;
inline constexpr std::size_t kCustomSetCount = 5;
inline constexpr std::size_t kCustomSetStride = 378;  // 126 key positions x 3 bytes
inline constexpr std::size_t kCustomColourTableSize = 1890;
inline constexpr std::size_t kKeyPositionCount = 126;
inline constexpr std::uint8_t kNoKey = 126;  // key-position map entry of a position without key

static_assert(kCustomSetCount * kCustomSetStride == kCustomColourTableSize);
static_assert(kMouseActiveSize <= kFlushSize && kFlushSize <= kRecordSize);

constexpr std::size_t ActiveSize(DeviceKind kind) {
  return kind == DeviceKind::kMouse ? kMouseActiveSize : kShortActiveSize;
}

// Offsets in a settings record. Bytes 0..9 are common to the three kinds; the rest is the
// mouse's (MouseSettings). Bytes 10..13, 21, 22 and 40..63 are reserved: kept, never read.
namespace record {
inline constexpr std::size_t kSlot = 0;
inline constexpr std::size_t kMode = 1;         // LightingFields 1..8 start here
inline constexpr std::size_t kBrightness = 2;
inline constexpr std::size_t kSpeed = 3;        // 4 - speed slider position, 0 fastest
inline constexpr std::size_t kDirection = 4;    // nonzero: left
inline constexpr std::size_t kColourCycle = 5;  // nonzero: seven-colour cycle
inline constexpr std::size_t kRed = 6;
inline constexpr std::size_t kGreen = 7;
inline constexpr std::size_t kBlue = 8;
inline constexpr std::size_t kEffectPhase = 9;  // kept by the software effects
inline constexpr std::size_t kReportRate = 14;
inline constexpr std::size_t kCurrentDpiStage = 19;  // 0..5, set by the mouse
inline constexpr std::size_t kDpiColours = 23;       // stage n (1..5) at 23 + 3(n - 1)
inline constexpr std::size_t kPointerSpeed = 38;     // only in profile files
inline constexpr std::size_t kScrollLines = 39;      // only in profile files
// Stage 5 sits after the current-stage byte, apart from stages 1..4.
inline constexpr std::size_t kDpiStage[5] = {15, 16, 17, 18, 20};
inline constexpr int kDpiStageCount = 5;
}  // namespace record

// DeviceInfo (33 bytes from ReadDeviceInfo). The other bytes are kept and not used.
namespace info {
inline constexpr std::size_t kKeyCount = 5;        // keyboard: data size is 3 x key count
inline constexpr std::size_t kMacroCapacity = 6;   // macro area in units of 128 bytes
inline constexpr std::size_t kSensorCode = 9;      // 16 bits, mouse
inline constexpr std::size_t kDpiStep = 11;        // DPI per slider position
inline constexpr std::size_t kHighestPosition = 12;
inline constexpr std::size_t kDpiMinimum = 13;     // 16 bits: DPI of slider position 0
}  // namespace info

// LightingFields 1..8: bytes 1..8 of every ActiveSettings, and the whole of SyncLighting.
struct LightingFields {
  std::uint8_t mode = 0;
  std::uint8_t brightness = 0;
  std::uint8_t speed = 0;
  std::uint8_t direction = 0;
  std::uint8_t colourCycle = 0;
  Rgb colour;
  friend bool operator==(const LightingFields&, const LightingFields&) = default;
};

// One button or key: bytes 3i..3i + 2 of a key block.
struct KeyAssignment {
  std::uint8_t type = 0;
  std::uint8_t param1 = 0;
  std::uint8_t param2 = 0;
  friend bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};

inline constexpr std::size_t kKeyAssignmentSize = 3;

}  // namespace vz
