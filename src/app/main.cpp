// The process entry: one instance only, the skin and the custom controls, the main window
// and its message loop, then everything torn down in order.
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/app_messages.h"
#include "app/app_options.h"
#include "app/main_wnd.h"
#include "app/scenario_runner.h"
#include "emulator/emulator.h"
#include "platform/hid/hid_listing.h"
#include "platform/system/folders.h"
#include "platform/system/single_instance.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/resource_manager.h"
#include "ui/custom_controls.h"
#include "ui/msg_wnd.h"

namespace {

constexpr const char* kMutexName = "QUENLODRVER1";
constexpr const char* kShowMessageName = "KORMISTA_004";

std::string Join(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ",") + n;
  return out;
}

std::optional<vz::app::ScenarioScript> LoadScenario(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "vizirado-driver: cannot read the scenario %s\n", path.c_str());
    return std::nullopt;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  auto script = vz::app::ParseScenario(text.str(), &error);
  if (!script) std::fprintf(stderr, "vizirado-driver: %s: %s\n", path.c_str(), error.c_str());
  return script;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = vz::app::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!options) {
    std::fprintf(stderr, "vizirado-driver: %s\n%s", error.c_str(), vz::app::UsageText().c_str());
    return 2;
  }
  if (options->help) {
    std::fputs(vz::app::UsageText().c_str(), stdout);
    return 0;
  }
  if (options->listDevices) {
    bool ok = true;
    std::fputs(vz::hid::ListInterfaces(&ok).c_str(), stdout);
    return ok ? 0 : 1;
  }

  // A second start asks the running instance to come forward and leaves without a window.
  auto instance = vz::SingleInstance::Acquire(kMutexName, kShowMessageName);
  if (!instance) {
    vz::SignalRunningInstance(kShowMessageName);
    return 0;
  }

  std::optional<vz::app::ScenarioScript> scenario;
  if (!options->scenarioFile.empty()) {
    scenario = LoadScenario(options->scenarioFile);
    if (!scenario) return 2;
  }

  QApplication application(argc, argv);
  application.setApplicationName("ViZirado Driver");
  application.setQuitOnLastWindowClosed(false);

  vz::ui::CPaintManagerUI::SetResourceType(1);
  vz::ui::CPaintManagerUI::SetResourcePath(vz::folders::Program() + "skin/");
  auto& resources = vz::ui::CResourceManager::GetInstance();
  if (!resources.LoadResource("res.xml")) {
    std::fprintf(stderr, "vizirado-driver: the skin cannot be loaded: %s\n", resources.LastError().c_str());
    return 1;
  }
  vz::ui::RegisterCustomControls();

  std::unique_ptr<vz::emulator::Emulation> emulation;
  if (options->emulate) {
    emulation = vz::emulator::Attach(Join(*options->emulate), options->traceFile, &error);
    if (!emulation) {
      std::fprintf(stderr, "vizirado-driver: %s\n", error.c_str());
      return 2;
    }
  }

  auto window = std::make_unique<vz::app::CMainWnd>();
  if (!window->Create(nullptr, "ViZirado Driver", 0, 0, 800, 572)) {
    std::fprintf(stderr, "vizirado-driver: the main window cannot be built: %s\n", window->CreateError().c_str());
    return 1;
  }
  window->CenterWindow();
  const vz::ui::WindowHandle handle = window->GetHWND();
  instance->Listen([handle] { handle.PostMessage(vz::app::WM_SHOW_REQUEST); });

  int status = 0;
  std::unique_ptr<vz::app::ScenarioRunner> runner;
  if (scenario) {
    runner = std::make_unique<vz::app::ScenarioRunner>(std::move(*scenario), *window, emulation.get(),
                                                       options->screenshotDir);
    runner->Start([&status, &window](int result) {
      status = result;
      window->Close();
    });
  }

  const int loop = vz::ui::CPaintManagerUI::MessageLoop();
  runner.reset();
  window.reset();
  resources.Release();
  emulation.reset();
  instance.reset();
  return status != 0 ? status : loop;
}
