#include "settings/connect_read.h"

#include <algorithm>

#include "device/device_channel.h"

namespace vz {

namespace {

// A device that gives no answer after the protocol's retries (0) or cannot take a report
// (-1) will not answer the next command either. Going on would cost every remaining chunk
// its full retry bound — over a minute on the user-interface thread for the mouse — so the
// reads stop there. A device that answers with an error status is still talking: go on.
bool Silent(int result) { return result == kCmdNoAnswer || result == kCmdWriteFailed; }

// Starts from what the images hold, so a read that fails leaves those bytes in place.
ConnectReads CurrentContents(const KindImages& k) {
  ConnectReads reads;
  reads.info = k.info.bytes;
  reads.defaultKeyMap = k.defaultKeyMap;
  reads.keyBlocks = k.keyBlocks;
  for (std::size_t s = 0; s < kSlotCount; ++s) {
    std::copy_n(k.records[s].begin(), kRecordReadSize, reads.records[s].begin());
  }
  reads.activeSlot = k.active.Slot();
  return reads;
}

}  // namespace

ConnectOutcome ConnectRead(DeviceKind kind, DeviceChannel& channel, DeviceImages& images) {
  // Nothing answers (no device, or one that does not talk): nothing was read, nothing changes.
  if (Silent(channel.BeginTransfer())) return ConnectOutcome::kSilent;
  ConnectReads reads = CurrentContents(images.Of(kind));
  reads.dataSize = channel.DataSize();
  bool silent = Silent(channel.ReadDeviceInfo(reads.info.data()));

  if (!silent && kind == DeviceKind::kKeyboard) {
    const std::uint16_t dataSize = static_cast<std::uint16_t>(3 * reads.info[info::kKeyCount]);
    if (!channel.SetDataSize(dataSize)) return ConnectOutcome::kRefused;
    reads.dataSize = dataSize;
  }

  switch (kind) {
    case DeviceKind::kMouse:
      if (!silent) silent = Silent(channel.ReadDefaultKeyMap(reads.defaultKeyMap.data()));
      for (int b = 0; b < kKeyBlockCount && !silent; ++b) {
        silent = Silent(channel.ReadKeyBlock(reads.keyBlocks[b].data(), b));
      }
      break;
    case DeviceKind::kKeyboard:
      if (!silent) silent = Silent(channel.ReadDefaultKeyMap(reads.defaultKeyMap.data()));
      if (!silent) silent = Silent(channel.ReadKeyBlock(reads.keyBlocks[0].data(), 0));
      break;
    case DeviceKind::kMousepad:
      for (std::size_t s = 0; s < kSlotCount && !silent; ++s) {
        silent = Silent(channel.ReadSettings(reads.records[s].data(), kRecordReadSize,
                                             static_cast<std::uint16_t>(s * kRecordSize)));
      }
      if (!silent) silent = Silent(channel.ReadSettings(&reads.activeSlot, 1, 0));
      break;
  }

  images.FillOnConnect(kind, reads);
  if (silent) return ConnectOutcome::kSilent;
  channel.EndTransfer();
  return ConnectOutcome::kRead;
}

}  // namespace vz
