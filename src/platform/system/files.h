// File and folder operations. Every write is atomic (temporary file in the same folder,
// flushed, then renamed over the target), so a crash leaves the old or the new content.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vz::files {

// The existing file whose path equals `path` apart from the letter case of its last
// component ("msdengdefault.Led" finds "msdengdefault.led"). An exact match wins.
std::optional<std::string> FindNoCase(const std::string& path);

bool Exists(const std::string& path);  // exact or differing only in case
bool IsDirectory(const std::string& path);
bool Copy(const std::string& from, const std::string& to, bool replace);
bool Move(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path,
                                                  std::size_t maxBytes = SIZE_MAX);
bool WriteAtomic(const std::string& path, const void* data, std::size_t size);
inline bool WriteAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return WriteAtomic(path, bytes.data(), bytes.size());
}
// Names of the entries of a folder (no "." or ".."), sorted.
std::vector<std::string> List(const std::string& folder);
// Creates every missing level; true when the folder exists afterwards.
bool MakeFolders(const std::string& folder);

// True for a name that can serve as a file name: not empty, not "." or "..", no path
// separator or control character.
bool IsSafeFileName(const std::string& name);

}  // namespace vz::files
