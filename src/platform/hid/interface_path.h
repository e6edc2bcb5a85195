// Device paths of HID interfaces, one per top-level collection, in the platform's form:
//
//   \\?\hid#vid_195d&pid_1028&mi_01&col02#hidraw3#0003:195D:1028.000A#hidraw
//           ^ ids, interface, collection   ^ node  ^ identity           ^ backend
//
// "&mi_nn" is left out when the interface number is unknown and "&colnn" (01-based, two
// hex digits) when the node has a single collection. Node, identity and backend are
// percent-escaped so that '#' inside them cannot split the path.
#pragma once

#include <cstdint>
#include <string>

namespace vz::hid {

struct InterfacePath {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  int interfaceNumber = -1;  // -1: unknown, no "&mi_"
  int collection = 0;        // 0: the node's only collection, no "&col"; else 1-based
  std::string nodeId;
  std::string identity;
  std::string backend;
};

std::string FormatInterfacePath(const InterfacePath& p);
// False for a string that is not a path made by FormatInterfacePath.
bool ParseInterfacePath(const std::string& path, InterfacePath* out);

// The hexadecimal number after the first occurrence of `marker` (any letter case), or
// `absent` when the marker is missing. At most eight digits are read.
std::uint32_t HexAfterMarker(const std::string& path, const char* marker, std::uint32_t absent = 0);

}  // namespace vz::hid
