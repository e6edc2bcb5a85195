// What the effect engine reads and where its frames go. The engine knows nothing of the
// channels, images or windows behind these: the application wires each interface to its
// DeviceChannel (open flag, lighting sync flag, WriteLightFrame = command 18), to the
// bytes of DeviceImages (read as relaxed atomics) and to the preview controls.
//
// Every call is made from an effect thread, often hundreds of times a second, while the
// user-interface thread changes the values behind it: implementations read single bytes
// or flags (relaxed atomics are enough) and never block for long.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "lighting/keyboard_tables.h"
#include "lighting/lighting_fields.h"

namespace vz::lighting {

class DeviceLink {
 public:
  virtual ~DeviceLink() = default;

  virtual bool IsConnected() const = 0;
  // The lighting sync flag: while set, only the sync thread sends to this device. The
  // engine reads it and never writes it.
  virtual bool SyncFlag() const = 0;
  // Bytes 1..8 of the device's ActiveSettings as they stand now.
  virtual LightingFields Fields() const = 0;
  // Sends one frame with command 18 (length bytes, in chunks of at most 56 with their
  // offsets). Returns the command result: 1 success, 0 channel closed or no answer, below 0
  // failures. The engine does not retry: the next frame follows anyway.
  virtual int SendFrame(const std::uint8_t* frame, std::uint16_t length) = 0;
};

class KeyboardLink : public DeviceLink {
 public:
  // The keyboard model flag: 0 colour, 1 single colour; any other value draws nothing.
  virtual std::uint8_t Model() const = 0;
  // The active set of the custom colour layouts (CustomColorTable bytes set x 378 on): 3
  // bytes per LED for the colour model, 1 byte per LED (255 lit) for the other.
  virtual void CustomLayout(std::array<std::uint8_t, kColourFrameSize>& out) const = 0;
};

class SyncSource {
 public:
  virtual ~SyncSource() = default;
  virtual LightingFields SyncLighting() const = 0;
};

// The main window's picture of each device ("ms_dkey_" 0..19, "mp_dkey_" 0..14, "kb_key_"
// 0..125). Called from the effect threads after every frame sent: one colour per LED (per
// key for the keyboard) and the brightness factor (45..255) as the opacity. The
// implementation hands the colours to the user-interface thread.
class PreviewSink {
 public:
  virtual ~PreviewSink() = default;
  virtual void Show(Device device, std::span<const Rgb> colours, std::uint8_t opacity) = 0;
};

// The two lighting trigger flags: set on every button event the mouse reports (event
// 0x403), each taken and cleared by the reactive effect of its device.
struct TriggerFlags {
  std::atomic<bool> mouse{false};
  std::atomic<bool> mousepad{false};

  void Raise() {
    mouse.store(true, std::memory_order_relaxed);
    mousepad.store(true, std::memory_order_relaxed);
  }
};

// The process-wide flags: the mouse event listener's click callback calls Raise().
TriggerFlags& LightingTriggers();

struct LightingIo {
  DeviceLink* mouse = nullptr;
  DeviceLink* mousepad = nullptr;
  KeyboardLink* keyboard = nullptr;
  const SyncSource* sync = nullptr;
  PreviewSink* preview = nullptr;  // may stay null
};

}  // namespace vz::lighting
