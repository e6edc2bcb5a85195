// The operations that move ActiveSettings between the images and the devices: the
// periodic settings flush, the refresh after a change made on the device itself, and the
// switch of the active slot. All run on the user-interface thread; the exchanges are
// serialised by each DeviceChannel's own lock.
//
// Device replies are not examined beyond what keeps the images sound: a failed flush loses
// that write (the next change sends the whole ActiveSettings again), nothing is queued.
#pragma once

#include <array>
#include <cstddef>

#include "settings/device_images.h"
#include "settings/page_refill.h"

namespace vz {

class DeviceChannel;

class SettingsSync {
 public:
  // channels indexed by DeviceKind; each pointer must outlive this object.
  SettingsSync(DeviceImages& images, std::array<DeviceChannel*, kDeviceKindCount> channels,
               PageRefill& pages, RefreshSaver& saver);

  // Every 100 ms, keyboard, mouse, mousepad: for each kind with the pending flag, one
  // WriteSettings of 56 bytes at offset 0 (ActiveSettings, then zeros); the flag is cleared
  // whatever the device answered. Returns the number of writes attempted.
  int Flush();

  // After the device reports a change it made itself: ActiveSettings into the record of
  // its slot, read the device's slot byte (the mousepad follows it; mouse and keyboard stay
  // on slot 0), read that slot's 56 bytes, make them ActiveSettings, save, refill.
  // Returns false, with the images as they were apart from the first copy, when the
  // mousepad's slot cannot be read or lies outside 0..4.
  bool RefreshActive(DeviceKind kind);

  // Makes slot n the device's active one (mouse and mousepad). Nothing happens for n
  // outside 0..4, for the keyboard, when the device is on slot n already, or when its
  // current slot cannot be read or lies outside 0..4 (the switch is refused: there is no
  // record to keep the live settings in). Returns true when the slot was switched.
  bool SelectSlot(DeviceKind kind, int n);

 private:
  // ReadSettings of 1 byte at offset 0; false when the read fails or the slot is not 0..4.
  bool ReadDeviceSlot(DeviceKind kind, std::size_t& slot);
  void ReadRecord(DeviceKind kind, std::size_t slot);

  DeviceImages& images_;
  std::array<DeviceChannel*, kDeviceKindCount> channels_;
  PageRefill& pages_;
  RefreshSaver& saver_;
};

}  // namespace vz
