// Stand-ins for the devices, the synchronized settings and the preview: they record every
// frame with the tick it arrived at and can take a fixed time per frame like a transfer.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "lighting/lighting_io.h"
#include "platform/system/sync.h"

namespace vz::lighting::testing {

struct SentFrame {
  std::uint32_t tick;
  std::vector<std::uint8_t> bytes;
  Rgb Led(std::size_t i) const { return {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]}; }
};

class FakeLink : public KeyboardLink {
 public:
  std::atomic<bool> connected{true};
  std::atomic<bool> sync{false};
  std::atomic<std::uint8_t> model{kColourKeyboard};
  std::atomic<std::uint32_t> transferMs{0};

  bool IsConnected() const override { return connected.load(); }
  bool SyncFlag() const override { return sync.load(); }
  LightingFields Fields() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return fields_;
  }
  void SetFields(const LightingFields& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    fields_ = f;
  }
  int SendFrame(const std::uint8_t* frame, std::uint16_t length) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      frames_.push_back({TickCount(), std::vector<std::uint8_t>(frame, frame + length)});
    }
    if (const std::uint32_t ms = transferMs.load(); ms != 0) SleepMs(ms);
    return 1;
  }
  std::uint8_t Model() const override { return model.load(); }
  void CustomLayout(std::array<std::uint8_t, kColourFrameSize>& out) const override {
    out.fill(0);
  }

  std::vector<SentFrame> Frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.clear();
  }

 private:
  mutable std::mutex mutex_;
  LightingFields fields_;
  std::vector<SentFrame> frames_;
};

class FakeSync : public SyncSource {
 public:
  LightingFields SyncLighting() const override {
    reads.fetch_add(1, std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(mutex_);
    return fields_;
  }
  void Set(const LightingFields& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    fields_ = f;
  }
  // How often the sync thread has looked at its settings: about once per loop.
  mutable std::atomic<int> reads{0};

 private:
  mutable std::mutex mutex_;
  LightingFields fields_;
};

class FakePreview : public PreviewSink {
 public:
  void Show(Device device, std::span<const Rgb> colours, std::uint8_t opacity) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto i = static_cast<std::size_t>(device);
    ++shown_[i];
    count_[i] = colours.size();
    opacity_[i] = opacity;
  }
  struct Seen {
    int times;
    std::size_t colours;
    std::uint8_t opacity;
  };
  Seen Of(Device device) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto i = static_cast<std::size_t>(device);
    return {shown_[i], count_[i], opacity_[i]};
  }

 private:
  mutable std::mutex mutex_;
  int shown_[3] = {};
  std::size_t count_[3] = {};
  std::uint8_t opacity_[3] = {};
};

// The three links, the sync source and the preview, wired as the application wires them.
struct FakeDevices {
  FakeLink mouse;
  FakeLink mousepad;
  FakeLink keyboard;
  FakeSync sync;
  FakePreview preview;
  LightingIo Io() { return {&mouse, &mousepad, &keyboard, &sync, &preview}; }
};

}  // namespace vz::lighting::testing
