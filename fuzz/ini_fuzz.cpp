// Ini files from the fuzzer (profile indexes and settings files a user may have edited or a
// crash may have cut short): reading must never fail unsafely, and a write must read back
// while every other value the file held reads back as it was.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system/ini.h"

namespace {

const std::string& FilePath() {
  static const std::string path = [] {
    char folder[] = "/tmp/vz-fuzz-ini-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    return std::string(folder) + "/fuzz.ini";
  }();
  return path;
}

bool EqualNoCase(std::string a, std::string b) {
  for (auto* s : {&a, &b}) {
    for (char& c : *s) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
  }
  return a == b;
}

// Section and key names the text seems to hold: each "[name]" line opens a section and each
// "name=" line names a key of it. Only candidates: the service decides what they are.
std::vector<std::pair<std::string, std::string>> Candidates(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> out;
  std::string section;
  std::size_t start = 0;
  while (start < text.size() && out.size() < 64) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line.front() == '[') {
      section = line.substr(1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1);
    } else if (auto eq = line.find('='); eq != std::string::npos && eq > 0) {
      out.emplace_back(section, line.substr(0, eq));
    }
    start = end + 1;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = FilePath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  vz::ini::DropCache();

  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto candidates = Candidates(text);
  std::vector<std::optional<std::string>> before;
  for (const auto& [section, key] : candidates) before.push_back(vz::ini::Lookup(path, section, key));
  (void)vz::ini::ReadInt(path, "Profile", "select");

  if (!vz::ini::WriteString(path, "Fuzz", "key", "value")) std::abort();
  if (vz::ini::Lookup(path, "Fuzz", "key") != std::optional<std::string>("value")) __builtin_trap();
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const auto& [section, key] = candidates[i];
    if (EqualNoCase(section, "Fuzz") && EqualNoCase(key, "key")) continue;
    if (vz::ini::Lookup(path, section, key) != before[i]) __builtin_trap();
  }
  return 0;
}
