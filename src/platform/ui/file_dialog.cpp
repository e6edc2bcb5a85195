#include "platform/ui/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <deque>
#include <mutex>

#include "platform/ui/ui_types.h"
#include "platform/ui/window.h"

namespace vz::ui {
namespace {

struct Script {
  std::mutex lock;
  bool on = false;
  std::deque<std::optional<std::string>> answers;
  std::vector<FileDialogRequest> requests;
};

Script& TheScript() {
  static Script script;
  return script;
}

// "(*.png)" and {"*.png"} become "PNG (*.png)"-style Qt filters; a label that carries its own
// parenthesised patterns keeps only its words.
QString ToQtFilter(const FileFilter& f) {
  std::string words = f.label;
  if (auto open = words.find('('); open != std::string::npos) words = words.substr(0, open);
  while (!words.empty() && words.back() == ' ') words.pop_back();
  std::string patterns;
  for (const auto& p : f.patterns) patterns += (patterns.empty() ? "" : " ") + p;
  if (words.empty()) words = patterns;
  return QString::fromStdString(words + " (" + patterns + ")");
}

std::optional<std::string> Run(CWindowWnd* owner, const FileDialogRequest& request) {
  {
    Script& script = TheScript();
    std::lock_guard guard(script.lock);
    if (script.on) {
      script.requests.push_back(request);
      if (script.answers.empty()) return std::nullopt;
      auto answer = script.answers.front();
      script.answers.pop_front();
      if (answer && request.save) return ApplyDefaultExtension(*answer, request.defaultExtension);
      return answer;
    }
  }
  QStringList filters;
  if (auto parsed = ParseFileFilter(request.filter)) {
    for (const auto& f : *parsed) filters << ToQtFilter(f);
  }
  QFileDialog dialog(owner ? owner->Surface() : nullptr);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (!request.defaultName.empty() && request.defaultName.find_first_of("*?") == std::string::npos) {
    dialog.selectFile(QString::fromStdString(request.defaultName));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  std::string path = dialog.selectedFiles().front().toStdString();
  return request.save ? ApplyDefaultExtension(path, request.defaultExtension) : path;
}

}  // namespace

std::optional<std::vector<FileFilter>> ParseFileFilter(const std::string& filter) {
  std::vector<std::string> parts = SplitList(filter, '|');
  std::vector<FileFilter> filters;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    if (parts[i].empty()) break;  // the closing "||"
    if (i + 1 >= parts.size() || parts[i + 1].empty()) return std::nullopt;
    FileFilter f{parts[i], {}};
    for (const auto& p : SplitList(parts[i + 1], ';')) {
      if (!p.empty()) f.patterns.push_back(p);
    }
    filters.push_back(std::move(f));
  }
  if (filters.empty()) return std::nullopt;
  return filters;
}

std::string ApplyDefaultExtension(const std::string& path, const std::string& defaultExtension) {
  if (defaultExtension.empty()) return path;
  QFileInfo info(QString::fromStdString(path));
  if (!info.suffix().isEmpty()) return path;
  return path + "." + defaultExtension;
}

std::optional<std::string> OpenFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& defaultExtension,
                                          const std::string& defaultName) {
  return Run(owner, {false, filter, defaultExtension, defaultName});
}

std::optional<std::string> SaveFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& defaultExtension,
                                          const std::string& defaultName) {
  return Run(owner, {true, filter, defaultExtension, defaultName});
}

namespace file_dialog_script {

void SetScripted(bool on) {
  std::lock_guard guard(TheScript().lock);
  TheScript().on = on;
}

bool IsScripted() {
  std::lock_guard guard(TheScript().lock);
  return TheScript().on;
}

void QueuePath(const std::string& path) {
  std::lock_guard guard(TheScript().lock);
  TheScript().answers.emplace_back(path);
}

void QueueCancel() {
  std::lock_guard guard(TheScript().lock);
  TheScript().answers.emplace_back(std::nullopt);
}

std::vector<FileDialogRequest> Requests() {
  std::lock_guard guard(TheScript().lock);
  return TheScript().requests;
}

void Reset() {
  std::lock_guard guard(TheScript().lock);
  TheScript().answers.clear();
  TheScript().requests.clear();
  TheScript().on = false;
}

}  // namespace file_dialog_script
}  // namespace vz::ui
