// A DeviceChannel opened on an emulated device through the real HID layer, with every
// report on the wire recorded from the device's trace.
#pragma once

#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "device/device_channel.h"
#include "emulator/emulated_device.h"
#include "platform/hid/hid_layer.h"

namespace vz::test {

using Bytes = std::vector<std::uint8_t>;

// One backend for the whole test program; each fixture plugs its own device into it.
inline std::shared_ptr<hid::VirtualBackend> SharedBackend() {
  static const std::shared_ptr<hid::VirtualBackend> backend = [] {
    auto b = std::make_shared<hid::VirtualBackend>();
    hid::RegisterBackend(b);
    return b;
  }();
  return backend;
}

struct WireReport {
  char direction;  // '>' host to device, '<' device to host
  Bytes bytes;
};

class WireLog {
 public:
  void Add(const std::string& line) {
    std::istringstream in(line);
    std::string ms, device, direction, hex;
    in >> ms >> device >> direction;
    WireReport r{direction[0], {}};
    while (in >> hex) r.bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16)));
    std::lock_guard lock(mutex_);
    reports_.push_back(std::move(r));
  }
  std::vector<WireReport> All() const {
    std::lock_guard lock(mutex_);
    return reports_;
  }
  std::vector<Bytes> Requests() const {
    std::vector<Bytes> out;
    for (const auto& r : All()) {
      if (r.direction == '>') out.push_back(r.bytes);
    }
    return out;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    reports_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<WireReport> reports_;
};

class ChannelFixture {
 public:
  explicit ChannelFixture(emulator::Model model = emulator::Model::kMouse,
                          emulator::DeviceOptions options = {})
      : log(std::make_shared<WireLog>()),
        device(emulator::EmulatedDevice::Create(
            SharedBackend(), model,
            emulator::Trace::ToCallback([l = log](const std::string& line) { l->Add(line); }),
            options)) {
    device->Plug();
    const auto& spec = device->Spec();
    channel.SetIdentity(spec.vendorId, spec.productId, 0x92, 0xFF1C);
    opened = Open();
    channel.SetOpen(opened);
  }

  std::shared_ptr<WireLog> log;
  std::shared_ptr<emulator::EmulatedDevice> device;
  DeviceChannel channel;
  bool opened = false;

 private:
  bool Open() {
    HidDevice& hid = channel.Device();
    const auto id = channel.Identity();
    if (!hid.EnumeratePaths()) return false;
    bool found = false;
    while (const std::string* path = hid.NextPath()) {
      if (VendorIdFromPath(*path) != id.vendorId || ProductIdFromPath(*path) != id.productId) {
        continue;
      }
      if (!hid.OpenPath(*path, true, true, true, false)) continue;
      if (hid.UsagePage() == id.usagePage && hid.Usage() == id.usage) {
        found = true;
        break;
      }
      hid.Close();
    }
    hid.FreePaths();
    return found;
  }
};

}  // namespace vz::test
