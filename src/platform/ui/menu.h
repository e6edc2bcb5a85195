// Pop-up menus built from a menu file (see SKIN_FORMAT.md) over a real Qt menu. A click on an
// item posts kMsgMenuClick to the owner window; its wParam carries a MenuCmd that the receiver
// takes over with TakeMenuCmd.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "platform/ui/ui_types.h"
#include "platform/ui/window.h"

class QMenu;

namespace vz::ui {

struct MenuCmd {
  std::string szName;
  std::string szUserData;
  std::string szText;
};

// The record of a menu click message; the caller owns it. Null for a wParam of 0.
std::unique_ptr<MenuCmd> TakeMenuCmd(WPARAM wParam);

class CMenuWnd {
 public:
  // Builds the menu file and pops it up with its top-left corner at a screen point. Null (with
  // a diagnostic) when the file cannot be built. Destroying the object closes the menu.
  static std::unique_ptr<CMenuWnd> CreateMenu(CWindowWnd* owner, const std::string& menuFile,
                                              UIPoint screenPoint);
  ~CMenuWnd();
  CMenuWnd(const CMenuWnd&) = delete;
  CMenuWnd& operator=(const CMenuWnd&) = delete;

  // Appends an item; the menu grows to fit it.
  void AddMenuItem(const std::string& name, const std::string& text, const std::string& userData = "");
  bool IsOpen() const;
  void Close();
  // Item names in order, sub-menu items after their parent.
  std::vector<std::string> ItemNames() const;
  // Clicks the item as the user would (the same trigger path); false when there is none.
  bool ClickItem(const std::string& name);
  // The menus open now, newest last (scenarios click into them).
  static std::vector<CMenuWnd*> OpenMenus();

 private:
  CMenuWnd(CWindowWnd* owner);
  WindowHandle owner_;
  // Parented to the owner's surface, which deletes it if it goes first.
  QPointer<QMenu> menu_;
};

}  // namespace vz::ui
