// The three devices of the family. The prefix names their controls, data folders and
// files; the file code is what the profile file header stores at offset 4.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vz {

enum class DeviceKind : std::uint8_t { kKeyboard = 0, kMouse = 1, kMousepad = 2 };

inline constexpr std::size_t kDeviceKindCount = 3;

struct DeviceKindRow {
  DeviceKind kind;
  std::string_view prefix;
  std::uint16_t fileCode;
};

// Indexed by the enum value; also the order of the settings flush.
inline constexpr std::array<DeviceKindRow, kDeviceKindCount> kDeviceKinds = {{
    {DeviceKind::kKeyboard, "kb", 1},
    {DeviceKind::kMouse, "ms", 2},
    {DeviceKind::kMousepad, "mp", 3},
}};

constexpr std::size_t Index(DeviceKind kind) { return static_cast<std::size_t>(kind); }
constexpr std::string_view Prefix(DeviceKind kind) { return kDeviceKinds[Index(kind)].prefix; }
constexpr std::uint16_t FileCode(DeviceKind kind) { return kDeviceKinds[Index(kind)].fileCode; }

}  // namespace vz
