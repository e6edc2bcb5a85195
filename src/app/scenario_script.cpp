#include "app/scenario_script.h"

#include <cstdlib>
#include <sstream>

namespace vz::app {

namespace {

// How many words follow the verb, and whether the rest of the line is one free text.
enum class Shape { kName, kNameOnOff, kNameNumber, kNameRest, kKey, kNumber, kNameWord, kPathOrCancel,
                   kConfirmCancel, kLeftRight, kNone };

struct Verb {
  const char* word;
  StepKind kind;
  Shape shape;
};

constexpr Verb kVerbs[] = {
    {"click", StepKind::kClick, Shape::kName},         {"select", StepKind::kSelect, Shape::kNameOnOff},
    {"item", StepKind::kItem, Shape::kNameNumber},     {"itemclick", StepKind::kItemClick, Shape::kNameNumber},
    {"value", StepKind::kValue, Shape::kNameNumber},   {"drag", StepKind::kDrag, Shape::kNameNumber},
    {"text", StepKind::kText, Shape::kNameRest},       {"focus", StepKind::kFocus, Shape::kName},
    {"blur", StepKind::kBlur, Shape::kName},           {"key", StepKind::kKey, Shape::kKey},
    {"mouse", StepKind::kMouse, Shape::kNumber},       {"plug", StepKind::kPlug, Shape::kName},
    {"unplug", StepKind::kUnplug, Shape::kName},       {"device", StepKind::kDevice, Shape::kNameWord},
    {"dialog", StepKind::kDialog, Shape::kPathOrCancel}, {"answer", StepKind::kAnswer, Shape::kConfirmCancel},
    {"wait", StepKind::kWait, Shape::kNumber},         {"screenshot", StepKind::kScreenshot, Shape::kNameRest},
    {"dump", StepKind::kDump, Shape::kNameRest},       {"tray", StepKind::kTray, Shape::kLeftRight},
    {"menu", StepKind::kMenu, Shape::kName},           {"quit", StepKind::kQuit, Shape::kNone},
};

bool ParseNumber(const std::string& word, std::int64_t* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  const long long v = std::strtoll(word.c_str(), &end, hex ? 16 : 10);
  if (end == nullptr || *end != '\0') return false;
  *out = v;
  return true;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// Parses one non-empty line; the empty string on success, else the reason.
std::string ParseLine(const std::string& line, ScenarioStep* step) {
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  const Verb* found = nullptr;
  for (const Verb& v : kVerbs) {
    if (verb == v.word) found = &v;
  }
  if (!found) return "unknown action \"" + verb + "\"";
  step->kind = found->kind;
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  auto rest = [&]() {
    const auto pos = line.find(verb) + verb.size();
    return Trim(line.substr(pos));
  };
  auto want = [&](std::size_t n) { return words.size() == n; };
  switch (found->shape) {
    case Shape::kName:
      if (!want(1)) return verb + " takes one name";
      step->name = words[0];
      return {};
    case Shape::kNameOnOff:
      if (!want(2) || (words[1] != "on" && words[1] != "off")) return verb + " takes a name and on or off";
      step->name = words[0];
      step->on = words[1] == "on";
      return {};
    case Shape::kNameNumber:
      if (!want(2) || !ParseNumber(words[1], &step->number)) return verb + " takes a name and a number";
      step->name = words[0];
      return {};
    case Shape::kNameRest: {
      if (words.empty()) return verb + " needs an argument";
      if (found->kind == StepKind::kText) {
        step->name = words[0];
        const std::string after = rest();
        step->argument = Trim(after.substr(words[0].size()));
      } else {
        step->name = rest();
      }
      return {};
    }
    case Shape::kKey:
      if ((words.size() != 2 && words.size() != 3) || (words[0] != "down" && words[0] != "up") ||
          !ParseNumber(words[1], &step->number) || (words.size() == 3 && !ParseNumber(words[2], &step->flags))) {
        return "key takes down or up, a virtual-key code and optional flags";
      }
      step->on = words[0] == "down";
      return {};
    case Shape::kNumber:
      if (!want(1) || !ParseNumber(words[0], &step->number) || step->number < 0) return verb + " takes a number";
      return {};
    case Shape::kNameWord:
      if (!want(2)) return verb + " takes a device and an action";
      step->name = words[0];
      step->argument = words[1];
      return {};
    case Shape::kPathOrCancel:
      if (words.empty()) return "dialog takes a path or cancel";
      step->name = rest();
      step->on = step->name != "cancel";
      return {};
    case Shape::kConfirmCancel:
      if (!want(1) || (words[0] != "confirm" && words[0] != "cancel")) return "answer takes confirm or cancel";
      step->argument = words[0];
      return {};
    case Shape::kLeftRight:
      if (!want(1) || (words[0] != "left" && words[0] != "right")) return "tray takes left or right";
      step->argument = words[0];
      return {};
    case Shape::kNone:
      if (!words.empty()) return verb + " takes no argument";
      return {};
  }
  return "unreadable";
}

}  // namespace

std::optional<ScenarioScript> ParseScenario(const std::string& text, std::string* error) {
  ScenarioScript script;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    std::string line = raw;
    // '#' starts a comment except inside the free text of "text", whose value may hold one.
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    if (trimmed.rfind("text ", 0) != 0) {
      const auto hash = line.find('#');
      if (hash != std::string::npos) line = line.substr(0, hash);
    }
    line = Trim(line);
    if (line.empty()) continue;
    ScenarioStep step;
    step.line = number;
    const std::string reason = ParseLine(line, &step);
    if (!reason.empty()) {
      *error = "line " + std::to_string(number) + ": " + reason;
      return std::nullopt;
    }
    script.steps.push_back(std::move(step));
  }
  return script;
}

const char* StepName(StepKind kind) {
  for (const Verb& v : kVerbs) {
    if (v.kind == kind) return v.word;
  }
  return "?";
}

}  // namespace vz::app
