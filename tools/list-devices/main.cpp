// Prints every HID interface path the HID layer presents, with its ids, usage page and
// usage and report lengths, and the nodes whose report descriptors were refused.
// VZ_SYSFS_ROOT and VZ_DEV_ROOT point the hidraw backend at another tree.
#include <cstdio>
#include <cstring>

#include "platform/hid/hid_listing.h"

int main(int argc, char** argv) {
  if (argc > 1) {
    const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
    std::fprintf(help ? stdout : stderr, "usage: %s\nLists the HID interfaces, one path per top-level collection.\n",
                 argv[0]);
    return help ? 0 : 2;
  }
  bool ok = true;
  const std::string listing = vz::hid::ListInterfaces(&ok);
  std::fputs(listing.c_str(), stdout);
  if (!ok) {
    std::fputs("the HID interfaces could not all be listed\n", stderr);
    return 1;
  }
  return 0;
}
