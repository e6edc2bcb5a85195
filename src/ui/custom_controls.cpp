#include "ui/custom_controls.h"

#include "platform/ui/dialog_builder.h"
#include "ui/chart_view.h"
#include "ui/circle_progress.h"
#include "ui/device_key_button.h"
#include "ui/wnd_ui.h"

namespace vz::ui {

namespace {

template <class Control>
CControlFactory::Creator CreatorOf() {
  return [] { return new Control; };
}

}  // namespace

void RegisterCustomControls() {
  CControlFactory& factory = CControlFactory::GetInstance();
  factory.RegistControl("CCircleProgressUI", CreatorOf<CCircleProgressUI>());
  factory.RegistControl("CChartViewUI", CreatorOf<CChartViewUI>());
  factory.RegistControl("CWndUI", CreatorOf<CWndUI>());
  factory.RegistControl("CDeviceKeyButtonUI", CreatorOf<CDeviceKeyButtonUI>());
}

}  // namespace vz::ui
