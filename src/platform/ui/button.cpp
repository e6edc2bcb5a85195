#include "platform/ui/button.h"

#include "platform/ui/paint_manager.h"

namespace vz::ui {

const AttributeTable& CButtonUI::Attributes() const {
  static const AttributeTable table(&CLabelUI::Attributes(), {
      {"normalimage", TextAttr(&CButtonUI::SetNormalImage)},
      {"hotimage", TextAttr(&CButtonUI::SetHotImage)},
      {"pushedimage", TextAttr(&CButtonUI::SetPushedImage)},
      {"focusedimage", TextAttr(&CButtonUI::SetFocusedImage)},
      {"disabledimage", TextAttr(&CButtonUI::SetDisabledImage)},
      {"foreimage", TextAttr(&CButtonUI::SetForeImage)},
      {"hotforeimage", TextAttr(&CButtonUI::SetHotForeImage)},
      {"hottextcolor", ColorAttr(&CButtonUI::SetHotTextColor)},
      {"pushedtextcolor", ColorAttr(&CButtonUI::SetPushedTextColor)},
      {"hotbkcolor", ColorAttr(&CButtonUI::SetHotBkColor)},
  });
  return table;
}

void CButtonUI::Activate() {
  if (!IsEnabled()) return;
  Notify(kNotifyClick);
}

bool CButtonUI::DoEvent(const TEventUI& event) {
  switch (event.type) {
    case UIEventType::MouseEnter:
      if (!IsEnabled()) return false;
      hot_ = true;
      Invalidate();
      Notify(kNotifyMouseEnter);
      return true;
    case UIEventType::MouseLeave:
      if (!hot_ && !pushed_) return false;
      hot_ = false;
      Invalidate();
      Notify(kNotifyMouseLeave);
      return true;
    case UIEventType::ButtonDown:
    case UIEventType::DblClick:
      if (!IsEnabled()) return true;
      pushed_ = true;
      Invalidate();
      return true;
    case UIEventType::ButtonUp: {
      if (!pushed_) return true;
      pushed_ = false;
      Invalidate();
      UIRect local{0, 0, GetPos().Width(), GetPos().Height()};
      if (local.Contains(event.ptMouse)) Activate();
      return true;
    }
    case UIEventType::MouseMove:
      return pushed_;
    case UIEventType::KeyDown:
      if (event.key == Qt::Key_Space || event.key == Qt::Key_Return || event.key == Qt::Key_Enter) {
        Activate();
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CButtonUI::PaintBkColor(CPaintContext& ctx, const UIRect& rc) {
  if (hot_ && hotBkColor_ && IsEnabled()) ctx.FillRoundRect(rc, GetBorderRound(), hotBkColor_);
  else CLabelUI::PaintBkColor(ctx, rc);
}

const std::string& CButtonUI::ButtonStateImage() const {
  auto pick = [this](const std::string& image) -> const std::string& {
    return image.empty() ? normalImage_ : image;
  };
  if (!IsEnabled()) return pick(disabledImage_);
  if (pushed_) return pick(pushedImage_.empty() ? hotImage_ : pushedImage_);
  if (hot_) return pick(hotImage_);
  if (IsFocused() && !focusedImage_.empty()) return focusedImage_;
  return normalImage_;
}

void CButtonUI::PaintStatusImage(CPaintContext& ctx, const UIRect& rc) {
  ctx.DrawImage(rc, ButtonStateImage());
  const std::string& fore = (hot_ && !hotForeImage_.empty()) ? hotForeImage_ : foreImage_;
  ctx.DrawImage(rc, fore);
}

UIColor CButtonUI::CurrentTextColor() const {
  if (IsEnabled() && pushed_ && pushedTextColor_) return pushedTextColor_;
  if (IsEnabled() && hot_ && hotTextColor_) return hotTextColor_;
  return CLabelUI::CurrentTextColor();
}

COptionUI::~COptionUI() {
  if (GetManager() && !group_.empty()) GetManager()->RemoveOptionGroup(group_, this);
}

const AttributeTable& COptionUI::Attributes() const {
  static const AttributeTable table(&CButtonUI::Attributes(), {
      {"group", TextAttr(&COptionUI::SetGroup)},
      {"selected", BoolAttr(&COptionUI::SetSelectedAttr)},
      {"selectedimage", TextAttr(&COptionUI::SetSelectedImage)},
      {"selectedhotimage", TextAttr(&COptionUI::SetSelectedHotImage)},
      {"selectedforeimage", TextAttr(&COptionUI::SetSelectedForeImage)},
      {"selectedtextcolor", ColorAttr(&COptionUI::SetSelectedTextColor)},
      {"selectedbkcolor", ColorAttr(&COptionUI::SetSelectedBkColor)},
  });
  return table;
}

void COptionUI::SetGroup(const std::string& group) {
  if (group == group_) return;
  if (GetManager() && !group_.empty()) GetManager()->RemoveOptionGroup(group_, this);
  group_ = group;
  if (!GetManager() || group_.empty()) return;
  GetManager()->AddOptionGroup(group_, this);
  // Joining selected leaves the group with this one selected, like selecting it would.
  if (selected_) {
    for (CControlUI* other : GetManager()->GetOptionGroup(group_)) {
      if (other != this) static_cast<COptionUI*>(other)->Selected(false, false);
    }
  }
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CPaintManagerUI* old = GetManager();
  if (old != manager && old && !group_.empty()) old->RemoveOptionGroup(group_, this);
  CButtonUI::SetManager(manager, parent);
  if (old != manager && manager && !group_.empty()) manager->AddOptionGroup(group_, this);
}

void COptionUI::Selected(bool selected, bool sendEvent) {
  if (selected == selected_) return;
  selected_ = selected;
  Invalidate();
  if (group_.empty()) {
    if (sendEvent) Notify(kNotifySelectChanged);
    return;
  }
  if (!selected_) return;
  if (CPaintManagerUI* pm = GetManager()) {
    for (CControlUI* other : pm->GetOptionGroup(group_)) {
      if (other != this) static_cast<COptionUI*>(other)->Selected(false, sendEvent);
    }
  }
  if (sendEvent) Notify(kNotifySelectChanged);
}

void COptionUI::Activate() {
  if (!IsEnabled()) return;
  CButtonUI::Activate();
  Selected(group_.empty() ? !selected_ : true, true);
}

void COptionUI::PaintBkColor(CPaintContext& ctx, const UIRect& rc) {
  if (selected_ && selectedBkColor_) ctx.FillRoundRect(rc, GetBorderRound(), selectedBkColor_);
  else CButtonUI::PaintBkColor(ctx, rc);
}

void COptionUI::PaintStatusImage(CPaintContext& ctx, const UIRect& rc) {
  if (!selected_ || selectedImage_.empty()) return CButtonUI::PaintStatusImage(ctx, rc);
  const std::string& image =
      (IsHot() && !selectedHotImage_.empty()) ? selectedHotImage_ : selectedImage_;
  ctx.DrawImage(rc, IsEnabled() || GetDisabledImage().empty() ? image : GetDisabledImage());
  ctx.DrawImage(rc, selectedForeImage_);
}

UIColor COptionUI::CurrentTextColor() const {
  if (selected_ && selectedTextColor_ && IsEnabled()) return selectedTextColor_;
  return CButtonUI::CurrentTextColor();
}

}  // namespace vz::ui
