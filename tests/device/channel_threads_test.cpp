#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/device/channel_fixture.h"

namespace vz::test {
namespace {

// Four threads share one channel as the UI thread, the settings flush and the lighting
// threads do. Each exchange must be whole: the device sees every request answered before
// the next request arrives, and each thread reads back exactly what it wrote.
TEST(ChannelThreads, ConcurrentCommandsNeverInterleaveTheirReports) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  constexpr int kThreads = 4;
  constexpr int kRounds = 25;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const auto offset = static_cast<std::uint16_t>(64 * (t + 1) + 10);  // own record
      for (int round = 0; round < kRounds; ++round) {
        const std::uint8_t value[2] = {static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(round)};
        std::uint8_t back[2] = {};
        if (f.channel.WriteSettings(value, 2, offset) != kCmdOk) ++failures;
        if (f.channel.ReadSettings(back, 2, offset) != kCmdOk) ++failures;
        if (back[0] != value[0] || back[1] != value[1]) ++failures;
        Bytes frame(60, static_cast<std::uint8_t>(t));
        if (f.channel.WriteLightFrame(frame.data(), 60) != kCmdOk) ++failures;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);

  const auto wire = f.log->All();
  ASSERT_EQ(wire.size(), static_cast<std::size_t>(kThreads * kRounds * 4 * 2));
  for (std::size_t i = 0; i + 1 < wire.size(); i += 2) {
    ASSERT_EQ(wire[i].direction, '>') << "report " << i;
    ASSERT_EQ(wire[i + 1].direction, '<') << "report " << i + 1;
    EXPECT_EQ(wire[i + 1].bytes[3], wire[i].bytes[3]) << "answer " << i + 1 << " belongs to its request";
    EXPECT_EQ(wire[i + 1].bytes[5], wire[i].bytes[5]);
  }
}

}  // namespace
}  // namespace vz::test
