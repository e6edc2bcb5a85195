// DeviceImages: the host's copy of what it edits in each device's memory, plus the
// settings that live only on the host. The pages read and write these images, the
// settings flush sends ActiveSettings to the device, and profile files are snapshots of
// them. Everything here runs on the user-interface thread, except that the lighting
// effect threads read (and the effect phase byte write) the bytes kept in RelaxedBytes.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "settings/relaxed_bytes.h"
#include "settings/settings_layout.h"

namespace vz {

using KeyMap = std::array<std::uint8_t, kKeyMapSize>;
using SettingsRecord = std::array<std::uint8_t, kRecordSize>;

// Key i of a map is bytes 3i..3i + 2; i below 170.
KeyAssignment KeyAt(const KeyMap& map, std::size_t i);
void PutKey(KeyMap& map, std::size_t i, KeyAssignment key);

// The factory assignments a DefaultKeyMap holds until a device sends its own: mouse
// buttons 0..5 left, middle, right, forward, back, DPI cycle, then 0x05 filler up to byte
// 509 and two zero bytes; the keyboard's is all filler and the two zeros.
KeyMap BuiltInDefaultKeyMap(DeviceKind kind);

class DeviceInfo {
 public:
  std::array<std::uint8_t, kInfoSize> bytes{};

  std::uint8_t KeyCount() const { return bytes[info::kKeyCount]; }
  std::uint8_t MacroCapacity() const { return bytes[info::kMacroCapacity]; }  // x 128 bytes
  std::uint16_t SensorCode() const { return Word(info::kSensorCode); }
  std::uint8_t DpiStep() const { return bytes[info::kDpiStep]; }
  std::uint8_t HighestPosition() const { return bytes[info::kHighestPosition]; }
  std::uint16_t DpiMinimum() const { return Word(info::kDpiMinimum); }
  void SetDpiMinimum(std::uint16_t dpi);

 private:
  std::uint16_t Word(std::size_t at) const {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
  }
};

// The working copy of the active slot's record: the first Length() bytes (38 for the
// mouse, 21 otherwise); byte 0 is the active slot number.
class ActiveSettings {
 public:
  explicit ActiveSettings(std::size_t length) : length_(length) {}

  std::size_t Length() const { return length_; }
  // offset below Length(); an offset beyond it reads 0 and is not written.
  std::uint8_t Get(std::size_t offset) const;
  void Set(std::size_t offset, std::uint8_t value);
  std::uint8_t Slot() const { return Get(record::kSlot); }

  void CopyOut(std::uint8_t* out) const { bytes_.CopyOut(out, length_); }  // Length() bytes
  void CopyIn(const std::uint8_t* in) { bytes_.CopyIn(in, length_); }

  LightingFields Lighting() const;
  void SetLighting(const LightingFields& fields);
  Rgb Colour() const;
  void SetColour(Rgb colour);

 private:
  std::size_t length_;
  RelaxedBytes<kMouseActiveSize> bytes_;
};

// What the reads made on connection returned. For the mouse: info, defaultKeyMap and key
// blocks 0..4; the keyboard: info, defaultKeyMap and key block 0; the mousepad: info, the
// first 56 bytes of each slot's record and the device's active slot (settings byte 0).
// dataSize is the number of key-map bytes the reads moved (3 x key count on the keyboard);
// image bytes beyond it keep what they held.
struct ConnectReads {
  std::array<std::uint8_t, kInfoSize> info{};
  KeyMap defaultKeyMap{};
  std::array<KeyMap, kSlotCount> keyBlocks{};
  std::array<std::array<std::uint8_t, kRecordReadSize>, kSlotCount> records{};
  std::uint8_t activeSlot = 0;
  std::size_t dataSize = kKeyMapSize;
};

struct KindImages {
  explicit KindImages(DeviceKind k);

  const DeviceKind kind;
  DeviceInfo info;
  KeyMap defaultKeyMap{};                         // mouse and keyboard
  std::array<KeyMap, kSlotCount> keyBlocks{};     // mouse and keyboard
  std::array<SettingsRecord, kSlotCount> records{};
  ActiveSettings active;
  bool pending = false;  // a change waits for the settings flush
};

class DeviceImages {
 public:
  DeviceImages();
  DeviceImages(const DeviceImages&) = delete;
  DeviceImages& operator=(const DeviceImages&) = delete;

  KindImages& Of(DeviceKind kind) { return kinds_[Index(kind)]; }
  const KindImages& Of(DeviceKind kind) const { return kinds_[Index(kind)]; }

  // The block the button pages edit and the macro transfer sends: the mouse's is the one
  // numbered by its active slot, the keyboard's always block 0. Profile files take block 0.
  KeyMap& KeyBlockInUse(DeviceKind kind);

  void FillOnConnect(DeviceKind kind, const ConnectReads& reads);
  void MarkPending(DeviceKind kind) { Of(kind).pending = true; }
  bool Pending(DeviceKind kind) const { return Of(kind).pending; }
  // Before every profile save: ActiveSettings into record 0 (38 or 21 bytes) and, for the
  // mouse, the pointer speed into byte 38 and the scroll lines into byte 39 of it.
  void CommitForSave(DeviceKind kind);
  // ActiveSettings <- the first bytes of records[slot] / records[slot] <- ActiveSettings.
  void LoadActive(DeviceKind kind, std::size_t slot);
  void StoreActive(DeviceKind kind, std::size_t slot);

  // Mouse host settings, applied to the operating system, never sent to the device.
  // Pointer speed 1..20, scroll lines 1..100; read by the worker threads that apply them.
  std::uint8_t PointerSpeed() const { return pointerSpeed_.load(std::memory_order_relaxed); }
  void SetPointerSpeed(std::uint8_t v) { pointerSpeed_.store(v, std::memory_order_relaxed); }
  std::uint8_t ScrollLines() const { return scrollLines_.load(std::memory_order_relaxed); }
  void SetScrollLines(std::uint8_t v) { scrollLines_.store(v, std::memory_order_relaxed); }

  // Keyboard per-key lighting: the set in use (0..4, 32 bits little-endian in files) and
  // five sets of 126 positions x 3 bytes (the single-colour keyboard uses one byte per
  // position, 255 lit).
  std::int32_t CustomSet() const { return customSet_.load(std::memory_order_relaxed); }
  void SetCustomSet(std::int32_t v) { customSet_.store(v, std::memory_order_relaxed); }
  RelaxedBytes<kCustomColourTableSize>& CustomColours() { return customColours_; }
  const RelaxedBytes<kCustomColourTableSize>& CustomColours() const { return customColours_; }

  // On-screen keyboard position (0..125) -> device key index, kNoKey where none.
  std::array<std::uint8_t, kKeyPositionCount>& KeyPositions() { return keyPositions_; }
  // For each position, the first key j below keyCount whose DefaultKeyMap entry equals the
  // layout's expected assignment; (0x20, 0, 0) in the layout marks a position that is no key.
  void RebuildKeyPositions(std::span<const KeyAssignment, kKeyPositionCount> layout,
                           std::size_t keyCount);

  // LightingFields shared by the three devices while they run synchronized.
  LightingFields SyncLighting() const;
  void SetSyncLighting(const LightingFields& fields);

 private:
  std::array<KindImages, kDeviceKindCount> kinds_;
  std::atomic<std::uint8_t> pointerSpeed_{0};
  std::atomic<std::uint8_t> scrollLines_{0};
  std::atomic<std::int32_t> customSet_{0};
  RelaxedBytes<kCustomColourTableSize> customColours_;
  RelaxedBytes<kSyncLightingSize> syncLighting_;
  std::array<std::uint8_t, kKeyPositionCount> keyPositions_;
};

// Which keyboard is connected: 0 the RGB one (product 0x0800), 1 the single-colour one
// (0x6556). Process-wide; 0 until a keyboard is found. Chooses the keyboard's default
// profile files, mode list and per-key layout.
int KeyboardVariant();
void SetKeyboardVariant(int variant);
// 0x0800 gives 0, 0x6556 gives 1; any other product leaves the variant as it was.
void SetKeyboardVariantFromProduct(std::uint16_t productId);

}  // namespace vz
