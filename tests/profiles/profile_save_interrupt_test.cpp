// A save killed at any moment leaves the profile file with its old or its new content.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/system/sync.h"
#include "profiles/profile_file.h"
#include "profiles/profile_store.h"
#include "profiles/temp_folders.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The lighting profile payload when every byte of the live settings holds `fill`.
Bytes ExpectedPayload(std::uint8_t fill) {
  Bytes b(kRecordSize, 0);
  std::fill_n(b.begin(), kMouseActiveSize, fill);
  b[record::kPointerSpeed] = 10;
  b[record::kScrollLines] = 3;
  return b;
}

[[noreturn]] void SaveForever() {
  DeviceImages images;
  images.SetPointerSpeed(10);
  images.SetScrollLines(3);
  for (std::uint8_t fill = 0xA0;; fill = fill == 0xA0 ? 0xB0 : 0xA0) {
    for (std::size_t i = 0; i < kMouseActiveSize; ++i) images.Of(DeviceKind::kMouse).active.Set(i, fill);
    SaveProfile(images, DeviceKind::kMouse, ProfileKind::kLighting);
  }
}

class InterruptedSaveTest : public testing::TempDocuments {};

TEST_F(InterruptedSaveTest, FileIsAlwaysTheOldOrTheNewContent) {
  const std::string path = ProfilePath(DeviceKind::kMouse, "0", ProfileKind::kLighting);
  const Bytes a = ExpectedPayload(0xA0);
  const Bytes b = ExpectedPayload(0xB0);
  for (const unsigned killAfterUs : {300u, 1100u, 2700u, 5300u, 9100u, 15700u}) {
    SCOPED_TRACE(killAfterUs);
    std::filesystem::remove(path);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever();
    // Let the first save land, then kill in the middle of a later one.
    for (int i = 0; i < 2000 && !std::filesystem::exists(path); ++i) usleep(500);
    usleep(killAfterUs);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);

    Bytes payload(kRecordSize, 0);
    ASSERT_EQ(std::filesystem::file_size(path), kProfileHeaderSize + kRecordSize);
    ASSERT_EQ(ReadProfileFile(path, payload.data(), payload.size()), kProfileRead);
    EXPECT_TRUE(payload == a || payload == b);
  }
}

}  // namespace
}  // namespace vz
