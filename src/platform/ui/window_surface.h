// The top-level widget of a window and the message queue behind its handle. Toolkit-internal.
#pragma once

#include <QPoint>
#include <QWidget>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/ui/window.h"

namespace vz::ui::detail {

struct SendSlot {
  std::mutex lock;
  std::condition_variable done;
  bool finished = false;
  LRESULT result = 0;
  void Finish(LRESULT value) {
    std::lock_guard guard(lock);
    finished = true;
    result = value;
    done.notify_all();
  }
};

struct MessagePort {
  struct Item {
    unsigned msg;
    WPARAM wParam;
    LPARAM lParam;
    std::shared_ptr<SendSlot> reply;  // set for SendMessage from another thread
  };

  std::mutex lock;
  std::deque<Item> queue;
  bool open = true;
  CWindowWnd* window = nullptr;
  QPointer<QWidget> receiver;
  std::thread::id uiThread;

  bool Post(const std::shared_ptr<MessagePort>& self, Item item);
  LRESULT Send(const std::shared_ptr<MessagePort>& self, unsigned msg, WPARAM wParam, LPARAM lParam);
  // Refuses further messages and releases every blocked sender with 0.
  void Shut();
};

class WindowSurface : public QWidget {
 public:
  WindowSurface(CWindowWnd* window, QWidget* owner, const WindowOptions& options);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  CWindowWnd* window_;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace vz::ui::detail
