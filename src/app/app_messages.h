// The custom window messages and the timers of the main window.
#pragma once

#include <cstdint>

#include "device/device_messages.h"

namespace vz::app {

inline constexpr std::uint32_t WM_TRAY_NOTIFY = 0x401;     // lParam: the mouse message
inline constexpr std::uint32_t WM_MENU_CLICK = 0x479;      // a menu item was clicked
inline constexpr std::uint32_t WM_HOOK_KEY_SINGLEKEY = 0x801;
inline constexpr std::uint32_t WM_HOOK_KEY_MACRO = 0x803;
inline constexpr std::uint32_t WM_HOOK_KEY_MACRO_MOUSE = 0x804;
inline constexpr std::uint32_t WM_HOOK_MOU_SINGLEKEY = 0x810;
inline constexpr std::uint32_t WM_HOOK_MOU_MACRO = 0x812;
inline constexpr std::uint32_t WM_HOOK_MOU_MACRO_MOUSE = 0x813;
inline constexpr std::uint32_t WM_DEV_CHANGER_COLOR = 0xA03;
inline constexpr std::uint32_t WM_DEV_CHANGER_ALPHA = 0xA04;
inline constexpr std::uint32_t WM_DEV_KB_DEFAULTS = 0xB03;
inline constexpr std::uint32_t WM_PROGRESS_SHOW = 0xC00;
inline constexpr std::uint32_t WM_PROGRESS_HIDE = 0xC01;
// The registered show message of the single-instance contract has no fixed number; the
// window gives it one of its own above the fixed ones.
inline constexpr std::uint32_t WM_SHOW_REQUEST = 0xD00;

// Mouse messages carried by WM_TRAY_NOTIFY.
inline constexpr std::intptr_t WM_LBUTTONUP = 0x202;
inline constexpr std::intptr_t WM_RBUTTONUP = 0x205;

enum Timer : int {
  kTimerHideProgress = 1,  // once, 1000 ms after WM_PROGRESS_HIDE
  kTimerFlush = 2,         // every 100 ms: the settings flush
  kTimerEffectTick = 3,    // every 10 ms: the effect tick counters
  kTimerRelayout = 7,      // once: invalidate and lay the window out again
  kTimerMouseRead = 8,     // once, 500 ms after the mouse connected
  kTimerRepaint = 10,      // every 50 ms (first after 100 ms): invalidate the window
  kTimerKeyboardRead = 11, // once, 500 ms after window initialisation
  kTimerPadRead = 12,      // once, 500 ms after window initialisation
};

}  // namespace vz::app
