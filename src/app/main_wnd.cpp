#include "app/main_wnd.h"

#include <QCursor>
#include <algorithm>

#include "app/app_messages.h"
#include "app/language.h"
#include "app/page_tabs.h"
#include "device/device_messages.h"
#include "platform/system/ini.h"
#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/container.h"
#include "platform/ui/control.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/menu.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/resource_manager.h"
#include "profiles/profile_file.h"
#include "profiles/profile_payload.h"
#include "profiles/profile_store.h"
#include "settings/connect_read.h"
#include "ui/circle_progress.h"
#include "ui/copyright_wnd.h"
#include "ui/device_key_button.h"
#include "ui/msg_wnd.h"

namespace vz::app {

namespace {

// Runs one posted user-interface step; the steps themselves wait in a queue of the window.
constexpr unsigned kMsgUiStep = 0xD01;

struct SubPage {
  const char* element;
  const char* layout;
};

// Elements of the main layout that the window builds from layouts of their own.
constexpr SubPage kSubPages[] = {
    {"kb_Key_UI", "keyboard_key.xml"},     {"kb_Deng_UI", "keyboard_deng.xml"},
    {"kb_Macro_UI", "keyboard_macro.xml"}, {"MS_Deng_UI", "Mouse_deng.xml"},
    {"MS_Macro_UI", "Mouse_macro.xml"},    {"MS_Key_UI", "Mouse_key.xml"},
    {"MP_deng_UI", "MousePad_deng.xml"},   {"MS_DPI_UI", "Mouse_DPI.xml"},
    {"MS_CURSOR_UI", "Mouse_cursor.xml"},  {"kb_CURSOR_UI", "Mouse_cursor.xml"},
};

bool EqualNoCase(const std::string& a, const char* b) {
  const std::size_t n = std::char_traits<char>::length(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

struct PictureTable {
  DeviceKind kind;
  const char* prefix;
  int count;
};

constexpr PictureTable kPictureTables[] = {
    {DeviceKind::kMouse, "ms_dkey_", 20},
    {DeviceKind::kMousepad, "mp_dkey_", 15},
    {DeviceKind::kKeyboard, "kb_key_", 126},
};

struct Identity {
  DeviceKind kind;
  std::uint16_t vendorId;
  std::uint16_t productId;
};

// usage 0x92 on the vendor-defined page 0xFF1C for all three
constexpr Identity kIdentities[] = {
    {DeviceKind::kMouse, 0x195D, 0x1028},
    {DeviceKind::kMousepad, 0x0C45, 0x5004},
    {DeviceKind::kKeyboard, 0x0C45, 0x6556},
};

const char* HookMessageName(unsigned msg) {
  switch (msg) {
    case WM_HOOK_KEY_SINGLEKEY: return "WM_HOOK_KEY_SINGLEKEY";
    case WM_HOOK_KEY_MACRO: return "WM_HOOK_KEY_MACRO";
    case WM_HOOK_KEY_MACRO_MOUSE: return "WM_HOOK_KEY_MACRO_MOUSE";
    case WM_HOOK_MOU_SINGLEKEY: return "WM_HOOK_MOU_SINGLEKEY";
    case WM_HOOK_MOU_MACRO: return "WM_HOOK_MOU_MACRO";
    default: return "WM_HOOK_MOU_MACRO_MOUSE";
  }
}

bool AnyOpen(const std::array<DeviceChannel, kDeviceKindCount>& channels) {
  return std::any_of(channels.begin(), channels.end(), [](const DeviceChannel& c) { return c.IsOpen(); });
}

}  // namespace

CMainWnd::CMainWnd()
    : pointer_(images_),
      refreshSaver_(images_),
      settingsSync_(images_, {&channels_[0], &channels_[1], &channels_[2]}, *this, refreshSaver_),
      links_{ChannelLink(channels_[0], images_, DeviceKind::kKeyboard),
             ChannelLink(channels_[1], images_, DeviceKind::kMouse),
             ChannelLink(channels_[2], images_, DeviceKind::kMousepad)},
      syncSource_(images_) {
  for (std::size_t i = 0; i < kDeviceKindCount; ++i) presence_.channels[i] = &channels_[i];
  presence_.ui = this;
  presence_.storedSelection = [](DeviceKind kind) {
    const char* section = kind == DeviceKind::kMousepad ? "PROFILEDENGSELECT" : "PROFILEDEVICESELECT";
    return ReadIndexNumber(kind, section, "select");
  };
  presence_.keyboardFound = [](std::uint16_t product) { SetKeyboardVariantFromProduct(product); };
  listener_.ui = this;
  listener_.lightingTriggered = [] { lighting::LightingTriggers().Raise(); };
}

CMainWnd::~CMainWnd() { StopWorkers(); }

template <typename T>
T* CMainWnd::Find(const std::string& name) const {
  return dynamic_cast<T*>(const_cast<ui::CPaintManagerUI&>(m_pm).FindControl(name));
}

// --- start --------------------------------------------------------------------------------

void CMainWnd::InitWindow() {
  auto& resources = ui::CResourceManager::GetInstance();
  resources.SetTextQueryInterface(this);
  resources.LoadLanguage("lan_cn.xml");
  for (const PictureTable& table : kPictureTables) {
    auto& list = pictures_[Index(table.kind)];
    list.assign(static_cast<std::size_t>(table.count), nullptr);
    for (int i = 0; i < table.count; ++i) list[static_cast<std::size_t>(i)] = m_pm.FindControl(table.prefix + std::to_string(i));
  }
  handle_ = GetHWND();
  AddRoute([this](ui::TNotifyUI& msg) { return RoutePageTab(m_pm, msg); });
  tray_ = std::make_unique<ui::CTrayIcon>();
  tray_->CreateTrayIcon(this, 107, "Kavrel Ostrin");
  for (const char* palette : {"ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet"}) {
    if (auto* control = m_pm.FindControl(palette)) control->SetAttribute("selectcolor", "#FF0199CB");
  }
}

void CMainWnd::OnWindowInit() {
  const std::string mainIni = MainIniPath();
  if (ini::ReadInt(mainIni, kSkinSection, "FLAGS") == 1) {
    if (ui::CControlUI* root = m_pm.GetRoot()) {
      root->SetBkColor(0);
      root->SetBkImage(ini::ReadString(mainIni, kSkinSection, "IMAGE", "0"));
    }
  }
  for (const Identity& id : kIdentities) Channel(id.kind).SetIdentity(id.vendorId, id.productId, 0x92, 0xFF1C);
  SleepMs(100);
  AdoptRegistryLanguage();
  ShowWindow(false, false);
  StartWorkers();
  SetTimer(kTimerFlush, 100);
  SetTimer(kTimerRepaint, 100);
  SetTimer(kTimerKeyboardRead, 500);
  SetTimer(kTimerPadRead, 500);
  ApplyLanguage(StoredLanguage());
}

void CMainWnd::StartWorkers() {
  auto start = [this](std::function<int(Event&)> body) {
    Worker w;
    w.stop = std::make_unique<Event>(true);
    Event* stop = w.stop.get();
    w.thread = WorkerThread("worker", [body = std::move(body), stop] { return body(*stop); });
    workers_.push_back(std::move(w));
  };
  start([this](Event& stop) { return PresenceThread(DeviceKind::kKeyboard, presence_, stop); });
  SleepMs(20);
  start([this](Event& stop) { return PresenceThread(DeviceKind::kMouse, presence_, stop); });
  start([this](Event& stop) { return PresenceThread(DeviceKind::kMousepad, presence_, stop); });
  start([this](Event& stop) { return ListenerThread(ListenerKind::kMouse, listener_, stop); });
  start([this](Event& stop) { return ListenerThread(ListenerKind::kKeyboard, listener_, stop); });
  lighting::LightingIo io;
  io.mouse = &links_[Index(DeviceKind::kMouse)];
  io.mousepad = &links_[Index(DeviceKind::kMousepad)];
  io.keyboard = &links_[Index(DeviceKind::kKeyboard)];
  io.sync = &syncSource_;
  io.preview = &preview_;
  lighting_ = std::make_unique<lighting::LightingEngine>(io);
  lighting_->Start();
}

// Signals every stop event, then gives all threads 10 s together to end.
void CMainWnd::StopWorkers() {
  if (workers_.empty() && !lighting_) return;
  for (Worker& w : workers_) w.stop->Set();
  if (lighting_) lighting_->SignalStop();
  const std::uint32_t start = TickCount();
  auto left = [&] {
    const std::uint32_t spent = TickCount() - start;
    return spent >= 10000 ? 0u : 10000 - spent;
  };
  bool ended = true;
  for (Worker& w : workers_) ended = w.thread.JoinFor(left()) && ended;
  if (lighting_) ended = lighting_->Join(left()) && ended;
  threadsEnded_ = ended;
  if (!ended) DebugOutput("worker threads still running after 10 s; leaving them behind");
  workers_.clear();
  if (ended) lighting_.reset();
  else lighting_.release();  // a thread still inside it keeps using its state until it ends
}

// --- posted steps -------------------------------------------------------------------------

void CMainWnd::Post(std::function<void()> step) {
  {
    std::lock_guard<std::mutex> lock(stepsMutex_);
    steps_.push_back(std::move(step));
  }
  handle_.PostMessage(kMsgUiStep);
}

void CMainWnd::RunNextStep() {
  std::function<void()> step;
  {
    std::lock_guard<std::mutex> lock(stepsMutex_);
    if (steps_.empty()) return;
    step = std::move(steps_.front());
    steps_.pop_front();
  }
  step();
}

void CMainWnd::ShowControl(const std::string& name, bool visible) {
  Post([this, name, visible] {
    if (auto* c = m_pm.FindControl(name)) c->SetVisible(visible);
  });
}

void CMainWnd::SelectOption(const std::string& name) {
  Post([this, name] {
    if (auto* option = Find<ui::COptionUI>(name)) option->Selected(true, true);
  });
}

void CMainWnd::FocusControl(const std::string& name) {
  Post([this, name] {
    if (auto* c = m_pm.FindControl(name)) c->SetFocus();
  });
}

void CMainWnd::SelectListItem(const std::string& name, int index) {
  Post([this, name, index] {
    auto* combo = Find<ui::CComboUI>(name);
    // Selecting the entry that is selected already does nothing, and applies nothing.
    if (combo && combo->GetCurSel() != index) combo->SelectItem(index, false, true);
  });
}

void CMainWnd::RelayoutControl(const std::string& name) {
  Post([this, name] {
    if (auto* c = m_pm.FindControl(name)) c->NeedUpdate();
  });
}

void CMainWnd::StartTimer(int id, std::uint32_t ms) {
  Post([this, id, ms] { SetTimer(static_cast<ui::UINT_PTR>(id), ms); });
}

void CMainWnd::ShowMainWindow(bool show) {
  Post([this, show] { ShowWindow(show, show); });
}

void CMainWnd::ApplyKeyboardDeviceProfile(int position) {
  Post([this, position] {
    LoadProfile(images_, DeviceKind::kKeyboard, ProfileKind::kDevice, position, pointer_);
    RefillSettingsPage(DeviceKind::kKeyboard);
    images_.MarkPending(DeviceKind::kKeyboard);
    Channel(DeviceKind::kKeyboard).WriteKeyBlock(images_.Of(DeviceKind::kKeyboard).keyBlocks[0].data(), 0);
  });
}

void CMainWnd::PostWindowMessage(std::uint32_t message) { handle_.PostMessage(message); }

void CMainWnd::PostShowMessage() { handle_.PostMessage(WM_SHOW_REQUEST); }

void CMainWnd::SendWindowMessage(std::uint32_t message) { handle_.SendMessage(message); }

// --- pages --------------------------------------------------------------------------------

void CMainWnd::RefillSettingsPage(DeviceKind kind) {
  for (const Refill& refill : refills_) refill(kind);
}

void CMainWnd::HideFunctionPanel(DeviceKind kind) {
  if (auto* panel = m_pm.FindControl(std::string(Prefix(kind)) + "_tab_function")) panel->SetVisible(false);
}

void CMainWnd::ReadDevice(DeviceKind kind) {
  const ConnectOutcome outcome = ConnectRead(kind, Channel(kind), images_);
  if (outcome == ConnectOutcome::kRefused) {
    ShowMessage(this, "", "message_text_11", true);
    return;
  }
  // Only what a device really sent is saved: the keyboard and mousepad reads run once at
  // start whether or not the device is there, and images that no device filled must not
  // overwrite the user's stored profiles.
  if (outcome != ConnectOutcome::kRead) return;
  switch (kind) {
    case DeviceKind::kMouse:
      SaveProfile(images_, kind, ProfileKind::kDevice);
      break;
    case DeviceKind::kKeyboard:
      SaveProfile(images_, kind, ProfileKind::kDevice);
      SaveProfile(images_, kind, ProfileKind::kLighting);
      SaveProfile(images_, kind, ProfileKind::kKey);
      break;
    case DeviceKind::kMousepad:
      SaveProfile(images_, kind, ProfileKind::kLighting);
      break;
  }
  RefillSettingsPage(kind);
}

void CMainWnd::RefreshDevice(DeviceKind kind) { settingsSync_.RefreshActive(kind); }

void CMainWnd::ApplyPreviews() {
  const auto pictures = preview_.Take();
  constexpr DeviceKind kKinds[] = {DeviceKind::kMouse, DeviceKind::kMousepad, DeviceKind::kKeyboard};
  for (std::size_t d = 0; d < pictures.size(); ++d) {
    const auto& picture = pictures[d];
    if (picture.colours.empty()) continue;
    const auto& controls = pictures_[Index(kKinds[d])];
    for (std::size_t i = 0; i < controls.size() && i < picture.colours.size(); ++i) {
      ui::CControlUI* c = controls[i];
      if (!c) continue;
      const auto& rgb = picture.colours[i];
      const ui::UIColor argb = 0xFF000000u | std::uint32_t{rgb.red} << 16 | std::uint32_t{rgb.green} << 8 | rgb.blue;
      if (auto* key = dynamic_cast<ui::CDeviceKeyButtonUI*>(c)) {
        key->SetLight(argb, picture.opacity, true);
      } else {
        c->SetChangerColor(argb);
        c->SetChangerAlpha(picture.opacity);
      }
    }
  }
}

// --- notifications, messages, timers --------------------------------------------------------

void CMainWnd::Notify(ui::TNotifyUI& msg) {
  if (msg.sType == ui::kNotifyWindowInit) {
    OnWindowInit();
    return;
  }
  const std::string name = msg.pSender ? msg.pSender->GetName() : std::string();
  if (msg.sType == ui::kNotifyClick) {
    if (EqualNoCase(name, "closebtn") || EqualNoCase(name, "minbtn")) return Minimize();
    if (EqualNoCase(name, "maxbtn")) return Maximize();
    if (EqualNoCase(name, "restorebtn")) return Restore();
    if (EqualNoCase(name, "menubtn")) return OpenMainMenu();
  }
  for (const Route& route : routes_) {
    if (route(msg)) return;
  }
}

ui::CControlUI* CMainWnd::CreateControl(const std::string& className) {
  for (const SubPage& page : kSubPages) {
    if (EqualNoCase(className, page.element)) {
      ui::CDialogBuilder builder;
      ui::CControlUI* root = builder.Create(page.layout, nullptr, &m_pm);
      if (!root) DebugOutput("sub-page " + std::string(page.layout) + ": " + builder.LastError());
      return root;
    }
  }
  if (EqualNoCase(className, "CircleProgress")) return new ui::CCircleProgressUI;
  if (EqualNoCase(className, "DeviceKeyButton")) return new ui::CDeviceKeyButtonUI;
  return nullptr;
}

std::string CMainWnd::QueryControlText(const std::string& id, const std::string&) {
  if (id == "titletext") return "mouse";
  if (id == "hometext") return "{a}演示官网{/a}";
  return {};
}

ui::LRESULT CMainWnd::HandleCustomMessage(unsigned msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) {
  handled = true;
  switch (msg) {
    case kMsgUiStep:
      RunNextStep();
      return 0;
    case WM_SHOW_REQUEST:
      ShowRequest();
      return 0;
    case WM_MENU_CLICK:
      if (auto cmd = ui::TakeMenuCmd(wParam)) MenuCommand(cmd->szName, cmd->szText);
      return 0;
    case WM_TRAY_NOTIFY:
      if (lParam == WM_LBUTTONUP) TrayToggle();
      if (lParam == WM_RBUTTONUP) TrayMenu();
      return 0;
    case WM_DEV_MS_READ:
      ReadDevice(DeviceKind::kMouse);
      return 0;
    case WM_DEV_MS_REFRESH:
      RefreshDevice(DeviceKind::kMouse);
      return 0;
    case WM_DEV_MP_READ:
      ReadDevice(DeviceKind::kMousepad);
      return 0;
    case WM_DEV_MP_REFRESH:
      RefreshDevice(DeviceKind::kMousepad);
      return 0;
    case WM_DEV_KB_READ:
      ReadDevice(DeviceKind::kKeyboard);
      return 0;
    case WM_DEV_KB_REFRESH:
      RefreshDevice(DeviceKind::kKeyboard);
      return 0;
    case WM_DEV_CHANGER_COLOR:
    case WM_DEV_CHANGER_ALPHA: {
      // wParam counts device-picture entries from the first mousepad picture on.
      std::vector<ui::CControlUI*> flat = pictures_[Index(DeviceKind::kMousepad)];
      const auto& keys = pictures_[Index(DeviceKind::kKeyboard)];
      flat.insert(flat.end(), keys.begin(), keys.end());
      if (wParam < flat.size() && flat[wParam]) {
        if (msg == WM_DEV_CHANGER_COLOR) flat[wParam]->SetChangerColor(static_cast<ui::UIColor>(lParam));
        else flat[wParam]->SetChangerAlpha(static_cast<int>(lParam));
      }
      return 0;
    }
    case WM_DEV_KB_DEFAULTS: {
      std::vector<std::uint8_t> payload(PayloadSize(DeviceKind::kKeyboard, ProfileKind::kDevice), 0);
      const std::string path = DefaultPath(DeviceKind::kKeyboard, ProfileKind::kDevice);
      if (ReadProfileFile(path, payload.data(), payload.size()) == kProfileRead) {
        ApplyPayload(images_, DeviceKind::kKeyboard, ProfileKind::kDevice, payload.data());
      }
      return 0;
    }
    case WM_PROGRESS_SHOW:
      if (auto* progress = m_pm.FindControl("setting_progress")) progress->SetVisible(true);
      return 0;
    case WM_PROGRESS_HIDE:
      SetTimer(kTimerHideProgress, 1000);
      return 0;
    case WM_MS_GONE:
      if (auto* tab = m_pm.FindControl("ms_deng_Op_tab")) tab->SetFocus();
      ShowMessageAutoClose(true, this, "", "message_text_20", true);
      ShowWindow(false, false);
      return 0;
    case WM_HOOK_KEY_SINGLEKEY:
    case WM_HOOK_KEY_MACRO:
    case WM_HOOK_KEY_MACRO_MOUSE:
    case WM_HOOK_MOU_SINGLEKEY:
    case WM_HOOK_MOU_MACRO:
    case WM_HOOK_MOU_MACRO_MOUSE:
      DebugOutput(HookMessageName(msg));
      return 0;
    default:
      handled = false;
      return 0;
  }
}

void CMainWnd::OnTimer(ui::UINT_PTR id) {
  switch (id) {
    case kTimerHideProgress:
      KillTimer(id);
      if (auto* progress = m_pm.FindControl("setting_progress")) progress->SetVisible(false);
      break;
    case kTimerFlush:
      settingsSync_.Flush();
      break;
    case kTimerRelayout:
      KillTimer(id);
      m_pm.Invalidate();
      m_pm.NeedUpdate();
      break;
    case kTimerMouseRead:
      KillTimer(id);
      ReadDevice(DeviceKind::kMouse);
      break;
    case kTimerRepaint:
      SetTimer(kTimerRepaint, 50);  // the first tick comes after 100 ms, then every 50
      ApplyPreviews();
      m_pm.Invalidate();
      break;
    case kTimerKeyboardRead:
      KillTimer(id);
      ReadDevice(DeviceKind::kKeyboard);
      break;
    case kTimerPadRead:
      KillTimer(id);
      ReadDevice(DeviceKind::kMousepad);
      break;
    default:
      break;
  }
}

void CMainWnd::OnCloseRequest() { Minimize(); }

// --- showing the window ---------------------------------------------------------------------

// In front of the other windows without staying on top of them.
void CMainWnd::BringToFrontOnce() {
  Restore();
  ShowWindow(true, true);
  SetTopMost(true);
  SleepMs(10);
  SetTopMost(false);
  BringToFront();
}

void CMainWnd::ShowRequest() {
  if (AnyOpen(channels_)) {
    BringToFrontOnce();
    return;
  }
  ShowWindow(false, false);
  if (IsMessageShowing("message_text_1")) return;
  ShowMessage(this, "", "message_text_1", true);
}

void CMainWnd::TrayToggle() {
  if (!AnyOpen(channels_)) {
    ShowRequest();
    return;
  }
  const bool shown = IsWindowVisible() != IsMinimized();
  if (shown) {
    ShowWindow(false, false);
    return;
  }
  BringToFrontOnce();
  m_pm.Invalidate();
  SetTimer(kTimerRelayout, 10);
}

namespace {

ui::UIPoint CursorPosition() {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

}  // namespace

void CMainWnd::OpenMainMenu() { mainMenu_ = ui::CMenuWnd::CreateMenu(this, "menu.xml", CursorPosition()); }

void CMainWnd::TrayMenu() {
  trayMenu_.reset();
  ui::UIPoint at = CursorPosition();
  at.y -= 50;
  trayMenu_ = ui::CMenuWnd::CreateMenu(this, "menu1.xml", at);
  if (!trayMenu_) return;
  // The tray menu speaks the stored language even before the language file is loaded.
  static constexpr const char* kTexts[3][2] = {{"Open", "Close"}, {"打开", "关闭"}, {"打開", "關閉"}};
  const int language = std::clamp(ini::ReadInt(MainIniPath(), kSkinSection, "LANGUAGE"), 0, 2);
  trayMenu_->AddMenuItem("Open", kTexts[language][0]);
  trayMenu_->AddMenuItem("Exit", kTexts[language][1]);
}

void CMainWnd::MenuCommand(const std::string& name, const std::string& text) {
  if (const LanguageRow* row = LanguageByMenuItem(name)) {
    ApplyLanguage(*row);
    StoreLanguage(*row);
    return;
  }
  if (name == "Open") {
    ShowWindow(true, true);
  } else if (name == "Exit") {
    Close();
  } else if (name == "qianting" || name == "Menu_Import" || name == "Menu_Export") {
    // no action of their own
  } else if (name == "About_setting") {
    ui::Ccopyright::Open(this);
  } else {
    ShowMessage(this, "", text, false);
  }
}

void CMainWnd::ApplyLanguage(const LanguageRow& row) {
  auto& resources = ui::CResourceManager::GetInstance();
  resources.SetLanguage(row.code);
  resources.LoadLanguage(row.file);
  m_pm.Invalidate();
}

void CMainWnd::OnDestroy() {
  // The menus live on the window's surface: they go before it does.
  trayMenu_.reset();
  mainMenu_.reset();
  tray_.reset();
  ShowWindow(false, false);
  StopWorkers();
  WindowImplBase::OnDestroy();
  ui::CPaintManagerUI::PostQuitMessage(0);
}

}  // namespace vz::app
