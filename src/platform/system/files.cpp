#include "platform/system/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vz::files {

namespace {

std::string ParentOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[i]);
    const unsigned char lx = (x >= 'A' && x <= 'Z') ? static_cast<unsigned char>(x + 32) : x;
    const unsigned char ly = (y >= 'A' && y <= 'Z') ? static_cast<unsigned char>(y + 32) : y;
    if (lx != ly) return false;
  }
  return true;
}

bool WriteFully(int fd, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::optional<std::string> FindNoCase(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return path;
  const std::string leaf = LeafOf(path);
  if (leaf.empty()) return std::nullopt;
  const std::string parent = ParentOf(path);
  for (const std::string& name : List(parent)) {
    if (EqualNoCase(name, leaf)) {
      return parent == "/" ? "/" + name : parent + "/" + name;
    }
  }
  return std::nullopt;
}

bool Exists(const std::string& path) { return FindNoCase(path).has_value(); }

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Copy(const std::string& from, const std::string& to, bool replace) {
  const auto source = FindNoCase(from);
  if (!source) return false;
  if (!replace && Exists(to)) return false;
  const auto bytes = ReadAll(*source);
  if (!bytes) return false;
  return WriteAtomic(to, *bytes);
}

bool Move(const std::string& from, const std::string& to) {
  const auto source = FindNoCase(from);
  if (!source) return false;
  if (::rename(source->c_str(), to.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  return Copy(*source, to, true) && Remove(*source);
}

bool Remove(const std::string& path) {
  const auto target = FindNoCase(path);
  if (!target) return false;
  return ::unlink(target->c_str()) == 0;
}

std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path, std::size_t maxBytes) {
  const auto target = FindNoCase(path);
  if (!target) return std::nullopt;
  const int fd = ::open(target->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
      ::close(fd);
      return std::nullopt;
    }
    bytes.reserve(static_cast<std::size_t>(st.st_size));
  } else {
    ::close(fd);
    return std::nullopt;
  }
  std::uint8_t chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
      ::close(fd);
      return std::nullopt;
    }
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  ::close(fd);
  return bytes;
}

bool WriteAtomic(const std::string& path, const void* data, std::size_t size) {
  // Replace the file that is there under whatever case it has, so a stored
  // "msdengdefault.Led" is not shadowed by a second "msdengdefault.led".
  const std::string target = FindNoCase(path).value_or(path);
  std::string temp = ParentOf(target) + "/." + LeafOf(target) + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = WriteFully(fd, data, size) && ::fsync(fd) == 0;
  struct stat old {};
  if (ok && ::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  else if (ok) ::fchmod(fd, 0644);
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

std::vector<std::string> List(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  std::string partial;
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = folder.find('/', pos + 1);
    partial = folder.substr(0, pos);
    if (partial.empty()) continue;
    if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return IsDirectory(folder);
}

bool IsSafeFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

}  // namespace vz::files
