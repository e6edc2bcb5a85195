#include "lighting/lighting_io.h"

namespace vz::lighting {

TriggerFlags& LightingTriggers() {
  static TriggerFlags flags;
  return flags;
}

}  // namespace vz::lighting
