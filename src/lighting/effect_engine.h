// The four lighting effect threads: one each for the mouse, the mousepad and the keyboard,
// and one for synchronized lighting, which drives every device whose sync flag is set.
// The threads only pace themselves and send: the frames come from the generators.
//
// Every wait of a thread is a wait on its stop event, so a thread ends within one loop of
// SignalStop (plus at most one frame transfer), writing its exit line to the debug output.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "lighting/keyboard_effects.h"
#include "lighting/lighting_io.h"
#include "lighting/mouse_effects.h"
#include "lighting/pacing.h"
#include "platform/system/sync.h"

namespace vz::lighting {

// The one-time waits after a thread starts; tests shorten them.
struct EngineTiming {
  std::uint32_t mouseStartMs = kMouseStartMs;
  std::uint32_t mousepadStartMs = kMousepadStartMs;
  std::uint32_t keyboardStartMs = kKeyboardStartMs;
};

class LightingEngine {
 public:
  // The links must outlive the engine. `triggers` are the lighting trigger flags the mouse
  // listener raises (the process-wide ones unless a test brings its own).
  explicit LightingEngine(const LightingIo& io, EngineTiming timing = {},
                          TriggerFlags& triggers = LightingTriggers());
  LightingEngine(const LightingEngine&) = delete;
  LightingEngine& operator=(const LightingEngine&) = delete;
  ~LightingEngine();  // signals the stop and waits for the threads

  // Starts the sync, mouse, mousepad and keyboard threads (once).
  void Start();
  void SignalStop();
  // True when all four threads have ended within ms.
  bool Join(std::uint32_t ms);

  // The preparations that choosing a mode makes, called from the user-interface thread and
  // carried out by the effect thread before its next frame.
  void PrepareKeyboardMode(std::uint8_t model, std::uint8_t mode);
  // A click on a key of the keyboard page while the rain runs lets a drop fall on it.
  void StartKeyEffect(std::uint8_t key);
  // The mouse's ripple restart for the direction now chosen (place 7 when set, else 0).
  void RestartMouseRipple(bool direction);
  void RestartMousepadRipple();

  // The keyboard's two 8-bit frame counters, raised at the end of every keyboard loop in
  // which the keyboard is connected.
  std::uint8_t KeyboardFrameCounter(int which) const;

 private:
  int SyncLoop();
  int MouseLoop();
  int MousepadLoop();
  int KeyboardLoop();
  void QueueKeyboard(std::function<void(KeyboardEffectState&)> change);
  void ApplyKeyboardPreparations();
  void Send(Device device, DeviceLink& link, const LightFrame& frame, std::uint8_t brightness);
  void SendKeyboard(const LightFrame& frame, std::uint8_t model, std::uint8_t brightness);

  LightingIo io_;
  EngineTiming timing_;
  TriggerFlags& triggers_;

  Event syncStop_{true};
  Event mouseStop_{true};
  Event mousepadStop_{true};
  Event keyboardStop_{true};
  std::vector<WorkerThread> threads_;

  // Shared between threads: the sync engine's counter (the keyboard's row rainbow and
  // snake use it too) and the hue byte of the mouse and mousepad ripples.
  std::atomic<std::uint8_t> syncCounter_{0};
  std::atomic<std::uint8_t> rippleHue_{0};
  std::atomic<std::uint8_t> frameCounters_[2] = {0, 0};

  // Each engine's own state, touched only by its thread.
  PointerEffectState mouse_;
  PointerEffectState mousepad_;
  KeyboardEffectState keyboard_;

  // Preparations asked for by the user-interface thread.
  std::mutex prepMutex_;
  std::vector<std::function<void(KeyboardEffectState&)>> keyboardPreps_;
  std::atomic<bool> keyboardPrepsWaiting_{false};
  static constexpr int kNoRestart = -1;
  std::atomic<int> mouseRestart_{kNoRestart};  // else the direction, 0 or 1
  std::atomic<bool> mousepadRestart_{false};
};

}  // namespace vz::lighting
