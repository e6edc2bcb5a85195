#include "ui/circle_progress.h"

#include <algorithm>

namespace vz::ui {

namespace {

constexpr int kRingWidth = 10;
constexpr int kBottomDegrees = 90;
constexpr UIColor kCentreColor = 0xFFFFFFFFu;

}  // namespace

int CCircleProgressUI::SweepDegrees() const {
  const int span = GetMaxValue() - GetMinValue();
  if (span <= 0) return 0;
  const double sweep = GetValue() * 1.0 / span * 360;
  return static_cast<int>(std::clamp(sweep, -360.0, 360.0));
}

void CCircleProgressUI::PaintBkColor(CPaintContext& ctx, const UIRect& rc) {
  ctx.FillPie(rc, 0, 360, GetBkColor());
}

void CCircleProgressUI::PaintForeColor(CPaintContext& ctx, const UIRect& rc) {
  ctx.FillPie(rc, kBottomDegrees, SweepDegrees(), GetForeColor());
  ctx.FillEllipse({rc.left + kRingWidth, rc.top + kRingWidth, rc.right - kRingWidth,
                   rc.bottom - kRingWidth},
                  kCentreColor);
}

}  // namespace vz::ui
