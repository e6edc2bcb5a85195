// Text controls: a one-line label and a wrapping text.
#pragma once

#include "platform/ui/control.h"

namespace vz::ui {

class CLabelUI : public CControlUI {
 public:
  std::string GetClass() const override { return "Label"; }

  UIColor GetTextColor() const { return textColor_; }
  void SetTextColor(UIColor color);
  UIColor GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(UIColor color);
  int GetFont() const { return font_; }
  void SetFont(int id);
  unsigned GetTextStyle() const { return align_; }
  void SetTextStyle(unsigned align);
  UIRect GetTextPadding() const { return textPadding_; }
  void SetTextPadding(UIRect padding);
  void SetEndEllipsis(bool on);
  void SetMultiLine(bool on);

 protected:
  const AttributeTable& Attributes() const override;
  void PaintText(CPaintContext& ctx, const UIRect& rc) override;
  // The colour text is painted in now; 0 falls back to the window's default.
  virtual UIColor CurrentTextColor() const;
  UIRect TextRect(const UIRect& rc) const;
  unsigned align_ = kAlignLeft | kAlignVCenter;

 private:
  UIColor textColor_ = 0;
  UIColor disabledTextColor_ = 0;
  int font_ = -1;
  UIRect textPadding_;
};

class CTextUI : public CLabelUI {
 public:
  CTextUI() { align_ = kAlignLeft | kAlignTop | kAlignWordBreak; }
  std::string GetClass() const override { return "Text"; }
};

}  // namespace vz::ui
