// Open and save file dialogs taking the Windows-style filter strings of the callers
// ("(*.config) | *.config ||", "(*.png) | *.png |(*.*)|*.*||": pairs of label and patterns
// separated by '|', ended by an empty pair). A QFileDialog asks the user; in scripted mode
// (tests, scenarios) queued answers are taken instead and nothing is shown.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vz::ui {

class CWindowWnd;

struct FileFilter {
  std::string label;                  // "(*.png)"
  std::vector<std::string> patterns;  // {"*.png"}; several patterns are separated by ';'
};

// Filters in order; nullopt for a string with a label and no pattern or nothing at all.
std::optional<std::vector<FileFilter>> ParseFileFilter(const std::string& filter);

struct FileDialogRequest {
  bool save = false;
  std::string filter;
  std::string defaultExtension;  // without the dot; added to a saved name that has none
  std::string defaultName;       // a name with wildcards only filters
};

// The chosen path, or nullopt when the user cancelled.
std::optional<std::string> OpenFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& defaultExtension,
                                          const std::string& defaultName);
std::optional<std::string> SaveFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& defaultExtension,
                                          const std::string& defaultName);

// The file a save dialog answer means: the default extension added when the name has none.
std::string ApplyDefaultExtension(const std::string& path, const std::string& defaultExtension);

namespace file_dialog_script {

// In scripted mode every dialog takes the next queued answer; with none queued it is cancelled.
void SetScripted(bool on);
bool IsScripted();
void QueuePath(const std::string& path);
void QueueCancel();
// Every request seen in scripted mode, oldest first.
std::vector<FileDialogRequest> Requests();
void Reset();

}  // namespace file_dialog_script
}  // namespace vz::ui
