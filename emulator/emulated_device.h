// The firmware model of one device of the family: the device's memory as plain arrays,
// a table from command byte to handler, and the virtual HID nodes underneath as its
// transport. It answers every command report (report id 4, 64 bytes) with one report of
// the same layout:
//
//   byte 0 = 4; bytes 1, 2 = checksum (sum of bytes 3..63, low byte first);
//   bytes 3..6 = the request's command, length and offset; byte 7 = status;
//   bytes 8.. = payload: what a read asked for, zeros otherwise.
//
// Status: kStatusOk; kStatusRefused (0xFF) for an unknown command, a command the model
// has no memory for, or a request whose checksum is wrong (command 13 carries none);
// kStatusOutOfRange (0xFE) for a length above 56 or an offset + length beyond the area.
// A refused request changes nothing.
//
// Command  area              read / write
//   1, 2   -                 BeginTransfer / EndTransfer: accepted, tracked
//   3      DeviceInfo        read (33 bytes of information)
//   5, 6   settings area     read / write: five 64-byte records at slot x 64; byte 0 is
//                            the active slot and the first byte of slot 0's record
//   7      default key map   read
//   8, 9   key area          read / write: block b at b x 126 + position (blocks overlap)
//   13     -                 restore the factory settings area and key area
//   18     light frame       write; a chunk at offset 0 starts a new frame
//   21     macro area        write (128 x DeviceInfo byte 6 bytes)
//   23     cursor area       write (mouse, 3072 bytes)
//
// Device-side actions (buttons pressed on the device) change memory like the firmware
// would and send a consumer-control event on the event interface: the DPI button moves the
// current DPI stage (record byte 19) of the active slot and sends 0x401; the profile
// button makes the next slot active and sends 0x402; the lighting button moves the lighting
// mode (record byte 1) of the active slot and sends 0x402; a click sends 0x403. Each event
// is a press report followed by a release report (usage 0).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "emulator/device_models.h"
#include "emulator/trace.h"
#include "platform/hid/virtual_backend.h"

namespace vz::emulator {

inline constexpr std::uint8_t kStatusOk = 0x01;
inline constexpr std::uint8_t kStatusRefused = 0xFF;
inline constexpr std::uint8_t kStatusOutOfRange = 0xFE;
inline constexpr std::size_t kPayloadMax = 56;

enum class Area { kDeviceInfo, kSettings, kKeys, kDefaultKeyMap, kMacro, kCursor, kLightFrame };

enum class Action { kDpiButton, kProfileButton, kLightingButton, kClick };

enum class FaultKind {
  kSilent,     // no answer; the request is not carried out
  kStatusFF,   // answered with status 0xFF; not carried out
  kStatusFE,   // answered with status 0xFE; not carried out
  kSlow,       // carried out, answered delayMs later
  kUnplug,     // the device disappears on receiving the request
};

inline constexpr int kAnyCommand = -1;

// Hits the reports of `command` (or of any command) numbered chunk .. chunk + times - 1,
// counted from 0 from the moment the fault is injected. Retries are reports too.
struct Fault {
  int command = kAnyCommand;
  int chunk = 0;
  FaultKind kind = FaultKind::kSilent;
  int times = 1;
  std::uint32_t delayMs = 0;
};

// USB full speed: an interrupt report takes a 1 ms frame each way.
inline constexpr std::uint32_t kUsbFrameMs = 1;

class EmulatedDevice : public std::enable_shared_from_this<EmulatedDevice> {
 public:
  // Creates the device's nodes on the backend, unplugged. Reports are traced when a trace
  // is given.
  static std::shared_ptr<EmulatedDevice> Create(std::shared_ptr<hid::VirtualBackend> backend,
                                                Model model,
                                                std::shared_ptr<Trace> trace = nullptr,
                                                const DeviceOptions& options = {});
  ~EmulatedDevice();  // removes the nodes from the backend
  EmulatedDevice(const EmulatedDevice&) = delete;
  EmulatedDevice& operator=(const EmulatedDevice&) = delete;

  const ModelSpec& Spec() const { return spec_; }
  const std::string& Name() const { return spec_.name; }

  // Plugging keeps the memory (the device's flash); each plug is a new identity to the host.
  void Plug();
  void Unplug();
  bool Plugged() const;

  // False when the model has no such button (only the mouse has a DPI button; the mousepad
  // sends no events) or the device is unplugged.
  bool Press(Action action);

  void InjectFault(const Fault& fault);
  void ClearFaults();
  void SetAnswerDelayMs(std::uint32_t ms);  // every answer, on top of the latency model
  void SetWriteStall(bool stall);           // writes to the command interface never finish
  void SetUsbLatency(bool on);              // 1 ms per report each way

  // A copy of part of an area (clipped to its size), and a way for tests to preload one.
  std::vector<std::uint8_t> Read(Area area, std::size_t offset, std::size_t length) const;
  bool Write(Area area, std::size_t offset, const std::vector<std::uint8_t>& bytes);

  // The last complete-or-in-progress light frame: the bytes written since the last chunk
  // at offset 0, up to the end of the furthest chunk.
  std::vector<std::uint8_t> LightFrame() const;
  std::size_t LightFrameCount() const;

  std::size_t RequestCount(std::uint8_t command) const;  // command reports received
  bool InTransfer() const;  // between BeginTransfer and EndTransfer

  std::vector<std::shared_ptr<hid::VirtualNode>> Nodes() const { return nodes_; }
  std::shared_ptr<hid::VirtualNode> CommandNode() const { return commandNode_; }

 private:
  struct Request {
    std::uint8_t command;
    std::uint8_t length;
    std::uint16_t offset;
    const std::uint8_t* payload;
  };
  using Handler = std::uint8_t (EmulatedDevice::*)(const Request&, std::uint8_t* answer);
  struct CommandEntry {
    std::uint8_t command;
    Handler handler;
  };
  static const std::array<CommandEntry, 12> kCommands;

  EmulatedDevice(std::shared_ptr<hid::VirtualBackend> backend, ModelSpec spec,
                 std::shared_ptr<Trace> trace);
  void Attach();
  void OnOutput(const std::uint8_t* report, std::size_t length);
  void SendLocked(const std::shared_ptr<hid::VirtualNode>& node, const std::uint8_t* report,
                  std::size_t length, std::uint32_t extraDelayMs);
  bool TakeFault(std::uint8_t command, Fault* hit);
  void SendEventLocked(std::uint16_t usage);
  std::vector<std::uint8_t>* AreaBytes(Area area);
  const std::vector<std::uint8_t>* AreaBytes(Area area) const;

  std::uint8_t ReadFrom(const std::vector<std::uint8_t>& area, const Request& r,
                        std::uint8_t* answer);
  std::uint8_t WriteTo(std::vector<std::uint8_t>& area, const Request& r);

  std::uint8_t OnBeginTransfer(const Request& r, std::uint8_t* answer);
  std::uint8_t OnEndTransfer(const Request& r, std::uint8_t* answer);
  std::uint8_t OnReadDeviceInfo(const Request& r, std::uint8_t* answer);
  std::uint8_t OnReadSettings(const Request& r, std::uint8_t* answer);
  std::uint8_t OnWriteSettings(const Request& r, std::uint8_t* answer);
  std::uint8_t OnReadDefaultKeyMap(const Request& r, std::uint8_t* answer);
  std::uint8_t OnReadKeyBlock(const Request& r, std::uint8_t* answer);
  std::uint8_t OnWriteKeyBlock(const Request& r, std::uint8_t* answer);
  std::uint8_t OnRestoreDefaults(const Request& r, std::uint8_t* answer);
  std::uint8_t OnWriteLightFrame(const Request& r, std::uint8_t* answer);
  std::uint8_t OnWriteMacroData(const Request& r, std::uint8_t* answer);
  std::uint8_t OnWriteCursorData(const Request& r, std::uint8_t* answer);

  const std::shared_ptr<hid::VirtualBackend> backend_;
  const ModelSpec spec_;
  const std::shared_ptr<Trace> trace_;
  std::vector<std::shared_ptr<hid::VirtualNode>> nodes_;
  std::shared_ptr<hid::VirtualNode> commandNode_;
  std::shared_ptr<hid::VirtualNode> eventNode_;

  mutable std::mutex mutex_;
  std::vector<std::uint8_t> deviceInfo_;
  std::vector<std::uint8_t> settings_;
  std::vector<std::uint8_t> keys_;
  std::vector<std::uint8_t> defaultKeyMap_;
  std::vector<std::uint8_t> macro_;
  std::vector<std::uint8_t> cursor_;
  std::vector<std::uint8_t> lightFrame_;
  std::size_t lightFrameLength_ = 0;
  std::size_t lightFrameCount_ = 0;
  std::array<std::size_t, 256> requestCounts_{};
  bool inTransfer_ = false;
  struct ArmedFault {
    Fault fault;
    int seen = 0;
  };
  std::vector<ArmedFault> faults_;
  std::uint32_t answerDelayMs_ = 0;
  bool usbLatency_ = false;
};

}  // namespace vz::emulator
