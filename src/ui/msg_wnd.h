// The message box: one small modal window for every message and question of the program.
// Its layout is the skin resource "XML_MSG" with the controls "MessageTitle", "MessageText",
// "confirm_btn", "cancel_btn" and "closebtn".
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/ui/window.h"

namespace vz {

// 1 when the box was closed with "confirm_btn"; 0 with "cancel_btn", "closebtn", the window's
// close or the auto-close timer. Modal: returns when the box closes. An empty title keeps the
// layout's title, an empty text the layout's placeholder text. textIsKey: the text is a key of
// the language files (shown translated; an unknown key is shown as it is).
unsigned ShowMessage(ui::CWindowWnd* owner, const std::string& title, const std::string& text,
                     bool textIsKey);
// The same box; with autoClose it closes itself after one 500 ms timer period.
void ShowMessageAutoClose(bool autoClose, ui::CWindowWnd* owner, const std::string& title,
                          const std::string& text, bool textIsKey);
// Whether a box with this text (key or literal, as passed) is open now.
bool IsMessageShowing(const std::string& text);

class CMsgWnd : public ui::WindowImplBase {
 public:
  static constexpr ui::UINT_PTR kAutoCloseTimer = 1;
  static constexpr unsigned kAutoClosePeriodMs = 500;

 protected:
  std::string GetWindowClassName() const override { return "MsgWnd"; }
  std::string GetSkinFile() const override { return "XML_MSG"; }
  void InitWindow() override;
  void OnClick(ui::TNotifyUI& msg) override;
  void OnTimer(ui::UINT_PTR id) override;
  void OnCloseRequest() override { Close(0); }
  void OnFinalMessage() override;

 private:
  ui::CControlUI* closeButton_ = nullptr;
  int timerCount_ = 0;
};

// What a box showed, for scenarios and tests.
struct MessageShown {
  std::string title;
  std::string text;       // as passed: the key when textIsKey
  bool textIsKey = false;
  std::string shownText;  // what "MessageText" displayed
  bool autoClose = false;
};

namespace msgbox_script {

// In scripted mode a box is shown and then answered by a click on "confirm_btn" (1) or
// "cancel_btn" (0) taken from the queue; a box with an empty queue is answered with cancel.
// Auto-closing boxes close themselves and take no answer.
void SetScripted(bool on);
bool IsScripted();
void QueueAnswer(unsigned answer);
// Called after every box closed, with its result (scripted or not).
void SetListener(std::function<void(const MessageShown&, unsigned result)> listener);
void Reset();

}  // namespace msgbox_script
}  // namespace vz
