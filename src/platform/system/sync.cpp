#include "platform/system/sync.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vz {

std::uint32_t TickCount() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(ms);
}

void SleepMs(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineAfter(std::uint32_t ms) {
  if (ms == kInfinite) return Clock::time_point::max();
  return Clock::now() + std::chrono::milliseconds(ms);
}

}  // namespace

// A WaitAny caller parks on its own condition variable; every event it waits on pokes it
// on Set(). Lock order: event mutex, then waiter mutex.
struct Event::Waiter {
  std::mutex mutex;
  std::condition_variable cv;
  bool poked = false;
};

Event::Event(bool manualReset, bool initiallySet) : manualReset_(manualReset), set_(initiallySet) {}

Event::~Event() = default;

void Event::Set() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = true;
  if (manualReset_) {
    cv_.notify_all();
  } else {
    cv_.notify_one();
  }
  for (Waiter* w : waiters_) {
    std::lock_guard<std::mutex> wl(w->mutex);
    w->poked = true;
    w->cv.notify_one();
  }
}

void Event::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = false;
}

bool Event::IsSet() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

bool Event::TryConsumeLocked() {
  if (!set_) return false;
  if (!manualReset_) set_ = false;
  return true;
}

bool Event::Wait(std::uint32_t ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto deadline = DeadlineAfter(ms);
  while (!set_) {
    if (deadline == Clock::time_point::max()) {
      cv_.wait(lock);
    } else if (cv_.wait_until(lock, deadline) == std::cv_status::timeout) {
      break;
    }
  }
  return TryConsumeLocked();
}

int Event::WaitAny(std::initializer_list<Event*> events, std::uint32_t ms) {
  const auto deadline = DeadlineAfter(ms);
  Waiter waiter;
  // Register before the first check, so a Set() between check and wait still pokes us.
  for (Event* e : events) {
    std::lock_guard<std::mutex> lock(e->mutex_);
    e->waiters_.push_back(&waiter);
  }
  auto tryAll = [&]() -> int {
    int index = 0;
    for (Event* e : events) {
      std::lock_guard<std::mutex> lock(e->mutex_);
      if (e->TryConsumeLocked()) return index;
      ++index;
    }
    return -1;
  };
  int fired = tryAll();
  while (fired < 0) {
    bool timedOut = false;
    {
      std::unique_lock<std::mutex> lock(waiter.mutex);
      while (!waiter.poked && !timedOut) {
        if (deadline == Clock::time_point::max()) {
          waiter.cv.wait(lock);
        } else {
          timedOut = waiter.cv.wait_until(lock, deadline) == std::cv_status::timeout;
        }
      }
      waiter.poked = false;
    }
    fired = tryAll();
    if (timedOut) break;
  }
  for (Event* e : events) {
    std::lock_guard<std::mutex> lock(e->mutex_);
    auto& list = e->waiters_;
    list.erase(std::remove(list.begin(), list.end(), &waiter), list.end());
  }
  return fired;
}

struct WorkerThread::State {
  std::mutex mutex;
  std::condition_variable cv;
  bool done = false;
  int exitCode = 0;
};

WorkerThread::WorkerThread(std::string name, std::function<int()> body)
    : name_(std::move(name)), state_(std::make_shared<State>()) {
  thread_ = std::thread([state = state_, body = std::move(body)] {
    const int code = body();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->exitCode = code;
    state->done = true;
    state->cv.notify_all();
  });
}

WorkerThread::WorkerThread(WorkerThread&&) noexcept = default;

WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept {
  if (this != &other) {
    if (thread_.joinable()) {
      if (Finished()) {
        thread_.join();
      } else {
        thread_.detach();
      }
    }
    name_ = std::move(other.name_);
    state_ = std::move(other.state_);
    thread_ = std::move(other.thread_);
  }
  return *this;
}

WorkerThread::~WorkerThread() {
  if (!thread_.joinable()) return;
  // A thread that overran its join time-out is left to finish on its own; the state it
  // reports into is shared, so it never writes into freed memory.
  if (Finished()) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

bool WorkerThread::Finished() const {
  if (!state_) return true;
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->done;
}

bool WorkerThread::JoinFor(std::uint32_t ms) {
  if (!state_) return true;
  {
    std::unique_lock<std::mutex> lock(state_->mutex);
    const auto deadline = DeadlineAfter(ms);
    while (!state_->done) {
      if (deadline == Clock::time_point::max()) {
        state_->cv.wait(lock);
      } else if (state_->cv.wait_until(lock, deadline) == std::cv_status::timeout) {
        if (!state_->done) return false;
      }
    }
  }
  if (thread_.joinable()) thread_.join();
  return true;
}

int WorkerThread::ExitCode() const {
  if (!state_) return 0;
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->exitCode;
}

void DebugOutput(const std::string& text) {
  static const bool enabled = std::getenv("VZ_DEBUG_OUTPUT") != nullptr;
  if (enabled) std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace vz
