// A colour picker: a saturation/value field over a hue bar. Pressing or dragging in either
// sends "colorchanged" (wParam the colour) whenever the colour moves.
#pragma once

#include "platform/ui/control.h"

namespace vz::ui {

class CColorPaletteUI : public CControlUI {
 public:
  std::string GetClass() const override { return "ColorPalette"; }

  // 0xFFRRGGBB of the picked point. SetSelectColor raises no notification.
  UIColor GetSelectColor() const;
  void SetSelectColor(UIColor color);
  void SetPalletHeight(int cy) { palletHeight_ = std::max(1, cy); NeedUpdate(); }
  void SetBarHeight(int cy) { barHeight_ = std::max(1, cy); NeedUpdate(); }
  void SetThumbImage(const std::string& image) { thumbImage_ = image; Invalidate(); }
  // Hue 0..359, saturation and value 0..255.
  int GetHue() const { return hue_; }
  int GetSaturation() const { return saturation_; }
  int GetBrightness() const { return value_; }

  // Where a press picks these values, control coordinates (the nearest reachable point).
  UIPoint PointInField(int saturation, int value) const;
  UIPoint PointInBar(int hue) const;

  bool DoEvent(const TEventUI& event) override;
  bool TakesMousePress() const override { return true; }

 protected:
  const AttributeTable& Attributes() const override;
  void PaintStatusImage(CPaintContext& ctx, const UIRect& rc) override;

 private:
  enum class Drag { None, Field, Bar };
  UIRect LocalRect() const;
  UIRect FieldRect(const UIRect& rc) const;
  UIRect BarRect(const UIRect& rc) const;
  void PickAt(UIPoint pt);
  UIColor color_ = 0xFFFFFFFF;  // exact as set; a pick replaces it with the picked point's colour
  int hue_ = 0;
  int saturation_ = 0;
  int value_ = 255;
  int palletHeight_ = 200;
  int barHeight_ = 10;
  std::string thumbImage_;
  Drag drag_ = Drag::None;
};

}  // namespace vz::ui
