// The three devices as the application meets them: emulated mouse, mousepad and colour
// keyboard behind the virtual HID backend, each answering with USB latency (1 ms per report
// each way), each opened on a DeviceChannel, and the engine's links wired to the channels
// as the application wires them (WriteLightFrame, open flag, sync flag).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "device/device_channel.h"
#include "emulator/emulated_device.h"
#include "lighting/lighting_io.h"
#include "platform/hid/hid_layer.h"

namespace vz::lighting::testing {

class ChannelLink : public KeyboardLink {
 public:
  explicit ChannelLink(DeviceChannel& channel) : channel_(channel) {}

  bool IsConnected() const override { return channel_.IsOpen(); }
  bool SyncFlag() const override { return channel_.SyncFlag(); }
  LightingFields Fields() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return fields_;
  }
  void SetFields(const LightingFields& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    fields_ = f;
  }
  int SendFrame(const std::uint8_t* frame, std::uint16_t length) override {
    return channel_.WriteLightFrame(frame, length);
  }
  std::uint8_t Model() const override { return kColourKeyboard; }
  void CustomLayout(std::array<std::uint8_t, kColourFrameSize>& out) const override {
    out.fill(0);
  }

 private:
  DeviceChannel& channel_;
  mutable std::mutex mutex_;
  LightingFields fields_;
};

class SyncBox : public SyncSource {
 public:
  LightingFields SyncLighting() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return fields_;
  }
  void Set(const LightingFields& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    fields_ = f;
  }

 private:
  mutable std::mutex mutex_;
  LightingFields fields_;
};

// When each light frame began on the wire: the trace time of every command 18 request
// whose chunk offset is 0, by device name.
class FrameStarts {
 public:
  void Add(const std::string& line) {
    std::istringstream in(line);
    long long ms = 0;
    std::string device, direction;
    in >> ms >> device >> direction;
    if (direction != ">") return;
    std::uint8_t report[8] = {};
    std::string hex;
    for (int i = 0; i < 8 && in >> hex; ++i) {
      report[i] = static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16));
    }
    const bool frameStart = report[3] == static_cast<std::uint8_t>(Command::kWriteLightFrame) &&
                            report[5] == 0 && report[6] == 0;
    if (!frameStart) return;
    std::lock_guard<std::mutex> lock(mutex_);
    starts_.push_back({ms, device});
  }
  std::vector<long long> Of(const std::string& device) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<long long> out;
    for (const auto& s : starts_) {
      if (s.device == device) out.push_back(s.ms);
    }
    return out;
  }

 private:
  struct Start {
    long long ms;
    std::string device;
  };
  mutable std::mutex mutex_;
  std::vector<Start> starts_;
};

class EmulatedRig {
 public:
  // traced: keep the frame starts of the trace (costs a line of text per report).
  explicit EmulatedRig(bool traced)
      : starts_(std::make_shared<FrameStarts>()),
        trace_(traced ? emulator::Trace::ToCallback(
                            [s = starts_](const std::string& line) { s->Add(line); })
                      : nullptr),
        mouseDevice_(Plugged(emulator::Model::kMouse)),
        padDevice_(Plugged(emulator::Model::kMousepad)),
        keyboardDevice_(Plugged(emulator::Model::kKeyboardRgb)),
        mouse(mouseChannel_),
        mousepad(padChannel_),
        keyboard(keyboardChannel_) {
    Open(mouseChannel_, *mouseDevice_);
    Open(padChannel_, *padDevice_);
    Open(keyboardChannel_, *keyboardDevice_);
  }

  bool AllOpen() const {
    return mouseChannel_.IsOpen() && padChannel_.IsOpen() && keyboardChannel_.IsOpen();
  }
  DeviceChannel& Channel(Device d) {
    if (d == Device::kMouse) return mouseChannel_;
    return d == Device::kMousepad ? padChannel_ : keyboardChannel_;
  }
  emulator::EmulatedDevice& Emulated(Device d) {
    if (d == Device::kMouse) return *mouseDevice_;
    return d == Device::kMousepad ? *padDevice_ : *keyboardDevice_;
  }
  const FrameStarts& Starts() const { return *starts_; }
  LightingIo Io() { return {&mouse, &mousepad, &keyboard, &sync, nullptr}; }

 private:
  static std::shared_ptr<hid::VirtualBackend> Backend() {
    static const std::shared_ptr<hid::VirtualBackend> backend = [] {
      auto b = std::make_shared<hid::VirtualBackend>();
      hid::RegisterBackend(b);
      return b;
    }();
    return backend;
  }

  std::shared_ptr<emulator::EmulatedDevice> Plugged(emulator::Model model) {
    auto device = emulator::EmulatedDevice::Create(Backend(), model, trace_);
    device->SetUsbLatency(true);
    device->Plug();
    return device;
  }

  // The presence thread's search, cut down to the one device: the vendor collection of
  // the device's vendor and product id.
  static void Open(DeviceChannel& channel, emulator::EmulatedDevice& device) {
    const auto& spec = device.Spec();
    channel.SetIdentity(spec.vendorId, spec.productId, 0x92, 0xFF1C);
    HidDevice& hid = channel.Device();
    if (!hid.EnumeratePaths()) return;
    while (const std::string* path = hid.NextPath()) {
      if (VendorIdFromPath(*path) != spec.vendorId || ProductIdFromPath(*path) != spec.productId) {
        continue;
      }
      if (!hid.OpenPath(*path, true, true, true, false)) continue;
      if (hid.UsagePage() == 0xFF1C && hid.Usage() == 0x92) {
        channel.SetOpen(true);
        break;
      }
      hid.Close();
    }
    hid.FreePaths();
  }

  std::shared_ptr<FrameStarts> starts_;
  std::shared_ptr<emulator::Trace> trace_;
  std::shared_ptr<emulator::EmulatedDevice> mouseDevice_;
  std::shared_ptr<emulator::EmulatedDevice> padDevice_;
  std::shared_ptr<emulator::EmulatedDevice> keyboardDevice_;
  // Declared after the devices so that they close before the devices go.
  DeviceChannel mouseChannel_;
  DeviceChannel padChannel_;
  DeviceChannel keyboardChannel_;

 public:
  ChannelLink mouse;
  ChannelLink mousepad;
  ChannelLink keyboard;
  SyncBox sync;
};

}  // namespace vz::lighting::testing
