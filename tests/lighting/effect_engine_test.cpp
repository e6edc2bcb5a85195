#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "fake_links.h"
#include "lighting/effect_engine.h"

namespace vz::lighting {
namespace {

using testing::FakeDevices;
using testing::SentFrame;

// The exit lines go to the debug output, which is read once per process: switch it on
// before any thread writes to it.
const bool kDebugOutputOn = setenv("VZ_DEBUG_OUTPUT", "1", 1) == 0;

constexpr EngineTiming kNoStartWait{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};

LightingFields Static(Rgb colour, std::uint8_t mode = 3, std::uint8_t speed = 0) {
  return {mode, 4, speed, 1, 0, colour};
}

// Intervals between consecutive frames, sorted.
std::vector<std::uint32_t> Intervals(const std::vector<SentFrame>& frames) {
  std::vector<std::uint32_t> gaps;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    gaps.push_back(frames[i].tick - frames[i - 1].tick);
  }
  std::sort(gaps.begin(), gaps.end());
  return gaps;
}

bool AllFramesShow(const std::vector<SentFrame>& frames, Rgb colour) {
  return std::all_of(frames.begin(), frames.end(),
                     [&](const SentFrame& f) { return f.Led(0) == colour; });
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kDebugOutputOn);
    devices.mouse.SetFields(Static(kRed));
    devices.mousepad.SetFields(Static(kGreen));
    devices.keyboard.SetFields(Static(kBlue));
    devices.sync.Set(Static({0, 0, 77}));
  }
  FakeDevices devices;
  TriggerFlags triggers;
};

TEST_F(EngineTest, SyncedDeviceGetsFramesOnlyFromTheSyncThreadUntilItsFlagClears) {
  devices.mouse.sync = true;
  devices.keyboard.sync = true;
  LightingEngine engine(devices.Io(), kNoStartWait, triggers);
  engine.Start();
  SleepMs(300);
  const auto mouseSynced = devices.mouse.Frames();
  const auto keyboardSynced = devices.keyboard.Frames();
  ASSERT_GT(mouseSynced.size(), 10u);
  EXPECT_TRUE(AllFramesShow(mouseSynced, {0, 0, 77})) << "no frame of the mouse's own effect";
  ASSERT_FALSE(keyboardSynced.empty());
  EXPECT_EQ(keyboardSynced.back().bytes.size(), 378u);
  EXPECT_EQ(keyboardSynced.back().Led(0), (Rgb{0, 0, 77}));
  EXPECT_TRUE(AllFramesShow(devices.mousepad.Frames(), kGreen)) << "the pad keeps its own";

  // The presence thread clears the flag on disconnection, the page on a mode choice: from
  // then on the device's own thread drives it again.
  devices.mouse.sync = false;
  SleepMs(100);
  devices.mouse.Clear();
  SleepMs(200);
  const auto own = devices.mouse.Frames();
  ASSERT_GT(own.size(), 10u);
  EXPECT_TRUE(AllFramesShow(own, kRed));
  engine.SignalStop();
  EXPECT_TRUE(engine.Join(1000));
}

TEST_F(EngineTest, SyncThreadIdlesWhileNobodyIsInSyncAndTakesUpADevicePutInSync) {
  // Speed 0 asks for no pause between sync loops; with nobody in sync it must still sleep.
  LightingEngine engine(devices.Io(), kNoStartWait, triggers);
  engine.Start();
  SleepMs(500);
  EXPECT_LT(devices.sync.reads.load(), 20) << "the sync thread polls while nobody is in sync";
  EXPECT_TRUE(AllFramesShow(devices.mouse.Frames(), kRed));

  devices.mouse.sync = true;
  SleepMs(150);
  devices.mouse.Clear();
  SleepMs(200);
  const auto synced = devices.mouse.Frames();
  ASSERT_GT(synced.size(), 10u) << "the sync thread did not take up the mouse";
  EXPECT_TRUE(AllFramesShow(synced, {0, 0, 77}));
  engine.SignalStop();
  EXPECT_TRUE(engine.Join(1000));
}

TEST_F(EngineTest, SyncModeWithoutEffectKeepsTheDevicesDark) {
  devices.mouse.sync = true;
  devices.mousepad.sync = true;
  devices.keyboard.sync = true;
  devices.sync.Set(Static(kRed, 5));
  LightingEngine engine(devices.Io(), kNoStartWait, triggers);
  engine.Start();
  SleepMs(200);
  EXPECT_TRUE(devices.mouse.Frames().empty());
  EXPECT_TRUE(devices.mousepad.Frames().empty());
  EXPECT_TRUE(devices.keyboard.Frames().empty());
}

TEST_F(EngineTest, MouseCadenceFollowsItsSpeed) {
  // A transfer of 1 ms per frame, as a device at full speed takes.
  devices.mouse.transferMs = 1;
  devices.mousepad.connected = false;
  devices.keyboard.connected = false;
  struct Row {
    std::uint8_t speed;
    std::uint32_t runMs, low, high;  // median frame interval expected within low..high
  };
  // Medians leave room for a loaded machine's late wake-ups.
  const Row rows[] = {{0, 400, 4, 9}, {4, 700, 52, 62}};
  for (const Row& r : rows) {
    devices.mouse.Clear();
    devices.mouse.SetFields(Static(kRed, 3, r.speed));
    LightingEngine engine(devices.Io(), kNoStartWait, triggers);
    engine.Start();
    SleepMs(r.runMs);
    engine.SignalStop();
    ASSERT_TRUE(engine.Join(1000));
    const auto gaps = Intervals(devices.mouse.Frames());
    ASSERT_GT(gaps.size(), 8u) << "speed " << int(r.speed);
    const std::uint32_t median = gaps[gaps.size() / 2];
    EXPECT_GE(median, r.low) << "speed " << int(r.speed);
    EXPECT_LE(median, r.high) << "speed " << int(r.speed);
  }
}

TEST_F(EngineTest, KeyboardAndMousepadPaceByTheirDelayTables) {
  devices.mouse.connected = false;
  devices.keyboard.SetFields(Static(kBlue, 3, 2));     // 27 ms
  devices.mousepad.SetFields(Static(kGreen, 3, 4));    // 25 ms
  LightingEngine engine(devices.Io(), kNoStartWait, triggers);
  engine.Start();
  SleepMs(600);
  engine.SignalStop();
  ASSERT_TRUE(engine.Join(1000));
  const auto kb = Intervals(devices.keyboard.Frames());
  const auto pad = Intervals(devices.mousepad.Frames());
  ASSERT_GT(kb.size(), 5u);
  ASSERT_GT(pad.size(), 5u);
  EXPECT_GE(kb[kb.size() / 2], 27u);
  EXPECT_LE(kb[kb.size() / 2], 35u);
  EXPECT_GE(pad[pad.size() / 2], 25u);
  EXPECT_LE(pad[pad.size() / 2], 33u);
  EXPECT_EQ(devices.mousepad.Frames().back().bytes.size(), 60u);
  // Each frame sent is also shown on the preview, with the brightness factor as opacity.
  const auto seen = devices.preview.Of(Device::kKeyboard);
  EXPECT_GT(seen.times, 5);
  EXPECT_EQ(seen.colours, kKeyCount);
  EXPECT_EQ(seen.opacity, 255);
  EXPECT_EQ(devices.preview.Of(Device::kMousepad).colours, kMousepadLeds);
}

TEST_F(EngineTest, NothingIsSentWhileNoDeviceIsConnected) {
  devices.mouse.connected = false;
  devices.mousepad.connected = false;
  devices.keyboard.connected = false;
  devices.mouse.sync = true;
  LightingEngine engine(devices.Io(), kNoStartWait, triggers);
  engine.Start();
  SleepMs(250);
  EXPECT_TRUE(devices.mouse.Frames().empty());
  EXPECT_EQ(engine.KeyboardFrameCounter(0), 0) << "the frame counters run only while connected";
  devices.keyboard.connected = true;
  SleepMs(250);
  EXPECT_FALSE(devices.keyboard.Frames().empty());
  EXPECT_GT(engine.KeyboardFrameCounter(0), 0);
  EXPECT_EQ(engine.KeyboardFrameCounter(0), engine.KeyboardFrameCounter(1));
}

TEST_F(EngineTest, ButtonEventFlashesTheMouseOnceAndOnlyTheReactiveEffectTakesIt) {
  devices.mouse.SetFields(Static(kRed, 6));
  devices.keyboard.connected = false;
  LightingEngine engine(devices.Io(), kNoStartWait, triggers);
  engine.Start();
  SleepMs(100);
  devices.mouse.Clear();
  triggers.Raise();
  SleepMs(300);
  const auto frames = devices.mouse.Frames();
  EXPECT_FALSE(triggers.mouse.load()) << "the flash took its trigger";
  EXPECT_TRUE(triggers.mousepad.load()) << "the pad's static effect leaves its trigger";
  ASSERT_FALSE(frames.empty());
  const auto firstLit = std::find_if(frames.begin(), frames.end(),
                                     [](const SentFrame& f) { return f.Led(0) == kRed; });
  ASSERT_NE(firstLit, frames.end());
  const auto lastLit = std::find_if(frames.rbegin(), frames.rend(),
                                    [](const SentFrame& f) { return f.Led(0) == kRed; });
  const std::uint32_t litFor = lastLit->tick - firstLit->tick;
  EXPECT_GE(litFor, 85u);
  EXPECT_LE(litFor, 100u);
  EXPECT_EQ(frames.back().Led(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(firstLit->Led(15), (Rgb{0, 0, 0}));
}

TEST_F(EngineTest, PreparationsReachTheEffectThreads) {
  devices.mouse.SetFields(Static(kRed, 5));
  devices.mousepad.connected = false;
  devices.keyboard.SetFields(Static(kBlue, 4));
  LightingEngine engine(devices.Io(), kNoStartWait, triggers);
  engine.Start();
  SleepMs(100);
  EXPECT_TRUE(AllFramesShow(devices.mouse.Frames(), Rgb{})) << "an unseeded ripple stays dark";
  engine.RestartMouseRipple(false);
  engine.PrepareKeyboardMode(kColourKeyboard, 4);
  SleepMs(300);
  engine.SignalStop();
  ASSERT_TRUE(engine.Join(1000));
  const auto mouse = devices.mouse.Frames();
  EXPECT_TRUE(std::any_of(mouse.begin(), mouse.end(),
                          [](const SentFrame& f) { return f.Led(0).red > 200; }));
  // Spread hues: keys 0 and 1 (LEDs 0 and 1) show different colours.
  const SentFrame last = devices.keyboard.Frames().back();
  EXPECT_NE(last.Led(0), last.Led(1));
}

TEST_F(EngineTest, MouseModeWithoutGeneratorSendsNothingAndSaysSo) {
  devices.mouse.SetFields(Static(kRed, 7));
  devices.mousepad.SetFields(Static(kGreen, 9));
  devices.keyboard.connected = false;
  ::testing::internal::CaptureStderr();
  {
    LightingEngine engine(devices.Io(), kNoStartWait, triggers);
    engine.Start();
    SleepMs(100);
  }
  const std::string out = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(out.find("鼠标灯光线程设定2"), std::string::npos);
  EXPECT_TRUE(devices.mouse.Frames().empty());
  EXPECT_TRUE(devices.mousepad.Frames().empty());
}

TEST_F(EngineTest, ThreadsEndPromptlyEvenDuringTheirFirstWait) {
  ::testing::internal::CaptureStderr();
  const std::uint32_t start = TickCount();
  {
    LightingEngine engine(devices.Io(), EngineTiming{}, triggers);  // 3000 / 3000 / 1000 ms
    engine.Start();
    SleepMs(50);
    engine.SignalStop();
    EXPECT_TRUE(engine.Join(500));
  }
  EXPECT_LT(TickCount() - start, 500u);
  const std::string out = ::testing::internal::GetCapturedStderr();
  for (const char* line : {"同步灯光线程设定退出", "鼠标灯光线程设定退出", "鼠标垫灯光线程设定退出",
                           "键盘灯光线程设定退出"}) {
    EXPECT_NE(out.find(line), std::string::npos) << line;
  }
  EXPECT_TRUE(devices.mouse.Frames().empty()) << "nothing before the first wait is over";
}

}  // namespace
}  // namespace vz::lighting
