// The listing of every HID interface for diagnostics (vz-list-devices, --list-devices).
#pragma once

#include <string>
#include <vector>

#include "platform/hid/hid_layer.h"

namespace vz::hid {

// One block per path: the path, then vendor, product, version, usage page, usage and the
// three report byte lengths, and the device's name; then one line per node whose report
// descriptor was refused, with the reason. Numbers in hexadecimal except the lengths.
// openErrors, when given, holds per interface why it cannot be opened for reading and
// writing (empty when it can), shown under its block.
std::string FormatInterfaceList(const Enumeration& e, const std::vector<std::string>* openErrors = nullptr);

// Enumerates, tries a shared read-write open of every path (a missing udev rule shows as
// "permission denied" there) and formats. *ok is false when a backend's listing failed.
std::string ListInterfaces(bool* ok);

}  // namespace vz::hid
