// The three kinds of profile and the ProfileIndex sections that list each of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vz {

enum class ProfileKind : std::uint8_t { kDevice = 0, kLighting = 1, kKey = 2 };

struct ProfileKindRow {
  ProfileKind kind;
  std::string_view extension;
  // ProfileIndex sections: the count (key "count"), the names, the stored selection (key
  // "select"), the link flags and the linked executables, the last three keyed by position.
  std::string_view countSection;
  std::string_view nameSection;
  std::string_view selectSection;
  std::string_view linkFlagSection;
  std::string_view processSection;
};

inline constexpr std::array<ProfileKindRow, 3> kProfileKinds = {{
    {ProfileKind::kDevice, ".config", "PROFILEDEVICECOUNT", "PROFILEDEVICENAME",
     "PROFILEDEVICESELECT", "PROFILELIKEDEVICEEXE", "DEVICEPROCESS"},
    {ProfileKind::kLighting, ".led", "PROFILEDENGCOUNT", "PROFILEDENGNAME", "PROFILEDENGSELECT",
     "PROFILELIKEDENGEXE", "DENGPROCESS"},
    {ProfileKind::kKey, ".pro", "PROFILECOUNT", "PROFILENAME", "PROFILESELECT", "PROFILELIKEEXE",
     "PROCESS"},
}};

constexpr const ProfileKindRow& RowOf(ProfileKind kind) {
  return kProfileKinds[static_cast<std::size_t>(kind)];
}

inline constexpr std::string_view kCountKey = "count";
inline constexpr std::string_view kSelectKey = "select";

}  // namespace vz
