#include "settings/settings_sync.h"

#include <algorithm>
#include <string>

#include "device/device_channel.h"
#include "platform/system/sync.h"

namespace vz {

static_assert(kFlushSize <= kPayloadMax && kRecordReadSize <= kPayloadMax);

SettingsSync::SettingsSync(DeviceImages& images,
                           std::array<DeviceChannel*, kDeviceKindCount> channels,
                           PageRefill& pages, RefreshSaver& saver)
    : images_(images), channels_(channels), pages_(pages), saver_(saver) {}

int SettingsSync::Flush() {
  int writes = 0;
  for (const DeviceKindRow& row : kDeviceKinds) {
    KindImages& k = images_.Of(row.kind);
    if (!k.pending) continue;
    std::uint8_t buffer[kFlushSize] = {};
    k.active.CopyOut(buffer);
    channels_[Index(row.kind)]->WriteSettings(buffer, kFlushSize, 0);
    k.pending = false;
    ++writes;
  }
  return writes;
}

bool SettingsSync::ReadDeviceSlot(DeviceKind kind, std::size_t& slot) {
  std::uint8_t value = 0;
  const int result = channels_[Index(kind)]->ReadSettings(&value, 1, 0);
  if (result != kCmdOk || value >= kSlotCount) {
    DebugOutput(std::string(Prefix(kind)) + ": active slot unreadable (result " +
                std::to_string(result) + ", slot " + std::to_string(value) + ")");
    return false;
  }
  slot = value;
  return true;
}

void SettingsSync::ReadRecord(DeviceKind kind, std::size_t slot) {
  SettingsRecord& record = images_.Of(kind).records[slot];
  // Read over a copy of what the record holds, so a failed read leaves it as it was.
  std::uint8_t buffer[kRecordReadSize];
  std::copy_n(record.begin(), kRecordReadSize, buffer);
  channels_[Index(kind)]->ReadSettings(buffer, kRecordReadSize,
                                       static_cast<std::uint16_t>(slot * kRecordSize));
  std::copy_n(buffer, kRecordReadSize, record.begin());
}

bool SettingsSync::RefreshActive(DeviceKind kind) {
  KindImages& k = images_.Of(kind);
  std::size_t slot = k.active.Slot() < kSlotCount ? k.active.Slot() : 0;
  images_.StoreActive(kind, slot);

  std::size_t deviceSlot = 0;
  const bool slotRead = ReadDeviceSlot(kind, deviceSlot);
  if (kind == DeviceKind::kMousepad) {
    if (!slotRead) return false;
    slot = deviceSlot;
  } else {
    // The mouse and the keyboard always work on slot 0, whatever the device says.
    slot = 0;
  }

  ReadRecord(kind, slot);
  k.records[slot][record::kSlot] = static_cast<std::uint8_t>(slot);
  images_.LoadActive(kind, slot);

  saver_.SaveAfterRefresh(kind);
  pages_.RefillSettingsPage(kind);
  return true;
}

bool SettingsSync::SelectSlot(DeviceKind kind, int n) {
  if (kind == DeviceKind::kKeyboard || n < 0 || n >= static_cast<int>(kSlotCount)) return false;
  std::size_t current = 0;
  if (!ReadDeviceSlot(kind, current)) return false;
  const auto target = static_cast<std::size_t>(n);
  if (current == target) return false;

  images_.StoreActive(kind, current);
  const std::uint8_t slotByte = static_cast<std::uint8_t>(n);
  channels_[Index(kind)]->WriteSettings(&slotByte, 1, 0);
  ReadRecord(kind, target);
  images_.LoadActive(kind, target);
  images_.Of(kind).active.Set(record::kSlot, slotByte);

  if (kind == DeviceKind::kMouse) pages_.HideFunctionPanel(kind);
  pages_.RefillSettingsPage(kind);
  return true;
}

}  // namespace vz
