// Plain value types and text parsers shared by every part of the UI toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz::ui {

struct UIPoint {
  int x = 0;
  int y = 0;
  bool operator==(const UIPoint&) const = default;
};

struct UISize {
  int cx = 0;
  int cy = 0;
  bool operator==(const UISize&) const = default;
};

// Edges, right and bottom exclusive, as the skin files write them ("l,t,r,b").
struct UIRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(UIPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool operator==(const UIRect&) const = default;
};

// Colours on controls are 0xAARRGGBB; alpha 0 means "no colour".
using UIColor = std::uint32_t;

// The window-message numbers the toolkit itself produces.
inline constexpr unsigned kMsgTimer = 0x113;       // timers as messages
inline constexpr unsigned kMsgLButtonUp = 0x202;   // lParam of a tray notification
inline constexpr unsigned kMsgRButtonUp = 0x205;
inline constexpr unsigned kMsgTrayNotify = 0x401;  // tray icon; lParam is the mouse message
inline constexpr unsigned kMsgMenuClick = 0x479;   // menu item; wParam carries a MenuCmd*

std::string ToLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Value parsers for skin attributes; nullopt for text that is not of the form.
std::optional<bool> ParseBool(std::string_view text);             // "true" / "false"
std::optional<int> ParseInt(std::string_view text);               // decimal, optional sign
std::optional<UIColor> ParseColor(std::string_view text);         // "#AARRGGBB", "#RRGGBB", "0"
std::optional<UIRect> ParseRect(std::string_view text);           // "l,t,r,b"
std::optional<UISize> ParseSize(std::string_view text);           // "w,h"
std::vector<std::string> SplitList(std::string_view text, char separator);

// "key='v' key2=\"w\"" pairs, in order: image descriptions and Default/Style values.
struct KeyValue {
  std::string key;
  std::string value;
};
std::optional<std::vector<KeyValue>> ParseKeyValues(std::string_view text);

}  // namespace vz::ui
