#include "emulator/emulator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "platform/hid/hid_layer.h"

namespace vz::emulator {
namespace {

std::vector<hid::InterfaceInfo> Emulated() {
  hid::Enumeration all;
  hid::EnumerateInterfaces(&all);
  std::vector<hid::InterfaceInfo> out;
  for (const auto& i : all.interfaces) {
    if (i.backend == "virtual") out.push_back(i);
  }
  return out;
}

TEST(Attach, RefusesUnknownAndRepeatedNames) {
  const char* lists[] = {"mouse,trackball", "mouse,mouse", ",mouse"};
  for (const char* list : lists) {
    std::string error;
    EXPECT_FALSE(Attach(list, "", &error)) << list;
    EXPECT_FALSE(error.empty()) << list;
  }
  EXPECT_TRUE(Emulated().empty()) << "nothing attached after a refusal";
}

TEST(Attach, TheDefaultListIsTheThreeDevicesAndTheyLeaveWithTheHandle) {
  std::string error;
  {
    auto emulation = Attach("", "", &error);
    ASSERT_TRUE(emulation) << error;
    ASSERT_EQ(emulation->Devices().size(), 3u);
    EXPECT_TRUE(emulation->Find("mouse"));
    EXPECT_TRUE(emulation->Find("keyboard"));
    EXPECT_TRUE(emulation->Find("mousepad"));
    EXPECT_FALSE(emulation->Find("keyboard-rgb"));
    EXPECT_FALSE(Emulated().empty());
  }
  EXPECT_TRUE(Emulated().empty());
}

// The layer sees each top-level collection as its own path: the keyboard's interface 1
// holds both the consumer control and the vendor collection.
TEST(Attach, CollectionsAppearAsPathsWithTheirUsages) {
  std::string error;
  auto emulation = Attach("mouse,keyboard-rgb", "", &error);
  ASSERT_TRUE(emulation) << error;
  struct Want {
    std::uint16_t product, usagePage, usage;
    int interfaceNumber;
    std::uint16_t inputLength;
  };
  const Want wants[] = {{0x1028, 0xFF1C, 0x92, 1, 64}, {0x1028, 0x0C, 0x01, 2, 3},
                        {0x1028, 0x01, 0x02, 0, 0},    {0x0800, 0xFF1C, 0x92, 1, 64},
                        {0x0800, 0x0C, 0x01, 1, 3},    {0x0800, 0x01, 0x06, 0, 0}};
  const auto found = Emulated();
  for (const auto& w : wants) {
    const auto it = std::find_if(found.begin(), found.end(), [&](const hid::InterfaceInfo& i) {
      return i.attributes.productId == w.product && i.caps.usagePage == w.usagePage &&
             i.caps.usage == w.usage;
    });
    ASSERT_NE(it, found.end()) << std::hex << w.product << " page " << w.usagePage;
    EXPECT_EQ(it->interfaceNumber, w.interfaceNumber);
    if (w.inputLength) {
      EXPECT_EQ(it->caps.inputReportByteLength, w.inputLength);
    }
  }
}

TEST(Attach, TheTraceFileGetsOneLinePerReport) {
  char path[] = "/tmp/vz_trace_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  std::string error;
  {
    auto emulation = Attach("mousepad", path, &error);
    ASSERT_TRUE(emulation) << error;
    const auto paths = Emulated();
    ASSERT_EQ(paths.size(), 1u);
    auto itf = hid::OpenInterface(paths[0].path, true, true, false, &error);
    ASSERT_TRUE(itf) << error;
    std::uint8_t request[64] = {4, 1, 0, 1};  // BeginTransfer, checksum 1
    std::size_t n = 0;
    ASSERT_EQ(itf->Write(request, 64, &n, 100), hid::IoStatus::kOk);
    std::uint8_t answer[64];
    ASSERT_EQ(itf->Read(answer, 64, &n, 500), hid::IoStatus::kOk);
    EXPECT_EQ(answer[3], 1);
  }
  std::ifstream in(path);
  std::string first, second, extra;
  ASSERT_TRUE(std::getline(in, first));
  ASSERT_TRUE(std::getline(in, second));
  EXPECT_FALSE(std::getline(in, extra));
  EXPECT_NE(first.find(" mousepad > 04 01 00 01 00"), std::string::npos) << first;
  EXPECT_NE(second.find(" mousepad < 04 "), std::string::npos) << second;
  std::remove(path);

  EXPECT_FALSE(Attach("mouse", "/nonexistent-folder/trace.txt", &error));
  EXPECT_NE(error.find("/nonexistent-folder/trace.txt"), std::string::npos);
}

}  // namespace
}  // namespace vz::emulator
