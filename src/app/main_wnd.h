// CMainWnd: the one top-level window and the owner of everything that lives for the whole
// run: the three device channels, the device images, the worker threads with their stop
// events, the tray icon and the device pictures. It is the single receiver of the custom
// window messages and timers.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/device_bridge.h"
#include "device/device_channel.h"
#include "device/presence.h"
#include "lighting/effect_engine.h"
#include "platform/ui/window.h"
#include "settings/device_images.h"
#include "profiles/pointer_settings.h"
#include "profiles/profile_store.h"
#include "settings/settings_sync.h"

namespace vz::ui {
class CTrayIcon;
class CMenuWnd;
}  // namespace vz::ui

namespace vz::app {

class CMainWnd : public ui::WindowImplBase, public PresenceUi, public PageRefill {
 public:
  CMainWnd();
  ~CMainWnd() override;

  DeviceChannel& Channel(DeviceKind kind) { return channels_[Index(kind)]; }
  DeviceImages& Images() { return images_; }
  // How the feature pages take part: a refill of a kind's pages after the images changed
  // underneath, and handlers of notifications (true: handled, stop routing).
  using Refill = std::function<void(DeviceKind)>;
  using Route = std::function<bool(ui::TNotifyUI&)>;
  void AddPageRefill(Refill refill) { refills_.push_back(std::move(refill)); }
  void AddRoute(Route route) { routes_.push_back(std::move(route)); }

  // Waits for the worker threads after the stop events were set; true when all ended.
  bool ThreadsEnded() const { return threadsEnded_; }
  // The device-picture controls of one kind (null entries where the skin has none).
  const std::vector<ui::CControlUI*>& Pictures(DeviceKind kind) const { return pictures_[Index(kind)]; }

  // PresenceUi: posted steps run on the user-interface thread in call order.
  void ShowControl(const std::string& name, bool visible) override;
  void SelectOption(const std::string& name) override;
  void FocusControl(const std::string& name) override;
  void SelectListItem(const std::string& name, int index) override;
  void RelayoutControl(const std::string& name) override;
  void StartTimer(int id, std::uint32_t ms) override;
  void ShowMainWindow(bool show) override;
  void ApplyKeyboardDeviceProfile(int position) override;
  void PostWindowMessage(std::uint32_t message) override;
  void PostShowMessage() override;
  void SendWindowMessage(std::uint32_t message) override;

  // PageRefill.
  void RefillSettingsPage(DeviceKind kind) override;
  void HideFunctionPanel(DeviceKind kind) override;

  // The single-instance show message arrived (a second start, a presence thread).
  void ShowRequest();
  void TrayToggle();
  void TrayMenu();
  void MenuCommand(const std::string& name, const std::string& text);
  void ApplyLanguage(const struct LanguageRow& row);

 protected:
  std::string GetWindowClassName() const override { return "MainWnd"; }
  std::string GetSkinFile() const override { return "XML_MAIN"; }
  void InitWindow() override;
  void Notify(ui::TNotifyUI& msg) override;
  ui::CControlUI* CreateControl(const std::string& className) override;
  std::string QueryControlText(const std::string& id, const std::string& type) override;
  ui::LRESULT HandleCustomMessage(unsigned msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;
  void OnTimer(ui::UINT_PTR id) override;
  void OnDestroy() override;
  void OnCloseRequest() override;

 private:
  struct Worker {
    std::unique_ptr<Event> stop;
    WorkerThread thread;
  };

  void OnWindowInit();
  void StartWorkers();
  void StopWorkers();
  void ReadDevice(DeviceKind kind);
  void RefreshDevice(DeviceKind kind);
  void ApplyPreviews();
  void OpenMainMenu();
  void BringToFrontOnce();
  void Post(std::function<void()> step);
  void RunNextStep();
  template <typename T>
  T* Find(const std::string& name) const;

  std::array<DeviceChannel, kDeviceKindCount> channels_;
  DeviceImages images_;
  ImagesPointerSettings pointer_;
  ProfileRefreshSaver refreshSaver_;
  SettingsSync settingsSync_;
  std::array<ChannelLink, kDeviceKindCount> links_;
  ImagesSyncSource syncSource_;
  PreviewBuffer preview_;
  std::unique_ptr<lighting::LightingEngine> lighting_;
  PresenceContext presence_;
  ListenerContext listener_;
  std::vector<Worker> workers_;
  bool threadsEnded_ = false;
  ui::WindowHandle handle_;

  std::array<std::vector<ui::CControlUI*>, kDeviceKindCount> pictures_;
  std::vector<Refill> refills_;
  std::vector<Route> routes_;

  std::mutex stepsMutex_;
  std::deque<std::function<void()>> steps_;

  std::unique_ptr<ui::CTrayIcon> tray_;
  std::unique_ptr<ui::CMenuWnd> trayMenu_;
  std::unique_ptr<ui::CMenuWnd> mainMenu_;
};

}  // namespace vz::app
