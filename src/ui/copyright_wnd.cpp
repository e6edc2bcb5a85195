#include "ui/copyright_wnd.h"

#include <QDesktopServices>
#include <QUrl>
#include <strings.h>

namespace vz::ui {

void Ccopyright::Open(CWindowWnd* owner) {
  auto* about = new Ccopyright("CopyRight.xml");
  if (!about->Create(owner, "关于")) {
    delete about;
    return;
  }
  if (owner) {
    const UIRect rc = owner->GetWindowRect();
    const UIRect own = about->GetWindowRect();
    about->MoveWindow(2 * rc.left, rc.bottom / 2 - 80, own.right - own.left, own.bottom - own.top);
  }
  about->ShowWindow(true, true);
}

void Ccopyright::OnClick(TNotifyUI& msg) {
  const char* name = msg.pSender ? msg.pSender->GetName().c_str() : "";
  if (strcasecmp(name, "closebtn") == 0) {
    Close(kIdCancel);
  } else if (strcasecmp(name, "NetText") == 0) {
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(kHomePage)));
  }
}

}  // namespace vz::ui
