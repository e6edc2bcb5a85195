#include "platform/hid/interface_path.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vz::hid {
namespace {

constexpr char kPrefix[] = "\\\\?\\hid";

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool IsPlain(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("._:-+", c) != nullptr;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (IsPlain(c)) {
      out += c;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
      out += hex;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(const std::string& s, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out->push_back(s[i]);
      continue;
    }
    if (i + 2 >= s.size()) return false;
    const int hi = HexDigit(s[i + 1]);
    const int lo = HexDigit(s[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  return true;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts(1);
  for (char c : s) {
    if (c == sep) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

std::size_t FindNoCase(const std::string& text, const char* marker) {
  const std::size_t n = std::strlen(marker);
  if (n == 0 || text.size() < n) return std::string::npos;
  for (std::size_t i = 0; i + n <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < n && Lower(text[i + k]) == Lower(marker[k])) ++k;
    if (k == n) return i;
  }
  return std::string::npos;
}

}  // namespace

std::uint32_t HexAfterMarker(const std::string& path, const char* marker, std::uint32_t absent) {
  const std::size_t at = FindNoCase(path, marker);
  if (at == std::string::npos) return absent;
  std::uint32_t v = 0;
  std::size_t i = at + std::strlen(marker);
  for (int digits = 0; digits < 8 && i < path.size() && HexDigit(path[i]) >= 0; ++digits, ++i) {
    v = v * 16 + static_cast<std::uint32_t>(HexDigit(path[i]));
  }
  return v;
}

std::string FormatInterfacePath(const InterfacePath& p) {
  char ids[64];
  int n = std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", p.vendorId, p.productId);
  if (p.interfaceNumber >= 0) n += std::snprintf(ids + n, sizeof ids - n, "&mi_%02x", p.interfaceNumber & 0xFF);
  if (p.collection > 0) std::snprintf(ids + n, sizeof ids - n, "&col%02x", p.collection & 0xFF);
  return std::string(kPrefix) + "#" + ids + "#" + Escape(p.nodeId) + "#" + Escape(p.identity) + "#" +
         Escape(p.backend);
}

bool ParseInterfacePath(const std::string& path, InterfacePath* out) {
  const std::vector<std::string> parts = Split(path, '#');
  if (parts.size() != 5 || parts[0].size() != std::strlen(kPrefix) || FindNoCase(parts[0], kPrefix) != 0) {
    return false;
  }
  const std::string& ids = parts[1];
  if (FindNoCase(ids, "vid_") == std::string::npos || FindNoCase(ids, "pid_") == std::string::npos) return false;
  InterfacePath p;
  p.vendorId = static_cast<std::uint16_t>(HexAfterMarker(ids, "vid_"));
  p.productId = static_cast<std::uint16_t>(HexAfterMarker(ids, "pid_"));
  p.interfaceNumber = FindNoCase(ids, "&mi_") == std::string::npos ? -1 : static_cast<int>(HexAfterMarker(ids, "&mi_") & 0xFF);
  p.collection = static_cast<int>(HexAfterMarker(ids, "&col") & 0xFF);
  if (!Unescape(parts[2], &p.nodeId) || !Unescape(parts[3], &p.identity) || !Unescape(parts[4], &p.backend)) {
    return false;
  }
  if (p.nodeId.empty() || p.backend.empty()) return false;
  *out = std::move(p);
  return true;
}

}  // namespace vz::hid
