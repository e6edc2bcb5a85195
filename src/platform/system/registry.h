// The registry stand-in: string values under key paths such as "SOFTWARE\\Kavrel Ostrin",
// kept in <config>/Kavrel Ostrin/registry.ini (one section per key path).
#pragma once

#include <optional>
#include <string>

namespace vz::registry {

std::optional<std::string> ReadString(const std::string& keyPath, const std::string& valueName);
bool WriteString(const std::string& keyPath, const std::string& valueName, const std::string& value);

// The file behind the stand-in.
std::string FilePath();

}  // namespace vz::registry
