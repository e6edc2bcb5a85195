// A drop-down list over a real combo box. Its items are list label elements (text and user
// data). A user's choice of another item sends "itemselect" (wParam new index, lParam the
// previous one).
#pragma once

#include <QPointer>

#include "platform/ui/container.h"

#include <QComboBox>

namespace vz::ui {

class CComboUI : public CContainerUI {
 public:
  std::string GetClass() const override { return "Combo"; }

  int GetCurSel() const { return curSel_; }
  // -1 clears the selection. sendEvent: raise "itemselect" as a user's choice would.
  // False for an index out of range.
  bool SelectItem(int index, bool takeFocus, bool sendEvent);
  // The shown text: that of the selected item, empty when none.
  std::string GetText() const override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  // Items call this when their text changed.
  void RefreshItems();

  void SetTextColor(UIColor color) { textColor_ = color; ApplyStyle(); }
  void SetFont(int id) { font_ = id; ApplyStyle(); }
  void SetTextPadding(UIRect padding) { textPadding_ = padding; NeedUpdate(); }
  void SetNormalImage(const std::string& image) { normalImage_ = image; Invalidate(); }
  void SetHotImage(const std::string& image) { hotImage_ = image; Invalidate(); }
  void SetPushedImage(const std::string& image) { pushedImage_ = image; Invalidate(); }
  void SetDisabledImage(const std::string& image) { disabledImage_ = image; Invalidate(); }
  void SetItemTextColor(UIColor color) { itemTextColor_ = color; ApplyStyle(); }
  void SetItemFont(int id) { itemFont_ = id; ApplyStyle(); }
  void SetDropBoxSize(UISize size) { dropBoxSize_ = size; ApplyStyle(); }

  void SetPos(const UIRect& rc) override;
  bool DoEvent(const TEventUI& event) override;
  bool TakesMousePress() const override { return true; }
  bool AcceptsFocus() const override { return true; }
  void OnLanguageChanged() override;
  // The user picked an item: the path of the combo box's signal and of scripted choices.
  void OnUserSelected(int index);
  // Toolkit-internal: the drop-down opened or closed.
  void SetDropped(bool dropped);
  bool IsDropped() const { return dropped_; }

 protected:
  const AttributeTable& Attributes() const override;
  void OnHostCreated() override;
  bool HostsChildren() const override { return false; }
  UISize LayoutChildren(const UIRect&) override { return {}; }
  void PaintStatusImage(CPaintContext& ctx, const UIRect& rc) override;

 private:
  void ApplyStyle();
  QPointer<QComboBox> box_;
  int curSel_ = -1;
  UIColor textColor_ = 0;
  int font_ = -1;
  UIRect textPadding_{4, 0, 20, 0};
  std::string normalImage_, hotImage_, pushedImage_, disabledImage_;
  UIColor itemTextColor_ = 0;
  int itemFont_ = -1;
  UISize dropBoxSize_;
  bool hot_ = false;
  bool dropped_ = false;
};

}  // namespace vz::ui
