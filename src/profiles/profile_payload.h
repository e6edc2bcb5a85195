// What each profile file carries after its header, in order, taken from and put back
// into the DeviceImages. Slot 0 and key block 0 are what files hold, whichever slot is
// active.
//
//   mouse     .config  key block 0 (512), record 0 (64)                         576
//   mouse     .led     record 0 (64)                                             64
//   mouse     .pro     key block 0 (512)                                        512
//   keyboard  .config  key block 0, record 0, custom set (4), colour table (1890) 2470
//   keyboard  .led     record 0, custom set (4), colour table (1890)           1958
//   keyboard  .pro     key block 0 (512)                                        512
//   mousepad  .led     record 0 (64)                                             64
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "profiles/profile_kind.h"
#include "settings/device_images.h"

namespace vz {

// 0 when the kind has no such profile (the mousepad's device and key profiles).
std::size_t PayloadSize(DeviceKind kind, ProfileKind profile);

// The payload from the images as they are (callers run CommitForSave first).
std::vector<std::uint8_t> AssemblePayload(const DeviceImages& images, DeviceKind kind,
                                          ProfileKind profile);

// Copies a payload of PayloadSize bytes into the images, then refreshes ActiveSettings
// from record 0 (38 or 21 bytes) when the payload holds the record. Pointer settings are
// the caller's (LoadProfile).
void ApplyPayload(DeviceImages& images, DeviceKind kind, ProfileKind profile,
                  const std::uint8_t* payload);

}  // namespace vz
