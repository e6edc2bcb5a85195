// Notifications: what a control tells its window about a user action.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/ui_types.h"

namespace vz::ui {

class CControlUI;

// The notification types, as the routing tables name them.
inline constexpr const char* kNotifyWindowInit = "windowinit";
inline constexpr const char* kNotifyClick = "click";
inline constexpr const char* kNotifySelectChanged = "selectchanged";
inline constexpr const char* kNotifyValueChanged = "valuechanged";
inline constexpr const char* kNotifyMoveValueChanged = "movevaluechanged";
inline constexpr const char* kNotifyItemSelect = "itemselect";
inline constexpr const char* kNotifyItemClick = "itemclick";
inline constexpr const char* kNotifyKillFocus = "killfocus";
inline constexpr const char* kNotifySetFocus = "setfocus";
inline constexpr const char* kNotifyTextChanged = "textchanged";
inline constexpr const char* kNotifyMouseEnter = "msenter";
inline constexpr const char* kNotifyMouseLeave = "msleave";
inline constexpr const char* kNotifyColorChanged = "colorchanged";
inline constexpr const char* kNotifyReturn = "return";

// wParam/lParam by type: "itemselect" wParam = new index, lParam = previous index;
// "valuechanged"/"movevaluechanged" wParam = value; "colorchanged" wParam = the ARGB colour.
struct TNotifyUI {
  std::string sType;
  CControlUI* pSender = nullptr;
  std::uint32_t dwTimestamp = 0;
  UIPoint ptMouse;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

class INotifyUI {
 public:
  virtual void Notify(TNotifyUI& msg) = 0;
  virtual ~INotifyUI() = default;
};

}  // namespace vz::ui
