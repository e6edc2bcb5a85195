// Windows: a frameless top-level surface with a paint manager, timers by id, custom messages
// from any thread, a modal loop and the close value.
//
// Messages. PostMessage queues (msg, wParam, lParam) from any thread; the user-interface
// thread hands each one to HandleCustomMessage once, in the order they were posted.
// SendMessage calls HandleCustomMessage directly on the user-interface thread and returns its
// result; from another thread it queues the message behind those already posted and blocks
// until the user-interface thread has handled it (0 when the window is gone or goes away
// meanwhile). A worker must not send while holding a lock the user-interface thread may wait for.
#pragma once

#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/ui/control.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/notify.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/ui_types.h"

class QTimer;
#include <QWidget>

namespace vz::ui {

using LRESULT = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using UINT_PTR = std::uintptr_t;

namespace detail {
struct MessagePort;
class WindowSurface;
}  // namespace detail

// A handle that outlives its window: worker threads keep one and post or send through it.
class WindowHandle {
 public:
  WindowHandle() = default;
  // False when the window is gone.
  bool PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  LRESULT SendMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  bool IsWindow() const;
  explicit operator bool() const { return IsWindow(); }

 private:
  friend class CWindowWnd;
  explicit WindowHandle(std::shared_ptr<detail::MessagePort> port) : port_(std::move(port)) {}
  std::shared_ptr<detail::MessagePort> port_;
};

struct WindowOptions {
  bool toolWindow = false;   // no task-bar entry, stays over its owner
  bool topMost = false;
  bool noActivate = false;
};

inline constexpr unsigned kIdOk = 1;
inline constexpr unsigned kIdCancel = 2;

class CWindowWnd {
 public:
  CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;
  virtual ~CWindowWnd();

  // Creates the window hidden-to-be-shown. width/height 0: the layout's size.
  bool Create(CWindowWnd* owner, const std::string& windowText, int x = 0, int y = 0,
              int width = 0, int height = 0, WindowOptions options = {});
  WindowHandle GetHWND() const;
  bool IsWindow() const;

  void ShowWindow(bool show = true, bool takeFocus = true);
  bool IsWindowVisible() const;
  // Runs a nested loop until Close; returns the value given to Close. The owner is disabled
  // meanwhile. The object may be deleted by OnFinalMessage before this returns.
  unsigned ShowModal();
  // Closes the window from the event loop (the caller's handler finishes first); the first
  // value given wins. Then OnDestroy, the surface goes, OnFinalMessage.
  void Close(unsigned ret = kIdOk);
  void CenterWindow();
  void MoveWindow(int x, int y, int width, int height);
  UIRect GetWindowRect() const;
  void SetWindowText(const std::string& text);
  void Minimize();
  void Maximize();
  void Restore();
  bool IsMinimized() const;
  bool IsMaximized() const;
  void SetTopMost(bool on);
  void BringToFront();
  void SetIcon(int iconId);

  bool PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

  // Repeating timer; a second SetTimer of the same id restarts it with the new period.
  void SetTimer(UINT_PTR id, unsigned ms);
  void KillTimer(UINT_PTR id);
  bool HasTimer(UINT_PTR id) const;

  QWidget* Surface() const;

 protected:
  virtual std::string GetWindowClassName() const = 0;
  // Builds the content; false stops Create.
  virtual bool OnCreate() { return true; }
  virtual LRESULT HandleCustomMessage(unsigned msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnDestroy() {}
  // Last call on a closed window; a window that owns itself deletes itself here.
  virtual void OnFinalMessage() {}
  // The user asked to close (window-manager close); default: Close(kIdCancel).
  virtual void OnCloseRequest() { Close(kIdCancel); }
  // What the surface needs from the layout.
  virtual UISize DefaultSize() const { return {400, 300}; }
  virtual bool InCaption(UIPoint) const { return false; }
  virtual UISize CornerRound() const { return {}; }
  virtual void OnSurfaceResized() {}

 private:
  friend class detail::WindowSurface;
  friend struct detail::MessagePort;
  void Destroy();
  std::unique_ptr<detail::WindowSurface> surface_;
  std::shared_ptr<detail::MessagePort> port_;
  std::map<UINT_PTR, QTimer*> timers_;
  CWindowWnd* owner_ = nullptr;
  bool closing_ = false;
  unsigned closeValue_ = 0;
  unsigned* modalResult_ = nullptr;
  std::function<void()> quitModal_;
};

// Virtual windows: a page object takes the notifications of the controls that carry its name
// in their "virtualwnd" attribute (or whose parents do) before the window sees them.
class CNotifyPump {
 public:
  virtual ~CNotifyPump() = default;
  // False when the name is taken or empty, or the pump is null.
  bool AddVirtualWnd(const std::string& name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const std::string& name);
  // The pump's own handling; true when the notification needs no further handling.
  virtual bool HandleNotify(TNotifyUI&) { return false; }

 protected:
  // Offers the notification to the sender's virtual window; true when that one handled it.
  bool NotifyPump(TNotifyUI& msg);

 private:
  std::map<std::string, CNotifyPump*> virtualWnds_;  // names in lower case
};

// A window built from a skin: paint manager, notifications, creation callback, text queries.
class WindowImplBase : public CWindowWnd, public CNotifyPump, public INotifyUI,
                       public IDialogBuilderCallback, public IQueryControlText {
 public:
  WindowImplBase() = default;
  ~WindowImplBase() override;

  CPaintManagerUI& PaintManager() { return m_pm; }
  // Why Create failed (a layout error), empty otherwise.
  const std::string& CreateError() const { return createError_; }

  void Notify(TNotifyUI& msg) override;
  CControlUI* CreateControl(const std::string& className) override;
  std::string QueryControlText(const std::string& id, const std::string& type) override;

 protected:
  // A layout id of the resource index or a file name in the skin folder.
  virtual std::string GetSkinFile() const = 0;
  // After the layout exists, before "windowinit".
  virtual void InitWindow() {}
  // The "click" notifications, after Notify's dispatch by type.
  virtual void OnClick(TNotifyUI& msg);
  bool OnCreate() override;
  void OnDestroy() override;
  UISize DefaultSize() const override;
  bool InCaption(UIPoint pt) const override;
  UISize CornerRound() const override;
  void OnSurfaceResized() override;

  CPaintManagerUI m_pm;

 private:
  std::string createError_;
};

}  // namespace vz::ui
