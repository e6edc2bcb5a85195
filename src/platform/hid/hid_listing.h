// The listing of every HID interface for diagnostics (vz-list-devices, --list-devices).
#pragma once

#include <string>

#include "platform/hid/hid_layer.h"

namespace vz::hid {

// One block per path: the path, then vendor, product, version, usage page, usage and the
// three report byte lengths, and the device's name; then one line per node whose report
// descriptor was refused, with the reason. Numbers in hexadecimal except the lengths.
std::string FormatInterfaceList(const Enumeration& e);

// Enumerates and formats. *ok is false when a backend's listing failed.
std::string ListInterfaces(bool* ok);

}  // namespace vz::hid
