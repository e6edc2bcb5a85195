// One running copy per user session, and the way a second start brings the first forward.
//
// The named mutex becomes a lock file, <runtime>/<mutexName>.lock, held with
// flock(LOCK_EX | LOCK_NB) on a descriptor of our own (close-on-exec, so programs we start do
// not keep it). The kernel drops the lock when the process ends in any way, so there are no
// stale locks. The show message becomes a UNIX stream socket, <runtime>/<messageName>.sock,
// bound and listening from Acquire on: a connection made before Listen waits in the backlog
// and is delivered once Listen runs. A connection is the whole message; nothing is read.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/system/sync.h"

namespace vz {

class SingleInstance {
 public:
  // Null when another process (or another SingleInstance of this one) holds the lock.
  // When the lock file cannot be created at all (runtime folder unusable) the program runs
  // as if it were the first instance: the result is non-null, HoldsLock() is false and there
  // is no socket, so a later start cannot reach this one. Only the holder of the lock
  // removes a socket file left behind by a crashed instance.
  static std::unique_ptr<SingleInstance> Acquire(const std::string& mutexName,
                                                 const std::string& messageName);

  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  // Stops the listener (waits at most 1 s for a callback that is running), removes the
  // socket file and then releases the lock.
  ~SingleInstance();

  bool HoldsLock() const { return lockFd_ >= 0; }

  // Starts the thread that accepts on the socket and calls onShowRequest, on that thread,
  // once per connection; the callback must hand the work to the UI thread and return. False
  // when there is no socket (see Acquire) or a listener already runs.
  bool Listen(std::function<void()> onShowRequest);

 private:
  struct Listener;
  SingleInstance(int lockFd, std::string socketPath, std::shared_ptr<Listener> listener);

  int lockFd_;
  std::string socketPath_;  // empty when no socket was bound
  std::shared_ptr<Listener> listener_;
  WorkerThread thread_;
};

// The second start's half: connects to the running instance's socket. True when a running
// instance was reached. Retries for up to 500 ms, the gap between the first instance taking
// the lock and binding its socket.
bool SignalRunningInstance(const std::string& messageName);

}  // namespace vz
