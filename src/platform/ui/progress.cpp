#include "platform/ui/progress.h"

#include <QPainter>

namespace vz::ui {

void CProgressUI::SetMinValue(int min) {
  min_ = min;
  if (max_ < min_) max_ = min_;
  SetValue(value_);
  Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
  max_ = max;
  if (min_ > max_) min_ = max_;
  SetValue(value_);
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  value_ = std::clamp(value, min_, max_);
  Invalidate();
}

void CProgressUI::SetHorizontal(bool on) { horizontal_ = on; Invalidate(); }
void CProgressUI::SetForeImage(const std::string& image) { foreImage_ = image; Invalidate(); }
void CProgressUI::SetForeColor(UIColor color) { foreColor_ = color; Invalidate(); }

const AttributeTable& CProgressUI::Attributes() const {
  static const AttributeTable table(&CLabelUI::Attributes(), {
      {"min", IntAttr(&CProgressUI::SetMinValue)},
      {"max", IntAttr(&CProgressUI::SetMaxValue)},
      {"value", IntAttr(&CProgressUI::SetValue)},
      {"hor", BoolAttr(&CProgressUI::SetHorizontal)},
      {"foreimage", TextAttr(&CProgressUI::SetForeImage)},
      {"forecolor", ColorAttr(&CProgressUI::SetForeColor)},
  });
  return table;
}

UIRect CProgressUI::FilledRect(const UIRect& rc) const {
  if (max_ <= min_) return {rc.left, rc.top, rc.left, rc.bottom};
  long long span = max_ - min_;
  long long part = value_ - min_;
  if (horizontal_) {
    return {rc.left, rc.top, rc.left + static_cast<int>(rc.Width() * part / span), rc.bottom};
  }
  return {rc.left, rc.bottom - static_cast<int>(rc.Height() * part / span), rc.right, rc.bottom};
}

void CProgressUI::PaintStatusImage(CPaintContext& ctx, const UIRect& rc) {
  PaintForeColor(ctx, rc);
  PaintForeImage(ctx, rc);
}

void CProgressUI::PaintForeColor(CPaintContext& ctx, const UIRect& rc) {
  ctx.FillRect(FilledRect(rc), foreColor_);
}

void CProgressUI::PaintForeImage(CPaintContext& ctx, const UIRect& rc) {
  if (foreImage_.empty()) return;
  UIRect filled = FilledRect(rc);
  if (filled.IsEmpty()) return;
  // The image is laid over the whole bar and shows only where the bar is filled.
  ctx.Painter().save();
  ctx.Painter().setClipRect(QRect(filled.left, filled.top, filled.Width(), filled.Height()));
  ctx.DrawImage(rc, foreImage_);
  ctx.Painter().restore();
}

void CSliderUI::SetChangeStep(int step) { step_ = std::max(1, step); }

const AttributeTable& CSliderUI::Attributes() const {
  static const AttributeTable table(&CProgressUI::Attributes(), {
      {"step", IntAttr(&CSliderUI::SetChangeStep)},
      {"thumbimage", TextAttr(&CSliderUI::SetThumbImage)},
      {"thumbhotimage", TextAttr(&CSliderUI::SetThumbHotImage)},
      {"thumbpushedimage", TextAttr(&CSliderUI::SetThumbPushedImage)},
      {"thumbsize", SizeAttr(&CSliderUI::SetThumbSize)},
  });
  return table;
}

UIRect CSliderUI::GetThumbRect(const UIRect& rc) const {
  int tw = Scale(thumbSize_.cx);
  int th = Scale(thumbSize_.cy);
  long long span = std::max(1, GetMaxValue() - GetMinValue());
  long long part = GetValue() - GetMinValue();
  if (IsHorizontal()) {
    int left = rc.left + static_cast<int>((rc.Width() - tw) * part / span);
    int top = rc.top + (rc.Height() - th) / 2;
    return {left, top, left + tw, top + th};
  }
  int top = rc.bottom - th - static_cast<int>((rc.Height() - th) * part / span);
  int left = rc.left + (rc.Width() - tw) / 2;
  return {left, top, left + tw, top + th};
}

int CSliderUI::ValueAtPoint(UIPoint pt) const {
  UIRect rc = GetPos();
  int length = IsHorizontal() ? rc.Width() - Scale(thumbSize_.cx) : rc.Height() - Scale(thumbSize_.cy);
  if (length <= 0) return GetMinValue();
  int offset = IsHorizontal() ? pt.x - Scale(thumbSize_.cx) / 2
                              : rc.Height() - pt.y - Scale(thumbSize_.cy) / 2;
  offset = std::clamp(offset, 0, length);
  long long span = GetMaxValue() - GetMinValue();
  long long raw = (offset * span * 2 + length) / (2 * length);  // rounded to the nearest value
  int value = GetMinValue() + static_cast<int>(raw);
  int steps = (value - GetMinValue() + step_ / 2) / step_;
  return std::clamp(GetMinValue() + steps * step_, GetMinValue(), GetMaxValue());
}

void CSliderUI::DragTo(int value) {
  int before = GetValue();
  SetValue(value);
  if (GetValue() != before) Notify(kNotifyMoveValueChanged, static_cast<std::uintptr_t>(GetValue()));
}

void CSliderUI::Release() {
  pushed_ = false;
  Invalidate();
  Notify(kNotifyValueChanged, static_cast<std::uintptr_t>(GetValue()));
}

bool CSliderUI::DoEvent(const TEventUI& event) {
  switch (event.type) {
    case UIEventType::ButtonDown:
    case UIEventType::DblClick:
      if (!IsEnabled()) return true;
      pushed_ = true;
      DragTo(ValueAtPoint(event.ptMouse));
      return true;
    case UIEventType::MouseMove:
      if (!pushed_) return false;
      DragTo(ValueAtPoint(event.ptMouse));
      return true;
    case UIEventType::ButtonUp:
      if (!pushed_) return true;
      DragTo(ValueAtPoint(event.ptMouse));
      Release();
      return true;
    case UIEventType::MouseEnter:
      hot_ = true;
      Invalidate();
      return true;
    case UIEventType::MouseLeave:
      hot_ = false;
      Invalidate();
      return true;
    case UIEventType::KeyDown: {
      int direction = (event.key == Qt::Key_Right || event.key == Qt::Key_Up) ? 1
                    : (event.key == Qt::Key_Left || event.key == Qt::Key_Down) ? -1 : 0;
      if (!direction || !IsEnabled()) return false;
      int before = GetValue();
      SetValue(before + direction * step_);
      if (GetValue() != before) Notify(kNotifyValueChanged, static_cast<std::uintptr_t>(GetValue()));
      return true;
    }
    default:
      return false;
  }
}

void CSliderUI::PaintStatusImage(CPaintContext& ctx, const UIRect& rc) {
  CProgressUI::PaintStatusImage(ctx, rc);
  const std::string& thumb = pushed_ && !thumbPushedImage_.empty() ? thumbPushedImage_
                           : hot_ && !thumbHotImage_.empty()      ? thumbHotImage_
                                                                   : thumbImage_;
  ctx.DrawImage(GetThumbRect(rc), thumb);
}

}  // namespace vz::ui
