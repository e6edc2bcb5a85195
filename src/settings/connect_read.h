// The reads made when a device connects (and again when it asks for it with a device
// event): the device's memory into DeviceImages. Runs on the user-interface thread.
//
//   mouse:    BeginTransfer, ReadDeviceInfo, ReadDefaultKeyMap, ReadKeyBlock 0..4,
//             FillOnConnect (slot 0), EndTransfer
//   keyboard: BeginTransfer, ReadDeviceInfo, SetDataSize(3 x key count), ReadDefaultKeyMap,
//             ReadKeyBlock 0, FillOnConnect (slot 0), EndTransfer
//   mousepad: BeginTransfer, ReadDeviceInfo, ReadSettings 56 bytes at slot x 64 for slots
//             0..4, ReadSettings 1 byte at 0 (the active slot), FillOnConnect, EndTransfer
//
// What a read returned before a command failed stays in the images; a command that fails
// leaves the bytes it would have read as they were.
#pragma once

#include "settings/device_images.h"

namespace vz {

class DeviceChannel;

enum class ConnectOutcome {
  kRead,     // the images hold what the device sent
  kRefused,  // a keyboard with more keys than a 512-byte key block holds: nothing stored
  kSilent,   // the device did not answer (or left): the reads were given up early; what
             // was read before is in the images, nothing at all when BeginTransfer failed
};

ConnectOutcome ConnectRead(DeviceKind kind, DeviceChannel& channel, DeviceImages& images);

}  // namespace vz
