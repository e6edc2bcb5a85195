#include "app/language.h"

#include "platform/system/ini.h"
#include "platform/system/registry.h"
#include "profiles/profile_store.h"

namespace vz::app {

std::string MainIniPath() { return DataRoot() + "main.ini"; }

const LanguageRow* LanguageByMenuItem(const std::string& menuItem) {
  for (const LanguageRow& row : kLanguages) {
    if (menuItem == row.menuItem) return &row;
  }
  return nullptr;
}

void AdoptRegistryLanguage() {
  const auto value = registry::ReadString(kRegistryKey, "LANGUAGE");
  if (!value) return;
  const int number = ini::ParseLeadingInt(*value);
  const char* stored = number == 3030 ? "2" : number == 2020 ? "1" : "0";
  ini::WriteString(MainIniPath(), kSkinSection, "LANGUAGE", stored);
}

const LanguageRow& StoredLanguage() {
  const int value = ini::ReadInt(MainIniPath(), kSkinSection, "LANGUAGE");
  if (value == 0) return kLanguages[0];
  if (value == 1) return kLanguages[1];
  return kLanguages[2];
}

void StoreLanguage(const LanguageRow& row) {
  ini::WriteString(MainIniPath(), kSkinSection, "LANGUAGE", row.mainIniValue);
  registry::WriteString(kRegistryKey, "LANGUAGE", row.registryValue);
}

}  // namespace vz::app
