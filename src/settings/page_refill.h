// What the settings operations ask of the rest of the program after they replaced a
// kind's settings underneath the pages: the pages refill their controls, the profile
// store saves the files that hold the record.
#pragma once

#include "settings/device_kind.h"

namespace vz {

// Implemented by the pages: bring the controls of a kind's settings pages in line with
// the images after they changed underneath.
class PageRefill {
 public:
  virtual ~PageRefill() = default;
  virtual void RefillSettingsPage(DeviceKind kind) = 0;
  // The mouse's function-assignment panel "ms_tab_function", hidden when the slot changes.
  virtual void HideFunctionPanel(DeviceKind kind) = 0;
};

// Implemented by the profile store: save the profile files that hold the settings record
// after a refresh replaced it (mouse: lighting and device profile; mousepad: lighting
// profile; keyboard: device profile).
class RefreshSaver {
 public:
  virtual ~RefreshSaver() = default;
  virtual void SaveAfterRefresh(DeviceKind kind) = 0;
};

}  // namespace vz
