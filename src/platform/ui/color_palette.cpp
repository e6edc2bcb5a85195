#include "platform/ui/color_palette.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>

namespace vz::ui {

const AttributeTable& CColorPaletteUI::Attributes() const {
  static const AttributeTable table(&CControlUI::Attributes(), {
      {"palletheight", IntAttr(&CColorPaletteUI::SetPalletHeight)},
      {"barheight", IntAttr(&CColorPaletteUI::SetBarHeight)},
      {"thumbimage", TextAttr(&CColorPaletteUI::SetThumbImage)},
  });
  return table;
}

UIColor CColorPaletteUI::GetSelectColor() const { return color_; }

void CColorPaletteUI::SetSelectColor(UIColor color) {
  color_ = 0xFF000000u | (color & 0xFFFFFFu);
  QColor c = QColor::fromRgb((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
  // Grey has no hue; keep the bar where it was.
  if (c.hsvHue() >= 0) hue_ = c.hsvHue();
  saturation_ = c.hsvSaturation();
  value_ = c.value();
  Invalidate();
}

UIRect CColorPaletteUI::FieldRect(const UIRect& rc) const {
  int bar = Scale(barHeight_);
  int height = std::min(Scale(palletHeight_), std::max(0, rc.Height() - bar));
  return {rc.left, rc.top, rc.right, rc.top + height};
}

UIRect CColorPaletteUI::BarRect(const UIRect& rc) const {
  UIRect field = FieldRect(rc);
  return {rc.left, field.bottom, rc.right, std::min(rc.bottom, field.bottom + Scale(barHeight_))};
}

UIRect CColorPaletteUI::LocalRect() const {
  UIRect rc = GetPos();
  return {0, 0, rc.Width(), rc.Height()};
}

// Positions and values map both ways with rounding, so a point found for a value picks it.
static int ToValue(int offset, int span, int range) {
  return span <= 0 ? 0 : (offset * range + span / 2) / span;
}

static int ToOffset(int value, int span, int range) { return (value * span + range / 2) / range; }

UIPoint CColorPaletteUI::PointInField(int saturation, int value) const {
  UIRect field = FieldRect(LocalRect());
  return {field.left + ToOffset(saturation, std::max(0, field.Width() - 1), 255),
          field.top + ToOffset(255 - value, std::max(0, field.Height() - 1), 255)};
}

UIPoint CColorPaletteUI::PointInBar(int hue) const {
  UIRect bar = BarRect(LocalRect());
  return {bar.left + ToOffset(hue, std::max(0, bar.Width() - 1), 359), bar.top + bar.Height() / 2};
}

void CColorPaletteUI::PickAt(UIPoint pt) {
  UIRect local = LocalRect();
  int h = hue_, s = saturation_, v = value_;
  if (drag_ == Drag::Field) {
    UIRect field = FieldRect(local);
    int x = std::clamp(pt.x - field.left, 0, std::max(1, field.Width()) - 1);
    int y = std::clamp(pt.y - field.top, 0, std::max(1, field.Height()) - 1);
    s = ToValue(x, field.Width() - 1, 255);
    v = 255 - ToValue(y, field.Height() - 1, 255);
  } else if (drag_ == Drag::Bar) {
    UIRect bar = BarRect(local);
    int x = std::clamp(pt.x - bar.left, 0, std::max(1, bar.Width()) - 1);
    h = ToValue(x, bar.Width() - 1, 359);
  }
  bool moved = h != hue_ || s != saturation_ || v != value_;
  hue_ = h;
  saturation_ = s;
  value_ = v;
  if (!moved) return;
  QColor c = QColor::fromHsv(hue_, saturation_, value_);
  color_ = 0xFF000000u | (static_cast<UIColor>(c.red()) << 16) | (static_cast<UIColor>(c.green()) << 8) |
           static_cast<UIColor>(c.blue());
  Invalidate();
  Notify(kNotifyColorChanged, GetSelectColor());
}

bool CColorPaletteUI::DoEvent(const TEventUI& event) {
  UIRect local = LocalRect();
  switch (event.type) {
    case UIEventType::ButtonDown:
    case UIEventType::DblClick:
      if (!IsEnabled()) return true;
      drag_ = FieldRect(local).Contains(event.ptMouse) ? Drag::Field
            : BarRect(local).Contains(event.ptMouse)   ? Drag::Bar
                                                        : Drag::None;
      PickAt(event.ptMouse);
      return true;
    case UIEventType::MouseMove:
      if (drag_ == Drag::None) return false;
      PickAt(event.ptMouse);
      return true;
    case UIEventType::ButtonUp:
      if (drag_ != Drag::None) PickAt(event.ptMouse);
      drag_ = Drag::None;
      return true;
    default:
      return false;
  }
}

void CColorPaletteUI::PaintStatusImage(CPaintContext& ctx, const UIRect& rc) {
  QPainter& p = ctx.Painter();
  UIRect field = FieldRect(rc);
  QRect f(field.left, field.top, field.Width(), field.Height());
  QLinearGradient across(f.topLeft(), f.topRight());
  across.setColorAt(0, Qt::white);
  across.setColorAt(1, QColor::fromHsv(hue_, 255, 255));
  p.fillRect(f, across);
  QLinearGradient down(f.topLeft(), f.bottomLeft());
  down.setColorAt(0, QColor(0, 0, 0, 0));
  down.setColorAt(1, QColor(0, 0, 0, 255));
  p.fillRect(f, down);

  UIRect bar = BarRect(rc);
  QRect b(bar.left, bar.top, bar.Width(), bar.Height());
  QLinearGradient hues(b.topLeft(), b.topRight());
  for (int i = 0; i <= 6; ++i) hues.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
  p.fillRect(b, hues);

  int fx = field.left + saturation_ * std::max(0, field.Width() - 1) / 255;
  int fy = field.top + (255 - value_) * std::max(0, field.Height() - 1) / 255;
  int bx = bar.left + hue_ * std::max(0, bar.Width() - 1) / 359;
  int r = Scale(5);
  if (!thumbImage_.empty()) {
    ctx.DrawImage({fx - r, fy - r, fx + r, fy + r}, thumbImage_);
    ctx.DrawImage({bx - r, bar.top, bx + r, bar.bottom}, thumbImage_);
    return;
  }
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(value_ > 128 ? Qt::black : Qt::white, 1.5));
  p.drawEllipse(QPoint(fx, fy), r, r);
  p.setPen(QPen(Qt::white, 2));
  p.drawRect(QRect(bx - 2, bar.top, 4, bar.Height()));
  p.restore();
}

}  // namespace vz::ui
