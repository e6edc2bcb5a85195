#include "platform/ui/menu.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "platform/ui/diagnostics.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/xml_tree.h"

namespace vz::ui {
namespace {

std::vector<CMenuWnd*>& Registry() {
  static std::vector<CMenuWnd*> menus;
  return menus;
}

QString ColorCss(UIColor c) {
  return QString("rgba(%1,%2,%3,%4)")
      .arg((c >> 16) & 0xFF).arg((c >> 8) & 0xFF).arg(c & 0xFF).arg(((c >> 24) & 0xFF) / 255.0);
}

std::string Text(const XmlElement& e) {
  const std::string* text = e.Attribute("text");
  if (!text) return {};
  const std::string* resource = e.Attribute("resourcetext");
  bool isKey = resource && ParseBool(*resource).value_or(false);
  return isKey ? CResourceManager::GetInstance().GetText(*text) : *text;
}

// Each action reports its own click (a menu's triggered() repeats those of its sub-menus).
void AddAction(QMenu* menu, const std::string& name, const std::string& text, const std::string& userData,
               const WindowHandle& owner) {
  QAction* action = menu->addAction(QString::fromStdString(text));
  action->setObjectName(QString::fromStdString(name));
  action->setData(QString::fromStdString(userData));
  QObject::connect(action, &QAction::triggered, action, [action, owner] {
    auto* cmd = new MenuCmd{action->objectName().toStdString(), action->data().toString().toStdString(),
                            action->text().toStdString()};
    if (!owner.PostMessage(kMsgMenuClick, reinterpret_cast<WPARAM>(cmd), 0)) delete cmd;
  });
}

void BuildItems(QMenu* menu, const XmlElement& parent, const std::string& file, const WindowHandle& owner) {
  for (const XmlElement& item : parent.children) {
    if (EqualsNoCase(item.name, "MenuSeparator")) {
      menu->addSeparator();
      continue;
    }
    if (!EqualsNoCase(item.name, "MenuElement")) {
      ReportDiagnostic(file + ":" + std::to_string(item.line) + ": unknown menu element <" + item.name + ">");
      continue;
    }
    const std::string* name = item.Attribute("name");
    const std::string* userData = item.Attribute("userdata");
    if (!item.children.empty()) {
      QMenu* sub = menu->addMenu(QString::fromStdString(Text(item)));
      sub->menuAction()->setObjectName(QString::fromStdString(name ? *name : ""));
      BuildItems(sub, item, file, owner);
      continue;
    }
    AddAction(menu, name ? *name : "", Text(item), userData ? *userData : "", owner);
  }
}

void CollectNames(const QMenu* menu, std::vector<std::string>& out) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    out.push_back(action->objectName().toStdString());
    if (action->menu()) CollectNames(action->menu(), out);
  }
}

QAction* FindAction(const QMenu* menu, const std::string& name) {
  for (QAction* action : menu->actions()) {
    if (action->menu()) {
      if (QAction* inner = FindAction(action->menu(), name)) return inner;
    } else if (!action->isSeparator() && EqualsNoCase(action->objectName().toStdString(), name)) {
      return action;
    }
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<MenuCmd> TakeMenuCmd(WPARAM wParam) {
  return std::unique_ptr<MenuCmd>(reinterpret_cast<MenuCmd*>(wParam));
}

CMenuWnd::CMenuWnd(CWindowWnd* owner) : owner_(owner ? owner->GetHWND() : WindowHandle()) {
  Registry().push_back(this);
}

CMenuWnd::~CMenuWnd() {
  delete menu_.data();
  auto& all = Registry();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

std::unique_ptr<CMenuWnd> CMenuWnd::CreateMenu(CWindowWnd* owner, const std::string& menuFile,
                                               UIPoint screenPoint) {
  std::string error;
  auto path = CPaintManagerUI::ResolveResourceFile(menuFile);
  std::optional<XmlElement> root = path ? ParseXmlFile(*path, error) : std::nullopt;
  if (!path) error = menuFile + ": not found in " + CPaintManagerUI::GetResourcePath();
  else if (root && !EqualsNoCase(root->name, "Menu")) error = *path + ": root element is not <Menu>";
  if (!root || !error.empty()) {
    ReportDiagnostic("menu not built: " + error);
    return nullptr;
  }
  std::unique_ptr<CMenuWnd> wnd(new CMenuWnd(owner));
  wnd->menu_ = new QMenu(owner ? owner->Surface() : nullptr);
  QMenu* menu = wnd->menu_.data();
  QString css;
  auto color = [&](const char* attr) { const std::string* v = root->Attribute(attr); return v ? ParseColor(*v) : std::nullopt; };
  auto number = [&](const char* attr) { const std::string* v = root->Attribute(attr); return v ? ParseInt(*v) : std::nullopt; };
  if (auto c = color("bkcolor")) css += QString("QMenu { background: %1; }").arg(ColorCss(*c));
  if (auto c = color("textcolor")) css += QString("QMenu::item { color: %1; }").arg(ColorCss(*c));
  if (auto c = color("hotbkcolor")) css += QString("QMenu::item:selected { background: %1; }").arg(ColorCss(*c));
  if (auto h = number("itemheight")) css += QString("QMenu::item { min-height: %1px; }").arg(*h);
  if (auto w = number("width")) menu->setMinimumWidth(*w);
  if (!css.isEmpty()) menu->setStyleSheet(css);
  BuildItems(menu, *root, menuFile, wnd->owner_);
  menu->popup(QPoint(screenPoint.x, screenPoint.y));
  return wnd;
}

void CMenuWnd::AddMenuItem(const std::string& name, const std::string& text, const std::string& userData) {
  if (!menu_) return;
  AddAction(menu_.data(), name, text, userData, owner_);
  if (menu_->isVisible()) menu_->adjustSize();
}

bool CMenuWnd::IsOpen() const { return menu_ && menu_->isVisible(); }

void CMenuWnd::Close() {
  if (menu_) menu_->hide();
}

std::vector<std::string> CMenuWnd::ItemNames() const {
  std::vector<std::string> names;
  if (menu_) CollectNames(menu_.data(), names);
  return names;
}

bool CMenuWnd::ClickItem(const std::string& name) {
  QAction* action = menu_ ? FindAction(menu_.data(), name) : nullptr;
  if (!action || !action->isEnabled()) return false;
  action->trigger();
  menu_->hide();
  return true;
}

std::vector<CMenuWnd*> CMenuWnd::OpenMenus() { return Registry(); }

}  // namespace vz::ui
