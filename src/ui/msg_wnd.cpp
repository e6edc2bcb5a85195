#include "ui/msg_wnd.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "platform/system/sync.h"
#include "platform/ui/control.h"
#include "platform/ui/ui_app.h"
#include "platform/ui/ui_script.h"

namespace vz {
namespace {

struct ScriptState {
  bool on = false;
  std::deque<unsigned> answers;
  std::function<void(const MessageShown&, unsigned)> listener;
};

// Touched on the user-interface thread only, like the boxes themselves.
ScriptState& Script() {
  static ScriptState state;
  return state;
}

std::vector<std::string>& OpenTexts() {
  static std::vector<std::string> texts;
  return texts;
}

// One showing of a box, shared by both entry points: create, centre, fill, run modally.
unsigned RunBox(bool autoClose, ui::CWindowWnd* owner, const std::string& title, const std::string& text,
                bool textIsKey) {
  auto* box = new CMsgWnd;
  ui::WindowOptions options;
  options.toolWindow = true;
  if (!box->Create(owner, "msgwnd", 0, 0, 0, 0, options)) {
    DebugOutput("message box not shown: " + box->CreateError());
    delete box;
    return 0;
  }
  box->CenterWindow();
  ui::CPaintManagerUI& pm = box->PaintManager();
  if (!title.empty()) {
    if (ui::CControlUI* label = pm.FindControl("MessageTitle")) {
      label->SetResourceText(false);
      label->SetText(title);
    }
  }
  MessageShown shown{title, text, textIsKey, "", autoClose};
  if (ui::CControlUI* label = pm.FindControl("MessageText")) {
    if (!text.empty()) {
      label->SetResourceText(textIsKey);
      label->SetText(text);
    }
    shown.shownText = label->GetText();
  }
  if (autoClose) box->SetTimer(CMsgWnd::kAutoCloseTimer, CMsgWnd::kAutoClosePeriodMs);
  if (Script().on && !autoClose) {
    unsigned answer = 0;
    if (!Script().answers.empty()) {
      answer = Script().answers.front();
      Script().answers.pop_front();
    }
    // Answered from inside the modal loop, by a click on the button a user would press.
    ui::RunLater(0, [&pm, answer, handle = box->GetHWND()] {
      if (handle.IsWindow()) ui::script::Click(pm, answer == 1 ? "confirm_btn" : "cancel_btn");
    });
  }
  OpenTexts().push_back(text);
  unsigned result = box->ShowModal();  // the box deletes itself when it closes
  auto& open = OpenTexts();
  if (auto it = std::find(open.begin(), open.end(), text); it != open.end()) open.erase(it);
  if (Script().listener) Script().listener(shown, result);
  return result;
}

}  // namespace

void CMsgWnd::InitWindow() { closeButton_ = m_pm.FindControl("closebtn"); }

void CMsgWnd::OnClick(ui::TNotifyUI& msg) {
  const std::string& name = msg.pSender->GetName();
  if (ui::EqualsNoCase(name, "confirm_btn"))
    Close(1);
  else if (ui::EqualsNoCase(name, "cancel_btn"))
    Close(0);
  else if (msg.pSender == closeButton_)
    Close(0);
}

void CMsgWnd::OnTimer(ui::UINT_PTR id) {
  if (id != kAutoCloseTimer) return;
  ++timerCount_;
  if (timerCount_ > 0) {
    KillTimer(kAutoCloseTimer);
    Close(0);
  }
}

void CMsgWnd::OnFinalMessage() { delete this; }

unsigned ShowMessage(ui::CWindowWnd* owner, const std::string& title, const std::string& text,
                     bool textIsKey) {
  return RunBox(false, owner, title, text, textIsKey);
}

void ShowMessageAutoClose(bool autoClose, ui::CWindowWnd* owner, const std::string& title,
                          const std::string& text, bool textIsKey) {
  RunBox(autoClose, owner, title, text, textIsKey);
}

bool IsMessageShowing(const std::string& text) {
  const auto& open = OpenTexts();
  return std::find(open.begin(), open.end(), text) != open.end();
}

namespace msgbox_script {

void SetScripted(bool on) { Script().on = on; }
bool IsScripted() { return Script().on; }
void QueueAnswer(unsigned answer) { Script().answers.push_back(answer); }

void SetListener(std::function<void(const MessageShown&, unsigned)> listener) {
  Script().listener = std::move(listener);
}

void Reset() {
  Script().on = false;
  Script().answers.clear();
  Script().listener = nullptr;
}

}  // namespace msgbox_script
}  // namespace vz
