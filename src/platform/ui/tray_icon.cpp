#include "platform/ui/tray_icon.h"

#include <QSystemTrayIcon>

#include "platform/ui/diagnostics.h"
#include "platform/ui/image_cache.h"
#include "platform/ui/resource_manager.h"

namespace vz::ui {

CTrayIcon::CTrayIcon() = default;
CTrayIcon::~CTrayIcon() { DeleteTrayIcon(); }

bool CTrayIcon::CreateTrayIcon(CWindowWnd* receiver, int iconId, const std::string& toolTip) {
  DeleteTrayIcon();
  receiver_ = receiver ? receiver->GetHWND() : WindowHandle();
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  auto file = CResourceManager::GetInstance().GetIconFile(iconId);
  QImage image = file ? LoadSkinImage(*file, {64, 64}) : QImage();
  if (image.isNull()) {
    ReportDiagnostic("tray icon " + std::to_string(iconId) + " has no image");
    return false;
  }
  icon_ = std::make_unique<QSystemTrayIcon>(QIcon(QPixmap::fromImage(image)));
  icon_->setToolTip(QString::fromStdString(toolTip));
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::Trigger) SimulateClick(kMsgLButtonUp);
                     if (reason == QSystemTrayIcon::Context) SimulateClick(kMsgRButtonUp);
                   });
  icon_->show();
  return true;
}

void CTrayIcon::DeleteTrayIcon() {
  if (icon_) icon_->hide();
  icon_.reset();
}

bool CTrayIcon::IsVisible() const { return icon_ && icon_->isVisible(); }

void CTrayIcon::SetToolTipText(const std::string& text) {
  if (icon_) icon_->setToolTip(QString::fromStdString(text));
}

void CTrayIcon::SimulateClick(unsigned mouseMessage) {
  receiver_.PostMessage(kMsgTrayNotify, 0, static_cast<LPARAM>(mouseMessage));
}

}  // namespace vz::ui
