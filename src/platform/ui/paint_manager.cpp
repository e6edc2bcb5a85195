#include "platform/ui/paint_manager.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <algorithm>

#include "platform/system/files.h"
#include "platform/system/folders.h"
#include "platform/ui/container.h"
#include "platform/ui/control_host.h"
#include "platform/ui/image_cache.h"

namespace vz::ui {
namespace {

std::string& ResourcePath() {
  static std::string path;
  return path;
}

std::vector<CPaintManagerUI*>& LiveManagers() {
  static std::vector<CPaintManagerUI*> managers;
  return managers;
}

void Visit(CControlUI* control, const std::function<void(CControlUI&)>& visit) {
  if (!control) return;
  visit(*control);
  if (CContainerUI* container = control->AsContainer()) {
    for (CControlUI* child : container->Children()) Visit(child, visit);
  }
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() : alive_(std::make_shared<bool>(true)) {
  LiveManagers().push_back(this);
}

CPaintManagerUI::~CPaintManagerUI() {
  *alive_ = false;
  DestroyRoot();
  auto& all = LiveManagers();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

std::string CPaintManagerUI::GetInstancePath() { return folders::Program(); }

void CPaintManagerUI::SetResourcePath(const std::string& path) {
  ResourcePath() = path.empty() || path.back() == '/' ? path : path + "/";
  ClearImageCache();
}

std::string CPaintManagerUI::GetResourcePath() { return ResourcePath(); }

void CPaintManagerUI::SetResourceType(int) {}

std::optional<std::string> CPaintManagerUI::ResolveResourceFile(const std::string& name) {
  if (name.empty()) return std::nullopt;
  std::string path = QDir::isAbsolutePath(QString::fromStdString(name)) ? name : ResourcePath() + name;
  auto found = files::FindNoCase(path);
  if (!found || files::IsDirectory(*found)) return std::nullopt;
  return found;
}

int CPaintManagerUI::MessageLoop() { return QApplication::exec(); }

void CPaintManagerUI::PostQuitMessage(int code) {
  QMetaObject::invokeMethod(qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

std::vector<CPaintManagerUI*> CPaintManagerUI::Managers() { return LiveManagers(); }

void CPaintManagerUI::Init(QWidget* surface, CWindowWnd* window) {
  surface_ = surface;
  window_ = window;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root || !surface_) return false;
  if (root != root_) DestroyRoot();
  root_ = root;
  root_->SetManager(this, nullptr);
  // Built trees already know this manager; a tree built for another one moves its names here.
  ForEachControl([this](CControlUI& c) { RegisterName(&c); });
  root_->AttachHost(surface_.data());
  UpdateLayout();
  return true;
}

void CPaintManagerUI::DestroyRoot() {
  CControlUI* root = root_;
  root_ = nullptr;
  // Each control takes its name and group entries with it.
  delete root;
}

CControlUI* CPaintManagerUI::FindControl(const std::string& name) const {
  auto it = names_.find(ToLower(name));
  return it == names_.end() || it->second.empty() ? nullptr : it->second.front();
}

CControlUI* CPaintManagerUI::FindControl(UIPoint pt) const {
  if (!surface_) return nullptr;
  QWidget* hit = surface_->childAt(pt.x, pt.y);
  return ControlOfWidget(hit);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const std::string& name) const {
  if (!parent) return nullptr;
  if (EqualsNoCase(parent->GetName(), name)) return parent;
  CContainerUI* container = parent->AsContainer();
  return container ? container->FindSubControl(name) : nullptr;
}

void CPaintManagerUI::NeedUpdate() {
  if (layoutPending_ || !surface_) return;
  layoutPending_ = true;
  std::weak_ptr<bool> alive = alive_;
  QMetaObject::invokeMethod(surface_.data(), [this, alive] {
    if (auto a = alive.lock(); a && *a && layoutPending_) UpdateLayout();
  }, Qt::QueuedConnection);
}

void CPaintManagerUI::UpdateLayout() {
  layoutPending_ = false;
  if (!root_ || !surface_) return;
  root_->SetPos(UIRect{0, 0, surface_->width(), surface_->height()});
  surface_->update();
}

void CPaintManagerUI::Invalidate() {
  // Repainting the surface repaints every control widget over it.
  if (surface_) surface_->update();
}

void CPaintManagerUI::SetDPI(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  int old = dpi_;
  dpi_ = dpi;
  if (surface_ && surface_->isWindow()) {
    surface_->resize(surface_->width() * dpi / old, surface_->height() * dpi / old);
  }
  ResetDPIAssets();
  NeedUpdate();
}

void CPaintManagerUI::ResetDPIAssets() { Invalidate(); }

int CPaintManagerUI::Scale(int value) const {
  return dpi_ == 96 ? value : static_cast<int>(static_cast<long long>(value) * dpi_ / 96);
}

void CPaintManagerUI::AddFont(int id, const FontSpec& font, bool isDefault) {
  fonts_[id] = font;
  if (isDefault || defaultFont_ < 0) defaultFont_ = id;
}

QFont CPaintManagerUI::GetQFont(int id) const {
  auto it = fonts_.find(id);
  if (it == fonts_.end()) it = fonts_.find(defaultFont_);
  QFont font = QApplication::font();
  if (it == fonts_.end()) {
    font.setPixelSize(Scale(12));
    return font;
  }
  if (!it->second.family.empty()) font.setFamily(QString::fromStdString(it->second.family));
  font.setPixelSize(std::max(1, Scale(it->second.size)));
  font.setBold(it->second.bold);
  font.setItalic(it->second.italic);
  font.setUnderline(it->second.underline);
  return font;
}

void CPaintManagerUI::AddDefaultAttributeList(const std::string& className, const std::string& list) {
  defaults_[ToLower(className)] = list;
}

const std::string* CPaintManagerUI::GetDefaultAttributeList(const std::string& className) const {
  auto it = defaults_.find(ToLower(className));
  return it == defaults_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddStyle(const std::string& name, const std::string& list) {
  styles_[ToLower(name)] = list;
}

const std::string* CPaintManagerUI::GetStyle(const std::string& name) const {
  auto it = styles_.find(ToLower(name));
  return it == styles_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (notifier && std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) {
    notifiers_.push_back(notifier);
  }
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  notifiers_.erase(std::remove(notifiers_.begin(), notifiers_.end(), notifier), notifiers_.end());
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const std::string& type, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  if (surface_) {
    QPoint cursor = surface_->mapFromGlobal(QCursor::pos());
    msg.ptMouse = {cursor.x(), cursor.y()};
  }
  // A handler may add or remove notifiers; deliver to those present when the action happened.
  std::vector<INotifyUI*> targets = notifiers_;
  std::weak_ptr<bool> alive = alive_;
  for (INotifyUI* target : targets) {
    if (auto a = alive.lock(); !a || !*a) return;
    if (std::find(notifiers_.begin(), notifiers_.end(), target) == notifiers_.end()) continue;
    target->Notify(msg);
  }
}

void CPaintManagerUI::AddOptionGroup(const std::string& group, CControlUI* option) {
  auto& members = optionGroups_[group];
  if (std::find(members.begin(), members.end(), option) == members.end()) members.push_back(option);
}

void CPaintManagerUI::RemoveOptionGroup(const std::string& group, CControlUI* option) {
  auto it = optionGroups_.find(group);
  if (it == optionGroups_.end()) return;
  auto& members = it->second;
  members.erase(std::remove(members.begin(), members.end(), option), members.end());
  if (members.empty()) optionGroups_.erase(it);
}

std::vector<CControlUI*> CPaintManagerUI::GetOptionGroup(const std::string& group) const {
  auto it = optionGroups_.find(group);
  return it == optionGroups_.end() ? std::vector<CControlUI*>{} : it->second;
}

CControlUI* CPaintManagerUI::GetFocus() const {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || !surface_ || !surface_->isAncestorOf(focus)) return nullptr;
  return ControlOfWidget(focus);
}

QImage CPaintManagerUI::Screenshot() {
  if (!surface_) return {};
  UpdateLayout();
  return surface_->grab().toImage();
}

bool CPaintManagerUI::SaveScreenshot(const std::string& pngPath) {
  QImage image = Screenshot();
  if (image.isNull()) return false;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
  return files::WriteAtomic(pngPath, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void CPaintManagerUI::RegisterName(CControlUI* control) {
  if (control->GetName().empty()) return;
  auto& list = names_[ToLower(control->GetName())];
  if (std::find(list.begin(), list.end(), control) == list.end()) list.push_back(control);
}

void CPaintManagerUI::UnregisterName(CControlUI* control, const std::string& name) {
  auto it = names_.find(ToLower(name));
  if (it == names_.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), control), list.end());
  if (list.empty()) names_.erase(it);
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  UnregisterName(control, control->GetName());
  for (auto it = optionGroups_.begin(); it != optionGroups_.end();) {
    auto& members = it->second;
    members.erase(std::remove(members.begin(), members.end(), control), members.end());
    it = members.empty() ? optionGroups_.erase(it) : std::next(it);
  }
}

void CPaintManagerUI::ForEachControl(const std::function<void(CControlUI&)>& visit) const {
  Visit(root_, visit);
}

UIColor StateTextColor(const CPaintManagerUI* pm, bool enabled, UIColor own, UIColor ownDisabled) {
  if (!enabled) {
    if (ownDisabled) return ownDisabled;
    return pm ? pm->GetDefaultDisabledColor() : 0xFFA7A6AAu;
  }
  if (own) return own;
  return pm ? pm->GetDefaultFontColor() : 0xFF000000u;
}

}  // namespace vz::ui
