// The process side of the toolkit: the application object and its event loop, the pointer
// position, and deferred calls on the user-interface thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/ui_types.h"

class QApplication;

namespace vz::ui {

// One per process, created first thing in the entry and alive until the loop has ended.
class UIApplication {
 public:
  UIApplication(int& argc, char** argv, const std::string& applicationName);
  ~UIApplication();
  UIApplication(const UIApplication&) = delete;
  UIApplication& operator=(const UIApplication&) = delete;
  // Runs until CPaintManagerUI::PostQuitMessage; returns its code.
  int MessageLoop();

 private:
  std::unique_ptr<QApplication> app_;
};

// The pointer position in screen pixels.
UIPoint GetCursorPos();

// Runs fn on the user-interface thread after ms milliseconds; with 0, as soon as the handlers
// running now have returned. Callable from any thread.
void RunLater(int ms, std::function<void()> fn);

}  // namespace vz::ui
