#include "app/page_tabs.h"

#include <strings.h>

#include "platform/ui/button.h"
#include "platform/ui/container.h"
#include "platform/ui/paint_manager.h"

namespace vz::app {

namespace {

enum class Extra { kNone, kKeyboardLighting, kKeyboardKeys, kKeyboardMacros, kMouseKeys };

struct TabRoute {
  const char* option;
  const char* layout;
  int page;
  Extra extra;
};

constexpr TabRoute kTabs[] = {
    {"kb_tab", "tab_switch", 0, Extra::kNone},
    {"ms_tab", "tab_switch", 1, Extra::kNone},
    {"mp_tab", "tab_switch", 2, Extra::kNone},
    {"ani_tab", "tab_switch", 3, Extra::kNone},
    {"split_tab", "tab_switch", 4, Extra::kNone},
    {"kb_deng_Op_tab", "kb_tab_switch", 2, Extra::kKeyboardLighting},
    {"kb_key_Op_tab", "kb_tab_switch", 2, Extra::kKeyboardKeys},
    {"kb_macro_Op_tab", "kb_tab_switch", 1, Extra::kKeyboardMacros},
    {"kb_cursor_Op_tab", "kb_tab_switch", 3, Extra::kNone},
    {"ms_deng_Op_tab", "ms_tab_switch", 0, Extra::kNone},
    {"ms_macro_Op_tab", "ms_tab_switch", 1, Extra::kNone},
    {"ms_key_Op_tab", "ms_tab_switch", 2, Extra::kMouseKeys},
    {"ms_rich_Op_tab", "ms_tab_switch", 3, Extra::kNone},
    {"ms_cursor_Op_tab", "ms_tab_switch", 4, Extra::kNone},
};

// The keyboard's profile controls, usable on its lighting and key pages but not while
// macros are edited.
constexpr const char* kKeyboardProfileParts[] = {"kb_profile_fun_spread_btn", "kb_profile_select_tab",
                                                 "kb_profile_fun_spead_tab", "kb_device_profile_edit"};

void SetVisible(ui::CPaintManagerUI& pm, const char* name, bool visible) {
  if (auto* c = pm.FindControl(name)) c->SetVisible(visible);
}

void SetEnabled(ui::CPaintManagerUI& pm, const char* name, bool enabled) {
  if (auto* c = pm.FindControl(name)) c->SetEnabled(enabled);
}

}  // namespace

bool RoutePageTab(ui::CPaintManagerUI& pm, ui::TNotifyUI& msg) {
  if (msg.sType != ui::kNotifySelectChanged || !msg.pSender) return false;
  const TabRoute* route = nullptr;
  for (const TabRoute& t : kTabs) {
    if (strcasecmp(msg.pSender->GetName().c_str(), t.option) == 0) route = &t;
  }
  if (!route) return false;
  auto* option = dynamic_cast<ui::COptionUI*>(msg.pSender);
  if (option && !option->IsSelected()) return true;  // the tab that lost the selection
  auto* layout = dynamic_cast<ui::CTabLayoutUI*>(pm.FindControl(route->layout));
  if (!layout) return true;
  switch (route->extra) {
    case Extra::kNone:
      layout->SelectItem(route->page);
      break;
    case Extra::kMouseKeys:
      layout->SelectItem(route->page);
      SetVisible(pm, "ms_tab_function", true);
      break;
    case Extra::kKeyboardLighting:
      layout->SelectItem(route->page);
      SetVisible(pm, "kb_deng_layout", true);
      SetVisible(pm, "kb_tab_key_seting", false);
      for (const char* part : kKeyboardProfileParts) SetEnabled(pm, part, true);
      break;
    case Extra::kKeyboardKeys:
      if (layout->GetCurSel() != route->page) {
        layout->SelectItem(route->page);
        SetVisible(pm, "kb_tab_function", false);
        SetEnabled(pm, "kb_tab_function", false);
      }
      SetVisible(pm, "kb_deng_layout", false);
      SetVisible(pm, "kb_tab_key_seting", true);
      for (const char* part : kKeyboardProfileParts) SetEnabled(pm, part, true);
      break;
    case Extra::kKeyboardMacros:
      layout->SelectItem(route->page);
      for (const char* part : kKeyboardProfileParts) SetEnabled(pm, part, false);
      SetEnabled(pm, "kb_key_profile_edit", false);
      SetEnabled(pm, "kb_deng_profile_edit", false);
      break;
  }
  return true;
}

}  // namespace vz::app
