#include "platform/ui/control_host.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/control.h"
#include "platform/ui/paint_manager.h"

namespace vz::ui {
namespace {

UIPoint ToPoint(const QPointF& p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }

// Consumed input stops here; ignored input travels on to the parent widget and finally to
// the window, which drags itself from its caption band.
void Deliver(ControlHost* host, QEvent* event, TEventUI ui) {
  CControlUI* owner = host->Owner();
  bool consumed = owner && owner->DoEvent(ui);
  event->setAccepted(consumed);
}

}  // namespace

ControlHost::ControlHost(QWidget* parent, CControlUI* owner) : QWidget(parent), owner_(owner) {
  setAttribute(Qt::WA_Hover, false);
  setMouseTracking(false);
}

ControlHost::~ControlHost() = default;

void ControlHost::paintEvent(QPaintEvent*) {
  if (!owner_) return;
  QPainter painter(this);
  CPaintContext ctx(painter, owner_->GetManager());
  owner_->DoPaint(ctx, UIRect{0, 0, width(), height()});
}

void ControlHost::enterEvent(QEnterEvent* event) {
  Deliver(this, event, {UIEventType::MouseEnter, ToPoint(event->position())});
}

void ControlHost::leaveEvent(QEvent* event) { Deliver(this, event, {UIEventType::MouseLeave, {}}); }

void ControlHost::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !owner_ || !owner_->TakesMousePress()) {
    event->ignore();
    return;
  }
  if (owner_->AcceptsFocus() && owner_->IsKeyboardEnabled()) setFocus(Qt::MouseFocusReason);
  Deliver(this, event, {UIEventType::ButtonDown, ToPoint(event->position())});
}

void ControlHost::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return event->ignore();
  Deliver(this, event, {UIEventType::ButtonUp, ToPoint(event->position())});
}

void ControlHost::mouseMoveEvent(QMouseEvent* event) {
  Deliver(this, event, {UIEventType::MouseMove, ToPoint(event->position())});
}

void ControlHost::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!owner_ || !owner_->TakesMousePress()) return event->ignore();
  Deliver(this, event, {UIEventType::DblClick, ToPoint(event->position())});
}

void ControlHost::wheelEvent(QWheelEvent* event) {
  TEventUI ui{UIEventType::ScrollWheel, ToPoint(event->position())};
  ui.wheelDelta = event->angleDelta().y();
  Deliver(this, event, ui);
}

void ControlHost::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (owner_) owner_->OnFocusChanged(true);
}

void ControlHost::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (owner_) owner_->OnFocusChanged(false);
}

void ControlHost::keyPressEvent(QKeyEvent* event) {
  TEventUI ui{UIEventType::KeyDown, {}};
  ui.key = event->key();
  Deliver(this, event, ui);
}

CControlUI* ControlOfWidget(QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    if (auto* host = dynamic_cast<ControlHost*>(widget)) return host->Owner();
  }
  return nullptr;
}

}  // namespace vz::ui
