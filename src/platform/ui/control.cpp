#include "platform/ui/control.h"

#include <QWidget>

#include "platform/ui/control_host.h"
#include "platform/ui/diagnostics.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/resource_manager.h"

namespace vz::ui {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_) manager_->ReapObjects(this);
  if (host_) {
    host_->Detach();
    delete host_.data();
  }
}

void CControlUI::SetName(const std::string& name) {
  if (name == name_) return;
  if (manager_) manager_->UnregisterName(this, name_);
  name_ = name;
  if (manager_) manager_->RegisterName(this);
}

std::string CControlUI::GetText() const {
  return resourceText_ ? CResourceManager::GetInstance().GetText(text_) : text_;
}

void CControlUI::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Invalidate();
}

void CControlUI::SetResourceText(bool on) {
  if (on == resourceText_) return;
  resourceText_ = on;
  OnLanguageChanged();
  Invalidate();
}

std::string CControlUI::GetToolTip() const {
  return resourceText_ && !toolTip_.empty() ? CResourceManager::GetInstance().GetText(toolTip_)
                                            : toolTip_;
}

void CControlUI::SetToolTip(const std::string& text) {
  toolTip_ = text;
  if (host_) host_->setToolTip(QString::fromStdString(GetToolTip()));
}

std::string CControlUI::GetVirtualWnd() const {
  for (const CControlUI* c = this; c; c = c->parent_) {
    if (!c->virtualWnd_.empty()) return c->virtualWnd_;
  }
  return {};
}

void CControlUI::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (host_) host_->setVisible(visible);
  NeedParentUpdate();
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (host_) host_->setEnabled(enabled);
  Invalidate();
}

void CControlUI::SetMouseEnabled(bool enabled) {
  mouseEnabled_ = enabled;
  ApplyHostState();
}

void CControlUI::SetKeyboardEnabled(bool enabled) {
  keyboardEnabled_ = enabled;
  ApplyHostState();
}

bool CControlUI::IsFocused() const { return host_ && host_->hasFocus(); }

void CControlUI::SetFocus() {
  if (host_) host_->setFocus(Qt::OtherFocusReason);
}

void CControlUI::SetHandCursor(bool hand) {
  handCursor_ = hand;
  if (host_) host_->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CControlUI::SetFixedWidth(int cx) {
  fixedWidth_ = std::max(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  fixedHeight_ = std::max(0, cy);
  NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) { minWidth_ = std::max(0, cx); NeedParentUpdate(); }
void CControlUI::SetMaxWidth(int cx) { maxWidth_ = std::max(0, cx); NeedParentUpdate(); }
void CControlUI::SetMinHeight(int cy) { minHeight_ = std::max(0, cy); NeedParentUpdate(); }
void CControlUI::SetMaxHeight(int cy) { maxHeight_ = std::max(0, cy); NeedParentUpdate(); }

void CControlUI::SetPadding(UIRect padding) {
  padding_ = padding;
  NeedParentUpdate();
}

void CControlUI::SetFloat(bool on) {
  float_ = on;
  NeedParentUpdate();
}

void CControlUI::SetFloatPos(UIRect pos) {
  floatPos_ = pos;
  // Outside a float, the rectangle only fixes the size, as "pos" does in the skins.
  if (pos.right > pos.left) fixedWidth_ = pos.right - pos.left;
  if (pos.bottom > pos.top) fixedHeight_ = pos.bottom - pos.top;
  NeedParentUpdate();
}

UIRect CControlUI::GetPos() const {
  if (!host_) return {};
  QWidget* surface = manager_ ? manager_->Surface() : nullptr;
  QPoint origin = surface ? host_->mapTo(surface, QPoint(0, 0)) : host_->pos();
  return {origin.x(), origin.y(), origin.x() + host_->width(), origin.y() + host_->height()};
}

void CControlUI::SetPos(const UIRect& rc) {
  if (host_) host_->setGeometry(rc.left, rc.top, std::max(0, rc.Width()), std::max(0, rc.Height()));
}

void CControlUI::SetBkColor(UIColor color) { bkColor_ = color; Invalidate(); }
void CControlUI::SetBkImage(const std::string& image) { bkImage_ = image; Invalidate(); }
void CControlUI::SetBorderColor(UIColor color) { borderColor_ = color; Invalidate(); }
void CControlUI::SetBorderSize(int size) { borderSize_ = std::max(0, size); Invalidate(); }
void CControlUI::SetBorderRound(UISize round) { borderRound_ = round; Invalidate(); }
void CControlUI::SetChangerColor(UIColor color) { changerColor_ = color; Invalidate(); }
void CControlUI::SetChangerAlpha(int alpha) { changerAlpha_ = std::clamp(alpha, 0, 255); Invalidate(); }

const AttributeTable& CControlUI::Attributes() const {
  static const AttributeTable table(nullptr, {
      {"name", TextAttr(&CControlUI::SetName)},
      {"text", TextAttr(&CControlUI::SetText)},
      {"tooltip", TextAttr(&CControlUI::SetToolTip)},
      {"userdata", TextAttr(&CControlUI::SetUserData)},
      {"virtualwnd", TextAttr(&CControlUI::SetVirtualWnd)},
      {"resourcetext", BoolAttr(&CControlUI::SetResourceText)},
      {"pos", RectAttr(&CControlUI::SetFloatPos)},
      {"float", BoolAttr(&CControlUI::SetFloat)},
      {"padding", RectAttr(&CControlUI::SetPadding)},
      {"width", IntAttr(&CControlUI::SetFixedWidth)},
      {"height", IntAttr(&CControlUI::SetFixedHeight)},
      {"minwidth", IntAttr(&CControlUI::SetMinWidth)},
      {"maxwidth", IntAttr(&CControlUI::SetMaxWidth)},
      {"minheight", IntAttr(&CControlUI::SetMinHeight)},
      {"maxheight", IntAttr(&CControlUI::SetMaxHeight)},
      {"bkcolor", ColorAttr(&CControlUI::SetBkColor)},
      {"bkimage", TextAttr(&CControlUI::SetBkImage)},
      {"bordercolor", ColorAttr(&CControlUI::SetBorderColor)},
      {"bordersize", IntAttr(&CControlUI::SetBorderSize)},
      {"borderround", SizeAttr(&CControlUI::SetBorderRound)},
      {"visible", BoolAttr(&CControlUI::SetVisible)},
      {"enabled", BoolAttr(&CControlUI::SetEnabled)},
      {"mouse", BoolAttr(&CControlUI::SetMouseEnabled)},
      {"keyboard", BoolAttr(&CControlUI::SetKeyboardEnabled)},
      {"changercolor", ColorAttr(&CControlUI::SetChangerColor)},
      {"changeralpha", IntAttr(&CControlUI::SetChangerAlpha)},
      {"style", [](CControlUI& c, const std::string& v) {
         const std::string* list = c.GetManager() ? c.GetManager()->GetStyle(v) : nullptr;
         if (!list) return false;
         return c.ApplyAttributeList(*list);
       }},
      {"cursor", [](CControlUI& c, const std::string& v) {
         if (!EqualsNoCase(v, "hand") && !EqualsNoCase(v, "arrow")) return false;
         c.SetHandCursor(EqualsNoCase(v, "hand"));
         return true;
       }},
  });
  return table;
}

bool CControlUI::SetAttribute(const std::string& name, const std::string& value) {
  const AttributeSetter* setter = Attributes().Find(name);
  return setter && (*setter)(*this, value);
}

bool CControlUI::ApplyAttributeList(const std::string& list) {
  auto pairs = ParseKeyValues(list);
  if (!pairs) {
    ReportDiagnostic("malformed attribute list: " + list);
    return false;
  }
  bool all = true;
  for (const auto& [key, value] : *pairs) {
    if (!SetAttribute(key, value)) {
      ReportDiagnostic(GetClass() + " '" + name_ + "': attribute " + key + "=\"" + value +
                       "\" is unknown or unreadable");
      all = false;
    }
  }
  return all;
}

void CControlUI::Invalidate() {
  if (host_) host_->update();
}

void CControlUI::NeedUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() { NeedUpdate(); }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  parent_ = parent;
  if (manager == manager_) return;
  if (manager_) manager_->ReapObjects(this);
  manager_ = manager;
  if (manager_) manager_->RegisterName(this);
}

void CControlUI::AttachHost(QWidget* parentWidget) {
  if (!host_) {
    host_ = new ControlHost(parentWidget, this);
    ApplyHostState();
    OnHostCreated();
  } else if (host_->parentWidget() != parentWidget) {
    host_->setParent(parentWidget);
  }
  host_->setVisible(visible_);
}

void CControlUI::ApplyHostState() {
  if (!host_) return;
  host_->setEnabled(enabled_);
  host_->setToolTip(QString::fromStdString(GetToolTip()));
  // Qt would make a container's children transparent too; a container takes no mouse input of
  // its own anyway, so only other controls let the mouse through.
  host_->setAttribute(Qt::WA_TransparentForMouseEvents, !mouseEnabled_ && !AsContainer());
  host_->setFocusPolicy(AcceptsFocus() && keyboardEnabled_ ? Qt::StrongFocus : Qt::NoFocus);
  if (handCursor_) host_->setCursor(Qt::PointingHandCursor);
}

bool CControlUI::DoEvent(const TEventUI&) { return false; }

void CControlUI::OnFocusChanged(bool focused) {
  DoEvent({focused ? UIEventType::SetFocus : UIEventType::KillFocus, {}});
  Invalidate();
  Notify(focused ? kNotifySetFocus : kNotifyKillFocus);
}

void CControlUI::DoPaint(CPaintContext& ctx, const UIRect& rc) {
  PaintBkColor(ctx, rc);
  PaintBkImage(ctx, rc);
  PaintStatusImage(ctx, rc);
  PaintText(ctx, rc);
  if (changerAlpha_ > 0) ctx.FillOverlay(rc, changerColor_, changerAlpha_);
  PaintBorder(ctx, rc);
}

void CControlUI::OnLanguageChanged() {
  if (!resourceText_) return;
  if (host_) host_->setToolTip(QString::fromStdString(GetToolTip()));
  Invalidate();
}

void CControlUI::PaintBkColor(CPaintContext& ctx, const UIRect& rc) {
  ctx.FillRoundRect(rc, borderRound_, bkColor_);
}

void CControlUI::PaintBkImage(CPaintContext& ctx, const UIRect& rc) {
  // A missing image is reported by the loader; the control stays usable without it.
  if (!bkImage_.empty()) ctx.DrawImage(rc, bkImage_);
}

void CControlUI::PaintStatusImage(CPaintContext&, const UIRect&) {}
void CControlUI::PaintText(CPaintContext&, const UIRect&) {}

void CControlUI::PaintBorder(CPaintContext& ctx, const UIRect& rc) {
  ctx.DrawBorder(rc, borderColor_, Scale(borderSize_), borderRound_);
}

int CControlUI::Scale(int value) const { return manager_ ? manager_->Scale(value) : value; }

void CControlUI::Notify(const char* type, std::uintptr_t wParam, std::intptr_t lParam) {
  if (manager_) manager_->SendNotify(this, type, wParam, lParam);
}

}  // namespace vz::ui
