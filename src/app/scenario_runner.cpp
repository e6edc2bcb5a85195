#include "app/scenario_runner.h"

#include <QTimer>
#include <cstdio>
#include <fstream>

#include "app/app_messages.h"
#include "app/main_wnd.h"
#include "emulator/emulator.h"
#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/container.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/list.h"
#include "platform/ui/menu.h"
#include "platform/ui/progress.h"
#include "platform/ui/ui_script.h"
#include "ui/msg_wnd.h"

namespace vz::app {

namespace {

// Time the event loop gets after a step, so that what the step posted has been handled.
constexpr int kSettleMs = 40;

struct DeviceActionName {
  const char* word;
  emulator::Action action;
};

constexpr DeviceActionName kDeviceActions[] = {
    {"dpi", emulator::Action::kDpiButton},
    {"profile", emulator::Action::kProfileButton},
    {"lighting", emulator::Action::kLightingButton},
    {"click", emulator::Action::kClick},
};

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

// Every named control: name, kind, visible, enabled, text, and where the kind has them the
// selected state, the value and the current item.
std::string DumpJson(ui::CWindowWnd& window, ui::CPaintManagerUI& pm) {
  std::string out = std::string("{\"window\": {\"visible\": ") + (window.IsWindowVisible() ? "true" : "false") +
                    ", \"minimized\": " + (window.IsMinimized() ? "true" : "false") + "},\n\"controls\": [\n";
  bool first = true;
  pm.ForEachControl([&](ui::CControlUI& c) {
    if (c.GetName().empty()) return;
    out += first ? "  {" : ",\n  {";
    first = false;
    out += "\"name\": " + JsonString(c.GetName());
    out += ", \"kind\": " + JsonString(c.GetClass());
    out += std::string(", \"visible\": ") + (c.IsVisible() ? "true" : "false");
    out += std::string(", \"enabled\": ") + (c.IsEnabled() ? "true" : "false");
    out += ", \"text\": " + JsonString(c.GetText());
    if (auto* option = dynamic_cast<ui::COptionUI*>(&c)) {
      out += std::string(", \"selected\": ") + (option->IsSelected() ? "true" : "false");
    }
    if (auto* progress = dynamic_cast<ui::CProgressUI*>(&c)) {
      out += ", \"value\": " + std::to_string(progress->GetValue());
    }
    if (auto* combo = dynamic_cast<ui::CComboUI*>(&c)) {
      out += ", \"item\": " + std::to_string(combo->GetCurSel());
    } else if (auto* list = dynamic_cast<ui::CListUI*>(&c)) {
      out += ", \"item\": " + std::to_string(list->GetCurSel());
    } else if (auto* tab = dynamic_cast<ui::CTabLayoutUI*>(&c)) {
      out += ", \"item\": " + std::to_string(tab->GetCurSel());
    }
    out += "}";
  });
  return out + "\n]}\n";
}

std::string FromResult(const ui::ScriptResult& r) { return r.ok ? std::string() : r.error; }

}  // namespace

ScenarioRunner::ScenarioRunner(ScenarioScript script, CMainWnd& window, emulator::Emulation* emulation,
                               std::string screenshotDir)
    : script_(std::move(script)), window_(window), emulation_(emulation), screenshotDir_(std::move(screenshotDir)) {}

ScenarioRunner::~ScenarioRunner() = default;

void ScenarioRunner::Start(std::function<void(int)> finished) {
  finished_ = std::move(finished);
  // Dialogs and message boxes take their answers from the script; every box shown is
  // printed with its answer.
  ui::file_dialog_script::SetScripted(true);
  msgbox_script::SetScripted(true);
  msgbox_script::SetListener([](const MessageShown& shown, unsigned result) {
    std::printf("message box: %s -> %s\n", shown.text.c_str(), result == 1 ? "confirm" : "cancel");
    std::fflush(stdout);
  });
  QTimer::singleShot(0, [this] { RunFrom(0); });
}

std::string ScenarioRunner::Resolve(const std::string& file) const {
  if (!file.empty() && file[0] == '/') return file;
  return screenshotDir_ + "/" + file;
}

void ScenarioRunner::RunFrom(std::size_t index) {
  if (done_) return;
  if (index >= script_.steps.size()) {
    done_ = true;
    finished_(0);
    return;
  }
  const ScenarioStep& step = script_.steps[index];
  if (step.kind == StepKind::kQuit) {
    done_ = true;
    finished_(0);
    return;
  }
  int delay = kSettleMs;
  const std::string error = Execute(step, &delay);
  if (!error.empty()) {
    std::fprintf(stderr, "scenario: line %d (%s): %s\n", step.line, StepName(step.kind), error.c_str());
    done_ = true;
    finished_(1);
    return;
  }
  QTimer::singleShot(delay, [this, index] { RunFrom(index + 1); });
}

std::string ScenarioRunner::Execute(const ScenarioStep& step, int* delayMs) {
  ui::CPaintManagerUI& pm = window_.PaintManager();
  const int number = static_cast<int>(step.number);
  switch (step.kind) {
    case StepKind::kClick:
      return FromResult(ui::script::Click(pm, step.name));
    case StepKind::kSelect:
      return FromResult(ui::script::Select(pm, step.name, step.on));
    case StepKind::kItem:
    case StepKind::kItemClick:
      return FromResult(ui::script::Item(pm, step.name, number));
    case StepKind::kValue:
      return FromResult(ui::script::Value(pm, step.name, number));
    case StepKind::kDrag:
      return FromResult(ui::script::Drag(pm, step.name, {number}));
    case StepKind::kText:
      return FromResult(ui::script::Text(pm, step.name, step.argument));
    case StepKind::kFocus:
      return FromResult(ui::script::Focus(pm, step.name));
    case StepKind::kBlur:
      return FromResult(ui::script::Blur(pm));
    case StepKind::kKey:
    case StepKind::kMouse:
      return "no input hook is installed: key and mouse events reach the program only while a "
             "recording or a key capture runs";
    case StepKind::kPlug:
    case StepKind::kUnplug:
    case StepKind::kDevice: {
      if (!emulation_) return "no emulated devices are attached (start with --emulate)";
      auto device = emulation_->Find(step.name);
      if (!device) return "no emulated device \"" + step.name + "\"";
      if (step.kind == StepKind::kPlug) {
        device->Plug();
      } else if (step.kind == StepKind::kUnplug) {
        device->Unplug();
      } else {
        for (const auto& a : kDeviceActions) {
          if (step.argument == a.word) {
            return device->Press(a.action) ? std::string() : step.name + " has no " + a.word + " action";
          }
        }
        return "unknown device action \"" + step.argument + "\" (dpi, profile, lighting, click)";
      }
      return {};
    }
    case StepKind::kDialog:
      if (step.on) {
        ui::file_dialog_script::QueuePath(step.name);
      } else {
        ui::file_dialog_script::QueueCancel();
      }
      return {};
    case StepKind::kAnswer:
      msgbox_script::QueueAnswer(step.argument == "confirm" ? 1u : 0u);
      return {};
    case StepKind::kWait:
      *delayMs = number;
      return {};
    case StepKind::kScreenshot:
      return pm.SaveScreenshot(Resolve(step.name)) ? std::string() : "cannot write " + Resolve(step.name);
    case StepKind::kDump: {
      std::ofstream out(Resolve(step.name));
      out << DumpJson(window_, pm);
      return out ? std::string() : "cannot write " + Resolve(step.name);
    }
    case StepKind::kTray:
      window_.PostMessage(WM_TRAY_NOTIFY, 0, step.argument == "left" ? WM_LBUTTONUP : WM_RBUTTONUP);
      return {};
    case StepKind::kMenu: {
      // Into the menu that is open, as a click would; with none open, the command itself.
      const auto menus = ui::CMenuWnd::OpenMenus();
      if (!menus.empty()) {
        return menus.back()->ClickItem(step.name) ? std::string() : "the open menu has no item \"" + step.name + "\"";
      }
      window_.MenuCommand(step.name, step.name);
      return {};
    }
    case StepKind::kQuit:
      return {};
  }
  return "unreadable step";
}

}  // namespace vz::app
