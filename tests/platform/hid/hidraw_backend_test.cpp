// The hidraw backend and the layer above it, on a stand-in sysfs tree whose device files
// are SOCK_SEQPACKET sockets.
#include "platform/hid/hidraw_backend.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <new>
#include <thread>

#include "platform/hid/descriptors.h"
#include "platform/hid/fake_hidraw.h"
#include "platform/hid/hid_layer.h"
#include "platform/hid/hid_listing.h"

namespace vz::hid {
namespace {

using Clock = std::chrono::steady_clock;
using testing::Bytes;
using testing::FakeHidraw;
using testing::FakeNodeSetup;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

const FakeNodeSetup kMouseBoot{2, "0003:195D:1028.0001", 0x195D, 0x1028, 0, 0x0102, "Gaming Mouse", "", testing::kBootMouse};
const FakeNodeSetup kMouseConfig{10, "0003:195D:1028.0002", 0x195D, 0x1028, 1, 0x0102, "Gaming Mouse", "SN42",
                                testing::kGamingMouse};
const FakeNodeSetup kBroken{4, "0003:0C45:6556.0003", 0x0C45, 0x6556, 2, 0x0100, "Keyboard", "", {0x05, 0x01, 0xA1}};

const char kConfigPath[] = "\\\\?\\hid#vid_195d&pid_1028&mi_01&col02#hidraw10#0003:195D:1028.0002#hidraw";
const char kConsumerPath[] = "\\\\?\\hid#vid_195d&pid_1028&mi_01&col01#hidraw10#0003:195D:1028.0002#hidraw";
const char kBootPath[] = "\\\\?\\hid#vid_195d&pid_1028&mi_00#hidraw2#0003:195D:1028.0001#hidraw";

class Hidraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("VZ_RUNTIME_DIR", (fake.Root() + "/run").c_str(), 1);
    backend = std::make_shared<HidrawBackend>(fake.Sys(), fake.Dev());
    RegisterBackend(backend);
  }
  void TearDown() override { UnregisterBackend(backend); }

  std::unique_ptr<HidInterface> Open(const std::string& path, bool read = true, bool write = true,
                                     bool exclusive = false) {
    std::string error;
    auto i = OpenInterface(path, read, write, exclusive, &error);
    EXPECT_TRUE(i) << error;
    return i;
  }

  FakeHidraw fake;
  std::shared_ptr<HidrawBackend> backend;
};

TEST_F(Hidraw, EnumeratesNodesFromSysfsInNumberOrder) {
  fake.Add(kMouseConfig);
  fake.Add(kMouseBoot);
  std::vector<NodeInfo> nodes;
  ASSERT_TRUE(backend->Enumerate(&nodes));
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].nodeId, "hidraw2");
  EXPECT_EQ(nodes[1].nodeId, "hidraw10");
  const NodeInfo& n = nodes[1];
  EXPECT_EQ(n.identity, "0003:195D:1028.0002");
  EXPECT_EQ(n.vendorId, 0x195D);
  EXPECT_EQ(n.productId, 0x1028);
  EXPECT_EQ(n.version, 0x0102);
  EXPECT_EQ(n.interfaceNumber, 1);
  EXPECT_EQ(n.product, "Gaming Mouse");
  EXPECT_EQ(n.serial, "SN42");
  EXPECT_EQ(n.reportDescriptor, testing::kGamingMouse);
}

TEST_F(Hidraw, NoHidrawClassMeansNoNodes) {
  HidrawBackend none(fake.Root() + "/nowhere", fake.Dev());
  std::vector<NodeInfo> nodes{NodeInfo{}};
  EXPECT_TRUE(none.Enumerate(&nodes));
  EXPECT_TRUE(nodes.empty());
}

TEST_F(Hidraw, LayerGivesOnePathPerCollectionAndNamesRefusedNodes) {
  fake.Add(kMouseBoot);
  fake.Add(kMouseConfig);
  fake.Add(kBroken);
  Enumeration e;
  ASSERT_TRUE(EnumerateInterfaces(&e));
  ASSERT_EQ(e.interfaces.size(), 3u);
  EXPECT_EQ(e.interfaces[0].path, kBootPath);
  EXPECT_EQ(e.interfaces[0].collectionNumber, 0);
  EXPECT_EQ(e.interfaces[0].caps.inputReportByteLength, 4);
  EXPECT_EQ(e.interfaces[1].path, kConsumerPath);
  EXPECT_EQ(e.interfaces[1].caps.usagePage, 0x0C);
  EXPECT_EQ(e.interfaces[2].path, kConfigPath);
  EXPECT_EQ(e.interfaces[2].collectionNumber, 2);
  EXPECT_EQ(e.interfaces[2].caps.usagePage, 0xFF1C);
  EXPECT_EQ(e.interfaces[2].caps.usage, 0x92);
  EXPECT_EQ(e.interfaces[2].caps.inputReportByteLength, 64);
  EXPECT_EQ(e.interfaces[2].caps.outputReportByteLength, 64);
  ASSERT_EQ(e.rejected.size(), 1u);
  EXPECT_EQ(e.rejected[0].nodeId, "hidraw4");

  const std::string listing = FormatInterfaceList(e);
  EXPECT_NE(listing.find(std::string(kConfigPath) + "\n  vendor 0x195D  product 0x1028  version 0x0102  "
                                                    "usage page 0xFF1C  usage 0x0092\n  input 64  output 64  feature 0"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("hidraw hidraw4: report descriptor refused: "), std::string::npos) << listing;

  // The full listing tries every path: a node whose device file is missing says so.
  std::filesystem::remove(fake.Dev() + "/hidraw2");
  bool ok = false;
  const std::string tried = ListInterfaces(&ok);
  EXPECT_TRUE(ok);
  EXPECT_NE(tried.find(std::string(kBootPath) + "\n"), std::string::npos) << tried;
  EXPECT_NE(tried.find("cannot be opened: " + fake.Dev() + "/hidraw2: No such file or directory"), std::string::npos)
      << tried;
  EXPECT_EQ(tried.find("cannot be opened", tried.find(kConsumerPath)), std::string::npos) << tried;
}

TEST_F(Hidraw, ReadDeliversOnlyTheOpenedCollectionsReports) {
  auto& node = fake.Add(kMouseConfig);
  auto config = Open(kConfigPath);
  ASSERT_TRUE(config);
  Bytes command(64, 0);
  command[0] = 4;
  command[3] = 3;
  node.Send({0x03, 0x02, 0x04, 0x00, 0x00});  // a consumer event on the same node
  node.Send(command);
  std::uint8_t buf[64] = {};
  std::size_t got = 0;
  ASSERT_EQ(config->Read(buf, sizeof buf, &got, 1000), IoStatus::kOk);
  EXPECT_EQ(got, 64u);
  EXPECT_EQ(Bytes(buf, buf + 64), command);
}

TEST_F(Hidraw, CollectionWithoutIdsGetsAZeroIdByte) {
  auto& node = fake.Add(kMouseBoot);
  auto mouse = Open(kBootPath, true, false);
  ASSERT_TRUE(mouse);
  node.Send({0x01, 0xFE, 0x02});
  std::uint8_t buf[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  std::size_t got = 0;
  ASSERT_EQ(mouse->Read(buf, sizeof buf, &got, 1000), IoStatus::kOk);
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(Bytes(buf, buf + 4), (Bytes{0x00, 0x01, 0xFE, 0x02}));
}

TEST_F(Hidraw, WriteWithoutReportIdsKeepsTheZeroByte) {
  FakeNodeSetup keyboard = kMouseBoot;
  keyboard.descriptor = testing::kBootKeyboard;
  auto& node = fake.Add(keyboard);
  auto leds = Open(kBootPath);
  ASSERT_TRUE(leds);
  const Bytes capsLock = {0x00, 0x02};
  std::size_t put = 0;
  ASSERT_EQ(leds->Write(capsLock.data(), capsLock.size(), &put, 1000), IoStatus::kOk);
  EXPECT_EQ(node.Receive(1000), capsLock);
  const Bytes withId = {0x01, 0x02};
  EXPECT_EQ(leds->Write(withId.data(), withId.size(), &put, 100), IoStatus::kFailed);
}

TEST_F(Hidraw, WriteSendsExactlyTheCollectionsReport) {
  auto& node = fake.Add(kMouseConfig);
  auto config = Open(kConfigPath);
  ASSERT_TRUE(config);
  Bytes out(64, 0x5A);
  out[0] = 4;
  std::size_t put = 0;
  ASSERT_EQ(config->Write(out.data(), out.size(), &put, 1000), IoStatus::kOk);
  EXPECT_EQ(put, 64u);
  EXPECT_EQ(node.Receive(1000), out);

  struct Refused {
    const char* why;
    Bytes report;
  };
  const Refused refused[] = {
      {"report id of the other collection", Bytes(64, 0x03)},
      {"shorter than the report", Bytes(10, 0x04)},
  };
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.why);
    EXPECT_EQ(config->Write(r.report.data(), r.report.size(), &put, 100), IoStatus::kFailed);
    EXPECT_EQ(put, 0u);
  }
  EXPECT_TRUE(node.Receive(50).empty());
}

TEST_F(Hidraw, ReadTimesOutWithNothingDelivered) {
  auto& node = fake.Add(kMouseConfig);
  auto config = Open(kConfigPath);
  ASSERT_TRUE(config);
  std::uint8_t buf[64];
  std::size_t got = 99;
  const auto start = Clock::now();
  node.Send({0x03, 0x01, 0x04, 0x00, 0x00});  // only the other collection speaks
  EXPECT_EQ(config->Read(buf, sizeof buf, &got, 150), IoStatus::kTimeout);
  const long long elapsed = MsSince(start);
  EXPECT_EQ(got, 0u);
  EXPECT_GE(elapsed, 150);
  EXPECT_LT(elapsed, 400);
}

TEST_F(Hidraw, CancelBeforeAReadIsKeptForIt) {
  fake.Add(kMouseConfig);
  auto config = Open(kConfigPath);
  ASSERT_TRUE(config);
  std::uint8_t buf[64];
  std::size_t got = 0;
  config->Cancel();
  EXPECT_EQ(config->Read(buf, sizeof buf, &got, 1000), IoStatus::kCancelled);
  EXPECT_EQ(config->Read(buf, sizeof buf, &got, 20), IoStatus::kTimeout);
}

TEST_F(Hidraw, CancelFromAnotherThreadEndsAWaitingReadAtOnce) {
  fake.Add(kMouseConfig);
  auto config = Open(kConfigPath);
  ASSERT_TRUE(config);
  std::atomic<Clock::time_point::rep> cancelledAt{0};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    cancelledAt = Clock::now().time_since_epoch().count();
    config->Cancel();
  });
  std::uint8_t buf[64];
  std::size_t got = 0;
  const IoStatus status = config->Read(buf, sizeof buf, &got, 5000);
  const auto returned = Clock::now();
  canceller.join();
  EXPECT_EQ(status, IoStatus::kCancelled);
  EXPECT_EQ(got, 0u);
  const auto latency = returned - Clock::time_point(Clock::duration(cancelledAt.load()));
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(latency).count();
  std::cout << "cancel latency: " << us << " us\n";
  RecordProperty("cancel_latency_us", static_cast<int>(us));
  EXPECT_LT(us, 50000);
}

TEST_F(Hidraw, UnplugDuringAWaitFailsAtOnceAndStaysGone) {
  fake.Add(kMouseConfig);
  auto config = Open(kConfigPath);
  ASSERT_TRUE(config);
  std::thread unplug([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    fake.Unplug(10);
  });
  std::uint8_t buf[64];
  std::size_t got = 0;
  const auto start = Clock::now();
  EXPECT_EQ(config->Read(buf, sizeof buf, &got, 5000), IoStatus::kGone);
  unplug.join();
  EXPECT_LT(MsSince(start), 1000);
  const auto again = Clock::now();
  EXPECT_EQ(config->Read(buf, sizeof buf, &got, 5000), IoStatus::kGone);
  Bytes out(64, 0);
  out[0] = 4;
  EXPECT_EQ(config->Write(out.data(), out.size(), &got, 5000), IoStatus::kGone);
  EXPECT_LT(MsSince(again), 100);
  EXPECT_FALSE(ProbeInterface(kConfigPath));
}

TEST_F(Hidraw, ReusedNodeNumberIsAnotherDevice) {
  fake.Add(kMouseConfig);
  EXPECT_TRUE(ProbeInterface(kConfigPath));
  fake.Unplug(10);
  FakeNodeSetup next = kMouseConfig;
  next.hidName = "0003:195D:1028.0007";
  fake.Add(next);
  EXPECT_FALSE(ProbeInterface(kConfigPath));
  std::string error;
  EXPECT_FALSE(OpenInterface(kConfigPath, true, true, false, &error));
  EXPECT_EQ(error, "the device is not present");
  EXPECT_TRUE(ProbeInterface("\\\\?\\hid#vid_195d&pid_1028&mi_01&col02#hidraw10#0003:195D:1028.0007#hidraw"));
}

TEST_F(Hidraw, PathsThatNameNoNodeAreRefused) {
  fake.Add(kMouseConfig);
  const char* const paths[] = {
      "\\\\?\\hid#vid_195d&pid_1028&mi_01&col02#..%2F..%2Fetc%2Fpasswd#0003:195D:1028.0002#hidraw",
      "\\\\?\\hid#vid_195d&pid_1028&mi_01&col03#hidraw10#0003:195D:1028.0002#hidraw",
      "\\\\?\\hid#vid_195d&pid_1028&mi_01#hidraw10#0003:195D:1028.0002#hidraw",
      "\\\\?\\hid#vid_195d&pid_1028&mi_01&col02#hidraw10#0003:195D:1028.0002#nosuch",
      "vid_195d&pid_1028",
  };
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    std::string error;
    EXPECT_FALSE(OpenInterface(path, true, false, false, &error));
    EXPECT_FALSE(error.empty());
  }
}

// Exclusive opens hold across processes: a child that opened the collection for writing
// keeps this process's exclusive open out, and an exclusive child keeps writers out.
TEST_F(Hidraw, SharingHoldsAcrossProcesses) {
  fake.Add(kMouseConfig);
  struct Case {
    bool childWrite, childExclusive, write, exclusive, opens;
  };
  const Case cases[] = {
      {true, false, true, true, false},   // child writes: no exclusive open here
      {false, true, true, false, false},  // child exclusive: no writer here
      {false, true, false, false, true},  // a reader still gets in
      {false, false, true, true, true},   // a child reader does not stop an exclusive open
  };
  for (const Case& c : cases) {
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      std::string error;
      auto held = OpenInterface(kConfigPath, true, c.childWrite, c.childExclusive, &error);
      const char ok = held ? 1 : 0;
      [[maybe_unused]] ssize_t n = ::write(ready[1], &ok, 1);
      char wait = 0;
      n = ::read(done[0], &wait, 1);
      held.reset();
      ::_exit(0);
    }
    char childOpened = 0;
    ASSERT_EQ(::read(ready[0], &childOpened, 1), 1);
    ASSERT_EQ(childOpened, 1);
    std::string error;
    auto mine = OpenInterface(kConfigPath, true, c.write, c.exclusive, &error);
    EXPECT_EQ(mine != nullptr, c.opens) << error;
    mine.reset();
    ASSERT_EQ(::write(done[1], "x", 1), 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
  }
  // With the child gone, its locks went with it; the last open takes its lock file along.
  EXPECT_TRUE(Open(kConfigPath, true, true, true));
  EXPECT_TRUE(std::filesystem::is_empty(fake.Root() + "/run/hid-locks"));
}

// Two processes taking turns at an exclusive writer's open, with the lock file removed and
// made again between turns: never both at once, and both get their turns.
TEST_F(Hidraw, ExclusiveWritersOfTwoProcessesNeverOverlap) {
  fake.Add(kMouseConfig);
  struct Shared {
    std::atomic<int> holders;
    std::atomic<int> overlaps;
    std::atomic<int> turns[2];
  };
  void* memory = ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(memory, MAP_FAILED);
  auto* shared = new (memory) Shared{};
  const auto contend = [&](int who) {
    const auto until = Clock::now() + std::chrono::milliseconds(300);
    while (Clock::now() < until) {
      std::string error;
      auto held = OpenInterface(kConfigPath, true, true, true, &error);
      if (!held) continue;
      if (shared->holders.fetch_add(1) != 0) shared->overlaps.fetch_add(1);
      shared->turns[who].fetch_add(1);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      shared->holders.fetch_sub(1);
    }
  };
  const pid_t child = ::fork();
  if (child == 0) {
    contend(1);
    ::_exit(0);
  }
  contend(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(shared->overlaps.load(), 0);
  EXPECT_GT(shared->turns[0].load(), 0);
  EXPECT_GT(shared->turns[1].load(), 0);
  std::cout << "exclusive turns: " << shared->turns[0].load() << " here, " << shared->turns[1].load()
            << " in the other process\n";
  ::munmap(memory, sizeof(Shared));
}

}  // namespace
}  // namespace vz::hid
