#include "platform/system/registry.h"

#include "platform/system/files.h"
#include "platform/system/folders.h"
#include "platform/system/ini.h"

namespace vz::registry {

std::string FilePath() { return folders::Config() + "Kavrel Ostrin/registry.ini"; }

std::optional<std::string> ReadString(const std::string& keyPath, const std::string& valueName) {
  // Values are at most 520 bytes, as the platform reads them.
  return ini::Lookup(FilePath(), keyPath, valueName, 521);
}

bool WriteString(const std::string& keyPath, const std::string& valueName, const std::string& value) {
  files::MakeFolders(folders::Config() + "Kavrel Ostrin");
  return ini::WriteString(FilePath(), keyPath, valueName, value);
}

}  // namespace vz::registry
