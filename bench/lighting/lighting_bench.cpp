// CPU cost of the whole lighting engine: the four effect threads at speed 0 for
// VZ_LIGHTING_BENCH_SECONDS (10 by default) against three devices: the mouse cycling colours,
// the keyboard in its fastest mode, the mousepad in sync with a synchronized wave. The
// figure is the process CPU time over the wall time, in per cent of one core, for three
// sinks: one that does nothing (the baseline), one that takes 1 ms per report as USB does,
// and, where it is built, the emulated devices behind the real channel and HID layer.
// Against the emulated devices every report is two sleeping waits (the request's frame and
// the answer's), as with a real device; wait_floor_pct is what that many bare waits cost on
// this machine, measured in the same run, and above_floor_pct the rest.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <sys/prctl.h>

#include "lighting/effect_engine.h"
#include "platform/system/sync.h"

#if VZ_BENCH_WITH_EMULATOR
#include "emulated_rig.h"
#endif

namespace vz::lighting {
namespace {

constexpr LightingFields kMouseCycle{0, 4, 0, 1, 1, {}};
constexpr LightingFields kKeyboardWave{0, 4, 0, 1, 1, {}};
constexpr LightingFields kPadOwn{3, 4, 0, 1, 0, {0, 255, 0}};
constexpr LightingFields kSyncWave{0, 4, 0, 1, 1, {}};
constexpr EngineTiming kNoStartWait{0, 0, 0};
constexpr std::size_t kChunk = 56;

std::uint32_t RunSeconds() {
  const char* s = std::getenv("VZ_LIGHTING_BENCH_SECONDS");
  const int v = s != nullptr ? std::atoi(s) : 0;
  return v > 0 ? static_cast<std::uint32_t>(v) : 10;
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A device that counts frames and, when asked, takes the time of the reports a frame
// needs: one request and one answer of 1 ms each per 56-byte chunk.
class CountingLink : public KeyboardLink {
 public:
  CountingLink(LightingFields fields, bool sync, bool usbTime)
      : fields_(fields), sync_(sync), usbTime_(usbTime) {}
  bool IsConnected() const override { return true; }
  bool SyncFlag() const override { return sync_; }
  LightingFields Fields() const override { return fields_; }
  int SendFrame(const std::uint8_t*, std::uint16_t length) override {
    frames.fetch_add(1, std::memory_order_relaxed);
    if (usbTime_) SleepMs(static_cast<std::uint32_t>(2 * ((length + kChunk - 1) / kChunk)));
    return 1;
  }
  std::uint8_t Model() const override { return kColourKeyboard; }
  void CustomLayout(std::array<std::uint8_t, kColourFrameSize>& out) const override {
    out.fill(0);
  }
  std::atomic<std::uint64_t> frames{0};

 private:
  const LightingFields fields_;
  const bool sync_;
  const bool usbTime_;
};

class FixedSync : public SyncSource {
 public:
  LightingFields SyncLighting() const override { return kSyncWave; }
};

// Runs the engine for the configured time and reports its CPU share.
template <typename CountFrames>
void Measure(benchmark::State& state, const LightingIo& io, CountFrames frames) {
  const std::uint32_t seconds = RunSeconds();
  for (auto _ : state) {
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuSeconds();
    {
      LightingEngine engine(io, kNoStartWait);
      engine.Start();
      SleepMs(seconds * 1000);
      engine.SignalStop();
      engine.Join(5000);
    }
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    state.counters["cpu_pct_of_core"] = 100.0 * cpu / wall;
    state.counters["frames_per_s"] = static_cast<double>(frames()) / wall;
  }
}

void Links(benchmark::State& state, bool usbTime) {
  CountingLink mouse(kMouseCycle, false, usbTime);
  CountingLink pad(kPadOwn, true, usbTime);
  CountingLink keyboard(kKeyboardWave, false, usbTime);
  FixedSync sync;
  Measure(state, {&mouse, &pad, &keyboard, &sync, nullptr},
          [&] { return mouse.frames + pad.frames + keyboard.frames; });
}

void BM_LightingNullSink(benchmark::State& state) { Links(state, false); }
void BM_LightingUsbTimedSink(benchmark::State& state) { Links(state, true); }

BENCHMARK(BM_LightingNullSink)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LightingUsbTimedSink)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

#if VZ_BENCH_WITH_EMULATOR
// Notes, after every frame it passes on, the CPU time of the thread that sent it: the
// effect thread with its channel exchanges, apart from the emulated firmware's threads.
class ThreadTimedLink : public KeyboardLink {
 public:
  explicit ThreadTimedLink(KeyboardLink& inner) : inner_(inner) {}
  bool IsConnected() const override { return inner_.IsConnected(); }
  bool SyncFlag() const override { return inner_.SyncFlag(); }
  LightingFields Fields() const override { return inner_.Fields(); }
  int SendFrame(const std::uint8_t* frame, std::uint16_t length) override {
    const int r = inner_.SendFrame(frame, length);
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    std::lock_guard<std::mutex> lock(mutex_);
    lastCpu_[std::this_thread::get_id()] =
        static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    return r;
  }
  std::uint8_t Model() const override { return inner_.Model(); }
  void CustomLayout(std::array<std::uint8_t, kColourFrameSize>& out) const override {
    inner_.CustomLayout(out);
  }
  // The CPU seconds of every thread that sent through any ThreadTimedLink.
  static double SenderCpuSeconds() {
    std::lock_guard<std::mutex> lock(mutex_);
    double sum = 0;
    for (const auto& [id, cpu] : lastCpu_) sum += cpu;
    return sum;
  }

 private:
  KeyboardLink& inner_;
  static inline std::mutex mutex_;
  static inline std::map<std::thread::id, double> lastCpu_;
};

// CPU seconds one thread spends per 1 ms timed wait on a condition variable, the way a
// thread waits on an emulated device (small timer slack, nobody notifying).
double CpuSecondsPerTimedWait() {
  constexpr int kWaits = 1000;
  double perWait = 0;
  std::thread waiter([&] {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::mutex mutex;
    std::condition_variable never;
    timespec before{}, after{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
    std::unique_lock lock(mutex);
    for (int i = 0; i < kWaits; ++i) {
      never.wait_until(lock, std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
    perWait = (static_cast<double>(after.tv_sec - before.tv_sec) +
               static_cast<double>(after.tv_nsec - before.tv_nsec) * 1e-9) / kWaits;
  });
  waiter.join();
  return perWait;
}

std::size_t CommandReports(emulator::EmulatedDevice& device) {
  std::size_t sum = 0;
  for (int command = 0; command < 256; ++command) {
    sum += device.RequestCount(static_cast<std::uint8_t>(command));
  }
  return sum;
}

// The process figure also counts the emulated firmware and the virtual HID transport,
// which run in this process; effect_threads_pct is the share of the threads that send.
void BM_LightingEmulatedDevices(benchmark::State& state) {
  testing::EmulatedRig rig(false);
  if (!rig.AllOpen()) {
    state.SkipWithError("the emulated devices could not be opened");
    return;
  }
  rig.mouse.SetFields(kMouseCycle);
  rig.mousepad.SetFields(kPadOwn);
  rig.keyboard.SetFields(kKeyboardWave);
  rig.sync.Set(kSyncWave);
  rig.Channel(Device::kMousepad).SetSyncFlag(true);
  ThreadTimedLink mouse(rig.mouse);
  ThreadTimedLink pad(rig.mousepad);
  ThreadTimedLink keyboard(rig.keyboard);
  const auto start = std::chrono::steady_clock::now();
  Measure(state, {&mouse, &pad, &keyboard, &rig.sync, nullptr}, [&] {
    return rig.Emulated(Device::kMouse).LightFrameCount() +
           rig.Emulated(Device::kMousepad).LightFrameCount() +
           rig.Emulated(Device::kKeyboard).LightFrameCount();
  });
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  state.counters["effect_threads_pct"] = 100.0 * ThreadTimedLink::SenderCpuSeconds() / wall;
  const double reports = static_cast<double>(CommandReports(rig.Emulated(Device::kMouse)) +
                                             CommandReports(rig.Emulated(Device::kMousepad)) +
                                             CommandReports(rig.Emulated(Device::kKeyboard)));
  const double waitsPerSecond = 2 * reports / wall;
  const double floorPct = 100.0 * waitsPerSecond * CpuSecondsPerTimedWait();
  state.counters["waits_per_s"] = waitsPerSecond;
  state.counters["wait_floor_pct"] = floorPct;
  state.counters["above_floor_pct"] = state.counters["cpu_pct_of_core"] - floorPct;
}
BENCHMARK(BM_LightingEmulatedDevices)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
}  // namespace vz::lighting

BENCHMARK_MAIN();
