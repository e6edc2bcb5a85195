#include "platform/ui/ui_app.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>

namespace vz::ui {

UIApplication::UIApplication(int& argc, char** argv, const std::string& applicationName)
    : app_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setApplicationName(QString::fromStdString(applicationName));
  // Closing the last window is not the end: the program lives on in the tray.
  QApplication::setQuitOnLastWindowClosed(false);
}

UIApplication::~UIApplication() = default;

int UIApplication::MessageLoop() { return QApplication::exec(); }

UIPoint GetCursorPos() {
  QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

void RunLater(int ms, std::function<void()> fn) {
  QObject* context = QCoreApplication::instance();
  if (!context) return;
  QMetaObject::invokeMethod(context, [ms, fn = std::move(fn)]() mutable {
    QTimer::singleShot(std::max(0, ms), QCoreApplication::instance(), std::move(fn));
  }, Qt::QueuedConnection);
}

}  // namespace vz::ui
