#include "platform/ui/ui_types.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vz::ui {

std::string ToLower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

static std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::optional<bool> ParseBool(std::string_view text) {
  text = Trim(text);
  if (EqualsNoCase(text, "true")) return true;
  if (EqualsNoCase(text, "false")) return false;
  return std::nullopt;
}

std::optional<int> ParseInt(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<UIColor> ParseColor(std::string_view text) {
  text = Trim(text);
  if (text == "0") return 0u;
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  else return std::nullopt;
  if (text.size() != 6 && text.size() != 8) return std::nullopt;
  std::uint32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return text.size() == 6 ? (0xFF000000u | value) : value;
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t at = text.find(separator, start);
    parts.emplace_back(Trim(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start)));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return parts;
}

static std::optional<std::vector<int>> ParseInts(std::string_view text, std::size_t count) {
  auto parts = SplitList(text, ',');
  if (parts.size() != count) return std::nullopt;
  std::vector<int> values;
  for (const auto& part : parts) {
    auto v = ParseInt(part);
    if (!v) return std::nullopt;
    values.push_back(*v);
  }
  return values;
}

std::optional<UIRect> ParseRect(std::string_view text) {
  auto v = ParseInts(text, 4);
  if (!v) return std::nullopt;
  return UIRect{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}

std::optional<UISize> ParseSize(std::string_view text) {
  auto v = ParseInts(text, 2);
  if (!v) return std::nullopt;
  return UISize{(*v)[0], (*v)[1]};
}

std::optional<std::vector<KeyValue>> ParseKeyValues(std::string_view text) {
  std::vector<KeyValue> pairs;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  while (true) {
    skipBlanks();
    if (i >= text.size()) return pairs;
    std::size_t keyStart = i;
    while (i < text.size() && text[i] != '=' && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    std::string key(text.substr(keyStart, i - keyStart));
    skipBlanks();
    if (key.empty() || i >= text.size() || text[i] != '=') return std::nullopt;
    ++i;
    skipBlanks();
    if (i >= text.size() || (text[i] != '\'' && text[i] != '"')) return std::nullopt;
    char quote = text[i++];
    std::size_t close = text.find(quote, i);
    if (close == std::string_view::npos) return std::nullopt;
    pairs.push_back({std::move(key), std::string(text.substr(i, close - i))});
    i = close + 1;
  }
}

}  // namespace vz::ui
