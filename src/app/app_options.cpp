#include "app/app_options.h"

namespace vz::app {

namespace {

const char* const kEmulateNames[] = {"mouse", "keyboard", "keyboard-rgb", "keyboard-7200", "mousepad"};

bool KnownDevice(const std::string& name) {
  for (const char* known : kEmulateNames) {
    if (name == known) return true;
  }
  return false;
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : text) {
    if (c == ',') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

}  // namespace

std::optional<AppOptions> ParseOptions(const std::vector<std::string>& args, std::string* error) {
  AppOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](const char* option) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        *error = std::string(option) + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    if (arg == "--emulate") {
      options.emulate = std::vector<std::string>{"mouse", "keyboard", "mousepad"};
    } else if (arg.rfind("--emulate=", 0) == 0) {
      std::vector<std::string> names = SplitCommas(arg.substr(10));
      for (const auto& name : names) {
        if (!KnownDevice(name)) {
          *error = "unknown device for --emulate: \"" + name + "\"";
          return std::nullopt;
        }
      }
      options.emulate = names;
    } else if (arg == "--trace") {
      auto v = value("--trace");
      if (!v) return std::nullopt;
      options.traceFile = *v;
    } else if (arg == "--scenario") {
      auto v = value("--scenario");
      if (!v) return std::nullopt;
      options.scenarioFile = *v;
    } else if (arg == "--screenshot-dir") {
      auto v = value("--screenshot-dir");
      if (!v) return std::nullopt;
      options.screenshotDir = *v;
    } else if (arg == "--list-devices") {
      options.listDevices = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else {
      *error = "unknown option \"" + arg + "\"";
      return std::nullopt;
    }
  }
  if (!options.traceFile.empty() && !options.emulate) {
    *error = "--trace records the reports of emulated devices; add --emulate";
    return std::nullopt;
  }
  return options;
}

std::string UsageText() {
  return "usage: vizirado-driver [--emulate[=mouse,keyboard,keyboard-rgb,mousepad]] [--trace FILE]\n"
         "                       [--scenario FILE [--screenshot-dir DIR]] [--list-devices]\n";
}

}  // namespace vz::app
