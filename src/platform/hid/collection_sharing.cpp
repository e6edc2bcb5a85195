#include "platform/hid/collection_sharing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/system/files.h"
#include "platform/system/folders.h"
#include "platform/system/sync.h"

namespace vz::hid {
namespace {

// Byte offsets of the locks in a collection's lock file.
constexpr off_t kGuardByte = 0;
constexpr off_t kWriterByte = 1;
constexpr off_t kDenyWriteByte = 2;
// Another process holds the guard only for the few calls of its own open.
constexpr std::uint32_t kGuardWaitMs = 500;

struct Holders {
  int writers = 0;
  int denyWrite = 0;
};

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}

std::map<std::string, Holders>& Registry() {
  static std::map<std::string, Holders> r;
  return r;
}

const char* Conflict(const Holders& h, bool write, bool exclusive) {
  if (write && h.denyWrite > 0) return "the collection is open exclusively";
  if (exclusive && h.writers > 0) return "the collection is open for writing";
  return nullptr;
}

bool Lock(int fd, short type, off_t byte, int command) {
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = byte;
  l.l_len = 1;
  return ::fcntl(fd, command, &l) == 0;
}

// True when an open file description other than fd holds a lock on the byte.
bool HeldByOthers(int fd, off_t byte) {
  struct flock l {};
  l.l_type = F_WRLCK;
  l.l_whence = SEEK_SET;
  l.l_start = byte;
  l.l_len = 1;
  if (::fcntl(fd, F_OFD_GETLK, &l) != 0) return true;
  return l.l_type != F_UNLCK;
}

std::string LockFileName(const std::string& key) {
  std::string name = "hid-";
  for (unsigned char c : key) {
    if (std::isalnum(c) || c == '-' || c == '.') {
      name += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "_%02x", c);
      name += hex;
    }
  }
  return name + ".lock";
}

bool SameFile(int fd, const std::string& path) {
  struct stat opened {}, named {};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

// The cross-process half: an open lock file whose read locks announce this open. The last
// open of a collection removes the file, so files of unplugged devices do not pile up; an
// opener that locked a file removed meanwhile notices and starts over.
class FileShare {
 public:
  ~FileShare() {
    if (fd_ < 0) return;
    Lock(fd_, F_UNLCK, kWriterByte, F_OFD_SETLK);
    Lock(fd_, F_UNLCK, kDenyWriteByte, F_OFD_SETLK);
    if (Lock(fd_, F_WRLCK, kGuardByte, F_OFD_SETLK) && !HeldByOthers(fd_, kWriterByte) &&
        !HeldByOthers(fd_, kDenyWriteByte) && SameFile(fd_, path_)) {
      ::unlink(path_.c_str());
    }
    ::close(fd_);
  }

  // False with *error on a conflict; true also when the lock file cannot be used at all
  // (then only this process is covered, which DebugOutput says).
  bool Acquire(const std::string& key, bool write, bool exclusive, std::string* error) {
    const std::string folder = folders::Runtime() + "hid-locks/";
    path_ = folder + LockFileName(key);
    const std::uint32_t start = TickCount();
    for (;;) {
      if (!files::MakeFolders(folder) || (fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) < 0) {
        DebugOutput("hid: no lock file " + path_ + " (" + std::strerror(errno) + "), sharing checked in-process only");
        return true;
      }
      const bool guarded = Lock(fd_, F_WRLCK, kGuardByte, F_OFD_SETLK);
      if (guarded && SameFile(fd_, path_)) break;
      ::close(fd_);
      fd_ = -1;
      if (TickCount() - start >= kGuardWaitMs) {
        *error = "the collection's lock file stayed busy";
        return false;
      }
      if (!guarded) SleepMs(1);
    }
    const char* conflict = nullptr;
    if (write && HeldByOthers(fd_, kDenyWriteByte)) conflict = "the collection is open exclusively by another process";
    if (exclusive && HeldByOthers(fd_, kWriterByte)) conflict = "the collection is open for writing by another process";
    bool ok = conflict == nullptr;
    if (ok && write) ok = Lock(fd_, F_RDLCK, kWriterByte, F_OFD_SETLK);
    if (ok && exclusive) ok = Lock(fd_, F_RDLCK, kDenyWriteByte, F_OFD_SETLK);
    Lock(fd_, F_UNLCK, kGuardByte, F_OFD_SETLK);
    if (!ok) *error = conflict != nullptr ? conflict : "the collection's lock file refused a lock";
    return ok;
  }

 private:
  std::string path_;
  int fd_ = -1;
};

class Lease : public ShareLease {
 public:
  Lease(std::string key, bool write, bool exclusive) : key_(std::move(key)), write_(write), exclusive_(exclusive) {}
  ~Lease() override {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto it = Registry().find(key_);
    if (it == Registry().end()) return;
    if (write_) --it->second.writers;
    if (exclusive_) --it->second.denyWrite;
    if (it->second.writers == 0 && it->second.denyWrite == 0) Registry().erase(it);
  }
  Lease(const Lease&) = delete;
  Lease& operator=(const Lease&) = delete;

  FileShare file;

 private:
  std::string key_;
  bool write_;
  bool exclusive_;
};

}  // namespace

std::unique_ptr<ShareLease> AcquireShare(const std::string& key, bool acrossProcesses, bool write,
                                         bool exclusive, std::string* error) {
  std::unique_ptr<Lease> lease;
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const auto it = Registry().find(key);
    if (const char* conflict = it == Registry().end() ? nullptr : Conflict(it->second, write, exclusive)) {
      *error = conflict;
      return nullptr;
    }
    if (write || exclusive) {
      Holders& h = Registry()[key];
      h.writers += write ? 1 : 0;
      h.denyWrite += exclusive ? 1 : 0;
    }
    lease = std::make_unique<Lease>(key, write, exclusive);
  }
  // A refusal from another process drops the lease, which takes back the counts above.
  if (acrossProcesses && (write || exclusive) && !lease->file.Acquire(key, write, exclusive, error)) return nullptr;
  return lease;
}

}  // namespace vz::hid
