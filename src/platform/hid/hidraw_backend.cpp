#include "platform/hid/hidraw_backend.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/hid/report_descriptor.h"

namespace vz::hid {
namespace {

using Clock = std::chrono::steady_clock;

std::string EnvOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::string(v) : std::string(fallback);
}

bool IsNodeId(const std::string& id) {
  constexpr std::size_t kPrefix = 6;  // "hidraw"
  if (id.size() <= kPrefix || id.compare(0, kPrefix, "hidraw") != 0 || id.size() > kPrefix + 9) return false;
  return std::all_of(id.begin() + kPrefix, id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

unsigned long NodeNumber(const std::string& id) { return std::strtoul(id.c_str() + 6, nullptr, 10); }

// Reads at most `max` bytes of a small sysfs file; false when it cannot be opened.
bool ReadSmallFile(const std::string& path, std::size_t max, std::string* out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  out->clear();
  char chunk[512];
  bool ok = true;
  while (out->size() < max) {
    const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, max - out->size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    out->append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ok;
}

bool ReadHexFile(const std::string& path, unsigned long* value) {
  std::string text;
  if (!ReadSmallFile(path, 64, &text)) return false;
  char* end = nullptr;
  *value = std::strtoul(text.c_str(), &end, 16);
  return end != text.c_str();
}

std::string UeventValue(const std::string& uevent, const std::string& key) {
  const std::string prefix = key + "=";
  std::size_t at = 0;
  while (at < uevent.size()) {
    std::size_t end = uevent.find('\n', at);
    if (end == std::string::npos) end = uevent.size();
    if (uevent.compare(at, prefix.size(), prefix) == 0) return uevent.substr(at + prefix.size(), end - at - prefix.size());
    at = end + 1;
  }
  return {};
}

std::string RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string out(resolved);
  std::free(resolved);
  return out;
}

std::string Parent(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsGoneError(int error) {
  switch (error) {
    case EIO:
    case ENODEV:
    case ENXIO:
    case EPIPE:
    case ECONNRESET:
    case ENOTCONN:
      return true;
    default:
      return false;
  }
}

// Milliseconds left until `deadline` for poll(), rounded up so a wait never ends early.
int PollTimeout(Clock::time_point deadline) {
  const auto left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

class HidrawConnection : public NodeConnection {
 public:
  HidrawConnection(int fd, int cancelFd, bool read, bool write)
      : fd_(fd), cancelFd_(cancelFd), canRead_(read), canWrite_(write) {}
  ~HidrawConnection() override {
    ::close(fd_);
    ::close(cancelFd_);
  }
  HidrawConnection(const HidrawConnection&) = delete;
  HidrawConnection& operator=(const HidrawConnection&) = delete;

  IoStatus Read(std::uint8_t* buf, std::size_t len, std::size_t* got, std::uint32_t timeoutMs) override {
    *got = 0;
    if (!canRead_ || len == 0) return IoStatus::kFailed;
    return Transfer(POLLIN, timeoutMs, [&] { return ::read(fd_, buf, len); }, got, len, false);
  }

  IoStatus Write(const std::uint8_t* buf, std::size_t len, std::size_t* put, std::uint32_t timeoutMs) override {
    *put = 0;
    if (!canWrite_ || len == 0) return IoStatus::kFailed;
    return Transfer(POLLOUT, timeoutMs, [&] { return ::write(fd_, buf, len); }, put, len, true);
  }

  void Cancel() override {
    const std::uint64_t one = 1;
    // The counter only saturates after 2^64 - 1 cancels; a failed write cannot lose one.
    [[maybe_unused]] const ssize_t n = ::write(cancelFd_, &one, sizeof one);
  }

 private:
  template <typename Io>
  IoStatus Transfer(short event, std::uint32_t timeoutMs, Io io, std::size_t* moved, std::size_t len,
                    bool wholeOnly) {
    if (gone_.load(std::memory_order_acquire)) return IoStatus::kGone;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      pollfd fds[2] = {{cancelFd_, POLLIN, 0}, {fd_, event, 0}};
      const int rc = ::poll(fds, 2, PollTimeout(deadline));
      if (rc < 0 && errno == EINTR) continue;
      if (rc < 0) return IoStatus::kFailed;
      if (fds[0].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(cancelFd_, &count, sizeof count);
        return IoStatus::kCancelled;
      }
      if (fds[1].revents & event) {
        const ssize_t n = io();
        if (n > 0) {
          if (wholeOnly && static_cast<std::size_t>(n) != len) return IoStatus::kFailed;
          *moved = static_cast<std::size_t>(n);
          return IoStatus::kOk;
        }
        if (n == 0 || IsGoneError(errno)) return Gone();
        if (errno != EAGAIN && errno != EINTR) return IoStatus::kFailed;
      } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
        return Gone();
      }
      if (rc == 0 || PollTimeout(deadline) == 0) return IoStatus::kTimeout;
    }
  }

  IoStatus Gone() {
    gone_.store(true, std::memory_order_release);
    return IoStatus::kGone;
  }

  const int fd_;
  const int cancelFd_;
  const bool canRead_;
  const bool canWrite_;
  std::atomic<bool> gone_{false};
};

// A stand-in node: a SOCK_SEQPACKET socket bound at the node path.
int ConnectStandIn(const std::string& path) {
  sockaddr_un addr{};
  if (path.size() >= sizeof addr.sun_path) {
    errno = ENAMETOOLONG;
    return -1;
  }
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace

HidrawBackend::HidrawBackend() : HidrawBackend(EnvOr("VZ_SYSFS_ROOT", "/sys"), EnvOr("VZ_DEV_ROOT", "/dev")) {}

HidrawBackend::HidrawBackend(std::string sysfsRoot, std::string devRoot)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

std::string HidrawBackend::IdentityOf(const std::string& nodeId) const {
  const std::string hidDir = RealPath(sysfsRoot_ + "/class/hidraw/" + nodeId + "/device");
  return hidDir.empty() ? std::string() : BaseName(hidDir);
}

bool HidrawBackend::ReadNode(const std::string& nodeId, NodeInfo* info) const {
  const std::string hidDir = RealPath(sysfsRoot_ + "/class/hidraw/" + nodeId + "/device");
  std::string uevent;
  if (hidDir.empty() || !ReadSmallFile(hidDir + "/uevent", 8192, &uevent)) return false;
  unsigned bus = 0, vendor = 0, product = 0;
  if (std::sscanf(UeventValue(uevent, "HID_ID").c_str(), "%x:%x:%x", &bus, &vendor, &product) != 3) return false;
  std::string descriptor;
  if (!ReadSmallFile(hidDir + "/report_descriptor", kMaxDescriptorBytes + 1, &descriptor)) return false;

  info->nodeId = nodeId;
  info->identity = BaseName(hidDir);
  info->vendorId = static_cast<std::uint16_t>(vendor);
  info->productId = static_cast<std::uint16_t>(product);
  info->product = UeventValue(uevent, "HID_NAME");
  info->serial = UeventValue(uevent, "HID_UNIQ");
  info->reportDescriptor.assign(descriptor.begin(), descriptor.end());
  unsigned long number = 0;
  const std::string usbInterface = Parent(hidDir);
  info->interfaceNumber = ReadHexFile(usbInterface + "/bInterfaceNumber", &number) ? static_cast<int>(number & 0xFF) : -1;
  info->version = ReadHexFile(Parent(usbInterface) + "/bcdDevice", &number) ? static_cast<std::uint16_t>(number) : 0;
  return true;
}

bool HidrawBackend::Enumerate(std::vector<NodeInfo>* out) {
  out->clear();
  const std::string classDir = sysfsRoot_ + "/class/hidraw";
  DIR* dir = ::opendir(classDir.c_str());
  if (dir == nullptr) return errno == ENOENT;
  std::vector<std::string> ids;
  while (const dirent* entry = ::readdir(dir)) {
    if (IsNodeId(entry->d_name)) ids.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(ids.begin(), ids.end(),
            [](const std::string& a, const std::string& b) { return NodeNumber(a) < NodeNumber(b); });
  for (const std::string& id : ids) {
    NodeInfo info;
    if (ReadNode(id, &info)) out->push_back(std::move(info));
  }
  return true;
}

std::unique_ptr<NodeConnection> HidrawBackend::Open(const std::string& nodeId, bool read, bool write,
                                                    std::string* error) {
  if (!IsNodeId(nodeId)) {
    *error = "not a hidraw node name: " + nodeId;
    return nullptr;
  }
  const std::string path = devRoot_ + "/" + nodeId;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    *error = path + ": " + std::strerror(errno);
    return nullptr;
  }
  int fd = -1;
  if (S_ISSOCK(st.st_mode)) {
    fd = ConnectStandIn(path);
  } else {
    const int access = !read && !write ? O_PATH : read && write ? O_RDWR : read ? O_RDONLY : O_WRONLY;
    fd = ::open(path.c_str(), access | O_CLOEXEC | (access == O_PATH ? 0 : O_NONBLOCK));
  }
  if (fd < 0) {
    *error = path + ": " + std::strerror(errno);
    return nullptr;
  }
  const int cancelFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (cancelFd < 0) {
    *error = std::string("eventfd: ") + std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<HidrawConnection>(fd, cancelFd, read, write);
}

bool HidrawBackend::Probe(const std::string& nodeId, const std::string& identity) {
  if (!IsNodeId(nodeId) || identity.empty()) return false;
  struct stat st {};
  return IdentityOf(nodeId) == identity && ::stat((devRoot_ + "/" + nodeId).c_str(), &st) == 0;
}

}  // namespace vz::hid
