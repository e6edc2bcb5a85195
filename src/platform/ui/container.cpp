#include "platform/ui/container.h"

#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "platform/ui/control_host.h"
#include "platform/ui/paint_manager.h"

namespace vz::ui {

CContainerUI::~CContainerUI() {
  // Children first: their widgets live inside ours.
  for (CControlUI* child : items_) delete child;
  items_.clear();
}

bool CContainerUI::Add(CControlUI* control) {
  return AddAt(control, static_cast<int>(items_.size()));
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > static_cast<int>(items_.size())) return false;
  items_.insert(items_.begin() + index, control);
  control->SetManager(GetManager(), this);
  if (Host() && HostsChildren()) control->AttachHost(ContentWidget());
  NeedUpdate();
  return true;
}

bool CContainerUI::Remove(CControlUI* control) {
  CControlUI* detached = Detach(control);
  delete detached;
  return detached != nullptr;
}

bool CContainerUI::RemoveAt(int index) { return Remove(GetItemAt(index)); }

void CContainerUI::RemoveAll() {
  std::vector<CControlUI*> items;
  items.swap(items_);
  for (CControlUI* child : items) delete child;
  NeedUpdate();
}

CControlUI* CContainerUI::Detach(CControlUI* control) {
  auto it = std::find(items_.begin(), items_.end(), control);
  if (it == items_.end()) return nullptr;
  items_.erase(it);
  control->SetManager(nullptr, nullptr);
  // Out of the tree, its widget must not go on showing inside this container.
  if (QWidget* host = control->Host()) {
    host->hide();
    host->setParent(nullptr);
  }
  NeedUpdate();
  return control;
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  return index >= 0 && index < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(index)]
                                                               : nullptr;
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
  auto it = std::find(items_.begin(), items_.end(), control);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

CControlUI* CContainerUI::FindSubControl(const std::string& name) const {
  for (CControlUI* child : items_) {
    if (EqualsNoCase(child->GetName(), name)) return child;
    if (CContainerUI* sub = child->AsContainer()) {
      if (CControlUI* found = sub->FindSubControl(name)) return found;
    }
  }
  return nullptr;
}

void CContainerUI::SetInset(UIRect inset) {
  inset_ = inset;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = std::max(0, padding);
  NeedUpdate();
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
  vscroll_ = vertical;
  hscroll_ = horizontal;
  if (Host()) EnsureScrollArea();
  NeedUpdate();
}

void CContainerUI::EnsureVisible(CControlUI* child) {
  if (!scroll_ || !child || !child->Host()) return;
  scroll_->ensureWidgetVisible(child->Host(), 0, 0);
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  for (CControlUI* child : items_) child->SetManager(manager, this);
}

void CContainerUI::AttachHost(QWidget* parentWidget) {
  CControlUI::AttachHost(parentWidget);
  if (!HostsChildren()) return;
  for (CControlUI* child : items_) child->AttachHost(ContentWidget());
}

void CContainerUI::OnHostCreated() {
  if (vscroll_ || hscroll_) EnsureScrollArea();
}

void CContainerUI::EnsureScrollArea() {
  if (scroll_ || !Host()) return;
  scroll_ = new QScrollArea(Host());
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(false);
  // The container paints its own background; the scroll area shows what lies beneath.
  scroll_->setAutoFillBackground(false);
  scroll_->viewport()->setAutoFillBackground(false);
  content_ = new QWidget;
  scroll_->setWidget(content_);
  content_->setAutoFillBackground(false);  // setWidget turns it on
  for (CControlUI* child : items_) {
    if (child->Host()) child->Host()->setParent(content_);
    if (child->Host()) child->Host()->setVisible(child->IsVisible());
  }
  scroll_->show();
}

QWidget* CContainerUI::ContentWidget() const {
  if (content_) return content_.data();
  return Host();
}

void CContainerUI::SetVisible(bool visible) { CControlUI::SetVisible(visible); }

void CContainerUI::SetPos(const UIRect& rc) {
  CControlUI::SetPos(rc);
  UIRect local{0, 0, rc.Width(), rc.Height()};
  if (!scroll_) {
    LayoutChildren(local);
    return;
  }
  scroll_->setGeometry(0, 0, local.Width(), local.Height());
  scroll_->setHorizontalScrollBarPolicy(hscroll_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  scroll_->setVerticalScrollBarPolicy(vscroll_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  // First pass at the visible size tells how much room the children need.
  UISize viewport{scroll_->viewport()->width(), scroll_->viewport()->height()};
  UISize need = LayoutChildren(UIRect{0, 0, viewport.cx, viewport.cy});
  UISize content{hscroll_ ? std::max(viewport.cx, need.cx) : viewport.cx,
                 vscroll_ ? std::max(viewport.cy, need.cy) : viewport.cy};
  if (vscroll_ && need.cy > viewport.cy) {
    content.cx = std::max(0, content.cx - scroll_->verticalScrollBar()->sizeHint().width());
  }
  content_->resize(content.cx, content.cy);
  LayoutChildren(UIRect{0, 0, content.cx, content.cy});
}

const AttributeTable& CContainerUI::Attributes() const {
  static const AttributeTable table(&CControlUI::Attributes(), {
      {"inset", RectAttr(&CContainerUI::SetInset)},
      {"childpadding", IntAttr(&CContainerUI::SetChildPadding)},
      {"vscrollbar", BoolAttr(&CContainerUI::SetVScroll)},
      {"hscrollbar", BoolAttr(&CContainerUI::SetHScroll)},
  });
  return table;
}

void CContainerUI::PlaceFloat(CControlUI* child, const UIRect& rc) {
  UIRect pos = child->GetFloatPos();
  int w = child->GetFixedWidth() > 0 ? Scale(child->GetFixedWidth()) : Scale(pos.right - pos.left);
  int h = child->GetFixedHeight() > 0 ? Scale(child->GetFixedHeight()) : Scale(pos.bottom - pos.top);
  int left = rc.left + Scale(pos.left);
  int top = rc.top + Scale(pos.top);
  child->SetPos(UIRect{left, top, left + std::max(0, w), top + std::max(0, h)});
}

static UIRect Deflate(const UIRect& rc, const UIRect& by, int scale100) {
  auto s = [scale100](int v) { return v * scale100 / 100; };
  return UIRect{rc.left + s(by.left), rc.top + s(by.top), rc.right - s(by.right), rc.bottom - s(by.bottom)};
}

UISize CContainerUI::LayoutChildren(const UIRect& rc) {
  UIRect inner = Deflate(rc, inset_, Scale(100));
  UISize need{0, 0};
  for (CControlUI* child : items_) {
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloat(child, rc);
      continue;
    }
    UIRect area = Deflate(inner, child->GetPadding(), Scale(100));
    int w = child->GetFixedWidth() > 0 ? Scale(child->GetFixedWidth()) : area.Width();
    int h = child->GetFixedHeight() > 0 ? Scale(child->GetFixedHeight()) : area.Height();
    child->SetPos(UIRect{area.left, area.top, area.left + w, area.top + h});
    need.cx = std::max(need.cx, w);
    need.cy = std::max(need.cy, h);
  }
  return need;
}

namespace {

// One stacking pass shared by both directions: `main` picks the stacking coordinate.
struct StackChild {
  CControlUI* control;
  int fixedMain;  // 0: shares the rest
  int minMain;
  int maxMain;
};

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

}  // namespace

UISize CVerticalLayoutUI::LayoutChildren(const UIRect& rc) {
  UIRect inner = Deflate(rc, GetInset(), Scale(100));
  std::vector<StackChild> stack;
  int fixedTotal = 0;
  int shares = 0;
  for (CControlUI* child : Items()) {
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloat(child, rc);
      continue;
    }
    UIRect pad = child->GetPadding();
    int fixed = ScaledFixed(child->GetFixedHeight());
    if (!fixed) fixed = ScaledFixed(DefaultChildHeight());
    stack.push_back({child, fixed, Scale(child->GetMinHeight()), Scale(child->GetMaxHeight())});
    fixedTotal += Scale(pad.top + pad.bottom) + fixed;
    if (fixed == 0) ++shares;
  }
  int gaps = stack.empty() ? 0 : Scale(GetChildPadding()) * static_cast<int>(stack.size() - 1);
  int rest = std::max(0, inner.Height() - fixedTotal - gaps);
  int share = shares ? rest / shares : 0;
  int y = inner.top;
  int widest = 0;
  for (const StackChild& item : stack) {
    UIRect pad = item.control->GetPadding();
    int h = item.fixedMain ? item.fixedMain : Clamp(share, item.minMain, item.maxMain);
    int availW = inner.Width() - Scale(pad.left + pad.right);
    int w = item.control->GetFixedWidth() > 0 ? Scale(item.control->GetFixedWidth())
                                              : Clamp(availW, Scale(item.control->GetMinWidth()),
                                                      Scale(item.control->GetMaxWidth()));
    y += Scale(pad.top);
    int x = inner.left + Scale(pad.left);
    item.control->SetPos(UIRect{x, y, x + w, y + h});
    y += h + Scale(pad.bottom) + Scale(GetChildPadding());
    widest = std::max(widest, w + Scale(pad.left + pad.right));
  }
  int used = y - inner.top - (stack.empty() ? 0 : Scale(GetChildPadding()));
  return {widest, used + Scale(GetInset().top + GetInset().bottom)};
}

UISize CHorizontalLayoutUI::LayoutChildren(const UIRect& rc) {
  UIRect inner = Deflate(rc, GetInset(), Scale(100));
  std::vector<StackChild> stack;
  int fixedTotal = 0;
  int shares = 0;
  for (CControlUI* child : Items()) {
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      PlaceFloat(child, rc);
      continue;
    }
    UIRect pad = child->GetPadding();
    int fixed = ScaledFixed(child->GetFixedWidth());
    stack.push_back({child, fixed, Scale(child->GetMinWidth()), Scale(child->GetMaxWidth())});
    fixedTotal += Scale(pad.left + pad.right) + fixed;
    if (fixed == 0) ++shares;
  }
  int gaps = stack.empty() ? 0 : Scale(GetChildPadding()) * static_cast<int>(stack.size() - 1);
  int rest = std::max(0, inner.Width() - fixedTotal - gaps);
  int share = shares ? rest / shares : 0;
  int x = inner.left;
  int tallest = 0;
  for (const StackChild& item : stack) {
    UIRect pad = item.control->GetPadding();
    int w = item.fixedMain ? item.fixedMain : Clamp(share, item.minMain, item.maxMain);
    int availH = inner.Height() - Scale(pad.top + pad.bottom);
    int h = item.control->GetFixedHeight() > 0 ? Scale(item.control->GetFixedHeight())
                                               : Clamp(availH, Scale(item.control->GetMinHeight()),
                                                       Scale(item.control->GetMaxHeight()));
    x += Scale(pad.left);
    int y = inner.top + Scale(pad.top);
    item.control->SetPos(UIRect{x, y, x + w, y + h});
    x += w + Scale(pad.right) + Scale(GetChildPadding());
    tallest = std::max(tallest, h + Scale(pad.top + pad.bottom));
  }
  int used = x - inner.left - (stack.empty() ? 0 : Scale(GetChildPadding()));
  return {used + Scale(GetInset().left + GetInset().right), tallest};
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  curSel_ = index;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
  NeedUpdate();
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* page) { return SelectItem(GetItemIndex(page)); }

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  int before = GetCount();
  if (!CContainerUI::AddAt(control, index)) return false;
  if (curSel_ < 0) curSel_ = 0;
  else if (curSel_ < before && index <= curSel_) ++curSel_;  // the shown page stays shown
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == curSel_);
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
  int index = GetItemIndex(control);
  if (!CContainerUI::Remove(control)) return false;
  if (index < curSel_) --curSel_;
  curSel_ = std::min(curSel_, GetCount() - 1);
  if (curSel_ >= 0) SelectItem(curSel_);
  return true;
}

void CTabLayoutUI::RemoveAll() {
  CContainerUI::RemoveAll();
  curSel_ = -1;
}

const AttributeTable& CTabLayoutUI::Attributes() const {
  static const AttributeTable table(&CContainerUI::Attributes(), {
      {"selectedid", [](CControlUI& c, const std::string& v) {
         auto index = ParseInt(v);
         if (!index || *index < 0) return false;
         static_cast<CTabLayoutUI&>(c).curSel_ = *index;
         return true;
       }},
  });
  return table;
}

}  // namespace vz::ui
