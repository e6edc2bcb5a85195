// The scenario language: UI actions driven through the real notification path, one per
// line; '#' starts a comment, blank lines are skipped.
//
//   click NAME                 select NAME on|off          item NAME INDEX
//   itemclick NAME INDEX       value NAME N                drag NAME N
//   text NAME TEXT...          focus NAME                  blur NAME
//   key down|up VK [FLAGS]     mouse MESSAGE               (through the input-hook path)
//   plug DEVICE                unplug DEVICE               device DEVICE ACTION
//   dialog PATH | dialog cancel                            answer confirm|cancel
//   wait MS                    screenshot FILE             dump FILE
//   tray left|right            menu NAME                   quit
//
// Numbers are decimal or 0x-prefixed hexadecimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vz::app {

enum class StepKind {
  kClick, kSelect, kItem, kItemClick, kValue, kDrag, kText, kFocus, kBlur, kKey, kMouse,
  kPlug, kUnplug, kDevice, kDialog, kAnswer, kWait, kScreenshot, kDump, kTray, kMenu, kQuit,
};

struct ScenarioStep {
  StepKind kind;
  int line = 0;
  std::string name;      // control, device, file, menu item, dialog path
  std::string argument;  // text, device action, "confirm"/"cancel", "left"/"right"
  std::int64_t number = 0;
  std::int64_t flags = 0;
  bool on = false;       // select on, key down, dialog answered with a path
};

struct ScenarioScript {
  std::vector<ScenarioStep> steps;
};

// Parses a whole script; a line that cannot be read stops parsing with
// "line N: reason" in *error.
std::optional<ScenarioScript> ParseScenario(const std::string& text, std::string* error);

const char* StepName(StepKind kind);

}  // namespace vz::app
