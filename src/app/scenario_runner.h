// Runs a scenario script against the running application, one step at a time on the
// user-interface thread, and ends the program with its status: 0 when every step was
// carried out, 1 at the first step that could not be (the reason goes to stderr).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/scenario_script.h"

namespace vz::emulator {
class Emulation;
}

namespace vz::app {

class CMainWnd;

class ScenarioRunner {
 public:
  // emulation may be null (no --emulate): plug, unplug and device steps then fail.
  ScenarioRunner(ScenarioScript script, CMainWnd& window, emulator::Emulation* emulation,
                 std::string screenshotDir);
  ~ScenarioRunner();

  // Starts with the first step once the event loop runs; `finished` gets the exit status.
  void Start(std::function<void(int status)> finished);

 private:
  void RunFrom(std::size_t index);
  // Carries out one step; the empty string on success, else the reason. *delayMs is how
  // long to let the event loop run before the next step.
  std::string Execute(const ScenarioStep& step, int* delayMs);
  std::string Resolve(const std::string& file) const;

  ScenarioScript script_;
  CMainWnd& window_;
  emulator::Emulation* emulation_;
  std::string screenshotDir_;
  std::function<void(int)> finished_;
  bool done_ = false;
};

}  // namespace vz::app
