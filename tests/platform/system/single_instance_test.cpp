#include "platform/system/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/system/sync.h"
#include "temp_dir.h"

namespace vz {
namespace {

constexpr const char* kMutex = "QUENLODRVER1";
constexpr const char* kMessage = "KORMISTA_004";

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("VZ_RUNTIME_DIR", dir_.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("VZ_RUNTIME_DIR"); }

  // Runs `child` in a forked process; returns its exit status (-1 when it did not exit).
  template <class Body>
  static int RunInChild(Body child) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(child());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

  std::string SocketFile() const { return dir_.File(std::string(kMessage) + ".sock"); }

  test::TempDir dir_;
};

TEST_F(SingleInstanceTest, OnlyOneHolderAtATimeAndTheNextOneAfterRelease) {
  auto first = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->HoldsLock());
  EXPECT_EQ(SingleInstance::Acquire(kMutex, kMessage), nullptr);
  // Another mutex name is another program.
  EXPECT_NE(SingleInstance::Acquire("OTHERMUTEX", "OTHERMESSAGE"), nullptr);

  first.reset();
  EXPECT_FALSE(std::filesystem::exists(SocketFile()));
  auto next = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(next->HoldsLock());
}

TEST_F(SingleInstanceTest, SecondProcessIsRefusedAndBringsTheFirstForward) {
  auto first = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(first, nullptr);
  Event shown(/*manualReset=*/true);
  std::atomic<int> requests{0};
  ASSERT_TRUE(first->Listen([&] {
    ++requests;
    shown.Set();
  }));

  const int status = RunInChild([] {
    if (SingleInstance::Acquire(kMutex, kMessage) != nullptr) return 2;
    return SignalRunningInstance(kMessage) ? 0 : 3;
  });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(shown.Wait(1000));
  EXPECT_EQ(requests.load(), 1);
}

TEST_F(SingleInstanceTest, ASignalBeforeListenIsDeliveredOnceListening) {
  auto first = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(SignalRunningInstance(kMessage));
  Event shown(/*manualReset=*/true);
  ASSERT_TRUE(first->Listen([&] { shown.Set(); }));
  EXPECT_TRUE(shown.Wait(1000));
  EXPECT_FALSE(first->Listen([] {}));
}

TEST_F(SingleInstanceTest, CrashedInstanceLeavesNoLockAndItsSocketIsReplaced) {
  // The child takes the lock and dies without cleaning up, like a killed program.
  const int status = RunInChild([] {
    auto crashed = SingleInstance::Acquire(kMutex, kMessage);
    if (crashed == nullptr || !crashed->HoldsLock()) return 2;
    ::_exit(0);
  });
  ASSERT_EQ(status, 0);
  ASSERT_TRUE(std::filesystem::exists(SocketFile()));
  EXPECT_FALSE(SignalRunningInstance(kMessage));

  auto next = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(next->HoldsLock());
  Event shown(/*manualReset=*/true);
  ASSERT_TRUE(next->Listen([&] { shown.Set(); }));
  EXPECT_TRUE(SignalRunningInstance(kMessage));
  EXPECT_TRUE(shown.Wait(1000));
}

TEST_F(SingleInstanceTest, AProgramStartedByTheHolderDoesNotKeepTheLock) {
  auto first = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(first, nullptr);
  // Like a browser opened from the About window, which outlives the program. The pipe
  // closes when the child has called exec, so the parent knows the program is running.
  int execDone[2];
  ASSERT_EQ(::pipe2(execDone, O_CLOEXEC), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/bin/sleep", "sleep", "10", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(child, 0);
  ::close(execDone[1]);
  char byte;
  EXPECT_EQ(::read(execDone[0], &byte, 1), 0);
  ::close(execDone[0]);
  first.reset();
  auto next = SingleInstance::Acquire(kMutex, kMessage);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_NE(next, nullptr);
}

TEST_F(SingleInstanceTest, WithNobodyRunningTheSignalReachesNoOne) {
  EXPECT_FALSE(SignalRunningInstance(kMessage));
}

TEST_F(SingleInstanceTest, StoppingTheListenerIsPrompt) {
  auto first = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(first->Listen([] {}));
  const auto start = std::chrono::steady_clock::now();
  first.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST_F(SingleInstanceTest, UnusableRuntimeFolderRunsEveryStartAsTheFirst) {
  // A runtime "folder" below a plain file can never be created.
  const std::string blocker = dir_.File("plain-file");
  std::ofstream(blocker) << "x";
  ::setenv("VZ_RUNTIME_DIR", (blocker + "/runtime").c_str(), 1);

  auto first = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->HoldsLock());
  EXPECT_FALSE(first->Listen([] {}));
  auto second = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(second->HoldsLock());
}

TEST_F(SingleInstanceTest, ANonSocketAtTheSocketPathIsLeftAlone) {
  std::ofstream(SocketFile()) << "user data";
  auto first = SingleInstance::Acquire(kMutex, kMessage);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->HoldsLock());
  EXPECT_FALSE(first->Listen([] {}));
  first.reset();
  EXPECT_TRUE(std::filesystem::is_regular_file(SocketFile()));
}

}  // namespace
}  // namespace vz
