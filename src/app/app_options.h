// The command line of the application.
//
//   --emulate[=mouse,keyboard,keyboard-rgb,mousepad]  attach emulated devices (all three
//                                                      by default: mouse, keyboard, mousepad)
//   --trace FILE        the emulated devices log every report to FILE
//   --scenario FILE     run scripted UI actions, then exit with their status
//   --screenshot-dir D  where a scenario's relative screenshot paths go (default: .)
//   --list-devices      print every HID interface and exit
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vz::app {

struct AppOptions {
  std::optional<std::vector<std::string>> emulate;  // device names; set when --emulate is given
  std::string traceFile;
  std::string scenarioFile;
  std::string screenshotDir = ".";
  bool listDevices = false;
  bool help = false;
};

// Parses argv[1..]. On a bad command line returns nullopt with the reason in *error.
std::optional<AppOptions> ParseOptions(const std::vector<std::string>& args, std::string* error);

std::string UsageText();

}  // namespace vz::app
