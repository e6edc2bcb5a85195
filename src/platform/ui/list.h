// Lists of rows: a header with column widths and a scrolling body of rows. A row is a label
// element (one text), a text element (a text per column) or a container element (any
// controls). Pressing a row sends "itemclick" from the row, then, when the selection moved,
// "itemselect" from the list (wParam new index, lParam previous).
#pragma once

#include <vector>

#include "platform/ui/container.h"
#include "platform/ui/label.h"

namespace vz::ui {

class CListUI;

// What every row shares: its list, selection and hover.
class IListItemUI {
 public:
  virtual ~IListItemUI() = default;
  CListUI* GetOwner() const { return owner_; }
  void SetOwner(CListUI* owner) { owner_ = owner; }
  int GetIndex() const;
  bool IsSelected() const { return selected_; }
  // Marks the row; the list keeps the index (use CListUI::SelectItem to select).
  void SetSelectedMark(bool selected);
  virtual CControlUI* AsControl() = 0;

 protected:
  // Row input shared by every row class.
  bool HandleRowEvent(const TEventUI& event);
  UIColor RowBkColor() const;
  bool hot_ = false;

 private:
  CListUI* owner_ = nullptr;
  bool selected_ = false;
};

class CListHeaderItemUI : public CLabelUI {
 public:
  CListHeaderItemUI() { align_ = kAlignCenter | kAlignVCenter; }
  std::string GetClass() const override { return "ListHeaderItem"; }
};

class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  std::string GetClass() const override { return "ListHeader"; }
};

class CListLabelElementUI : public CControlUI, public IListItemUI {
 public:
  std::string GetClass() const override { return "ListLabelElement"; }
  void SetText(const std::string& text) override;
  bool DoEvent(const TEventUI& event) override { return HandleRowEvent(event); }
  bool TakesMousePress() const override { return true; }
  CControlUI* AsControl() override { return this; }

 protected:
  void PaintBkColor(CPaintContext& ctx, const UIRect& rc) override;
  void PaintText(CPaintContext& ctx, const UIRect& rc) override;
};

class CListTextElementUI : public CListLabelElementUI {
 public:
  std::string GetClass() const override { return "ListTextElement"; }
  // Column texts; column 0 is also the element's text.
  std::string GetText(int column) const;
  void SetText(int column, const std::string& text);
  using CListLabelElementUI::GetText;
  using CListLabelElementUI::SetText;

 protected:
  void PaintText(CPaintContext& ctx, const UIRect& rc) override;

 private:
  std::vector<std::string> columns_;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
 public:
  std::string GetClass() const override { return "ListContainerElement"; }
  bool DoEvent(const TEventUI& event) override { return HandleRowEvent(event); }
  bool TakesMousePress() const override { return true; }
  CControlUI* AsControl() override { return this; }

 protected:
  void PaintBkColor(CPaintContext& ctx, const UIRect& rc) override;
};

class CListUI : public CVerticalLayoutUI {
 public:
  CListUI();
  std::string GetClass() const override { return "List"; }

  // Rows (a ListHeader goes to the header).
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  int GetCount() const override;
  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(const CControlUI* control) const override;
  CListHeaderUI* GetHeader() const { return header_; }

  int GetCurSel() const { return curSel_; }
  // -1 clears. sendEvent: raise "itemselect" as a user's choice would. False out of range.
  bool SelectItem(int index, bool takeFocus, bool sendEvent);
  void EnsureVisible(int index);
  // Cell texts of text rows; other rows answer with their text for column 0.
  std::string GetItemText(int row, int column) const;
  bool SetItemText(int row, int column, const std::string& text);

  // Row appearance.
  int GetItemHeight() const { return itemHeight_; }
  void SetItemHeight(int cy) { itemHeight_ = cy; NeedUpdate(); }
  UIColor GetItemTextColor() const { return itemTextColor_; }
  void SetItemTextColor(UIColor c) { itemTextColor_ = c; Invalidate(); }
  int GetItemFont() const { return itemFont_; }
  void SetItemFont(int id) { itemFont_ = id; Invalidate(); }
  unsigned GetItemAlign() const { return itemAlign_; }
  UIColor GetItemBkColor() const { return itemBkColor_; }
  void SetItemBkColor(UIColor c) { itemBkColor_ = c; Invalidate(); }
  bool IsAlternateBk() const { return alternateBk_; }
  void SetAlternateBk(bool on) { alternateBk_ = on; Invalidate(); }
  UIColor GetItemHotBkColor() const { return itemHotBkColor_; }
  void SetItemHotBkColor(UIColor c) { itemHotBkColor_ = c; Invalidate(); }
  UIColor GetItemSelectedBkColor() const { return itemSelectedBkColor_; }
  void SetItemSelectedBkColor(UIColor c) { itemSelectedBkColor_ = c; Invalidate(); }
  // Column edges from the header items, control coordinates of a row of width `width`.
  std::vector<std::pair<int, int>> ColumnSpans(int width) const;

 protected:
  const AttributeTable& Attributes() const override;

 private:
  void SetHeaderShown(bool shown);
  void SetBodyVScroll(bool on);
  CListHeaderUI* header_;
  CVerticalLayoutUI* body_;
  bool headerHidden_ = false;
  int curSel_ = -1;
  int itemHeight_ = 24;
  UIColor itemTextColor_ = 0;
  int itemFont_ = -1;
  unsigned itemAlign_ = kAlignLeft | kAlignVCenter;
  UIColor itemBkColor_ = 0;
  bool alternateBk_ = false;
  UIColor itemHotBkColor_ = 0;
  UIColor itemSelectedBkColor_ = 0;
};

}  // namespace vz::ui
