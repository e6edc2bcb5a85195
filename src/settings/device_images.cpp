#include "settings/device_images.h"

#include <algorithm>
#include <string>

#include "platform/system/sync.h"

namespace vz {

namespace {

constexpr std::uint8_t kFiller = 0x05;      // "no function" filler of factory key maps
constexpr std::size_t kFillerEnd = 510;     // the last two bytes of a map stay zero

constexpr KeyAssignment kMouseBuiltIn[] = {
    {0x10, 0x01, 0},  // left
    {0x10, 0x04, 0},  // wheel click: middle
    {0x10, 0x02, 0},  // right
    {0x10, 0x10, 0},  // forward
    {0x10, 0x08, 0},  // back
    {0x13, 0x03, 0},  // DPI cycle
};

struct VariantRow {
  std::uint16_t productId;
  int variant;
};
constexpr VariantRow kKeyboardVariants[] = {{0x0800, 0}, {0x6556, 1}};

std::atomic<int> g_keyboardVariant{0};

}  // namespace

KeyAssignment KeyAt(const KeyMap& map, std::size_t i) {
  const std::size_t at = i * kKeyAssignmentSize;
  return {map[at], map[at + 1], map[at + 2]};
}

void PutKey(KeyMap& map, std::size_t i, KeyAssignment key) {
  const std::size_t at = i * kKeyAssignmentSize;
  map[at] = key.type;
  map[at + 1] = key.param1;
  map[at + 2] = key.param2;
}

KeyMap BuiltInDefaultKeyMap(DeviceKind kind) {
  KeyMap map{};
  std::fill(map.begin(), map.begin() + kFillerEnd, kFiller);
  if (kind == DeviceKind::kMouse) {
    for (std::size_t i = 0; i < std::size(kMouseBuiltIn); ++i) PutKey(map, i, kMouseBuiltIn[i]);
  }
  return map;
}

void DeviceInfo::SetDpiMinimum(std::uint16_t dpi) {
  bytes[info::kDpiMinimum] = static_cast<std::uint8_t>(dpi);
  bytes[info::kDpiMinimum + 1] = static_cast<std::uint8_t>(dpi >> 8);
}

std::uint8_t ActiveSettings::Get(std::size_t offset) const {
  return offset < length_ ? bytes_.Get(offset) : 0;
}

void ActiveSettings::Set(std::size_t offset, std::uint8_t value) {
  if (offset < length_) bytes_.Set(offset, value);
}

LightingFields ActiveSettings::Lighting() const {
  return {Get(record::kMode), Get(record::kBrightness), Get(record::kSpeed),
          Get(record::kDirection), Get(record::kColourCycle), Colour()};
}

void ActiveSettings::SetLighting(const LightingFields& f) {
  Set(record::kMode, f.mode);
  Set(record::kBrightness, f.brightness);
  Set(record::kSpeed, f.speed);
  Set(record::kDirection, f.direction);
  Set(record::kColourCycle, f.colourCycle);
  SetColour(f.colour);
}

Rgb ActiveSettings::Colour() const {
  return {Get(record::kRed), Get(record::kGreen), Get(record::kBlue)};
}

void ActiveSettings::SetColour(Rgb c) {
  Set(record::kRed, c.red);
  Set(record::kGreen, c.green);
  Set(record::kBlue, c.blue);
}

KindImages::KindImages(DeviceKind k) : kind(k), active(ActiveSize(k)) {
  if (k != DeviceKind::kMousepad) defaultKeyMap = BuiltInDefaultKeyMap(k);
}

DeviceImages::DeviceImages()
    : kinds_{KindImages(DeviceKind::kKeyboard), KindImages(DeviceKind::kMouse),
             KindImages(DeviceKind::kMousepad)} {
  keyPositions_.fill(kNoKey);
}

KeyMap& DeviceImages::KeyBlockInUse(DeviceKind kind) {
  KindImages& k = Of(kind);
  const std::size_t slot = kind == DeviceKind::kMouse ? k.active.Slot() : 0;
  return k.keyBlocks[slot < kSlotCount ? slot : 0];
}

void DeviceImages::FillOnConnect(DeviceKind kind, const ConnectReads& reads) {
  KindImages& k = Of(kind);
  k.info.bytes = reads.info;
  const std::size_t dataSize = std::min(reads.dataSize, kKeyMapSize);
  std::uint8_t activeSlot = 0;
  switch (kind) {
    case DeviceKind::kMouse:
      std::copy_n(reads.defaultKeyMap.begin(), dataSize, k.defaultKeyMap.begin());
      for (std::size_t b = 0; b < kSlotCount; ++b)
        std::copy_n(reads.keyBlocks[b].begin(), dataSize, k.keyBlocks[b].begin());
      break;
    case DeviceKind::kKeyboard:
      std::copy_n(reads.defaultKeyMap.begin(), dataSize, k.defaultKeyMap.begin());
      std::copy_n(reads.keyBlocks[0].begin(), dataSize, k.keyBlocks[0].begin());
      break;
    case DeviceKind::kMousepad:
      for (std::size_t s = 0; s < kSlotCount; ++s)
        std::copy(reads.records[s].begin(), reads.records[s].end(), k.records[s].begin());
      activeSlot = reads.activeSlot;
      if (activeSlot >= kSlotCount) {
        // There is no record to show for such a slot; fall back to slot 0 instead of
        // reading past the table.
        DebugOutput("mousepad reports active slot " + std::to_string(activeSlot) + ", using 0");
        activeSlot = 0;
      }
      break;
  }
  LoadActive(kind, activeSlot);
  k.active.Set(record::kSlot, activeSlot);
}

void DeviceImages::CommitForSave(DeviceKind kind) {
  KindImages& k = Of(kind);
  StoreActive(kind, 0);
  if (kind == DeviceKind::kMouse) {
    k.records[0][record::kPointerSpeed] = PointerSpeed();
    k.records[0][record::kScrollLines] = ScrollLines();
  }
}

void DeviceImages::LoadActive(DeviceKind kind, std::size_t slot) {
  KindImages& k = Of(kind);
  k.active.CopyIn(k.records[slot].data());
}

void DeviceImages::StoreActive(DeviceKind kind, std::size_t slot) {
  KindImages& k = Of(kind);
  k.active.CopyOut(k.records[slot].data());
}

void DeviceImages::RebuildKeyPositions(std::span<const KeyAssignment, kKeyPositionCount> layout,
                                       std::size_t keyCount) {
  const KeyMap& defaults = Of(DeviceKind::kKeyboard).defaultKeyMap;
  const std::size_t keys = std::min(keyCount, kKeyMapSize / kKeyAssignmentSize);
  constexpr KeyAssignment kNotAKey{0x20, 0, 0};
  for (std::size_t p = 0; p < kKeyPositionCount; ++p) {
    keyPositions_[p] = kNoKey;
    if (layout[p] == kNotAKey) continue;
    for (std::size_t j = 0; j < keys; ++j) {
      if (KeyAt(defaults, j) == layout[p]) {
        keyPositions_[p] = static_cast<std::uint8_t>(j);
        break;
      }
    }
  }
}

LightingFields DeviceImages::SyncLighting() const {
  auto at = [this](std::size_t field) { return syncLighting_.Get(field - record::kMode); };
  return {at(record::kMode), at(record::kBrightness), at(record::kSpeed),
          at(record::kDirection), at(record::kColourCycle),
          Rgb{at(record::kRed), at(record::kGreen), at(record::kBlue)}};
}

void DeviceImages::SetSyncLighting(const LightingFields& f) {
  const std::uint8_t bytes[kSyncLightingSize] = {f.mode,         f.brightness,   f.speed,
                                                 f.direction,    f.colourCycle,  f.colour.red,
                                                 f.colour.green, f.colour.blue};
  syncLighting_.CopyIn(bytes, kSyncLightingSize);
}

int KeyboardVariant() { return g_keyboardVariant.load(std::memory_order_relaxed); }

void SetKeyboardVariant(int variant) {
  g_keyboardVariant.store(variant, std::memory_order_relaxed);
}

void SetKeyboardVariantFromProduct(std::uint16_t productId) {
  for (const VariantRow& row : kKeyboardVariants) {
    if (row.productId == productId) SetKeyboardVariant(row.variant);
  }
}

}  // namespace vz
