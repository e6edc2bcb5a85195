// Which page each device tab and page tab shows: the selection of an option picks a page
// of its tab layout, and the keyboard's tabs also show, hide, enable and disable the parts
// of the keyboard page that belong to them.
#pragma once

#include "platform/ui/notify.h"

namespace vz::ui {
class CPaintManagerUI;
}

namespace vz::app {

// Handles a "selectchanged" of one of the tab options; false for any other notification.
bool RoutePageTab(ui::CPaintManagerUI& pm, ui::TNotifyUI& msg);

}  // namespace vz::app
