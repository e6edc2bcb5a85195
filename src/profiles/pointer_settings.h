// The operating system's pointer speed (1..20) and wheel scroll lines (1..100), as a
// mouse device-profile load takes them. The platform layer supplies the real one.
#pragma once

#include "settings/device_images.h"

namespace vz {

class PointerSettings {
 public:
  virtual ~PointerSettings() = default;
  virtual int Speed() = 0;
  virtual int ScrollLines() = 0;
};

// Answers with the values the images hold, so a load through it changes neither.
class ImagesPointerSettings : public PointerSettings {
 public:
  explicit ImagesPointerSettings(const DeviceImages& images) : images_(images) {}
  int Speed() override { return images_.PointerSpeed(); }
  int ScrollLines() override { return images_.ScrollLines(); }

 private:
  const DeviceImages& images_;
};

}  // namespace vz
