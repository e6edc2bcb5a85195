// Shared pieces of the offscreen toolkit tests: the application object, the data folder and
// a window that records what reaches it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ui/paint_manager.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"

namespace vz::ui::test {

// The application lives from the first test that needs it to the end of the run; it is
// deleted before the program exits, while Qt's own globals still exist.
class QtEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete app;
    app = nullptr;
  }
  static inline QApplication* app = nullptr;
};

inline const bool kQtEnvironmentRegistered =
    (::testing::AddGlobalTestEnvironment(new QtEnvironment), true);

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "ui_test";
  static char* argv[] = {name, nullptr};
  if (!QtEnvironment::app) QtEnvironment::app = new QApplication(argc, argv);
  return *QtEnvironment::app;
}

inline std::string SourceDir() {
  const char* dir = std::getenv("VZ_SOURCE_DIR");
  return dir ? dir : ".";
}

// Points the toolkit at a skin folder and loads its resource index.
inline void UseSkinFolder(const std::string& folder) {
  App();
  CPaintManagerUI::SetResourcePath(folder);
  CResourceManager::GetInstance().Release();
  CResourceManager::GetInstance().LoadResource("res.xml");
}

inline std::string TestDataDir() { return SourceDir() + "/tests/platform/ui/data/"; }

struct Received {
  std::string type;
  std::string sender;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

class RecordingWindow : public WindowImplBase {
 public:
  explicit RecordingWindow(std::string skin) : skin_(std::move(skin)) {}

  std::vector<Received> notes;
  std::vector<unsigned> messages;
  std::vector<UINT_PTR> timers;
  std::function<LRESULT(unsigned, WPARAM, LPARAM)> onMessage;

  void Notify(TNotifyUI& msg) override {
    notes.push_back({msg.sType, msg.pSender ? msg.pSender->GetName() : "", msg.wParam, msg.lParam});
    WindowImplBase::Notify(msg);
  }
  // The notifications of one type, in order, as "sender" strings.
  std::vector<std::string> Of(const std::string& type) const {
    std::vector<std::string> out;
    for (const auto& n : notes) {
      if (n.type == type) out.push_back(n.sender);
    }
    return out;
  }
  using CWindowWnd::Surface;

 protected:
  std::string GetWindowClassName() const override { return "RecordingWnd"; }
  std::string GetSkinFile() const override { return skin_; }
  LRESULT HandleCustomMessage(unsigned msg, WPARAM w, LPARAM l, bool& handled) override {
    messages.push_back(msg);
    handled = true;
    return onMessage ? onMessage(msg, w, l) : 0;
  }
  void OnTimer(UINT_PTR id) override { timers.push_back(id); }

 private:
  std::string skin_;
};

}  // namespace vz::ui::test
