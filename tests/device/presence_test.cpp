#include "device/presence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>

#include "device/device_messages.h"
#include "emulator/emulated_device.h"
#include "platform/hid/hid_layer.h"
#include "platform/hid/virtual_backend.h"
#include "settings/connect_read.h"
#include "settings/device_images.h"

namespace vz {
namespace {

using Clock = std::chrono::steady_clock;
using emulator::Action;
using emulator::EmulatedDevice;
using emulator::Model;

std::int64_t MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Records every step a presence or listener thread asks of the user interface.
class RecordingUi : public PresenceUi {
 public:
  void ShowControl(const std::string& name, bool visible) override {
    Add("show " + name + (visible ? " 1" : " 0"));
  }
  void SelectOption(const std::string& name) override { Add("select " + name); }
  void FocusControl(const std::string& name) override { Add("focus " + name); }
  void SelectListItem(const std::string& name, int index) override {
    Add("item " + name + " " + std::to_string(index));
  }
  void RelayoutControl(const std::string& name) override { Add("relayout " + name); }
  void StartTimer(int id, std::uint32_t ms) override {
    Add("timer " + std::to_string(id) + " " + std::to_string(ms));
  }
  void ShowMainWindow(bool show) override { Add(show ? "window show" : "window hide"); }
  void ApplyKeyboardDeviceProfile(int position) override { Add("apply " + std::to_string(position)); }
  void PostWindowMessage(std::uint32_t message) override { Add("post " + Hex(message)); }
  void PostShowMessage() override { Add("post show"); }
  void SendWindowMessage(std::uint32_t message) override { Add("send " + Hex(message)); }

  std::vector<std::string> Steps() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return steps_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    steps_.clear();
  }
  bool Has(const std::string& step) const {
    const auto s = Steps();
    return std::find(s.begin(), s.end(), step) != s.end();
  }
  bool WaitFor(const std::string& step, int ms = 3000) const {
    const auto start = Clock::now();
    while (MsSince(start) < ms) {
      if (Has(step)) return true;
      SleepMs(5);
    }
    return false;
  }

 private:
  static std::string Hex(std::uint32_t v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", v);
    return buffer;
  }
  void Add(std::string s) {
    std::lock_guard<std::mutex> lock(mutex_);
    steps_.push_back(std::move(s));
  }
  mutable std::mutex mutex_;
  std::vector<std::string> steps_;
};

bool WaitUntil(const std::function<bool()>& condition, int ms = 3000) {
  const auto start = Clock::now();
  while (MsSince(start) < ms) {
    if (condition()) return true;
    SleepMs(5);
  }
  return condition();
}

class Presence : public ::testing::Test {
 protected:
  void SetUp() override {
    hid::RegisterBackend(backend_);
    channels_[Index(DeviceKind::kMouse)].SetIdentity(0x195D, 0x1028, 0x92, 0xFF1C);
    channels_[Index(DeviceKind::kKeyboard)].SetIdentity(0x0C45, 0x6556, 0x92, 0xFF1C);
    channels_[Index(DeviceKind::kMousepad)].SetIdentity(0x0C45, 0x5004, 0x92, 0xFF1C);
    for (std::size_t i = 0; i < kDeviceKindCount; ++i) context_.channels[i] = &channels_[i];
    context_.ui = &ui_;
    context_.storedSelection = [](DeviceKind) { return 0; };
    context_.keyboardFound = [](std::uint16_t product) { SetKeyboardVariantFromProduct(product); };
    context_.pauseConnectedMs = 20;
    context_.pauseIdleMs = 20;
  }
  void TearDown() override {
    for (auto& s : stops_) s->Set();
    for (auto& t : threads_) EXPECT_TRUE(t.JoinFor(3000));
    devices_.clear();
    hid::UnregisterBackend(backend_);
  }

  std::shared_ptr<EmulatedDevice> Plug(Model model, const emulator::DeviceOptions& options = {}) {
    auto device = EmulatedDevice::Create(backend_, model, nullptr, options);
    device->Plug();
    devices_.push_back(device);
    return device;
  }
  Event& StartPresence(DeviceKind kind) {
    stops_.push_back(std::make_unique<Event>(true));
    Event& stop = *stops_.back();
    threads_.emplace_back("presence", [this, kind, &stop] { return PresenceThread(kind, context_, stop); });
    return stop;
  }
  DeviceChannel& Channel(DeviceKind kind) { return channels_[Index(kind)]; }

  std::shared_ptr<hid::VirtualBackend> backend_ = std::make_shared<hid::VirtualBackend>();
  std::array<DeviceChannel, kDeviceKindCount> channels_;
  RecordingUi ui_;
  PresenceContext context_;
  std::vector<std::shared_ptr<EmulatedDevice>> devices_;
  std::vector<std::unique_ptr<Event>> stops_;
  std::vector<WorkerThread> threads_;
};

// A boot mouse: same vendor and product, generic desktop page.
const std::vector<std::uint8_t> kBootMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03,
    0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01,
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06,
    0xC0, 0xC0};

TEST_F(Presence, AnInterfaceWithAnotherUsagePageIsOpenedRejectedAndClosed) {
  hid::NodeInfo info;
  info.vendorId = 0x195D;
  info.productId = 0x1028;
  info.interfaceNumber = 0;
  info.product = "pointer interface";
  info.reportDescriptor = kBootMouse;
  auto pointer = backend_->AddNode(info);  // listed before the emulated mouse's nodes
  pointer->Plug();
  Plug(Model::kMouse);
  StartPresence(DeviceKind::kMouse);
  ASSERT_TRUE(WaitUntil([&] { return Channel(DeviceKind::kMouse).IsOpen(); }));
  EXPECT_EQ(Channel(DeviceKind::kMouse).Device().UsagePage(), 0xFF1C);
  EXPECT_EQ(Channel(DeviceKind::kMouse).Device().Usage(), 0x92);
  EXPECT_EQ(pointer->OpenConnectionCount(), 0u);
  EXPECT_TRUE(ui_.WaitFor("timer 8 500"));
  EXPECT_TRUE(ui_.Has("item ms_device_profile_combo 0"));
  EXPECT_TRUE(ui_.Has("show ms_tab 1"));
  EXPECT_TRUE(ui_.Has("select ms_tab"));
  EXPECT_TRUE(ui_.Has("show ms_tab_panel 1"));
}

TEST_F(Presence, KeyboardVariantFollowsTheProductId) {
  const struct {
    Model model;
    int before;
    int after;
  } cases[] = {{Model::kKeyboardRgb, 1, 0}, {Model::kKeyboard, 0, 1}, {Model::kKeyboard7200, 1, 1},
               {Model::kKeyboard7200, 0, 0}};
  for (const auto& c : cases) {
    SetKeyboardVariant(c.before);
    auto keyboard = Plug(c.model);
    Event& stop = StartPresence(DeviceKind::kKeyboard);
    EXPECT_TRUE(WaitUntil([&] { return Channel(DeviceKind::kKeyboard).IsOpen(); }));
    EXPECT_EQ(KeyboardVariant(), c.after) << keyboard->Name();
    stop.Set();
    ASSERT_TRUE(threads_.back().JoinFor(3000));
    keyboard->Unplug();
    Channel(DeviceKind::kKeyboard).SetOpen(false);
    Channel(DeviceKind::kKeyboard).Device().Close();
  }
}

TEST_F(Presence, KeyboardConnectionAppliesItsProfileAndShowsTheWindow) {
  Plug(Model::kKeyboard);
  StartPresence(DeviceKind::kKeyboard);
  ASSERT_TRUE(ui_.WaitFor("window show"));
  const std::vector<std::string> expected = {"show kb_tab 1", "select kb_tab", "apply 0",
                                             "item kb_device_profile_combo 0", "timer 7 100",
                                             "show kb_tab_panel 1", "window show"};
  const auto steps = ui_.Steps();
  ASSERT_GE(steps.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.begin() + 7), expected);
  // Only the mouse makes a presence thread ask for the window on its first pass.
  EXPECT_FALSE(ui_.Has("post show"));
}

TEST_F(Presence, TheFirstPassAsksForTheWindowWhenTheMouseIsThere) {
  Plug(Model::kMouse);
  StartPresence(DeviceKind::kMouse);
  EXPECT_TRUE(ui_.WaitFor("post show"));
}

TEST_F(Presence, UnpluggingTheMouseHandsTheWindowToTheKeyboard) {
  auto mouse = Plug(Model::kMouse);
  Plug(Model::kKeyboard);
  StartPresence(DeviceKind::kKeyboard);
  StartPresence(DeviceKind::kMouse);
  ASSERT_TRUE(WaitUntil([&] {
    return Channel(DeviceKind::kMouse).IsOpen() && Channel(DeviceKind::kKeyboard).IsOpen();
  }));
  EXPECT_TRUE(ui_.WaitFor("show ms_deng_same_mode 1"));
  Channel(DeviceKind::kMouse).SetSyncFlag(true);
  ui_.Clear();
  mouse->Unplug();
  ASSERT_TRUE(ui_.WaitFor("show kb_tab 1"));
  const auto steps = ui_.Steps();
  const auto at = std::find(steps.begin(), steps.end(), "show ms_tab 0");
  ASSERT_NE(at, steps.end());
  EXPECT_EQ(std::vector<std::string>(at, at + 4),
            (std::vector<std::string>{"show ms_tab 0", "select kb_tab", "focus kb_tab", "show kb_tab 1"}));
  EXPECT_FALSE(Channel(DeviceKind::kMouse).IsOpen());
  EXPECT_FALSE(Channel(DeviceKind::kMouse).SyncFlag());
  EXPECT_FALSE(ui_.Has("post 0xC05"));
}

TEST_F(Presence, UnpluggingTheLastDevice) {
  struct Case {
    Model model;
    DeviceKind kind;
    const char* step;
  };
  for (const Case& c : {Case{Model::kMouse, DeviceKind::kMouse, "post 0xC05"},
                        Case{Model::kMousepad, DeviceKind::kMousepad, "window hide"},
                        Case{Model::kKeyboard, DeviceKind::kKeyboard, "window hide"}}) {
    auto device = Plug(c.model);
    Event& stop = StartPresence(c.kind);
    ASSERT_TRUE(WaitUntil([&] { return Channel(c.kind).IsOpen(); }));
    ui_.Clear();
    device->Unplug();
    EXPECT_TRUE(ui_.WaitFor(c.step)) << c.step;
    stop.Set();
    ASSERT_TRUE(threads_.back().JoinFor(3000));
  }
}

TEST_F(Presence, StopEndsAPresenceThreadWithinASecondEvenAtItsLongestPause) {
  context_.pauseConnectedMs = 0;  // the mouse's own 1000 ms pauses
  context_.pauseIdleMs = 0;
  Plug(Model::kMouse);
  Event& stop = StartPresence(DeviceKind::kMouse);
  ASSERT_TRUE(WaitUntil([&] { return Channel(DeviceKind::kMouse).IsOpen(); }));
  SleepMs(50);
  const auto start = Clock::now();
  stop.Set();
  EXPECT_TRUE(threads_.back().JoinFor(1500));
  EXPECT_LT(MsSince(start), 1100);
}

class Listener : public Presence {
 protected:
  Event& StartListener(ListenerKind kind) {
    stops_.push_back(std::make_unique<Event>(true));
    Event& stop = *stops_.back();
    listenerContext_.ui = &ui_;
    listenerContext_.lightingTriggered = [this] { triggers_.fetch_add(1); };
    threads_.emplace_back("listener", [this, kind, &stop] { return ListenerThread(kind, listenerContext_, stop); });
    return stop;
  }
  ListenerContext listenerContext_;
  std::atomic<int> triggers_{0};
};

TEST_F(Listener, DeviceEventsBecomeMessages) {
  auto mouse = Plug(Model::kMouse);
  auto keyboard = Plug(Model::kKeyboard);
  StartListener(ListenerKind::kMouse);
  StartListener(ListenerKind::kKeyboard);
  // The listeners are reading once a press reaches them; press until the first one does.
  ASSERT_TRUE(WaitUntil([&] {
    mouse->Press(Action::kDpiButton);
    return ui_.WaitFor("send 0x902", 100);
  }));
  mouse->Press(Action::kProfileButton);
  EXPECT_TRUE(ui_.WaitFor("send 0x901"));
  mouse->Press(Action::kClick);
  EXPECT_TRUE(WaitUntil([&] { return triggers_.load() >= 1; }));
  ASSERT_TRUE(WaitUntil([&] {
    keyboard->Press(Action::kLightingButton);
    return ui_.WaitFor("send 0xB01", 100);
  }));
  keyboard->Press(Action::kClick);  // the keyboard's clicks trigger nothing
  SleepMs(100);
  EXPECT_EQ(triggers_.load(), 1);
}

TEST_F(Listener, StopEndsTheListenerWithinOneReadTimeOut) {
  Plug(Model::kMouse);
  Event& stop = StartListener(ListenerKind::kMouse);
  SleepMs(200);
  const auto start = Clock::now();
  stop.Set();
  EXPECT_TRUE(threads_.back().JoinFor(1000));
  EXPECT_LT(MsSince(start), 600);
}

TEST_F(Listener, AListenerFindsItsDeviceAgainAfterAReplug) {
  auto mouse = Plug(Model::kMouse);
  StartListener(ListenerKind::kMouse);
  ASSERT_TRUE(WaitUntil([&] {
    mouse->Press(Action::kDpiButton);
    return ui_.WaitFor("send 0x902", 100);
  }));
  mouse->Unplug();
  SleepMs(100);
  ui_.Clear();
  mouse->Plug();
  EXPECT_TRUE(WaitUntil([&] {
    mouse->Press(Action::kProfileButton);
    return ui_.WaitFor("send 0x901", 100);
  }, 5000));
}

}  // namespace
}  // namespace vz
