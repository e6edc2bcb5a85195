// Threads and synchronisation: the kernel objects the device and worker threads rely on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vz {

// Milliseconds since an arbitrary start, as 32 bits that wrap after about 49.7 days, like
// the platform tick count. Differences are taken in unsigned arithmetic: later - earlier.
std::uint32_t TickCount();

void SleepMs(std::uint32_t ms);

// Infinite wait for Event::Wait and WaitAny.
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

// A signalling object with manual or automatic reset.
// Manual reset: stays set until Reset(); every waiter sees it.
// Automatic reset: a successful Wait consumes the signal, so one waiter passes per Set().
class Event {
 public:
  explicit Event(bool manualReset, bool initiallySet = false);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  ~Event();

  void Set();
  void Reset();
  bool IsSet() const;

  // True when the event was (or became) set within ms milliseconds.
  bool Wait(std::uint32_t ms);

  // Waits for the first of several events. Returns the index of the one that fired (the
  // lowest index when several are set; an automatic-reset event is consumed), or -1 when
  // the time ran out.
  static int WaitAny(std::initializer_list<Event*> events, std::uint32_t ms);

 private:
  struct Waiter;
  bool TryConsumeLocked();

  const bool manualReset_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool set_;
  std::vector<Waiter*> waiters_;  // WaitAny callers currently waiting on this event
};

// The recursive I/O lock of a device channel: the owner may take it again.
using IoLock = std::recursive_mutex;

// A worker thread that can be joined with a time-out. A thread that does not end in time
// is detached on destruction so the process can still exit.
class WorkerThread {
 public:
  WorkerThread() = default;
  WorkerThread(std::string name, std::function<int()> body);
  WorkerThread(WorkerThread&&) noexcept;
  WorkerThread& operator=(WorkerThread&&) noexcept;
  ~WorkerThread();

  bool Started() const { return state_ != nullptr; }
  bool Finished() const;
  // True when the thread ended within ms (it is then joined); false otherwise.
  bool JoinFor(std::uint32_t ms);
  // The body's return value, valid once Finished().
  int ExitCode() const;
  const std::string& Name() const { return name_; }

 private:
  struct State;
  std::string name_;
  std::shared_ptr<State> state_;
  std::thread thread_;
};

// Diagnostic text for developers, the platform's debugger output: written to stderr only
// when VZ_DEBUG_OUTPUT is set in the environment.
void DebugOutput(const std::string& text);

}  // namespace vz
