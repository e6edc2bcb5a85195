#include "emulator/emulator.h"

#include <algorithm>
#include <sstream>

#include "platform/hid/hid_layer.h"

namespace vz::emulator {

Emulation::Emulation(std::shared_ptr<hid::VirtualBackend> backend,
                     std::vector<std::shared_ptr<EmulatedDevice>> devices)
    : backend_(std::move(backend)), devices_(std::move(devices)) {
  hid::RegisterBackend(backend_);
  for (const auto& d : devices_) d->Plug();
}

Emulation::~Emulation() {
  for (const auto& d : devices_) d->Unplug();
  hid::UnregisterBackend(backend_);
}

std::shared_ptr<EmulatedDevice> Emulation::Find(const std::string& name) const {
  for (const auto& d : devices_) {
    if (d->Name() == name) return d;
  }
  return nullptr;
}

std::unique_ptr<Emulation> Attach(const std::string& list, const std::string& traceFile,
                                  std::string* error) {
  std::vector<Model> models;
  std::istringstream names(list.empty() ? kDefaultDeviceList : list);
  for (std::string name; std::getline(names, name, ',');) {
    Model model;
    if (!ModelFromName(name, &model)) {
      if (error) *error = "unknown emulated device \"" + name + "\"";
      return nullptr;
    }
    if (std::find(models.begin(), models.end(), model) != models.end()) {
      if (error) *error = "emulated device \"" + name + "\" is listed twice";
      return nullptr;
    }
    models.push_back(model);
  }
  std::shared_ptr<Trace> trace;
  if (!traceFile.empty()) {
    trace = Trace::ToFile(traceFile, error);
    if (!trace) return nullptr;
  }
  auto backend = std::make_shared<hid::VirtualBackend>();
  std::vector<std::shared_ptr<EmulatedDevice>> devices;
  for (Model m : models) devices.push_back(EmulatedDevice::Create(backend, m, trace));
  return std::make_unique<Emulation>(std::move(backend), std::move(devices));
}

}  // namespace vz::emulator
