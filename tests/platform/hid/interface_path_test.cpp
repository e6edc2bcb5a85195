// Interface paths: the markers the path functions read, and the node, identity and backend
// found again from the path, whatever characters they hold.
#include "platform/hid/interface_path.h"

#include <gtest/gtest.h>

namespace vz::hid {
namespace {

TEST(InterfacePath, RoundTripsEveryPart) {
  const InterfacePath cases[] = {
      {0x195D, 0x1028, 1, 2, "hidraw3", "0003:195D:1028.000A", "hidraw"},
      {0x0C45, 0x6556, -1, 0, "kb#1", "plug 7%done", "virtual"},
      {0xFFFF, 0x0000, 0xFF, 0xFF, "n", "", "b/with/slashes"},
  };
  for (const InterfacePath& in : cases) {
    const std::string path = FormatInterfacePath(in);
    SCOPED_TRACE(path);
    InterfacePath out;
    ASSERT_TRUE(ParseInterfacePath(path, &out));
    EXPECT_EQ(out.vendorId, in.vendorId);
    EXPECT_EQ(out.productId, in.productId);
    EXPECT_EQ(out.interfaceNumber, in.interfaceNumber);
    EXPECT_EQ(out.collection, in.collection);
    EXPECT_EQ(out.nodeId, in.nodeId);
    EXPECT_EQ(out.identity, in.identity);
    EXPECT_EQ(out.backend, in.backend);
    EXPECT_EQ(HexAfterMarker(path, "vid_"), in.vendorId);
  }
  EXPECT_EQ(FormatInterfacePath(cases[0]), "\\\\?\\hid#vid_195d&pid_1028&mi_01&col02#hidraw3#0003:195D:1028.000A#hidraw");
  EXPECT_EQ(FormatInterfacePath(cases[1]), "\\\\?\\hid#vid_0c45&pid_6556#kb%231#plug%207%25done#virtual");
}

TEST(InterfacePath, RefusesWhatItDidNotMake) {
  const char* const paths[] = {
      "",
      "\\\\?\\hid#vid_195d&pid_1028#hidraw3#id",                 // a part missing
      "\\\\?\\hid#vid_195d&pid_1028#hidraw3#id#hidraw#extra",    // a part too many
      "\\\\?\\usb#vid_195d&pid_1028#hidraw3#id#hidraw",          // another prefix
      "\\\\?\\hid#pid_1028#hidraw3#id#hidraw",                   // no vendor id
      "\\\\?\\hid#vid_195d&pid_1028#hidraw%2#id#hidraw",         // escape cut short
      "\\\\?\\hid#vid_195d&pid_1028#hidraw3#id%zz#hidraw",       // escape not hexadecimal
      "\\\\?\\hid#vid_195d&pid_1028##id#hidraw",                 // no node
  };
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    InterfacePath out;
    EXPECT_FALSE(ParseInterfacePath(path, &out));
  }
}

}  // namespace
}  // namespace vz::hid
