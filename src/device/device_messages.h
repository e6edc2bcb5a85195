// Window messages that the device threads send or post to the main window.
#pragma once

#include <cstdint>

namespace vz {

inline constexpr std::uint32_t WM_DEV_MS_READ = 0x901;     // mouse: read the device again in full
inline constexpr std::uint32_t WM_DEV_MS_REFRESH = 0x902;  // mouse: re-read the active settings
inline constexpr std::uint32_t WM_DEV_MP_READ = 0xA01;
inline constexpr std::uint32_t WM_DEV_MP_REFRESH = 0xA02;
inline constexpr std::uint32_t WM_DEV_KB_READ = 0xB01;
inline constexpr std::uint32_t WM_DEV_KB_REFRESH = 0xB02;
inline constexpr std::uint32_t WM_MS_GONE = 0xC05;         // the mouse left and no device is open

// Device-side events carried by the consumer-control collection of the mouse and keyboard.
inline constexpr std::uint16_t kEventRefresh = 0x401;  // a setting was changed on the device
inline constexpr std::uint16_t kEventRead = 0x402;     // a profile/lighting button on the device
inline constexpr std::uint16_t kEventClick = 0x403;    // a click: the reactive lighting triggers

}  // namespace vz
