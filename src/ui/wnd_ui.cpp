#include "ui/wnd_ui.h"

#include <QEvent>
#include <QWidget>

#include "platform/ui/control_host.h"

namespace vz::ui {

class CWndUI::HostWatcher : public QObject {
 public:
  explicit HostWatcher(CWndUI& owner) : owner_(owner) {}

  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::Move:
      case QEvent::Resize:
        owner_.PlaceHostedWindow();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  CWndUI& owner_;
};

CWndUI::CWndUI() : watcher_(std::make_unique<HostWatcher>(*this)) {}

CWndUI::~CWndUI() = default;

void CWndUI::Attach(QWidget* window) {
  hosted_ = window;
  if (hosted_ && hosted_->isWindow()) hosted_->setAttribute(Qt::WA_ShowWithoutActivating, true);
  PlaceHostedWindow();
}

void CWndUI::SetPos(const UIRect& rc) {
  CControlUI::SetPos(rc);
  PlaceHostedWindow();
}

void CWndUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  PlaceHostedWindow();
}

void CWndUI::OnHostCreated() {
  Host()->installEventFilter(watcher_.get());
  PlaceHostedWindow();
}

void CWndUI::PlaceHostedWindow() {
  QWidget* hosted = hosted_.data();
  ControlHost* host = Host();
  if (!hosted || !host) return;
  // Through screen coordinates, so a top-level window and a child of any widget of the
  // window land on the same spot.
  const QPoint screen = host->mapToGlobal(QPoint(0, 0));
  const QPoint origin =
      hosted->isWindow() ? screen : hosted->parentWidget()->mapFromGlobal(screen);
  hosted->setGeometry(QRect(origin, host->size()));
  hosted->setVisible(IsVisible() && host->isVisibleTo(host->window()));
}

}  // namespace vz::ui
