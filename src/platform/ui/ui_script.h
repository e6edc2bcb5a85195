// Scripted user input for tests and the scenario runner. Every action goes through the path a
// real user's input takes (mouse events on the control's widget, the line editor's and combo
// box's own signals, the slider's drag), so notifications, groups and focus behave as they
// would for a user. An action on a control that a user could not reach (missing, hidden,
// disabled, of the wrong kind) fails with a reason and changes nothing.
#pragma once

#include <string>
#include <vector>

namespace vz::ui {

class CPaintManagerUI;

struct ScriptResult {
  bool ok = true;
  std::string error;
  static ScriptResult Fail(std::string why) { return {false, std::move(why)}; }
};

namespace script {

// A left click at the control's centre (buttons, options, check boxes, list rows, ...).
ScriptResult Click(CPaintManagerUI& pm, const std::string& name);
// Makes an option or check box selected or not by clicking it when it differs.
ScriptResult Select(CPaintManagerUI& pm, const std::string& name, bool selected);
// Chooses item `index` of a combo or presses row `index` of a list.
ScriptResult Item(CPaintManagerUI& pm, const std::string& name, int index);
// Drags a slider through the values, then releases it.
ScriptResult Drag(CPaintManagerUI& pm, const std::string& name, const std::vector<int>& values);
ScriptResult Value(CPaintManagerUI& pm, const std::string& name, int value);
// Focuses an edit and types the text, replacing what it held.
ScriptResult Text(CPaintManagerUI& pm, const std::string& name, const std::string& text);
// A press in the colour palette at a colour's place (saturation/value field, then hue bar).
ScriptResult PickColor(CPaintManagerUI& pm, const std::string& name, unsigned argb);
ScriptResult Focus(CPaintManagerUI& pm, const std::string& name);
// Takes the focus away from whatever control of the window holds it.
ScriptResult Blur(CPaintManagerUI& pm);
// Runs the event loop for about ms milliseconds (timers, posted messages, layouts).
void Wait(int ms);
// One line per named control: name, class, visible, enabled, text and the state of its kind.
std::string DumpState(CPaintManagerUI& pm);

}  // namespace script
}  // namespace vz::ui
