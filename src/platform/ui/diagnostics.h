// What the toolkit noticed but could go on with: unknown attributes and elements, values it
// could not read, images it could not load. Layout authors read these; every entry also goes
// to the debug output.
#pragma once

#include <string>
#include <vector>

namespace vz::ui {

void ReportDiagnostic(const std::string& text);
std::vector<std::string> Diagnostics();
void ClearDiagnostics();

}  // namespace vz::ui
