// From plugging the mouse in to its images being filled, the emulated mouse answering with
// USB full-speed latency (1 ms per report each way).
//
// The path is the program's own: the mouse's presence thread with its own poll pauses
// notices the device, opens its channel and asks for the connection-read timer; after the
// timer's delay the reads run as the main window runs them, on the calling thread.
//
// BM_PlugInToFilledImages counters (medians over the runs, milliseconds):
//   detect_ms  plug-in until the presence thread asks for the timer; the thread polls
//              every 1000 ms while the mouse is away, and the runs plug in at points spread
//              evenly over that pause
//   total_max_ms  the slowest run
//   timer_ms   the timer's delay as the thread asked for it
//   read_ms    the connection reads into the images
//   total_ms   plug-in until the images are filled
//   ratio      read_ms against the wire time of the same reports, the baseline of this run
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "device/device_channel.h"
#include "device/presence.h"
#include "emulator/emulated_device.h"
#include "platform/hid/hid_layer.h"
#include "platform/hid/virtual_backend.h"
#include "platform/system/sync.h"
#include "settings/connect_read.h"
#include "settings/device_images.h"

namespace {

using Clock = std::chrono::steady_clock;
using vz::DeviceKind;
using vz::emulator::EmulatedDevice;
using vz::emulator::Model;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> samples) {
  std::nth_element(samples.begin(), samples.begin() + static_cast<long>(samples.size() / 2),
                   samples.end());
  return samples[samples.size() / 2];
}

std::size_t RequestsSeen(const EmulatedDevice& device) {
  std::size_t n = 0;
  for (int command = 0; command < 256; ++command) n += device.RequestCount(static_cast<std::uint8_t>(command));
  return n;
}

// Stands in for the main window: remembers the timer the presence thread asks for and
// tells when the mouse tab is hidden again (the device was noticed gone).
class TimerUi : public vz::PresenceUi {
 public:
  void ShowControl(const std::string& name, bool visible) override {
    if (name == "ms_tab" && !visible) gone.Set();
  }
  void SelectOption(const std::string&) override {}
  void FocusControl(const std::string&) override {}
  void SelectListItem(const std::string&, int) override {}
  void RelayoutControl(const std::string&) override {}
  void StartTimer(int id, std::uint32_t ms) override {
    if (id != vz::TraitsOf(DeviceKind::kMouse).timerId) return;
    timerMs = ms;
    timer.Set();
  }
  void ShowMainWindow(bool) override {}
  void ApplyKeyboardDeviceProfile(int) override {}
  void PostWindowMessage(std::uint32_t) override {}
  void PostShowMessage() override {}
  void SendWindowMessage(std::uint32_t) override {}

  vz::Event timer{false};
  vz::Event gone{false};
  std::atomic<std::uint32_t> timerMs{0};
};

void BM_PlugInToFilledImages(benchmark::State& state) {
  auto backend = std::make_shared<vz::hid::VirtualBackend>();
  vz::hid::RegisterBackend(backend);
  auto device = EmulatedDevice::Create(backend, Model::kMouse);
  device->SetUsbLatency(true);

  std::array<vz::DeviceChannel, vz::kDeviceKindCount> channels;
  channels[vz::Index(DeviceKind::kMouse)].SetIdentity(device->Spec().vendorId,
                                                       device->Spec().productId, 0x92, 0xFF1C);
  TimerUi ui;
  vz::PresenceContext context;
  for (std::size_t i = 0; i < vz::kDeviceKindCount; ++i) context.channels[i] = &channels[i];
  context.ui = &ui;
  context.storedSelection = [](DeviceKind) { return 0; };
  context.keyboardFound = [](std::uint16_t) {};
  vz::Event stop(true);
  vz::WorkerThread presence("mouse presence", [&] {
    return vz::PresenceThread(DeviceKind::kMouse, context, stop);
  });

  vz::DeviceImages images;
  std::vector<double> detect, timer, read, total, ratio;
  const auto runs = static_cast<std::uint32_t>(state.max_iterations);
  std::uint32_t run = 0;
  for (auto _ : state) {
    // The thread has just begun its idle pause: plug in at evenly spread points of it.
    vz::SleepMs(1000 * run++ / runs);
    ui.timer.Reset();
    ui.gone.Reset();
    const std::size_t before = RequestsSeen(*device);
    const auto plugged = Clock::now();
    device->Plug();
    if (!ui.timer.Wait(5000)) {
      state.SkipWithError("the presence thread did not notice the mouse within 5 s");
      break;
    }
    detect.push_back(MsSince(plugged));
    vz::SleepMs(ui.timerMs);  // the main window's timer
    timer.push_back(ui.timerMs);
    const auto reading = Clock::now();
    const auto outcome = vz::ConnectRead(DeviceKind::kMouse, channels[vz::Index(DeviceKind::kMouse)], images);
    read.push_back(MsSince(reading));
    total.push_back(MsSince(plugged));
    if (outcome != vz::ConnectOutcome::kRead) {
      state.SkipWithError("the connection reads failed");
      break;
    }
    const double reports = static_cast<double>(RequestsSeen(*device) - before);
    const double wireMs = reports * 2.0 * vz::emulator::kUsbFrameMs + vz::kEndTransferPauseMs;
    ratio.push_back(read.back() / wireMs);
    state.counters["reports"] = reports;
    device->Unplug();
    if (!ui.gone.Wait(5000)) {
      state.SkipWithError("the presence thread did not notice the mouse leave within 5 s");
      break;
    }
  }
  stop.Set();
  presence.JoinFor(3000);
  if (!total.empty()) {
    state.counters["detect_ms"] = Median(detect);
    state.counters["timer_ms"] = Median(timer);
    state.counters["read_ms"] = Median(read);
    state.counters["total_ms"] = Median(total);
    state.counters["total_max_ms"] = *std::max_element(total.begin(), total.end());
    state.counters["ratio"] = Median(ratio);
  }
  vz::hid::UnregisterBackend(backend);
}
BENCHMARK(BM_PlugInToFilledImages)->Iterations(12)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
