// The three languages of the interface and where the choice is kept: "main.ini" of the
// data root (section SKINIMAGE, key LANGUAGE: "0", "1", "2") and the registry stand-in
// (SOFTWARE\Kavrel Ostrin, value LANGUAGE: "1010", "2020", "3030").
#pragma once

#include <optional>
#include <string>

namespace vz::app {

struct LanguageRow {
  const char* menuItem;      // "lan_en"
  const char* code;          // language code of the resource manager
  const char* file;          // language file in the skin folder
  const char* mainIniValue;  // main.ini LANGUAGE
  const char* registryValue; // registry LANGUAGE
};

inline constexpr LanguageRow kLanguages[] = {
    {"lan_en", "cn_en", "lan_en.xml", "0", "1010"},
    {"lan_cn", "cn_cn", "lan_cn.xml", "1", "2020"},
    {"lan_tw", "cn_tw", "lan_tw.xml", "2", "3030"},
};

inline constexpr const char* kRegistryKey = "SOFTWARE\\Kavrel Ostrin";
inline constexpr const char* kSkinSection = "SKINIMAGE";

std::string MainIniPath();  // in the data root

// The row of a menu item name, or nullptr.
const LanguageRow* LanguageByMenuItem(const std::string& menuItem);

// At start: the registry value, when it can be read, decides main.ini's LANGUAGE ("2" for
// 3030, "1" for 2020, "0" for any other number); unreadable, main.ini is left alone.
void AdoptRegistryLanguage();

// The language main.ini holds: 0 English, 1 simplified Chinese, anything else traditional.
const LanguageRow& StoredLanguage();

// The user chose a language: main.ini and the registry are written.
void StoreLanguage(const LanguageRow& row);

}  // namespace vz::app
