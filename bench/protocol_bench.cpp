// Cost of the command protocol on the host, against the emulated mouse.
//
// BM_ExchangeOverhead: one ReadSettings exchange through DeviceChannel, HidDevice and the
// HID layer, the device answering at once. Baseline, measured in the same run: one bare
// write-and-read round trip on the virtual node underneath. Counters: the medians in
// microseconds and their ratio.
//
// BM_ConnectReads: the reads the mouse gets on connection, with USB full-speed latency
// (1 ms per report each way). Baseline: the physical minimum, reports x 2 ms, plus the
// protocol's own 10 ms pause before EndTransfer. Counters: reports, the minimum, and the
// ratio to it of the median run (ratio), of the median run without the pause against the
// wire time alone (ratio_wire_only) and of the best run (ratio_best).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "device/device_channel.h"
#include "emulator/emulated_device.h"
#include "platform/hid/hid_layer.h"

namespace {

using Clock = std::chrono::steady_clock;
using vz::emulator::EmulatedDevice;
using vz::emulator::Model;

std::shared_ptr<vz::hid::VirtualBackend> Backend() {
  static const auto backend = [] {
    auto b = std::make_shared<vz::hid::VirtualBackend>();
    vz::hid::RegisterBackend(b);
    return b;
  }();
  return backend;
}

bool OpenChannel(vz::DeviceChannel& channel, const EmulatedDevice& device) {
  channel.SetIdentity(device.Spec().vendorId, device.Spec().productId, 0x92, 0xFF1C);
  vz::HidDevice& hid = channel.Device();
  if (!hid.EnumeratePaths()) return false;
  bool found = false;
  while (const std::string* path = hid.NextPath()) {
    if (vz::VendorIdFromPath(*path) != device.Spec().vendorId) continue;
    if (!hid.OpenPath(*path, true, true, true, false)) continue;
    if (hid.UsagePage() == 0xFF1C && hid.Usage() == 0x92) {
      found = true;
      break;
    }
    hid.Close();
  }
  hid.FreePaths();
  channel.SetOpen(found);
  return found;
}

double MedianUs(std::vector<double> samples) {
  std::nth_element(samples.begin(), samples.begin() + static_cast<long>(samples.size() / 2),
                   samples.end());
  return samples[samples.size() / 2];
}

double UsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// A request the emulated mouse accepts: ReadSettings, 1 byte at offset 0.
std::vector<std::uint8_t> RawRequest() {
  std::vector<std::uint8_t> r(64, 0);
  r[0] = 4;
  r[3] = 5;
  r[4] = 1;
  r[1] = 6;
  return r;
}

void BM_ExchangeOverhead(benchmark::State& state) {
  auto device = EmulatedDevice::Create(Backend(), Model::kMouse);
  device->Plug();

  std::string error;
  auto raw = Backend()->Open(device->CommandNode()->Info().nodeId, true, true, &error);
  const auto request = RawRequest();
  std::vector<double> baseline;
  std::uint8_t answer[64];
  std::size_t n = 0;
  for (int i = 0; i < 5000; ++i) {
    const auto start = Clock::now();
    raw->Write(request.data(), request.size(), &n, 1000);
    raw->Read(answer, sizeof answer, &n, 300);
    baseline.push_back(UsSince(start));
  }
  raw.reset();

  vz::DeviceChannel channel;
  if (!OpenChannel(channel, *device)) {
    state.SkipWithError("the emulated mouse was not found");
    return;
  }
  std::vector<double> samples;
  std::uint8_t slot = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const int r = channel.ReadSettings(&slot, 1, 0);
    samples.push_back(UsSince(start));
    if (r != vz::kCmdOk) state.SkipWithError("exchange failed");
    benchmark::DoNotOptimize(slot);
  }
  const double median = MedianUs(samples);
  const double base = MedianUs(baseline);
  state.counters["median_us"] = median;
  state.counters["baseline_us"] = base;
  state.counters["ratio"] = median / base;
}
BENCHMARK(BM_ExchangeOverhead)->Iterations(20000);

void BM_ConnectReads(benchmark::State& state) {
  auto device = EmulatedDevice::Create(Backend(), Model::kMouse);
  device->Plug();
  device->SetUsbLatency(true);
  vz::DeviceChannel channel;
  if (!OpenChannel(channel, *device)) {
    state.SkipWithError("the emulated mouse was not found");
    return;
  }
  std::uint8_t info[33], map[512], blocks[5][512];
  std::vector<double> samples;
  std::size_t reports = 0;
  for (auto _ : state) {
    const std::size_t before = device->RequestCount(1) + device->RequestCount(2) +
                               device->RequestCount(3) + device->RequestCount(7) +
                               device->RequestCount(8);
    const auto start = Clock::now();
    int r = channel.BeginTransfer();
    r = std::min(r, channel.ReadDeviceInfo(info));
    r = std::min(r, channel.ReadDefaultKeyMap(map));
    for (int b = 0; b < 5; ++b) r = std::min(r, channel.ReadKeyBlock(blocks[b], b));
    r = std::min(r, channel.EndTransfer());
    samples.push_back(UsSince(start));
    if (r != vz::kCmdOk) state.SkipWithError("a read failed");
    reports = device->RequestCount(1) + device->RequestCount(2) + device->RequestCount(3) +
              device->RequestCount(7) + device->RequestCount(8) - before;
  }
  const double minimumUs = static_cast<double>(reports) * 2.0 * 1000.0 * vz::emulator::kUsbFrameMs;
  const double pauseUs = 1000.0 * vz::kEndTransferPauseMs;
  const double median = MedianUs(samples);
  state.counters["reports"] = static_cast<double>(reports);
  state.counters["median_ms"] = median / 1000.0;
  state.counters["minimum_ms"] = (minimumUs + pauseUs) / 1000.0;
  state.counters["ratio"] = median / (minimumUs + pauseUs);
  state.counters["ratio_wire_only"] = (median - pauseUs) / minimumUs;
  // The best run shows the host's own cost when the scheduler does not get in the way.
  state.counters["ratio_best"] =
      *std::min_element(samples.begin(), samples.end()) / (minimumUs + pauseUs);
}
BENCHMARK(BM_ConnectReads)->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
