#include "platform/hid/virtual_backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace vz::hid {
namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

class VirtualBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NodeInfo info;
    info.vendorId = 0x195D;
    info.productId = 0x1028;
    info.interfaceNumber = 1;
    info.reportDescriptor = {0x06, 0x1C, 0xFF};
    node = backend.AddNode(info);
    ASSERT_TRUE(node);
    node->Plug();
  }

  std::unique_ptr<NodeConnection> Open() {
    std::string error;
    auto c = backend.Open(node->Info().nodeId, true, true, &error);
    EXPECT_TRUE(c) << error;
    return c;
  }

  static IoStatus ReadByte(NodeConnection& c, std::uint8_t* value, std::uint32_t timeoutMs) {
    std::size_t got = 0;
    return c.Read(value, 1, &got, timeoutMs);
  }

  void Send(std::uint8_t value, std::uint32_t delayMs = 0) { node->SendInput(&value, 1, delayMs); }

  VirtualBackend backend;
  std::shared_ptr<VirtualNode> node;
};

TEST_F(VirtualBackendTest, EnumerationListsPluggedNodesWithTheirInfo) {
  auto second = backend.AddNode({});
  std::vector<NodeInfo> nodes;
  ASSERT_TRUE(backend.Enumerate(&nodes));
  ASSERT_EQ(nodes.size(), 1u) << "an unplugged node is not listed";
  EXPECT_EQ(nodes[0].vendorId, 0x195D);
  EXPECT_EQ(nodes[0].interfaceNumber, 1);
  EXPECT_EQ(nodes[0].reportDescriptor.size(), 3u);
  second->Plug();
  ASSERT_TRUE(backend.Enumerate(&nodes));
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_NE(nodes[0].nodeId, nodes[1].nodeId);

  NodeInfo taken;
  taken.nodeId = nodes[0].nodeId;
  EXPECT_FALSE(backend.AddNode(taken)) << "node ids stay unique";
}

TEST_F(VirtualBackendTest, EveryConnectionGetsItsOwnCopyOfEachInputReport) {
  auto a = Open();
  auto b = Open();
  Send(7);
  auto late = Open();
  std::uint8_t v = 0;
  ASSERT_EQ(ReadByte(*a, &v, 0), IoStatus::kOk);
  EXPECT_EQ(v, 7);
  ASSERT_EQ(ReadByte(*b, &v, 0), IoStatus::kOk);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(ReadByte(*late, &v, 0), IoStatus::kTimeout)
      << "a connection opened later does not see earlier reports";
}

TEST_F(VirtualBackendTest, ReadHonoursItsTimeOut) {
  auto c = Open();
  std::uint8_t v = 0;
  const auto start = Clock::now();
  EXPECT_EQ(ReadByte(*c, &v, 50), IoStatus::kTimeout);
  const long ms = ElapsedMs(start);
  EXPECT_GE(ms, 50);
  EXPECT_LT(ms, 250);
}

TEST_F(VirtualBackendTest, CancelBreaksOffAWaitingReadAndIsRememberedWhenNothingWaits) {
  auto c = Open();
  std::uint8_t v = 0;
  const auto start = Clock::now();
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    c->Cancel();
  });
  EXPECT_EQ(ReadByte(*c, &v, 5000), IoStatus::kCancelled);
  canceller.join();
  EXPECT_LT(ElapsedMs(start), 1000);

  c->Cancel();
  Send(1);
  EXPECT_EQ(ReadByte(*c, &v, 1000), IoStatus::kCancelled) << "the remembered cancel wins";
  EXPECT_EQ(ReadByte(*c, &v, 0), IoStatus::kOk) << "and is consumed";
}

TEST_F(VirtualBackendTest, UnplugFailsEveryConnectionAtOnceAndReplugIsANewDevice) {
  auto reader = Open();
  auto other = Open();
  const std::string oldIdentity = node->Info().identity;
  ASSERT_TRUE(backend.Probe(node->Info().nodeId, oldIdentity));

  std::atomic<IoStatus> readResult{IoStatus::kOk};
  const auto start = Clock::now();
  std::thread t([&] {
    std::uint8_t v = 0;
    readResult = ReadByte(*reader, &v, 5000);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  node->Unplug();
  t.join();
  EXPECT_EQ(readResult.load(), IoStatus::kGone);
  EXPECT_LT(ElapsedMs(start), 1000) << "the pending read is woken";

  std::uint8_t byte = 4;
  std::size_t put = 0;
  EXPECT_EQ(other->Write(&byte, 1, &put, 100), IoStatus::kGone);
  EXPECT_FALSE(backend.Probe(node->Info().nodeId, oldIdentity));
  std::string error;
  EXPECT_FALSE(backend.Open(node->Info().nodeId, true, true, &error));
  EXPECT_FALSE(error.empty());

  node->Plug();
  EXPECT_NE(node->Info().identity, oldIdentity);
  EXPECT_FALSE(backend.Probe(node->Info().nodeId, oldIdentity)) << "the stored device is gone";
  EXPECT_TRUE(backend.Probe(node->Info().nodeId, node->Info().identity));
  Send(9);
  std::uint8_t v = 0;
  EXPECT_EQ(ReadByte(*reader, &v, 0), IoStatus::kGone) << "old connections stay dead";
  auto fresh = Open();
  EXPECT_EQ(ReadByte(*fresh, &v, 0), IoStatus::kTimeout);
}

TEST_F(VirtualBackendTest, WritesReachTheDeviceOnTheWritersThread) {
  std::thread::id seenOn;
  std::vector<std::uint8_t> seen;
  node->SetOutputHandler([&](const std::uint8_t* report, std::size_t length) {
    seenOn = std::this_thread::get_id();
    seen.assign(report, report + length);
  });
  auto c = Open();
  const std::uint8_t report[3] = {4, 5, 6};
  std::size_t put = 0;
  ASSERT_EQ(c->Write(report, 3, &put, 100), IoStatus::kOk);
  EXPECT_EQ(put, 3u);
  EXPECT_EQ(seenOn, std::this_thread::get_id());
  EXPECT_EQ(seen, (std::vector<std::uint8_t>{4, 5, 6}));
}

TEST_F(VirtualBackendTest, AStalledWriteTimesOutAndCanBeCancelled) {
  bool delivered = false;
  node->SetOutputHandler([&](const std::uint8_t*, std::size_t) { delivered = true; });
  node->SetWriteStall(true);
  auto c = Open();
  const std::uint8_t report[1] = {4};
  std::size_t put = 0;
  auto start = Clock::now();
  EXPECT_EQ(c->Write(report, 1, &put, 60), IoStatus::kTimeout);
  EXPECT_GE(ElapsedMs(start), 60);
  EXPECT_EQ(put, 0u);
  EXPECT_FALSE(delivered);

  start = Clock::now();
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    c->Cancel();
  });
  EXPECT_EQ(c->Write(report, 1, &put, 5000), IoStatus::kCancelled);
  canceller.join();
  EXPECT_LT(ElapsedMs(start), 1000);
}

TEST_F(VirtualBackendTest, DelayedReportsArriveInDeliveryOrder) {
  auto c = Open();
  Send(1, 80);  // slow
  Send(2, 0);   // prompt: overtakes the slow one
  std::uint8_t v = 0;
  ASSERT_EQ(ReadByte(*c, &v, 0), IoStatus::kOk);
  EXPECT_EQ(v, 2);
  EXPECT_EQ(ReadByte(*c, &v, 0), IoStatus::kTimeout) << "not readable before its delay";
  const auto start = Clock::now();
  ASSERT_EQ(ReadByte(*c, &v, 1000), IoStatus::kOk);
  EXPECT_EQ(v, 1);
  EXPECT_GE(ElapsedMs(start), 40);
}

TEST_F(VirtualBackendTest, AFullQueueDropsTheOldestReports) {
  auto c = Open();
  for (int i = 0; i < 70; ++i) Send(static_cast<std::uint8_t>(i));
  std::uint8_t v = 0;
  ASSERT_EQ(ReadByte(*c, &v, 0), IoStatus::kOk);
  EXPECT_EQ(v, 70 - VirtualNode::kQueueDepth);
}

TEST_F(VirtualBackendTest, ReadOnlyConnectionsRefuseWrites) {
  std::string error;
  auto c = backend.Open(node->Info().nodeId, true, false, &error);
  ASSERT_TRUE(c);
  const std::uint8_t report[1] = {4};
  std::size_t put = 0;
  EXPECT_EQ(c->Write(report, 1, &put, 10), IoStatus::kFailed);
}

}  // namespace
}  // namespace vz::hid
