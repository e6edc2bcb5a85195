// The ini service with private-profile semantics, the store of every index, library and
// macro file.
//
// Sections and keys are matched without regard to case; values are trimmed of surrounding
// blanks. A missing file, section or key reads as the default. Reads return at most
// capacity - 1 characters (capacity 260 by default), counted in UTF-16 units as the
// platform does. Files are written as UTF-8; UTF-16LE files with a byte-order mark (folders
// copied from the Windows version of the tool) are read as well and rewritten as UTF-8.
// Duplicate sections or keys: the first one wins, on reading and on writing.
// Every write replaces the file atomically (temporary file, then rename) under a lock per
// file, so writers on several threads lose no key. Reads of an unchanged file are served
// from a cache keyed by the file's identity, size and modification time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vz::ini {

inline constexpr int kDefaultCapacity = 260;

// The value of (section, key), cut to capacity - 1 UTF-16 units; nullopt when the file,
// the section or the key is missing.
std::optional<std::string> Lookup(const std::string& path, const std::string& section,
                                  const std::string& key, int capacity = kDefaultCapacity);

std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& defaultValue, int capacity = kDefaultCapacity);

// Decimal digits from the start of the text: "3x" gives 3, "abc" gives 0, "-2" gives -2.
int ParseLeadingInt(const std::string& text);

// ReadString with the default "0", then ParseLeadingInt.
int ReadInt(const std::string& path, const std::string& section, const std::string& key);

// Creates the file and the section when they are missing; replaces the value in place or
// appends the key at the end of its section; keeps every other line, comment and order.
// False when the file could not be written.
bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value);

// Line breaks in the section, key or value are replaced by blanks: they would otherwise
// split one value into lines that read back as other keys.

bool DeleteKey(const std::string& path, const std::string& section, const std::string& key);
bool DeleteSection(const std::string& path, const std::string& section);

// Forgets every cached parse (tests that rewrite files behind the service's back).
void DropCache();

}  // namespace vz::ini
