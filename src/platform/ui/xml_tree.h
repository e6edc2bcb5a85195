// A small element tree read with Qt's stream reader: skin, resource, language and menu files.
// Toolkit-internal.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vz::ui {

struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // in file order
  std::vector<XmlElement> children;
  std::string text;  // character data directly inside the element, trimmed
  long long line = 0;

  // Letter case of the name is ignored; null when absent.
  const std::string* Attribute(const std::string& name) const;
};

// Files larger than this are refused: no skin file comes near it.
inline constexpr long long kMaxXmlBytes = 8 * 1024 * 1024;

// The root element, or nullopt with "file:line: reason" in error.
std::optional<XmlElement> ParseXmlText(const std::string& text, const std::string& source,
                                       std::string& error);
std::optional<XmlElement> ParseXmlFile(const std::string& path, std::string& error);

}  // namespace vz::ui
