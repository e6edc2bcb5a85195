#include "platform/hid/hid_listing.h"

#include <cstdio>

namespace vz::hid {

std::string FormatInterfaceList(const Enumeration& e, const std::vector<std::string>* openErrors) {
  std::string out;
  char line[256];
  for (std::size_t n = 0; n < e.interfaces.size(); ++n) {
    const InterfaceInfo& i = e.interfaces[n];
    std::snprintf(line, sizeof line,
                  "  vendor 0x%04X  product 0x%04X  version 0x%04X  usage page 0x%04X  usage 0x%04X\n"
                  "  input %u  output %u  feature %u bytes\n",
                  i.attributes.vendorId, i.attributes.productId, i.attributes.versionNumber, i.caps.usagePage,
                  i.caps.usage, i.caps.inputReportByteLength, i.caps.outputReportByteLength,
                  i.caps.featureReportByteLength);
    out += i.path + "\n" + line;
    if (!i.product.empty()) out += "  \"" + i.product + "\"\n";
    if (openErrors != nullptr && n < openErrors->size() && !(*openErrors)[n].empty()) {
      out += "  cannot be opened: " + (*openErrors)[n] + "\n";
    }
  }
  for (const RejectedNode& r : e.rejected) {
    out += r.backend + " " + r.nodeId + ": report descriptor refused: " + r.reason + "\n";
  }
  if (e.interfaces.empty() && e.rejected.empty()) out += "no HID interfaces\n";
  return out;
}

std::string ListInterfaces(bool* ok) {
  Enumeration e;
  *ok = EnumerateInterfaces(&e);
  std::vector<std::string> openErrors;
  for (const InterfaceInfo& i : e.interfaces) {
    std::string error;
    openErrors.push_back(OpenInterface(i.path, true, true, false, &error) ? std::string() : error);
  }
  return FormatInterfaceList(e, &openErrors);
}

}  // namespace vz::hid
