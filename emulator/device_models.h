// What distinguishes one emulated device from another: its USB identity, its HID
// interfaces with their report descriptors, the sizes of its memory areas and the factory
// contents of them. The firmware model (emulated_device.h) is the same for every device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vz::emulator {

enum class Model {
  kMouse,         // 0x195D:0x1028
  kKeyboard,      // 0x0C45:0x6556, the single-colour model
  kKeyboardRgb,   // 0x0C45:0x0800, the colour model
  kKeyboard7200,  // 0x0C45:0x7200
  kMousepad,      // 0x0C45:0x5004
};

// Report ids of the emulated collections.
inline constexpr std::uint8_t kCommandReportId = 4;  // vendor page 0xFF1C, usage 0x92
inline constexpr std::uint8_t kEventReportId = 3;    // consumer page 0x0C, usage 0x01
inline constexpr std::size_t kCommandReportSize = 64;  // report id + 63 bytes
inline constexpr std::size_t kEventReportSize = 3;     // report id + one 16-bit usage

// The device events that the host's listeners act on, sent as consumer usages.
inline constexpr std::uint16_t kEventSettingChanged = 0x401;  // e.g. the DPI button
inline constexpr std::uint16_t kEventReloadAll = 0x402;       // profile or lighting button
inline constexpr std::uint16_t kEventClick = 0x403;           // a click, for reactive lighting

// Sizes of the memory areas, in bytes. An area of size 0 does not exist on the model and
// its commands are refused.
inline constexpr std::size_t kRecordSize = 64;
inline constexpr std::size_t kSlotCount = 5;
inline constexpr std::size_t kSettingsAreaSize = kRecordSize * kSlotCount;
inline constexpr std::size_t kKeyBlockStride = 126;
// Block n is read at n * 126 onward for up to 512 bytes, so blocks overlap when the data
// size exceeds 126: the device keeps one flat area and addresses it by offset.
inline constexpr std::size_t kKeyAreaSize = 4 * kKeyBlockStride + 512;
inline constexpr std::size_t kDefaultKeyMapSize = 512;
inline constexpr std::size_t kDeviceInfoSize = 33;
inline constexpr std::size_t kCursorAreaSize = 3072;
inline constexpr std::size_t kLightFrameMax = 512;

struct InterfaceSpec {
  int number;                                  // bInterfaceNumber
  std::vector<std::uint8_t> reportDescriptor;  // all top-level collections of the interface
  bool carriesCommands;                        // holds the vendor collection
  bool carriesEvents;                          // holds the consumer-control collection
};

struct DeviceOptions {
  int keyCount = 104;    // keyboard: DeviceInfo byte 5; its data size is 3 x this
  int macroUnits = 32;   // DeviceInfo byte 6: room for macros in units of 128 bytes
};

struct ModelSpec {
  Model model;
  std::string name;  // as in --emulate and in trace lines
  std::string product;
  std::uint16_t vendorId;
  std::uint16_t productId;
  int ledCount;
  int lightingModes;  // the lighting button steps through modes 0 .. lightingModes - 1
  std::vector<InterfaceSpec> interfaces;
  std::vector<std::uint8_t> deviceInfo;     // kDeviceInfoSize bytes
  std::vector<std::uint8_t> settingsArea;   // factory contents, kSettingsAreaSize bytes
  std::vector<std::uint8_t> keyArea;        // factory contents, kKeyAreaSize or empty
  std::vector<std::uint8_t> defaultKeyMap;  // kDefaultKeyMapSize or empty
  std::size_t macroAreaSize;                // 128 x macro units, 0 without macros
  std::size_t cursorAreaSize;               // kCursorAreaSize on the mouse only
  bool hasDpiButton;
};

ModelSpec MakeModelSpec(Model model, const DeviceOptions& options = {});

// Finds a model by its --emulate name ("mouse", "keyboard", "keyboard-rgb",
// "keyboard-7200", "mousepad"). False for an unknown name.
bool ModelFromName(const std::string& name, Model* model);

// The factory key map of the keyboard: one 3-byte assignment per key of a 104-key layout,
// (0x20, modifier bit, 0) for modifiers and (0x20, 0, keyboard usage) for the others.
std::vector<std::uint8_t> KeyboardFactoryAssignments();

}  // namespace vz::emulator
