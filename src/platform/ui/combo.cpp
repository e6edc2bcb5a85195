#include "platform/ui/combo.h"

#include <QAbstractItemView>
#include <QComboBox>

#include "platform/ui/control_host.h"
#include "platform/ui/paint_manager.h"

namespace vz::ui {
namespace {

QString ColorCss(UIColor c) {
  return QString("rgba(%1,%2,%3,%4)")
      .arg((c >> 16) & 0xFF).arg((c >> 8) & 0xFF).arg(c & 0xFF).arg(((c >> 24) & 0xFF) / 255.0);
}

// Tells the control when the list drops down and closes, for the pushed image.
class ComboBox : public QComboBox {
 public:
  ComboBox(QWidget* parent, CComboUI* owner) : QComboBox(parent), owner_(owner) {}
  void showPopup() override {
    owner_->SetDropped(true);
    QComboBox::showPopup();
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    owner_->SetDropped(false);
  }

 private:
  CComboUI* owner_;
};

}  // namespace

const AttributeTable& CComboUI::Attributes() const {
  static const AttributeTable table(&CContainerUI::Attributes(), {
      {"textcolor", ColorAttr(&CComboUI::SetTextColor)},
      {"font", IntAttr(&CComboUI::SetFont)},
      {"textpadding", RectAttr(&CComboUI::SetTextPadding)},
      {"normalimage", TextAttr(&CComboUI::SetNormalImage)},
      {"hotimage", TextAttr(&CComboUI::SetHotImage)},
      {"pushedimage", TextAttr(&CComboUI::SetPushedImage)},
      {"disabledimage", TextAttr(&CComboUI::SetDisabledImage)},
      {"itemtextcolor", ColorAttr(&CComboUI::SetItemTextColor)},
      {"itemfont", IntAttr(&CComboUI::SetItemFont)},
      {"dropboxsize", SizeAttr(&CComboUI::SetDropBoxSize)},
  });
  return table;
}

bool CComboUI::SelectItem(int index, bool takeFocus, bool sendEvent) {
  if (index < -1 || index >= GetCount()) return false;
  if (takeFocus) SetFocus();
  if (index == curSel_) return true;
  int previous = curSel_;
  curSel_ = index;
  if (box_) {
    QSignalBlocker block(box_.data());
    box_->setCurrentIndex(index);
  }
  Invalidate();
  if (sendEvent) Notify(kNotifyItemSelect, static_cast<std::uintptr_t>(index), previous);
  return true;
}

void CComboUI::OnUserSelected(int index) { SelectItem(index, false, true); }

std::string CComboUI::GetText() const {
  CControlUI* item = GetItemAt(curSel_);
  return item ? item->GetText() : std::string();
}

bool CComboUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (curSel_ >= index) ++curSel_;
  RefreshItems();
  return true;
}

bool CComboUI::Remove(CControlUI* control) {
  int index = GetItemIndex(control);
  if (!CContainerUI::Remove(control)) return false;
  if (index == curSel_) curSel_ = -1;
  else if (index < curSel_) --curSel_;
  RefreshItems();
  return true;
}

void CComboUI::RemoveAll() {
  CContainerUI::RemoveAll();
  curSel_ = -1;
  RefreshItems();
}

void CComboUI::RefreshItems() {
  Invalidate();
  if (!box_) return;
  QSignalBlocker block(box_.data());
  box_->clear();
  for (int i = 0; i < GetCount(); ++i) {
    box_->addItem(QString::fromStdString(GetItemAt(i)->GetText()));
    box_->setItemData(i, QString::fromStdString(GetItemAt(i)->GetToolTip()), Qt::ToolTipRole);
  }
  box_->setCurrentIndex(curSel_);
}

void CComboUI::OnHostCreated() {
  CContainerUI::OnHostCreated();
  box_ = new ComboBox(Host(), this);
  box_->setFocusPolicy(Qt::StrongFocus);
  Host()->setFocusProxy(box_);
  QObject::connect(box_.data(), QOverload<int>::of(&QComboBox::activated), box_.data(),
                   [this](int index) { OnUserSelected(index); });
  RefreshItems();
  ApplyStyle();
  box_->show();
}

void CComboUI::ApplyStyle() {
  if (!box_) return;
  UIColor text = textColor_ ? textColor_ : (GetManager() ? GetManager()->GetDefaultFontColor() : 0xFF000000u);
  UIColor item = itemTextColor_ ? itemTextColor_ : text;
  box_->setStyleSheet(QString("QComboBox { background: transparent; border: none; color: %1; }"
                              "QComboBox::drop-down { border: none; width: 0px; }"
                              "QComboBox::down-arrow { image: none; }"
                              "QComboBox QAbstractItemView { color: %2; }")
                          .arg(ColorCss(text), ColorCss(item)));
  if (GetManager()) {
    box_->setFont(GetManager()->GetQFont(font_));
    box_->view()->setFont(GetManager()->GetQFont(itemFont_ >= 0 ? itemFont_ : font_));
  }
  if (dropBoxSize_.cx > 0) box_->view()->setMinimumWidth(Scale(dropBoxSize_.cx));
}

void CComboUI::SetPos(const UIRect& rc) {
  CContainerUI::SetPos(rc);
  if (!box_) return;
  int left = Scale(textPadding_.left);
  int top = Scale(textPadding_.top);
  box_->setGeometry(left, top, std::max(0, rc.Width() - left - Scale(textPadding_.right)),
                    std::max(0, rc.Height() - top - Scale(textPadding_.bottom)));
  if (GetManager()) box_->setFont(GetManager()->GetQFont(font_));
}

bool CComboUI::DoEvent(const TEventUI& event) {
  switch (event.type) {
    case UIEventType::MouseEnter:
      hot_ = true;
      Invalidate();
      return true;
    case UIEventType::MouseLeave:
      hot_ = false;
      Invalidate();
      return true;
    case UIEventType::ButtonDown:
      if (box_ && IsEnabled()) box_->showPopup();
      return true;
    case UIEventType::ButtonUp:
      return true;
    default:
      return false;
  }
}

void CComboUI::SetDropped(bool dropped) {
  dropped_ = dropped;
  Invalidate();
}

void CComboUI::OnLanguageChanged() {
  CContainerUI::OnLanguageChanged();
  RefreshItems();
}

void CComboUI::PaintStatusImage(CPaintContext& ctx, const UIRect& rc) {
  const std::string* image = &normalImage_;
  if (!IsEnabled() && !disabledImage_.empty()) image = &disabledImage_;
  else if (dropped_ && !pushedImage_.empty()) image = &pushedImage_;
  else if (hot_ && !hotImage_.empty()) image = &hotImage_;
  ctx.DrawImage(rc, *image);
}

}  // namespace vz::ui
