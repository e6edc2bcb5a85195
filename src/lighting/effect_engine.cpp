#include "lighting/effect_engine.h"

#include <algorithm>
#include <span>
#include <utility>

#include "lighting/colour_tables.h"
#include "lighting/sync_effects.h"

namespace vz::lighting {
namespace {

// Frame sends are bounded by the channel (four attempts of at most 1.3 s each).
constexpr std::uint32_t kJoinOnDestroyMs = 10000;
static_assert(kMouseLeds >= kMousepadLeds);

// Waits ms on the stop event; true when the thread is to end.
bool StopWithin(Event& stop, std::uint32_t ms) { return stop.Wait(ms); }

}  // namespace

LightingEngine::LightingEngine(const LightingIo& io, EngineTiming timing, TriggerFlags& triggers)
    : io_(io), timing_(timing), triggers_(triggers) {}

LightingEngine::~LightingEngine() {
  SignalStop();
  Join(kJoinOnDestroyMs);
}

void LightingEngine::Start() {
  if (!threads_.empty()) return;
  threads_.emplace_back("sync lighting", [this] { return SyncLoop(); });
  threads_.emplace_back("mouse lighting", [this] { return MouseLoop(); });
  threads_.emplace_back("mousepad lighting", [this] { return MousepadLoop(); });
  threads_.emplace_back("keyboard lighting", [this] { return KeyboardLoop(); });
}

void LightingEngine::SignalStop() {
  for (Event* e : {&syncStop_, &mouseStop_, &mousepadStop_, &keyboardStop_}) e->Set();
}

bool LightingEngine::Join(std::uint32_t ms) {
  const std::uint32_t start = TickCount();
  bool all = true;
  for (WorkerThread& t : threads_) {
    if (!t.Started() || t.Finished()) {
      t.JoinFor(0);
      continue;
    }
    const std::uint32_t spent = TickCount() - start;
    all = t.JoinFor(spent < ms ? ms - spent : 0) && all;
  }
  return all;
}

void LightingEngine::PrepareKeyboardMode(std::uint8_t model, std::uint8_t mode) {
  QueueKeyboard([model, mode](KeyboardEffectState& s) {
    lighting::PrepareKeyboardMode(s, model, mode);
  });
}

void LightingEngine::StartKeyEffect(std::uint8_t key) {
  QueueKeyboard([key](KeyboardEffectState& s) { lighting::StartKeyEffect(s, key); });
}

void LightingEngine::QueueKeyboard(std::function<void(KeyboardEffectState&)> change) {
  std::lock_guard<std::mutex> lock(prepMutex_);
  keyboardPreps_.push_back(std::move(change));
  keyboardPrepsWaiting_.store(true, std::memory_order_release);
}

void LightingEngine::RestartMouseRipple(bool direction) {
  mouseRestart_.store(direction ? 1 : 0, std::memory_order_release);
}

void LightingEngine::RestartMousepadRipple() {
  mousepadRestart_.store(true, std::memory_order_release);
}

std::uint8_t LightingEngine::KeyboardFrameCounter(int which) const {
  return frameCounters_[which != 0 ? 1 : 0].load(std::memory_order_relaxed);
}

void LightingEngine::ApplyKeyboardPreparations() {
  if (!keyboardPrepsWaiting_.exchange(false, std::memory_order_acquire)) return;
  std::vector<std::function<void(KeyboardEffectState&)>> preps;
  {
    std::lock_guard<std::mutex> lock(prepMutex_);
    preps.swap(keyboardPreps_);
  }
  for (const auto& change : preps) change(keyboard_);
}

// The mouse's and the mousepad's frames; the keyboard's go through SendKeyboard.
void LightingEngine::Send(Device device, DeviceLink& link, const LightFrame& frame,
                          std::uint8_t brightness) {
  if (frame.length == 0) return;
  link.SendFrame(frame.bytes.data(), frame.length);
  if (io_.preview == nullptr) return;
  std::array<Rgb, kMouseLeds> colours{};
  const std::size_t count = device == Device::kMouse ? kMouseLeds : kMousepadLeds;
  for (std::size_t i = 0; i < count; ++i) colours[i] = frame.Led(i);
  io_.preview->Show(device, std::span<const Rgb>(colours.data(), count),
                    BrightnessFactor(brightness));
}

void LightingEngine::SendKeyboard(const LightFrame& frame, std::uint8_t model,
                                  std::uint8_t brightness) {
  if (frame.length == 0) return;
  io_.keyboard->SendFrame(frame.bytes.data(), frame.length);
  if (io_.preview == nullptr) return;
  const auto keys = KeyboardPreview(frame, model);
  io_.preview->Show(Device::kKeyboard, keys, BrightnessFactor(brightness));
}

int LightingEngine::SyncLoop() {
  for (;;) {
    const std::uint8_t speed = io_.sync->SyncLighting().speed;
    if (StopWithin(syncStop_, std::max<std::uint32_t>(1, SyncDelayMs(speed)))) break;
    const bool mouseOn = io_.mouse->IsConnected();
    const bool padOn = io_.mousepad->IsConnected();
    const bool keyboardOn = io_.keyboard->IsConnected();
    if (!mouseOn && !padOn && !keyboardOn) {
      if (StopWithin(syncStop_, kSyncNobodyWaitMs)) break;
      continue;
    }
    SyncTargets to;
    to.mouse = mouseOn && io_.mouse->SyncFlag();
    to.mousepad = padOn && io_.mousepad->SyncFlag();
    to.keyboard = keyboardOn && io_.keyboard->SyncFlag();
    if (!to.mouse && !to.mousepad && !to.keyboard) {
      // Nobody in sync: look again a little later instead of every millisecond.
      if (StopWithin(syncStop_, kSyncIdleWaitMs)) break;
      continue;
    }
    to.keyboardModel = io_.keyboard->Model();
    const LightingFields fields = io_.sync->SyncLighting();
    std::uint8_t counter = syncCounter_.load(std::memory_order_relaxed);
    const SyncFrames frames = SyncFrame(fields, counter, to);
    syncCounter_.store(counter, std::memory_order_relaxed);
    Send(Device::kMouse, *io_.mouse, frames.mouse, fields.brightness);
    Send(Device::kMousepad, *io_.mousepad, frames.mousepad, fields.brightness);
    SendKeyboard(frames.keyboard, to.keyboardModel, fields.brightness);
    if (frames.pauseAfterMs != 0 && StopWithin(syncStop_, frames.pauseAfterMs)) break;
  }
  DebugOutput("同步灯光线程设定退出");
  return 0;
}

int LightingEngine::MouseLoop() {
  DeviceLink& mouse = *io_.mouse;
  bool stopped = StopWithin(mouseStop_, timing_.mouseStartMs);
  while (!stopped) {
    const std::uint8_t speed = mouse.Fields().speed;
    if (StopWithin(mouseStop_, MouseFirstWaitMs(speed)) ||
        (MouseSecondWaitMs(speed) != 0 && StopWithin(mouseStop_, MouseSecondWaitMs(speed)))) {
      break;
    }
    const int restart = mouseRestart_.exchange(kNoRestart, std::memory_order_acquire);
    if (restart != kNoRestart) SeedMouseRipple(mouse_, restart != 0);
    if (!mouse.IsConnected()) {
      stopped = StopWithin(mouseStop_, kAbsentWaitMs);
      continue;
    }
    if (mouse.SyncFlag()) continue;
    PointerInput in{mouse.Fields(), false, 0};
    if (!MouseModeKnown(in.fields.mode)) {
      DebugOutput("鼠标灯光线程设定2");
      continue;
    }
    const std::uint32_t pause = MousePauseBeforeMs(in.fields.mode);
    if (pause != 0 && StopWithin(mouseStop_, pause)) break;
    in.triggered = MouseTakesTrigger(in.fields.mode) &&
                   triggers_.mouse.exchange(false, std::memory_order_relaxed);
    in.tick = TickCount();
    std::uint8_t hue = rippleHue_.load(std::memory_order_relaxed);
    const LightFrame frame = MouseFrame(in, mouse_, hue);
    rippleHue_.store(hue, std::memory_order_relaxed);
    Send(Device::kMouse, mouse, frame, in.fields.brightness);
  }
  DebugOutput("鼠标灯光线程设定退出");
  return 0;
}

int LightingEngine::MousepadLoop() {
  DeviceLink& pad = *io_.mousepad;
  bool stopped = StopWithin(mousepadStop_, timing_.mousepadStartMs);
  while (!stopped) {
    if (StopWithin(mousepadStop_, MousepadDelayMs(pad.Fields().speed))) break;
    if (mousepadRestart_.exchange(false, std::memory_order_acquire)) SeedMousepadRipple(mousepad_);
    if (!pad.IsConnected()) {
      stopped = StopWithin(mousepadStop_, kAbsentWaitMs);
      continue;
    }
    if (pad.SyncFlag()) continue;
    PointerInput in{pad.Fields(), false, 0};
    if (!MousepadModeKnown(in.fields.mode)) continue;
    const std::uint32_t pause = MousepadPauseBeforeMs(in.fields.mode, in.fields.speed);
    if (pause != 0 && StopWithin(mousepadStop_, pause)) break;
    in.triggered = MousepadTakesTrigger(in.fields.mode) &&
                   triggers_.mousepad.exchange(false, std::memory_order_relaxed);
    in.tick = TickCount();
    std::uint8_t hue = rippleHue_.load(std::memory_order_relaxed);
    const LightFrame frame = MousepadFrame(in, mousepad_, hue);
    rippleHue_.store(hue, std::memory_order_relaxed);
    Send(Device::kMousepad, pad, frame, in.fields.brightness);
    if (frame.pauseAfterMs != 0 && StopWithin(mousepadStop_, frame.pauseAfterMs)) break;
  }
  DebugOutput("鼠标垫灯光线程设定退出");
  return 0;
}

int LightingEngine::KeyboardLoop() {
  KeyboardLink& kb = *io_.keyboard;
  bool stopped = StopWithin(keyboardStop_, timing_.keyboardStartMs);
  KeyboardInput in;
  while (!stopped) {
    const LightingFields paced = kb.Fields();
    if (StopWithin(keyboardStop_, KeyboardDelayMs(paced.mode, paced.speed))) break;
    ApplyKeyboardPreparations();
    if (!kb.IsConnected()) {
      stopped = StopWithin(keyboardStop_, kAbsentWaitMs);
      continue;
    }
    if (!kb.SyncFlag()) {
      const std::uint8_t model = kb.Model();
      const std::uint32_t pause = KeyboardPauseBeforeMs(model, kb.Fields().mode);
      if (pause != 0 && StopWithin(keyboardStop_, pause)) break;
      in.fields = kb.Fields();
      in.model = model;
      kb.CustomLayout(in.custom);
      std::uint8_t counter = syncCounter_.load(std::memory_order_relaxed);
      if (DrawKeyboard(in, keyboard_, counter)) {
        syncCounter_.store(counter, std::memory_order_relaxed);
        SendKeyboard(KeyboardFrame(keyboard_, model), model, in.fields.brightness);
      }
    }
    for (auto& c : frameCounters_) c.fetch_add(1, std::memory_order_relaxed);
  }
  DebugOutput("键盘灯光线程设定退出");
  return 0;
}

}  // namespace vz::lighting
