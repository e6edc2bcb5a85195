// The program's own control classes, made known to the dialog builder so that skins can use
// them by their class names ("CCircleProgressUI", "CChartViewUI", "CWndUI",
// "CDeviceKeyButtonUI").
#pragma once

namespace vz::ui {

// Called once at start, before the first skin is built; calling it again changes nothing.
void RegisterCustomControls();

}  // namespace vz::ui
