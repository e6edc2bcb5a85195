// The notification-area icon. Mouse clicks on it are posted to the receiving window as
// kMsgTrayNotify with lParam kMsgLButtonUp (left click) or kMsgRButtonUp (right click).
// Where the desktop has no tray host there is no icon and CreateTrayIcon answers false.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/window.h"

class QSystemTrayIcon;

namespace vz::ui {

class CTrayIcon {
 public:
  CTrayIcon();
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // iconId: an <Icon> of the resource index. False when there is no tray host or no image.
  bool CreateTrayIcon(CWindowWnd* receiver, int iconId, const std::string& toolTip);
  void DeleteTrayIcon();
  bool IsVisible() const;
  void SetToolTipText(const std::string& text);
  // A click as the tray host would report it (scenarios, and desktops without a host).
  void SimulateClick(unsigned mouseMessage);

 private:
  WindowHandle receiver_;
  std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace vz::ui
