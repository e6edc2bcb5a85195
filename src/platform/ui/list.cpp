#include "platform/ui/list.h"

#include "platform/ui/combo.h"
#include "platform/ui/paint_manager.h"

namespace vz::ui {
namespace {

// The scrolling part of a list: rows that set no height get the list's row height.
class ListBody : public CVerticalLayoutUI {
 public:
  explicit ListBody(const CListUI* list) : list_(list) {}
  std::string GetClass() const override { return "ListBody"; }

 protected:
  int DefaultChildHeight() const override { return list_->GetItemHeight(); }

 private:
  const CListUI* list_;
};

IListItemUI* AsListItem(CControlUI* control) { return dynamic_cast<IListItemUI*>(control); }

}  // namespace

int IListItemUI::GetIndex() const {
  return owner_ ? owner_->GetItemIndex(const_cast<IListItemUI*>(this)->AsControl()) : -1;
}

void IListItemUI::SetSelectedMark(bool selected) {
  selected_ = selected;
  AsControl()->Invalidate();
}

bool IListItemUI::HandleRowEvent(const TEventUI& event) {
  CControlUI* self = AsControl();
  switch (event.type) {
    case UIEventType::MouseEnter:
      hot_ = true;
      self->Invalidate();
      return true;
    case UIEventType::MouseLeave:
      hot_ = false;
      self->Invalidate();
      return true;
    case UIEventType::ButtonDown:
      if (!self->IsEnabled()) return true;
      if (CPaintManagerUI* pm = self->GetManager()) pm->SendNotify(self, kNotifyItemClick);
      if (owner_) owner_->SelectItem(GetIndex(), true, true);
      return true;
    case UIEventType::ButtonUp:
    case UIEventType::DblClick:
      return true;
    default:
      return false;
  }
}

UIColor IListItemUI::RowBkColor() const {
  if (!owner_) return 0;
  if (selected_ && owner_->GetItemSelectedBkColor()) return owner_->GetItemSelectedBkColor();
  if (hot_ && owner_->GetItemHotBkColor()) return owner_->GetItemHotBkColor();
  if (owner_->IsAlternateBk() && GetIndex() % 2 == 1 && owner_->GetItemHotBkColor()) {
    return owner_->GetItemHotBkColor();
  }
  return owner_->GetItemBkColor();
}

void CListLabelElementUI::SetText(const std::string& text) {
  CControlUI::SetText(text);
  if (auto* combo = dynamic_cast<CComboUI*>(GetParent())) combo->RefreshItems();
}

void CListLabelElementUI::PaintBkColor(CPaintContext& ctx, const UIRect& rc) {
  UIColor row = RowBkColor();
  if (row) ctx.FillRect(rc, row);
  else CControlUI::PaintBkColor(ctx, rc);
}

static UIColor RowTextColor(const CListUI* list, const CControlUI& row) {
  UIColor color = list ? list->GetItemTextColor() : 0;
  if (!color && row.GetManager()) color = row.GetManager()->GetDefaultFontColor();
  return color ? color : 0xFF000000u;
}

void CListLabelElementUI::PaintText(CPaintContext& ctx, const UIRect& rc) {
  CListUI* list = GetOwner();
  UIRect text{rc.left + Scale(4), rc.top, rc.right - Scale(4), rc.bottom};
  ctx.DrawText(text, GetText(), RowTextColor(list, *this), list ? list->GetItemFont() : -1,
               list ? list->GetItemAlign() : kAlignLeft | kAlignVCenter);
}

std::string CListTextElementUI::GetText(int column) const {
  if (column == 0) return CListLabelElementUI::GetText();
  return column > 0 && column < static_cast<int>(columns_.size()) ? columns_[static_cast<std::size_t>(column)]
                                                                  : std::string();
}

void CListTextElementUI::SetText(int column, const std::string& text) {
  if (column < 0) return;
  if (column == 0) return CListLabelElementUI::SetText(text);
  if (static_cast<int>(columns_.size()) <= column) columns_.resize(static_cast<std::size_t>(column) + 1);
  columns_[static_cast<std::size_t>(column)] = text;
  Invalidate();
}

void CListTextElementUI::PaintText(CPaintContext& ctx, const UIRect& rc) {
  CListUI* list = GetOwner();
  if (!list) return CListLabelElementUI::PaintText(ctx, rc);
  auto spans = list->ColumnSpans(rc.Width());
  for (std::size_t i = 0; i < spans.size(); ++i) {
    UIRect cell{spans[i].first + Scale(4), rc.top, spans[i].second - Scale(4), rc.bottom};
    ctx.DrawText(cell, GetText(static_cast<int>(i)), RowTextColor(list, *this), list->GetItemFont(),
                 list->GetItemAlign());
  }
}

void CListContainerElementUI::PaintBkColor(CPaintContext& ctx, const UIRect& rc) {
  UIColor row = RowBkColor();
  if (row) ctx.FillRect(rc, row);
  else CHorizontalLayoutUI::PaintBkColor(ctx, rc);
}

CListUI::CListUI() : header_(new CListHeaderUI), body_(new ListBody(this)) {
  header_->SetVisible(false);
  CContainerUI::AddAt(header_, 0);
  CContainerUI::AddAt(body_, 1);
  body_->EnableScrollBar(true, false);
}

const AttributeTable& CListUI::Attributes() const {
  static const AttributeTable table(&CVerticalLayoutUI::Attributes(), {
      {"itemheight", IntAttr(&CListUI::SetItemHeight)},
      {"itemtextcolor", ColorAttr(&CListUI::SetItemTextColor)},
      {"itemfont", IntAttr(&CListUI::SetItemFont)},
      {"itemalign", [](CControlUI& c, const std::string& v) {
         auto align = ParseAlign(v);
         if (align) static_cast<CListUI&>(c).itemAlign_ = *align;
         return align.has_value();
       }},
      {"itembkcolor", ColorAttr(&CListUI::SetItemBkColor)},
      {"itemaltbk", BoolAttr(&CListUI::SetAlternateBk)},
      {"itemhotbkcolor", ColorAttr(&CListUI::SetItemHotBkColor)},
      {"itemselectedbkcolor", ColorAttr(&CListUI::SetItemSelectedBkColor)},
      {"vscrollbar", BoolAttr(&CListUI::SetBodyVScroll)},
      {"header", [](CControlUI& c, const std::string& v) {
         if (!EqualsNoCase(v, "hidden") && !EqualsNoCase(v, "visible")) return false;
         static_cast<CListUI&>(c).SetHeaderShown(EqualsNoCase(v, "visible"));
         return true;
       }},
  });
  return table;
}

void CListUI::SetHeaderShown(bool shown) {
  headerHidden_ = !shown;
  header_->SetVisible(shown && header_->GetCount() > 0);
}

void CListUI::SetBodyVScroll(bool on) { body_->EnableScrollBar(on, false); }

bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  if (auto* header = dynamic_cast<CListHeaderUI*>(control)) {
    CContainerUI::Remove(header_);
    header_ = header;
    if (header_->GetFixedHeight() == 0) header_->SetFixedHeight(itemHeight_);
    CContainerUI::AddAt(header_, 0);
    header_->SetVisible(!headerHidden_);
    return true;
  }
  IListItemUI* item = AsListItem(control);
  if (!body_->AddAt(control, index)) return false;
  if (item) item->SetOwner(this);
  if (curSel_ >= index) ++curSel_;
  return true;
}

bool CListUI::Remove(CControlUI* control) {
  int index = GetItemIndex(control);
  if (index < 0 || !body_->Remove(control)) return false;
  if (index == curSel_) curSel_ = -1;
  else if (index < curSel_) --curSel_;
  return true;
}

void CListUI::RemoveAll() {
  body_->RemoveAll();
  curSel_ = -1;
}

int CListUI::GetCount() const { return body_->GetCount(); }
CControlUI* CListUI::GetItemAt(int index) const { return body_->GetItemAt(index); }
int CListUI::GetItemIndex(const CControlUI* control) const { return body_->GetItemIndex(control); }

bool CListUI::SelectItem(int index, bool takeFocus, bool sendEvent) {
  if (index < -1 || index >= GetCount()) return false;
  if (takeFocus) SetFocus();
  if (index == curSel_) return true;
  int previous = curSel_;
  if (IListItemUI* old = AsListItem(GetItemAt(previous))) old->SetSelectedMark(false);
  curSel_ = index;
  if (IListItemUI* now = AsListItem(GetItemAt(index))) now->SetSelectedMark(true);
  EnsureVisible(index);
  if (sendEvent) Notify(kNotifyItemSelect, static_cast<std::uintptr_t>(index), previous);
  return true;
}

void CListUI::EnsureVisible(int index) {
  if (CControlUI* row = GetItemAt(index)) body_->EnsureVisible(row);
}

std::string CListUI::GetItemText(int row, int column) const {
  CControlUI* item = GetItemAt(row);
  if (auto* text = dynamic_cast<CListTextElementUI*>(item)) return text->GetText(column);
  return item && column == 0 ? item->GetText() : std::string();
}

bool CListUI::SetItemText(int row, int column, const std::string& value) {
  CControlUI* item = GetItemAt(row);
  if (auto* text = dynamic_cast<CListTextElementUI*>(item)) {
    text->SetText(column, value);
    return true;
  }
  if (!item || column != 0) return false;
  item->SetText(value);
  return true;
}

std::vector<std::pair<int, int>> CListUI::ColumnSpans(int width) const {
  std::vector<std::pair<int, int>> spans;
  int columns = header_->GetCount();
  if (columns == 0) return {{0, width}};
  int fixedTotal = 0;
  int shares = 0;
  for (int i = 0; i < columns; ++i) {
    int w = Scale(header_->GetItemAt(i)->GetFixedWidth());
    fixedTotal += w;
    if (w == 0) ++shares;
  }
  int share = shares ? std::max(0, width - fixedTotal) / shares : 0;
  int x = 0;
  for (int i = 0; i < columns; ++i) {
    int w = Scale(header_->GetItemAt(i)->GetFixedWidth());
    if (w == 0) w = share;
    spans.emplace_back(x, x + w);
    x += w;
  }
  return spans;
}

}  // namespace vz::ui
