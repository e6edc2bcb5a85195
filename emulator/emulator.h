// Attaching emulated devices to the running program (--emulate, --trace): a virtual HID
// backend is registered with the HID layer and the listed devices are plugged into it, so
// everything above the platform layer meets them exactly as it would meet hardware.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "emulator/emulated_device.h"
#include "platform/hid/virtual_backend.h"

namespace vz::emulator {

// The devices of one attach. Destroying it unplugs them and unregisters the backend.
class Emulation {
 public:
  Emulation(std::shared_ptr<hid::VirtualBackend> backend,
            std::vector<std::shared_ptr<EmulatedDevice>> devices);
  ~Emulation();
  Emulation(const Emulation&) = delete;
  Emulation& operator=(const Emulation&) = delete;

  const std::vector<std::shared_ptr<EmulatedDevice>>& Devices() const { return devices_; }
  // The device attached under an --emulate name, or null.
  std::shared_ptr<EmulatedDevice> Find(const std::string& name) const;
  const std::shared_ptr<hid::VirtualBackend>& Backend() const { return backend_; }

 private:
  std::shared_ptr<hid::VirtualBackend> backend_;
  std::vector<std::shared_ptr<EmulatedDevice>> devices_;
};

// The devices attached when --emulate names none.
inline constexpr const char* kDefaultDeviceList = "mouse,keyboard,mousepad";

// list: comma-separated names ("mouse", "keyboard", "keyboard-rgb", "keyboard-7200",
// "mousepad"), empty for kDefaultDeviceList. traceFile: empty for no trace. Null, with the
// reason in *error, for an unknown or repeated name or a trace file that cannot be written;
// nothing is attached then.
std::unique_ptr<Emulation> Attach(const std::string& list, const std::string& traceFile,
                                  std::string* error);

}  // namespace vz::emulator
