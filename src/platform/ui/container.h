// Containers and layouts: children stacked top to bottom or left to right, pages of a tab
// layout, float children at fixed places.
#pragma once

#include <QPointer>
#include <string>
#include <vector>

#include "platform/ui/control.h"

#include <QScrollArea>

namespace vz::ui {

class CContainerUI : public CControlUI {
 public:
  CContainerUI() = default;
  ~CContainerUI() override;
  std::string GetClass() const override { return "Container"; }
  CContainerUI* AsContainer() override { return this; }

  // The container takes ownership; false for a null control.
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  // Removes and deletes; false when the control is not a child.
  virtual bool Remove(CControlUI* control);
  virtual bool RemoveAt(int index);
  virtual void RemoveAll();
  // Removes without deleting: ownership goes to the caller.
  CControlUI* Detach(CControlUI* control);
  virtual int GetCount() const { return static_cast<int>(items_.size()); }
  virtual CControlUI* GetItemAt(int index) const;
  virtual int GetItemIndex(const CControlUI* control) const;
  // Every direct child in the tree, whatever the class presents as its items.
  const std::vector<CControlUI*>& Children() const { return items_; }
  // The first descendant of that name, letter case ignored; null when none.
  CControlUI* FindSubControl(const std::string& name) const;

  UIRect GetInset() const { return inset_; }
  void SetInset(UIRect inset);
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int padding);
  // Scroll when the children need more room than the container has.
  void EnableScrollBar(bool vertical, bool horizontal);
  bool IsVScrollEnabled() const { return vscroll_; }
  // Scrolls so that the child is visible.
  void EnsureVisible(CControlUI* child);

  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void AttachHost(QWidget* parentWidget) override;
  void SetPos(const UIRect& rc) override;
  void SetVisible(bool visible) override;

 protected:
  const AttributeTable& Attributes() const override;
  void OnHostCreated() override;
  // The widget children are placed on: the host, or the content of the scroll area.
  QWidget* ContentWidget() const;
  // Places the children inside `inner` (content coordinates); returns the extent they need.
  virtual UISize LayoutChildren(const UIRect& inner);
  void PlaceFloat(CControlUI* child, const UIRect& rc);
  // Whether children get host widgets (combos keep their items as plain data).
  virtual bool HostsChildren() const { return true; }
  // The size a child asks for in the stacking direction (scaled); 0 for "share the rest".
  int ScaledFixed(int value) const { return value > 0 ? Scale(value) : 0; }
  const std::vector<CControlUI*>& Items() const { return items_; }

 private:
  void SetVScroll(bool on) { EnableScrollBar(on, hscroll_); }
  void SetHScroll(bool on) { EnableScrollBar(vscroll_, on); }
  void EnsureScrollArea();
  std::vector<CControlUI*> items_;
  UIRect inset_;
  int childPadding_ = 0;
  bool vscroll_ = false;
  bool hscroll_ = false;
  QPointer<QScrollArea> scroll_;
  QPointer<QWidget> content_;
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  std::string GetClass() const override { return "VerticalLayout"; }

 protected:
  UISize LayoutChildren(const UIRect& inner) override;
  // The height of children that set none; 0 lets them share the room that is left.
  virtual int DefaultChildHeight() const { return 0; }
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  std::string GetClass() const override { return "HorizontalLayout"; }

 protected:
  UISize LayoutChildren(const UIRect& inner) override;
};

// Shows one child page at a time, sized to the whole layout.
class CTabLayoutUI : public CContainerUI {
 public:
  std::string GetClass() const override { return "TabLayout"; }
  // Shows page `index`; raises no notification. False for an index out of range.
  bool SelectItem(int index);
  bool SelectItem(CControlUI* page);
  int GetCurSel() const { return curSel_; }
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;

 protected:
  const AttributeTable& Attributes() const override;

 private:
  void SetSelectedId(int index) { SelectItem(index); }
  int curSel_ = -1;
};

}  // namespace vz::ui
