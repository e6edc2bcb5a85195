#include "platform/system/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace vz {
namespace {

using Clock = std::chrono::steady_clock;

std::int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(Event, ManualResetStaysSetForEveryWaiterUntilReset) {
  Event e(/*manualReset=*/true, /*initiallySet=*/true);
  EXPECT_TRUE(e.Wait(0));
  EXPECT_TRUE(e.Wait(0));
  e.Reset();
  EXPECT_FALSE(e.Wait(0));
}

TEST(Event, AutoResetLetsOneWaitThroughPerSet) {
  Event e(/*manualReset=*/false);
  e.Set();
  EXPECT_TRUE(e.Wait(0));
  EXPECT_FALSE(e.Wait(0));
}

TEST(Event, WaitTimesOutAfterItsTime) {
  Event e(true);
  const auto start = Clock::now();
  EXPECT_FALSE(e.Wait(60));
  const auto elapsed = MsSince(start);
  EXPECT_GE(elapsed, 55);
  EXPECT_LT(elapsed, 500);
}

TEST(Event, SetFromAnotherThreadWakesTheWaiterPromptly) {
  Event e(false);
  WorkerThread setter("setter", [&] {
    SleepMs(30);
    e.Set();
    return 0;
  });
  const auto start = Clock::now();
  EXPECT_TRUE(e.Wait(5000));
  EXPECT_LT(MsSince(start), 1000);
  EXPECT_TRUE(setter.JoinFor(1000));
}

TEST(Event, WaitAnyTellsWhichFiredAndConsumesOnlyThatAutoResetEvent) {
  Event stop(true);
  Event read(false);
  Event write(false);
  write.Set();
  read.Set();
  EXPECT_EQ(Event::WaitAny({&stop, &read, &write}, 0), 1);  // lowest index wins
  EXPECT_FALSE(read.IsSet());
  EXPECT_TRUE(write.IsSet());
  EXPECT_EQ(Event::WaitAny({&stop, &read, &write}, 0), 2);
  EXPECT_EQ(Event::WaitAny({&stop, &read, &write}, 20), -1);
}

TEST(Event, WaitAnyWakesOnASetMadeWhileItWaits) {
  Event a(false);
  Event b(false);
  WorkerThread setter("setter", [&] {
    SleepMs(20);
    b.Set();
    return 0;
  });
  const auto start = Clock::now();
  EXPECT_EQ(Event::WaitAny({&a, &b}, 5000), 1);
  EXPECT_LT(MsSince(start), 1000);
  EXPECT_TRUE(setter.JoinFor(1000));
}

TEST(Event, ManyWaitAnyCallersAndSettersNeverLoseASignal) {
  Event stop(true);
  Event work(false);
  std::atomic<int> consumed{0};
  constexpr int kSignals = 2000;
  std::vector<WorkerThread> consumers;
  for (int i = 0; i < 3; ++i) {
    consumers.emplace_back("consumer", [&] {
      while (Event::WaitAny({&stop, &work}, kInfinite) == 1) consumed.fetch_add(1);
      return 0;
    });
  }
  for (int i = 0; i < kSignals; ++i) {
    work.Set();
    while (work.IsSet()) std::this_thread::yield();
  }
  stop.Set();
  for (auto& c : consumers) EXPECT_TRUE(c.JoinFor(2000));
  EXPECT_EQ(consumed.load(), kSignals);
}

TEST(WorkerThread, JoinForReportsAThreadThatOverrunsAndLaterJoinsIt) {
  Event release(true);
  WorkerThread t("slow", [&] {
    release.Wait(kInfinite);
    return 7;
  });
  EXPECT_FALSE(t.JoinFor(30));
  EXPECT_FALSE(t.Finished());
  release.Set();
  EXPECT_TRUE(t.JoinFor(2000));
  EXPECT_EQ(t.ExitCode(), 7);
}

TEST(TickCount, AdvancesInMilliseconds) {
  const std::uint32_t before = TickCount();
  SleepMs(25);
  const std::uint32_t elapsed = TickCount() - before;  // unsigned: survives the wrap
  EXPECT_GE(elapsed, 20u);
  EXPECT_LT(elapsed, 1000u);
}

}  // namespace
}  // namespace vz
