// HidDevice on the hidraw backend over a stand-in sysfs tree: the path list, opening with
// the four flags, transfers under time-out and cancel, decoding, probing.
#include "device/hid_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "platform/hid/descriptors.h"
#include "platform/hid/fake_hidraw.h"
#include "platform/hid/hidraw_backend.h"

namespace vz {
namespace {

using Clock = std::chrono::steady_clock;
using hid::testing::Bytes;
using hid::testing::FakeHidraw;
using hid::testing::FakeNodeSetup;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

const char kConfigPath[] = "\\\\?\\hid#vid_195d&pid_1028&mi_01&col02#hidraw3#0003:195D:1028.0003#hidraw";
const char kEventsPath[] = "\\\\?\\hid#vid_195d&pid_1028&mi_01&col01#hidraw3#0003:195D:1028.0003#hidraw";

FakeNodeSetup GamingMouse() {
  return {3, "0003:195D:1028.0003", 0x195D, 0x1028, 1, 0x0210, "Gaming Mouse", "", hid::testing::kGamingMouse};
}

Bytes CommandReport(std::uint8_t command) {
  Bytes r(64, 0);
  r[0] = 4;
  r[3] = command;
  return r;
}

class HidDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("VZ_RUNTIME_DIR", (fake.Root() + "/run").c_str(), 1);
    backend = std::make_shared<hid::HidrawBackend>(fake.Sys(), fake.Dev());
    hid::RegisterBackend(backend);
  }
  void TearDown() override { hid::UnregisterBackend(backend); }

  FakeHidraw fake;
  std::shared_ptr<hid::HidrawBackend> backend;
};

struct PathCase {
  const char* path;
  std::uint16_t vendorId, productId;
  int interfaceNumber, collectionNumber;
};

TEST(HidDevicePath, ReadsTheMarkers) {
  const PathCase cases[] = {
      {"\\\\?\\HID#VID_195D&PID_1028&MI_01&COL02#7&1a2b&0&0001#{4d1e55b2}", 0x195D, 0x1028, 1, 2},
      {kConfigPath, 0x195D, 0x1028, 1, 2},
      {"\\\\?\\hid#vid_0c45&pid_6556&mi_00#hidraw1#x#hidraw", 0x0C45, 0x6556, 0, 0},
      {"\\\\?\\hid#vid_1234#no product", 0x1234, 0, 0, 0},
      {"no markers at all", 0, 0, 0, 0},
      {"ends in vid_", 0, 0, 0, 0},
      {"vid_12345678&pid_fffff", 0x5678, 0xFFFF, 0, 0},
      {"&mi_0a&col1f", 0, 0, 10, 31},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(VendorIdFromPath(c.path), c.vendorId);
    EXPECT_EQ(ProductIdFromPath(c.path), c.productId);
    EXPECT_EQ(InterfaceNumberFromPath(c.path), c.interfaceNumber);
    EXPECT_EQ(CollectionNumberFromPath(c.path), c.collectionNumber);
  }
}

TEST_F(HidDeviceTest, PathListGrowsByDoublingFromEight) {
  struct Case {
    int interfaces;
    std::size_t capacity;
  };
  const Case cases[] = {{0, 8}, {8, 8}, {9, 16}, {10, 16}, {17, 32}};
  int added = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.interfaces);
    for (; added < c.interfaces; ++added) {
      char name[32];
      std::snprintf(name, sizeof name, "0003:0C45:%04X.%04X", 0x7000 + added, added + 1);
      fake.Add({added, name, 0x0C45, static_cast<std::uint16_t>(0x7000 + added), 0, 0x100, "Pad", "",
                hid::testing::kConsumerControl});
    }
    HidDevice device;
    ASSERT_EQ(device.EnumeratePaths(), 1);
    EXPECT_EQ(device.PathCount(), static_cast<std::size_t>(c.interfaces));
    EXPECT_EQ(device.PathCapacity(), c.capacity);
    int walked = 0;
    while (const std::string* path = device.NextPath()) {
      EXPECT_EQ(ProductIdFromPath(*path), 0x7000 + walked);
      ++walked;
    }
    EXPECT_EQ(walked, c.interfaces);
    EXPECT_EQ(device.NextPath(), nullptr);
    device.FreePaths();
    EXPECT_EQ(device.NextPath(), nullptr);
    EXPECT_EQ(device.PathCapacity(), 0u);
  }
}

TEST_F(HidDeviceTest, OpenLoadsAttributesCapsAndElements) {
  fake.Add(GamingMouse());
  HidDevice device;
  ASSERT_EQ(device.OpenPath(kConfigPath, true, true, true, false), 1) << device.LastError();
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(device.Path(), kConfigPath);
  EXPECT_EQ(device.VendorId(), 0x195D);
  EXPECT_EQ(device.ProductId(), 0x1028);
  EXPECT_EQ(device.VersionNumber(), 0x0210);
  EXPECT_EQ(device.UsagePage(), 0xFF1C);
  EXPECT_EQ(device.Usage(), 0x92);
  EXPECT_EQ(device.InputReportLength(), 64);
  EXPECT_EQ(device.OutputReportLength(), 64);
  EXPECT_EQ(device.FeatureReportLength(), 0);
  EXPECT_EQ(device.InterfaceNumber(), 1);
  EXPECT_EQ(device.CollectionNumber(), 2);
  ASSERT_NE(device.InputReportBuffer(), nullptr);
  // The 63 vendor bytes are one value capability of one usage: one element.
  EXPECT_EQ(device.Elements(hid::ReportType::kInput).size(), 1u);

  device.Close();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.UsagePage(), 0);
  EXPECT_TRUE(device.Elements(hid::ReportType::kInput).empty());
  EXPECT_EQ(device.InputReportBuffer(), nullptr);
}

TEST_F(HidDeviceTest, OpenFailsClosedForMissingOrOverlongPaths) {
  fake.Add(GamingMouse());
  HidDevice device;
  ASSERT_EQ(device.OpenPath(kConfigPath, true, true, true, false), 1);
  const std::string tooLong = std::string(kConfigPath) + std::string(260, 'x');
  EXPECT_EQ(device.OpenPath(tooLong, true, true, true, false), 0);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.OpenPath("\\\\?\\hid#vid_195d&pid_1028&mi_01&col02#hidraw9#gone#hidraw", true, true, true, false), 0);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_FALSE(device.LastError().empty());
}

TEST_F(HidDeviceTest, ExclusiveOpenSharesReadOnly) {
  fake.Add(GamingMouse());
  struct Open {
    bool read, write, exclusive;
  };
  struct Case {
    const char* name;
    Open first, second;
    bool secondOpens;
  };
  const Case cases[] = {
      {"two shared writers", {true, true, false}, {true, true, false}, true},
      {"writer after exclusive", {true, true, true}, {true, true, false}, false},
      {"reader after exclusive", {true, true, true}, {true, false, false}, true},
      {"exclusive after writer", {true, true, false}, {true, true, true}, false},
      {"exclusive after reader", {true, false, false}, {true, true, true}, true},
      {"two exclusive readers", {true, false, true}, {true, false, true}, true},
      {"exclusive reader after exclusive writer", {true, true, true}, {true, false, true}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HidDevice first, second;
    ASSERT_EQ(first.OpenPath(kConfigPath, c.first.read, c.first.write, true, c.first.exclusive), 1);
    EXPECT_EQ(second.OpenPath(kConfigPath, c.second.read, c.second.write, true, c.second.exclusive),
              c.secondOpens ? 1 : 0);
    // The other collection of the same interface is not affected.
    HidDevice events;
    EXPECT_EQ(events.OpenPath(kEventsPath, true, true, true, false), 1);
    first.Close();
    EXPECT_EQ(second.Reopen(), 1) << second.LastError();
  }
}

TEST_F(HidDeviceTest, WriteThenReadOneExchange) {
  auto& node = fake.Add(GamingMouse());
  HidDevice device;
  ASSERT_EQ(device.OpenPath(kConfigPath, true, true, true, false), 1);
  const Bytes request = CommandReport(3);
  std::uint32_t written = 0;
  ASSERT_EQ(device.WriteReport(64, &written, request.data(), 1000), 1);
  EXPECT_EQ(written, 64u);
  EXPECT_EQ(node.Receive(1000), request);

  Bytes response = CommandReport(3);
  response[7] = 0x01;
  node.Send(response);
  std::uint8_t buf[64] = {};
  std::uint32_t read = 0;
  ASSERT_EQ(device.ReadReport(64, &read, buf, 1000), 1);
  EXPECT_EQ(read, 64u);
  EXPECT_EQ(Bytes(buf, buf + 64), response);
}

TEST_F(HidDeviceTest, TimeOutGivesZeroAndKeepsTheRecordOpen) {
  fake.Add(GamingMouse());
  HidDevice device;
  ASSERT_EQ(device.OpenPath(kConfigPath, true, true, true, false), 1);
  std::uint8_t buf[64];
  std::uint32_t read = 77;
  const auto start = Clock::now();
  EXPECT_EQ(device.ReadReport(64, &read, buf, 100), 0);
  EXPECT_GE(MsSince(start), 100);
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(device.LastError(), "timed out");
}

// Whatever breaks off a waiting read (the cancel event, Close, Reopen) ends it at once
// with 0 bytes, and nothing lands in the caller's buffer afterwards.
TEST_F(HidDeviceTest, BreakingOffAWaitingReadReturnsAtOnce) {
  auto& node = fake.Add(GamingMouse());
  struct Case {
    const char* name;
    bool exclusive;
    void (*interrupt)(HidDevice&);
    bool openAfter;
  };
  const Case cases[] = {
      {"cancel event", false, [](HidDevice& d) { d.SignalCancel(); }, true},
      {"Close", false, [](HidDevice& d) { d.Close(); }, false},
      {"Reopen", false, [](HidDevice& d) { EXPECT_EQ(d.Reopen(), 1) << d.LastError(); }, true},
      // The interrupted read's share must be released before the exclusive reopen.
      {"Reopen exclusive", true, [](HidDevice& d) { EXPECT_EQ(d.Reopen(), 1) << d.LastError(); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HidDevice device;
    ASSERT_EQ(device.OpenPath(kConfigPath, true, true, true, c.exclusive), 1);
    std::uint8_t buf[64];
    std::memset(buf, 0xEE, sizeof buf);
    std::uint32_t read = 77;
    int result = -1;
    Clock::time_point returned;
    std::thread reader([&] {
      result = device.ReadReport(64, &read, buf, 5000);
      returned = Clock::now();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto interrupted = Clock::now();
    c.interrupt(device);
    reader.join();
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(returned - interrupted).count();
    std::cout << c.name << ": read returned " << us << " us after the interruption\n";
    EXPECT_LT(us, 100000);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(device.IsOpen(), c.openAfter);
    node.Send(CommandReport(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Bytes(buf, buf + 64), Bytes(64, 0xEE));
  }
}

TEST_F(HidDeviceTest, EventListenerDecodesTheDeviceEvent) {
  auto& node = fake.Add(GamingMouse());
  HidDevice listener;
  ASSERT_EQ(listener.OpenPath(kEventsPath, true, false, true, false), 1);
  EXPECT_EQ(listener.UsagePage(), 0x0C);
  EXPECT_EQ(listener.Usage(), 0x01);
  node.Send(CommandReport(5));  // the command collection's traffic is not this reader's
  node.Send({0x03, 0x02, 0x04, 0x10, 0x00});
  std::uint32_t read = 0;
  ASSERT_EQ(listener.ReadReport(listener.InputReportLength(), &read, listener.InputReportBuffer(), 1000), 1);
  ASSERT_EQ(read, 5u);
  ASSERT_TRUE(listener.UnpackReport(hid::ReportType::kInput, listener.InputReportBuffer(), read));
  const auto& elements = listener.Elements(hid::ReportType::kInput);
  ASSERT_FALSE(elements.empty());
  EXPECT_EQ(elements[0].button.usages[0], 0x402);
  EXPECT_EQ(elements[0].button.usages[1], 0);
}

TEST_F(HidDeviceTest, ProbeTellsWhetherThatVeryDeviceIsThere) {
  fake.Add(GamingMouse());
  EXPECT_TRUE(ProbePath(kConfigPath));
  HidDevice device;
  ASSERT_EQ(device.OpenPath(kConfigPath, true, true, true, false), 1);
  fake.Unplug(3);
  EXPECT_FALSE(ProbePath(kConfigPath));
  std::uint8_t buf[64];
  std::uint32_t read = 0;
  const auto start = Clock::now();
  EXPECT_EQ(device.ReadReport(64, &read, buf, 5000), 0);
  EXPECT_LT(MsSince(start), 100);
  EXPECT_EQ(device.LastError(), "device gone");
  EXPECT_FALSE(ProbePath("not a path"));
}

}  // namespace
}  // namespace vz
