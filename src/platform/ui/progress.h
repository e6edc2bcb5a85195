// Progress bar and slider. Values are integers in [min, max].
#pragma once

#include "platform/ui/label.h"

namespace vz::ui {

class CProgressUI : public CLabelUI {
 public:
  std::string GetClass() const override { return "Progress"; }

  int GetMinValue() const { return min_; }
  void SetMinValue(int min);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int max);
  int GetValue() const { return value_; }
  // Clamped into [min, max]; raises no notification.
  void SetValue(int value);
  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool on);
  const std::string& GetForeImage() const { return foreImage_; }
  void SetForeImage(const std::string& image);
  UIColor GetForeColor() const { return foreColor_; }
  void SetForeColor(UIColor color);

 protected:
  const AttributeTable& Attributes() const override;
  void PaintStatusImage(CPaintContext& ctx, const UIRect& rc) override;
  virtual void PaintForeColor(CPaintContext& ctx, const UIRect& rc);
  virtual void PaintForeImage(CPaintContext& ctx, const UIRect& rc);
  // The filled part of rc for the current value.
  UIRect FilledRect(const UIRect& rc) const;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool horizontal_ = true;
  std::string foreImage_;
  UIColor foreColor_ = 0;
};

// Dragging the thumb sends "movevaluechanged" whenever the value moves and one
// "valuechanged" when the button is released; the arrow keys step and send "valuechanged".
class CSliderUI : public CProgressUI {
 public:
  std::string GetClass() const override { return "Slider"; }

  int GetChangeStep() const { return step_; }
  void SetChangeStep(int step);
  void SetThumbImage(const std::string& image) { thumbImage_ = image; Invalidate(); }
  void SetThumbHotImage(const std::string& image) { thumbHotImage_ = image; Invalidate(); }
  void SetThumbPushedImage(const std::string& image) { thumbPushedImage_ = image; Invalidate(); }
  void SetThumbSize(UISize size) { thumbSize_ = size; Invalidate(); }
  UISize GetThumbSize() const { return thumbSize_; }
  // Where the thumb is drawn, control coordinates.
  UIRect GetThumbRect(const UIRect& rc) const;
  // The value under a point of the control, as a press there would set it.
  int ValueAtPoint(UIPoint pt) const;

  // The user's drag, shared by the mouse and scripted input: the thumb moves to a value
  // ("movevaluechanged" when it changed), then the release ("valuechanged").
  void DragTo(int value);
  void Release();

  bool DoEvent(const TEventUI& event) override;
  bool TakesMousePress() const override { return true; }
  bool AcceptsFocus() const override { return true; }

 protected:
  const AttributeTable& Attributes() const override;
  void PaintStatusImage(CPaintContext& ctx, const UIRect& rc) override;

 private:
  int step_ = 1;
  std::string thumbImage_, thumbHotImage_, thumbPushedImage_;
  UISize thumbSize_{10, 10};
  bool pushed_ = false;
  bool hot_ = false;
};

}  // namespace vz::ui
