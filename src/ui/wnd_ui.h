// A control that keeps a separate widget (a child widget or a top-level window) over its own
// place in the layout, and shows it while the control is shown.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "platform/ui/control.h"

class QObject;
class QWidget;

namespace vz::ui {

class CWndUI : public CControlUI {
 public:
  CWndUI();
  ~CWndUI() override;
  std::string GetClass() const override { return "Wnd"; }

  // The widget is not owned (a widget parented to the control's own host goes with it). It is
  // moved and sized over the control without being activated or raised, and shown exactly
  // while the control is visible in its window. Null detaches.
  void Attach(QWidget* window);
  QWidget* GetHostedWindow() const { return hosted_.data(); }

  void SetPos(const UIRect& rc) override;
  void SetVisible(bool visible) override;

 protected:
  // Hiding or showing an ancestor (a tab page) reaches the control only through its host.
  void OnHostCreated() override;

 private:
  class HostWatcher;
  void PlaceHostedWindow();

  QPointer<QWidget> hosted_;
  std::unique_ptr<HostWatcher> watcher_;
};

}  // namespace vz::ui
