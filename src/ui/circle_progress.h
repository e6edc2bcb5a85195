// A progress shown as a ring: the background colour fills the whole disc, the foreground
// colour fills a 10-pixel ring clockwise from the bottom, and the middle is white.
#pragma once

#include <string>

#include "platform/ui/progress.h"

namespace vz::ui {

class CCircleProgressUI : public CProgressUI {
 public:
  std::string GetClass() const override { return "CircleProgress"; }

  // Degrees of ring the current value fills: value / (max - min) * 360, truncated. The value
  // itself is taken, not its distance from min (the skins are drawn for min 0); 0 when
  // max equals min.
  int SweepDegrees() const;

 protected:
  void PaintBkColor(CPaintContext& ctx, const UIRect& rc) override;
  void PaintForeColor(CPaintContext& ctx, const UIRect& rc) override;
  // A fore image has no place on the ring.
  void PaintForeImage(CPaintContext&, const UIRect&) override {}
};

}  // namespace vz::ui
