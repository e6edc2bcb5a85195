#include "platform/ui/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "platform/ui/control.h"
#include "platform/ui/diagnostics.h"
#include "platform/ui/window_surface.h"

namespace vz::ui {
namespace detail {

bool MessagePort::Post(const std::shared_ptr<MessagePort>& self, Item item) {
  std::lock_guard guard(lock);
  if (!open || !receiver) return false;
  queue.push_back(std::move(item));
  // One hand-over per message, so that a nested modal loop inside a handler keeps receiving.
  QMetaObject::invokeMethod(receiver.data(), [self] {
    std::unique_lock guard2(self->lock);
    if (!self->open || self->queue.empty()) return;
    Item next = std::move(self->queue.front());
    self->queue.pop_front();
    CWindowWnd* target = self->window;
    guard2.unlock();
    bool handled = false;
    LRESULT result = target->HandleCustomMessage(next.msg, next.wParam, next.lParam, handled);
    if (next.reply) next.reply->Finish(result);
  }, Qt::QueuedConnection);
  return true;
}

LRESULT MessagePort::Send(const std::shared_ptr<MessagePort>& self, unsigned msg, WPARAM wParam,
                          LPARAM lParam) {
  CWindowWnd* direct = nullptr;
  {
    std::lock_guard guard(lock);
    if (!open) return 0;
    if (std::this_thread::get_id() == uiThread) direct = window;
  }
  if (direct) {
    bool handled = false;
    return direct->HandleCustomMessage(msg, wParam, lParam, handled);
  }
  auto slot = std::make_shared<SendSlot>();
  if (!Post(self, {msg, wParam, lParam, slot})) return 0;
  std::unique_lock wait(slot->lock);
  slot->done.wait(wait, [&] { return slot->finished; });
  return slot->result;
}

void MessagePort::Shut() {
  std::deque<Item> dropped;
  {
    std::lock_guard guard(lock);
    open = false;
    dropped.swap(queue);
  }
  for (auto& item : dropped) {
    if (item.reply) item.reply->Finish(0);
  }
}

static Qt::WindowFlags FlagsFor(const WindowOptions& options) {
  Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
  if (options.toolWindow) flags |= Qt::Tool;
  if (options.topMost) flags |= Qt::WindowStaysOnTopHint;
  if (options.noActivate) flags |= Qt::WindowDoesNotAcceptFocus;
  return flags;
}

WindowSurface::WindowSurface(CWindowWnd* window, QWidget* owner, const WindowOptions& options)
    : QWidget(owner, FlagsFor(options)), window_(window) {
  if (options.noActivate) setAttribute(Qt::WA_ShowWithoutActivating);
  // The window itself holds the focus until the user gives it to a control, so that showing a
  // window focuses no control (and sends no "setfocus").
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_DeleteOnClose, false);
  setAutoFillBackground(false);
}

void WindowSurface::mousePressEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  if (event->button() != Qt::LeftButton || !window_->InCaption({p.x(), p.y()})) return event->ignore();
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void WindowSurface::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move(event->globalPosition().toPoint() - dragOffset_);
}

void WindowSurface::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void WindowSurface::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UISize round = window_->CornerRound();
  if (round.cx > 0 && round.cy > 0 && !isMaximized()) {
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), round.cx / 2.0, round.cy / 2.0);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
  } else {
    clearMask();
  }
  window_->OnSurfaceResized();
}

void WindowSurface::closeEvent(QCloseEvent* event) {
  event->ignore();
  window_->OnCloseRequest();
}

}  // namespace detail

bool WindowHandle::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) const {
  return port_ && port_->Post(port_, {msg, wParam, lParam, nullptr});
}

LRESULT WindowHandle::SendMessage(unsigned msg, WPARAM wParam, LPARAM lParam) const {
  return port_ ? port_->Send(port_, msg, wParam, lParam) : 0;
}

bool WindowHandle::IsWindow() const {
  if (!port_) return false;
  std::lock_guard guard(port_->lock);
  return port_->open;
}

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
  if (port_) port_->Shut();
  for (auto& [id, timer] : timers_) timer->stop();
  surface_.reset();
}

bool CWindowWnd::Create(CWindowWnd* owner, const std::string& windowText, int x, int y, int width,
                        int height, WindowOptions options) {
  if (surface_) return false;
  owner_ = owner;
  surface_ = std::make_unique<detail::WindowSurface>(this, owner ? owner->Surface() : nullptr, options);
  surface_->setWindowTitle(QString::fromStdString(windowText));
  surface_->setObjectName(QString::fromStdString(GetWindowClassName()));
  port_ = std::make_shared<detail::MessagePort>();
  port_->window = this;
  port_->receiver = surface_.get();
  port_->uiThread = std::this_thread::get_id();
  closing_ = false;
  if (!OnCreate()) {
    port_->Shut();
    surface_.reset();
    return false;
  }
  UISize size = width > 0 && height > 0 ? UISize{width, height} : DefaultSize();
  surface_->setGeometry(x, y, size.cx, size.cy);
  return true;
}

WindowHandle CWindowWnd::GetHWND() const { return WindowHandle(port_); }

bool CWindowWnd::IsWindow() const { return surface_ != nullptr && !closing_; }

QWidget* CWindowWnd::Surface() const { return surface_.get(); }

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!surface_) return;
  if (!show) return surface_->hide();
  surface_->show();
  if (takeFocus) {
    surface_->raise();
    surface_->activateWindow();
    if (!surface_->focusWidget()) surface_->setFocus(Qt::OtherFocusReason);
  }
}

bool CWindowWnd::IsWindowVisible() const { return surface_ && surface_->isVisible(); }

unsigned CWindowWnd::ShowModal() {
  if (!surface_) return 0;
  if (owner_) surface_->setWindowModality(Qt::WindowModal);
  else surface_->setWindowModality(Qt::ApplicationModal);
  unsigned result = 0;
  QEventLoop loop;
  modalResult_ = &result;
  quitModal_ = [&loop] { loop.quit(); };
  ShowWindow(true, true);
  loop.exec();
  // `this` may be gone here (OnFinalMessage); only locals are touched.
  return result;
}

void CWindowWnd::Close(unsigned ret) {
  if (!surface_ || closing_) return;
  closing_ = true;
  closeValue_ = ret;
  QMetaObject::invokeMethod(surface_.get(), [this] { Destroy(); }, Qt::QueuedConnection);
}

void CWindowWnd::Destroy() {
  port_->Shut();
  for (auto& [id, timer] : timers_) timer->stop();
  OnDestroy();
  surface_->hide();
  if (owner_ && owner_->Surface()) owner_->Surface()->activateWindow();
  if (modalResult_) *modalResult_ = closeValue_;
  modalResult_ = nullptr;
  auto quit = std::move(quitModal_);
  quitModal_ = nullptr;
  for (auto& [id, timer] : timers_) timer->deleteLater();
  timers_.clear();
  // This runs inside an event of the surface, so it goes when that event is done.
  surface_.release()->deleteLater();
  if (quit) quit();
  OnFinalMessage();
}

void CWindowWnd::CenterWindow() {
  if (!surface_) return;
  QRect area;
  if (owner_ && owner_->Surface() && owner_->Surface()->isVisible()) {
    area = owner_->Surface()->frameGeometry();
  } else if (QScreen* screen = surface_->screen() ? surface_->screen() : QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isEmpty()) return;
  QRect frame = surface_->frameGeometry();
  surface_->move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

void CWindowWnd::MoveWindow(int x, int y, int width, int height) {
  if (surface_) surface_->setGeometry(x, y, width, height);
}

UIRect CWindowWnd::GetWindowRect() const {
  if (!surface_) return {};
  QRect r = surface_->frameGeometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CWindowWnd::SetWindowText(const std::string& text) {
  if (surface_) surface_->setWindowTitle(QString::fromStdString(text));
}

void CWindowWnd::Minimize() { if (surface_) surface_->showMinimized(); }
void CWindowWnd::Maximize() { if (surface_) surface_->showMaximized(); }
void CWindowWnd::Restore() { if (surface_) surface_->showNormal(); }
bool CWindowWnd::IsMinimized() const { return surface_ && surface_->isMinimized(); }
bool CWindowWnd::IsMaximized() const { return surface_ && surface_->isMaximized(); }

void CWindowWnd::SetTopMost(bool on) {
  if (!surface_) return;
  bool visible = surface_->isVisible();
  surface_->setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) surface_->show();
}

void CWindowWnd::BringToFront() {
  if (!surface_) return;
  surface_->raise();
  surface_->activateWindow();
}

void CWindowWnd::SetIcon(int iconId) {
  auto file = CResourceManager::GetInstance().GetIconFile(iconId);
  auto path = file ? CPaintManagerUI::ResolveResourceFile(*file) : std::nullopt;
  if (surface_ && path) surface_->setWindowIcon(QIcon(QString::fromStdString(*path)));
}

bool CWindowWnd::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  return GetHWND().PostMessage(msg, wParam, lParam);
}

LRESULT CWindowWnd::SendMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  return GetHWND().SendMessage(msg, wParam, lParam);
}

void CWindowWnd::SetTimer(UINT_PTR id, unsigned ms) {
  if (!surface_) return;
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(surface_.get());
    QObject::connect(timer, &QTimer::timeout, surface_.get(), [this, id] { OnTimer(id); });
  }
  timer->start(static_cast<int>(ms));
}

void CWindowWnd::KillTimer(UINT_PTR id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

bool CWindowWnd::HasTimer(UINT_PTR id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

LRESULT CWindowWnd::HandleCustomMessage(unsigned, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

void CWindowWnd::OnTimer(UINT_PTR id) {
  bool handled = false;
  HandleCustomMessage(kMsgTimer, id, 0, handled);
}

WindowImplBase::~WindowImplBase() { m_pm.RemoveNotifier(this); }

bool WindowImplBase::OnCreate() {
  m_pm.Init(Surface(), this);
  CDialogBuilder builder;
  builder.SetApplyWindowAttributes(true);
  CControlUI* root = builder.Create(GetSkinFile(), this, &m_pm);
  if (!root) {
    createError_ = builder.LastError();
    ReportDiagnostic(GetWindowClassName() + ": " + createError_);
    return false;
  }
  m_pm.AttachDialog(root);
  m_pm.AddNotifier(this);
  InitWindow();
  // After InitWindow and behind anything posted during creation, as the first paint would be.
  QMetaObject::invokeMethod(Surface(), [this] {
    if (m_pm.GetRoot()) m_pm.SendNotify(m_pm.GetRoot(), kNotifyWindowInit);
  }, Qt::QueuedConnection);
  return true;
}

void WindowImplBase::OnDestroy() {
  m_pm.RemoveNotifier(this);
}

UISize WindowImplBase::DefaultSize() const {
  UISize size = m_pm.GetInitSize();
  if (size.cx <= 0 || size.cy <= 0) return CWindowWnd::DefaultSize();
  return {m_pm.Scale(size.cx), m_pm.Scale(size.cy)};
}

bool WindowImplBase::InCaption(UIPoint pt) const {
  UIRect caption = m_pm.GetCaptionRect();
  QWidget* surface = Surface();
  if (!surface) return false;
  return pt.x >= m_pm.Scale(caption.left) && pt.x < surface->width() - m_pm.Scale(caption.right) &&
         pt.y >= m_pm.Scale(caption.top) && pt.y < m_pm.Scale(caption.bottom);
}

UISize WindowImplBase::CornerRound() const {
  UISize round = m_pm.GetRoundCorner();
  return {m_pm.Scale(round.cx), m_pm.Scale(round.cy)};
}

void WindowImplBase::OnSurfaceResized() { m_pm.UpdateLayout(); }

bool CNotifyPump::AddVirtualWnd(const std::string& name, CNotifyPump* pump) {
  if (name.empty() || !pump) return false;
  return virtualWnds_.emplace(ToLower(name), pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::string& name) { return virtualWnds_.erase(ToLower(name)) > 0; }

bool CNotifyPump::NotifyPump(TNotifyUI& msg) {
  if (!msg.pSender) return false;
  std::string name = msg.pSender->GetVirtualWnd();
  if (name.empty()) return false;
  auto it = virtualWnds_.find(ToLower(name));
  return it != virtualWnds_.end() && it->second->HandleNotify(msg);
}

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (NotifyPump(msg)) return;
  if (msg.sType == kNotifyClick) OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI&) {}

CControlUI* WindowImplBase::CreateControl(const std::string&) { return nullptr; }

std::string WindowImplBase::QueryControlText(const std::string&, const std::string&) { return {}; }

}  // namespace vz::ui
