// The keyboard's built-in assignments: the factory key map as the firmware answers it.
#include <cstdint>
#include <vector>

#include "device/keyboard_factory_keys.h"
#include "emulator/device_models.h"

namespace vz::emulator {

std::vector<std::uint8_t> KeyboardFactoryAssignments() {
  std::vector<std::uint8_t> out;
  out.reserve(3 * factory_keys::kKeyboard.size());
  for (const auto& k : factory_keys::kKeyboard) {
    out.push_back(factory_keys::kSingleKey);
    out.push_back(k.modifier);
    out.push_back(k.usage);
  }
  return out;
}

}  // namespace vz::emulator
