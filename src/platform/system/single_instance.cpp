#include "platform/system/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/system/files.h"
#include "platform/system/folders.h"

namespace vz {

namespace {

constexpr std::uint32_t kListenerJoinMs = 1000;
constexpr std::uint32_t kSignalRetryMs = 500;
constexpr std::uint32_t kSignalRetryStepMs = 25;
constexpr int kBacklog = 16;

std::string ErrnoText() { return std::strerror(errno); }

std::string SocketPath(const std::string& messageName) {
  return folders::Runtime() + messageName + ".sock";
}

// False when the path does not fit a socket address.
bool FillAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return true;
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

struct SingleInstance::Listener {
  int listenFd = -1;
  int wakeFd = -1;
  std::function<void()> onShowRequest;

  Listener() = default;
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  ~Listener() {
    CloseFd(listenFd);
    CloseFd(wakeFd);
  }

  // Accepts until the wake descriptor fires; 0 on a requested stop, 1 on a socket error.
  int Run() {
    for (;;) {
      pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        DebugOutput("single instance: poll failed: " + ErrnoText());
        return 1;
      }
      if (fds[1].revents != 0) return 0;
      if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
        DebugOutput("single instance: the show socket failed");
        return 1;
      }
      AcceptPending();
    }
  }

  void AcceptPending() {
    for (;;) {
      const int client = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) {
        if (errno == EINTR) continue;
        return;  // EAGAIN: backlog drained; anything else: the peer left before we took it
      }
      ::close(client);
      onShowRequest();
    }
  }
};

SingleInstance::SingleInstance(int lockFd, std::string socketPath,
                               std::shared_ptr<Listener> listener)
    : lockFd_(lockFd), socketPath_(std::move(socketPath)), listener_(std::move(listener)) {}

std::unique_ptr<SingleInstance> SingleInstance::Acquire(const std::string& mutexName,
                                                        const std::string& messageName) {
  auto firstWithoutLock = [](const std::string& why) {
    DebugOutput("single instance: " + why + "; running as the first instance without a lock");
    return std::unique_ptr<SingleInstance>(new SingleInstance(-1, {}, nullptr));
  };
  if (!files::IsSafeFileName(mutexName) || !files::IsSafeFileName(messageName)) {
    return firstWithoutLock("unusable instance names");
  }
  const std::string runtime = folders::Runtime();
  const std::string lockPath = runtime + mutexName + ".lock";
  int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) return firstWithoutLock("cannot open " + lockPath + ": " + ErrnoText());
  int rc;
  do {
    rc = ::flock(lockFd, LOCK_EX | LOCK_NB);
  } while (rc < 0 && errno == EINTR);
  if (rc < 0) {
    const int err = errno;
    ::close(lockFd);
    if (err == EWOULDBLOCK) return nullptr;
    errno = err;
    return firstWithoutLock("cannot lock " + lockPath + ": " + ErrnoText());
  }

  // From here on the lock is ours, so whatever sits at the socket path is a leftover.
  const std::string socketPath = SocketPath(messageName);
  auto withoutSocket = [&](const std::string& why) {
    DebugOutput("single instance: " + why + "; a second start cannot bring this one forward");
    return std::unique_ptr<SingleInstance>(new SingleInstance(lockFd, {}, nullptr));
  };
  sockaddr_un addr;
  if (!FillAddress(socketPath, addr)) return withoutSocket("socket path too long: " + socketPath);
  struct stat st;
  if (::lstat(socketPath.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) return withoutSocket(socketPath + " exists and is no socket");
    if (::unlink(socketPath.c_str()) < 0) {
      return withoutSocket("cannot remove the stale " + socketPath + ": " + ErrnoText());
    }
  }
  auto listener = std::make_shared<Listener>();
  listener->listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener->listenFd < 0) return withoutSocket("socket: " + ErrnoText());
  if (::bind(listener->listenFd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) < 0) {
    return withoutSocket("cannot bind " + socketPath + ": " + ErrnoText());
  }
  // Bound from here: the path is ours to remove, whatever fails next.
  auto boundWithoutListener = [&](const std::string& why) {
    ::unlink(socketPath.c_str());
    return withoutSocket(why);
  };
  if (::chmod(socketPath.c_str(), 0600) < 0) return boundWithoutListener("chmod: " + ErrnoText());
  if (::listen(listener->listenFd, kBacklog) < 0) return boundWithoutListener("listen: " + ErrnoText());
  listener->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (listener->wakeFd < 0) return boundWithoutListener("eventfd: " + ErrnoText());
  return std::unique_ptr<SingleInstance>(
      new SingleInstance(lockFd, socketPath, std::move(listener)));
}

SingleInstance::~SingleInstance() {
  if (thread_.Started()) {
    const std::uint64_t one = 1;
    if (::write(listener_->wakeFd, &one, sizeof one) < 0) {
      DebugOutput("single instance: cannot wake the listener: " + ErrnoText());
    }
    // A listener stuck in its callback is left behind; it keeps its own share of the state.
    if (!thread_.JoinFor(kListenerJoinMs)) {
      DebugOutput("single instance: the listener did not stop within a second");
    }
  }
  if (!socketPath_.empty()) ::unlink(socketPath_.c_str());
  listener_.reset();
  CloseFd(lockFd_);
}

bool SingleInstance::Listen(std::function<void()> onShowRequest) {
  if (!listener_ || thread_.Started()) return false;
  listener_->onShowRequest = std::move(onShowRequest);
  std::shared_ptr<Listener> listener = listener_;
  thread_ = WorkerThread("single instance listener", [listener] { return listener->Run(); });
  return true;
}

bool SignalRunningInstance(const std::string& messageName) {
  if (!files::IsSafeFileName(messageName)) return false;
  const std::string path = SocketPath(messageName);
  sockaddr_un addr;
  if (!FillAddress(path, addr)) return false;
  const std::uint32_t start = TickCount();
  for (;;) {
    // Non-blocking, so a full backlog of a stuck instance cannot hold us.
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    const int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    const int err = errno;
    ::close(fd);
    if (rc == 0) return true;
    const bool worthRetry = err == ENOENT || err == ECONNREFUSED || err == EAGAIN || err == EINTR;
    if (!worthRetry || TickCount() - start >= kSignalRetryMs) {
      errno = err;
      DebugOutput("single instance: cannot reach the running instance at " + path + ": " +
                  ErrnoText());
      return false;
    }
    SleepMs(kSignalRetryStepMs);
  }
}

}  // namespace vz
