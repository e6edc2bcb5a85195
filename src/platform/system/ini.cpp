#include "platform/system/ini.h"

#include <sys/stat.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/system/files.h"

namespace vz::ini {

namespace {

// One parsed file. Lines are kept whole (without their line ending) so a write can put
// back every line it does not change exactly as it was.
struct Document {
  struct Entry {
    std::string key;    // trimmed
    std::string value;  // trimmed, quotes removed, cut at a NUL
    std::size_t line;
  };
  struct Section {
    std::string name;
    std::size_t headerLine;
    std::size_t lastLine;  // last key line of the section (the header when it has none)
    std::vector<Entry> entries;
  };
  std::vector<std::string> lines;
  std::vector<Section> sections;
  bool crlf = false;
};

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The text of a file as UTF-8: UTF-16LE with a byte-order mark is converted (lone
// surrogates become U+FFFD), a UTF-8 byte-order mark is dropped.
std::string DecodeText(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      std::uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
      if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
        const std::uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
          i += 2;
          continue;
        }
      }
      if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
      AppendUtf8(out, unit);
    }
    return out;
  }
  std::size_t start = 0;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) start = 3;
  return std::string(reinterpret_cast<const char*>(bytes.data()) + start, bytes.size() - start);
}

Document Parse(const std::string& text) {
  Document doc;
  std::size_t crlfCount = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
      ++crlfCount;
    }
    doc.lines.push_back(std::move(line));
    pos = end + 1;
  }
  doc.crlf = crlfCount * 2 > doc.lines.size();

  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const std::string& raw = doc.lines[i];
    // A NUL ends the line's text, as the platform's string functions see it.
    const std::string line = Trim(raw.substr(0, std::min(raw.size(), std::strlen(raw.c_str()))));
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      const auto close = line.find(']');
      const std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      doc.sections.push_back({name, i, i, {}});
      continue;
    }
    if (doc.sections.empty()) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    auto& section = doc.sections.back();
    section.entries.push_back({Trim(line.substr(0, eq)), std::move(value), i});
    section.lastLine = i;
  }
  return doc;
}

// Cuts text to at most `units` UTF-16 code units without splitting a character.
std::string CutToUnits(const std::string& text, int units) {
  if (units <= 0) return {};
  int used = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = 1;
    int cost = 1;
    if (lead >= 0xF0 && lead < 0xF8) {
      len = 4;
      cost = 2;
    } else if (lead >= 0xE0) {
      len = 3;
    } else if (lead >= 0xC0) {
      len = 2;
    }
    if (i + len > text.size()) len = text.size() - i;
    if (used + cost > units) break;
    used += cost;
    i += len;
  }
  return text.substr(0, i);
}

std::string OneLine(std::string s) {
  for (char& c : s) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return s;
}

// --- the cache of parsed files and the per-file write locks -----------------------------

struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = -1;
  std::int64_t mtimeNs = 0;
  bool operator==(const FileStamp&) const = default;
};

struct CacheEntry {
  FileStamp stamp;
  std::shared_ptr<const Document> doc;
};

std::mutex gCacheMutex;
std::map<std::string, CacheEntry> gCache;
std::mutex gLocksMutex;
std::map<std::string, std::shared_ptr<std::mutex>> gFileLocks;

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  FileStamp s;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = st.st_size;
  s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return s;
}

// The parsed document of an existing file, or null when there is no readable file.
std::shared_ptr<const Document> Load(const std::string& requested) {
  const auto path = files::FindNoCase(requested);
  if (!path) return nullptr;
  const auto stamp = StampOf(*path);
  if (!stamp) return nullptr;
  {
    std::lock_guard<std::mutex> lock(gCacheMutex);
    auto it = gCache.find(*path);
    if (it != gCache.end() && it->second.stamp == *stamp) return it->second.doc;
  }
  const auto bytes = files::ReadAll(*path);
  if (!bytes) return nullptr;
  auto doc = std::make_shared<const Document>(Parse(DecodeText(*bytes)));
  // Only remember the parse when the file did not change while it was read.
  if (StampOf(*path) == stamp) {
    std::lock_guard<std::mutex> lock(gCacheMutex);
    gCache[*path] = {*stamp, doc};
  }
  return doc;
}

std::shared_ptr<std::mutex> LockFor(const std::string& path) {
  std::lock_guard<std::mutex> lock(gLocksMutex);
  auto& slot = gFileLocks[path];
  if (!slot) slot = std::make_shared<std::mutex>();
  return slot;
}

const Document::Section* FindSection(const Document& doc, const std::string& name) {
  for (const auto& s : doc.sections) {
    if (EqualNoCase(s.name, name)) return &s;
  }
  return nullptr;
}

const Document::Entry* FindEntry(const Document::Section& section, const std::string& key) {
  for (const auto& e : section.entries) {
    if (EqualNoCase(e.key, key)) return &e;
  }
  return nullptr;
}

bool Store(const std::string& path, const std::vector<std::string>& lines, bool crlf) {
  std::string text;
  const char* eol = crlf ? "\r\n" : "\n";
  for (const auto& line : lines) {
    text += line;
    text += eol;
  }
  return files::WriteAtomic(path, text.data(), text.size());
}

// Runs one change of a file under its write lock: `edit` gets the current lines (empty for
// a new file) and the parsed document, and returns false when nothing is to be written.
template <typename Edit>
bool Modify(const std::string& requested, Edit edit) {
  const std::string path = files::FindNoCase(requested).value_or(requested);
  const auto guard = LockFor(path);
  std::lock_guard<std::mutex> lock(*guard);
  const auto current = Load(path);
  Document doc = current ? *current : Document{};
  if (!edit(doc)) return true;
  return Store(path, doc.lines, doc.crlf);
}

}  // namespace

std::optional<std::string> Lookup(const std::string& path, const std::string& section,
                                  const std::string& key, int capacity) {
  const auto doc = Load(path);
  if (!doc) return std::nullopt;
  const auto* s = FindSection(*doc, section);
  if (!s) return std::nullopt;
  const auto* e = FindEntry(*s, key);
  if (!e) return std::nullopt;
  return CutToUnits(e->value, capacity - 1);
}

std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& defaultValue, int capacity) {
  if (auto value = Lookup(path, section, key, capacity)) return *value;
  return CutToUnits(defaultValue, capacity - 1);
}

int ParseLeadingInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;  // saturate instead of overflowing
  }
  return static_cast<int>(negative ? -value : value);
}

int ReadInt(const std::string& path, const std::string& section, const std::string& key) {
  return ParseLeadingInt(ReadString(path, section, key, "0"));
}

bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value) {
  const std::string sectionName = OneLine(section);
  const std::string keyName = OneLine(key);
  const std::string line = keyName + "=" + OneLine(value);
  return Modify(path, [&](Document& doc) {
    if (const auto* s = FindSection(doc, sectionName)) {
      if (const auto* e = FindEntry(*s, keyName)) {
        doc.lines[e->line] = line;
      } else {
        doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(s->lastLine + 1), line);
      }
    } else {
      doc.lines.push_back("[" + sectionName + "]");
      doc.lines.push_back(line);
    }
    return true;
  });
}

bool DeleteKey(const std::string& path, const std::string& section, const std::string& key) {
  if (!files::Exists(path)) return true;
  return Modify(path, [&](Document& doc) {
    const auto* s = FindSection(doc, section);
    const auto* e = s ? FindEntry(*s, key) : nullptr;
    if (!e) return false;
    doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(e->line));
    return true;
  });
}

bool DeleteSection(const std::string& path, const std::string& section) {
  if (!files::Exists(path)) return true;
  return Modify(path, [&](Document& doc) {
    const auto* s = FindSection(doc, section);
    if (!s) return false;
    // The section runs from its header to the line before the next header.
    std::size_t end = doc.lines.size();
    for (const auto& other : doc.sections) {
      if (other.headerLine > s->headerLine) {
        end = other.headerLine;
        break;
      }
    }
    doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(s->headerLine),
                    doc.lines.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
  });
}

void DropCache() {
  std::lock_guard<std::mutex> lock(gCacheMutex);
  gCache.clear();
}

}  // namespace vz::ini
