#include "platform/system/folders.h"

#include <unistd.h>

#include <QStandardPaths>
#include <QString>
#include <cstdlib>

#include "platform/system/files.h"

namespace vz::folders {

namespace {

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string Ensured(const std::string& path) {
  files::MakeFolders(path);
  return WithSlash(path);
}

const char* Env(const char* name) {
  const char* value = std::getenv(name);
  return (value && *value) ? value : nullptr;
}

std::string Home() {
  if (const char* home = Env("HOME")) return home;
  return "/tmp";
}

std::string ExecutableFolder() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string exe(buffer, static_cast<std::size_t>(n));
  const auto slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}

}  // namespace

std::string Documents() {
  if (const char* dir = Env("VZ_DOCUMENTS_DIR")) return Ensured(dir);
  const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!docs.isEmpty()) return Ensured(docs.toStdString());
  return Ensured(Home() + "/Documents");
}

std::string Program() {
  if (const char* dir = Env("VZ_PROGRAM_DIR")) return WithSlash(dir);
  const std::string exeDir = ExecutableFolder();
  // Installed as <prefix>/bin/vizirado-driver: the program files live in
  // <prefix>/share/vizirado-driver. In the build tree they sit beside the executable.
  if (exeDir.size() >= 4 && exeDir.compare(exeDir.size() - 4, 4, "/bin") == 0) {
    const std::string shared = exeDir.substr(0, exeDir.size() - 4) + "/share/vizirado-driver";
    if (files::IsDirectory(shared)) return WithSlash(shared);
  }
  return WithSlash(exeDir);
}

std::string Config() {
  if (const char* dir = Env("VZ_CONFIG_DIR")) return Ensured(dir);
  if (const char* xdg = Env("XDG_CONFIG_HOME")) return Ensured(xdg);
  return Ensured(Home() + "/.config");
}

std::string Runtime() {
  if (const char* dir = Env("VZ_RUNTIME_DIR")) return Ensured(dir);
  if (const char* xdg = Env("XDG_RUNTIME_DIR")) {
    if (files::IsDirectory(xdg)) return WithSlash(xdg);
  }
  return Ensured("/tmp/vizirado-driver-" + std::to_string(::getuid()));
}

}  // namespace vz::folders
