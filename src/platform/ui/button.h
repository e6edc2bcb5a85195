// Clickable controls: buttons with state images, options (grouped or toggling) and check boxes.
#pragma once

#include "platform/ui/label.h"

namespace vz::ui {

// Sends "click" on a left-button release over it (and Space or Return while focused);
// "msenter"/"msleave" when the mouse comes and goes.
class CButtonUI : public CLabelUI {
 public:
  CButtonUI() { align_ = kAlignCenter | kAlignVCenter; }
  std::string GetClass() const override { return "Button"; }

  const std::string& GetNormalImage() const { return normalImage_; }
  void SetNormalImage(const std::string& image) { normalImage_ = image; Invalidate(); }
  const std::string& GetHotImage() const { return hotImage_; }
  void SetHotImage(const std::string& image) { hotImage_ = image; Invalidate(); }
  const std::string& GetPushedImage() const { return pushedImage_; }
  void SetPushedImage(const std::string& image) { pushedImage_ = image; Invalidate(); }
  void SetFocusedImage(const std::string& image) { focusedImage_ = image; Invalidate(); }
  const std::string& GetDisabledImage() const { return disabledImage_; }
  void SetDisabledImage(const std::string& image) { disabledImage_ = image; Invalidate(); }
  void SetForeImage(const std::string& image) { foreImage_ = image; Invalidate(); }
  const std::string& GetHotForeImage() const { return hotForeImage_; }
  void SetHotForeImage(const std::string& image) { hotForeImage_ = image; Invalidate(); }
  void SetHotTextColor(UIColor color) { hotTextColor_ = color; Invalidate(); }
  void SetPushedTextColor(UIColor color) { pushedTextColor_ = color; Invalidate(); }
  void SetHotBkColor(UIColor color) { hotBkColor_ = color; Invalidate(); }

  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }
  // The user's click: "click", and for options the selection change.
  virtual void Activate();

  bool DoEvent(const TEventUI& event) override;
  bool TakesMousePress() const override { return true; }
  bool AcceptsFocus() const override { return true; }

 protected:
  const AttributeTable& Attributes() const override;
  void PaintBkColor(CPaintContext& ctx, const UIRect& rc) override;
  void PaintStatusImage(CPaintContext& ctx, const UIRect& rc) override;
  UIColor CurrentTextColor() const override;
  // The state image of the plain button, the fallback of the option's images.
  const std::string& ButtonStateImage() const;

 private:
  std::string normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
  std::string foreImage_, hotForeImage_;
  UIColor hotTextColor_ = 0;
  UIColor pushedTextColor_ = 0;
  UIColor hotBkColor_ = 0;
  bool hot_ = false;
  bool pushed_ = false;
};

// With a group: one option of the group is selected per window; a click selects. Without:
// a click toggles. "selectchanged" follows "click" when the state changed; an option of a
// group notifies only on becoming selected.
class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  std::string GetClass() const override { return "Option"; }

  bool IsSelected() const { return selected_; }
  // sendEvent: raise "selectchanged" as a user's change would.
  void Selected(bool selected, bool sendEvent);
  const std::string& GetGroup() const { return group_; }
  void SetGroup(const std::string& group);
  void SetSelectedImage(const std::string& image) { selectedImage_ = image; Invalidate(); }
  void SetSelectedHotImage(const std::string& image) { selectedHotImage_ = image; Invalidate(); }
  void SetSelectedForeImage(const std::string& image) { selectedForeImage_ = image; Invalidate(); }
  void SetSelectedTextColor(UIColor color) { selectedTextColor_ = color; Invalidate(); }
  void SetSelectedBkColor(UIColor color) { selectedBkColor_ = color; Invalidate(); }

  void Activate() override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;

 protected:
  const AttributeTable& Attributes() const override;
  void PaintBkColor(CPaintContext& ctx, const UIRect& rc) override;
  void PaintStatusImage(CPaintContext& ctx, const UIRect& rc) override;
  UIColor CurrentTextColor() const override;

 private:
  void SetSelectedAttr(bool selected) { Selected(selected, false); }
  bool selected_ = false;
  std::string group_;
  std::string selectedImage_, selectedHotImage_, selectedForeImage_;
  UIColor selectedTextColor_ = 0;
  UIColor selectedBkColor_ = 0;
};

class CCheckBoxUI : public COptionUI {
 public:
  std::string GetClass() const override { return "CheckBox"; }
  bool GetCheck() const { return IsSelected(); }
  void SetCheck(bool check, bool sendEvent) { Selected(check, sendEvent); }
};

}  // namespace vz::ui
