#include <array>

#include "platform/system/files.h"
#include "profiles/profile_store.h"
#include "tools/factory/factory.h"

namespace vz::factory {

namespace {

struct ProfileFileRow {
  DeviceKind kind;
  ProfileKind profile;
};
constexpr std::array<ProfileFileRow, 7> kProfileFiles = {{
    {DeviceKind::kMouse, ProfileKind::kDevice},
    {DeviceKind::kMouse, ProfileKind::kLighting},
    {DeviceKind::kMouse, ProfileKind::kKey},
    {DeviceKind::kMousepad, ProfileKind::kLighting},
    {DeviceKind::kKeyboard, ProfileKind::kDevice},
    {DeviceKind::kKeyboard, ProfileKind::kLighting},
    {DeviceKind::kKeyboard, ProfileKind::kKey},
}};
constexpr int kKeyboardVariants = 2;

}  // namespace

std::vector<std::string> WriteFactoryFiles(const std::string& folder) {
  std::vector<std::string> failed;
  auto write = [&](const std::string& name, bool ok) {
    if (!ok) failed.push_back(name);
  };
  for (int variant = 0; variant < kKeyboardVariants; ++variant) {
    DeviceImages images;
    FillFactoryImages(images, variant);
    for (const ProfileFileRow& row : kProfileFiles) {
      // The keyboard files exist per variant; the others are written once.
      if (row.kind != DeviceKind::kKeyboard && variant > 0) continue;
      const std::string name(DefaultFileName(row.kind, row.profile, variant));
      write(name, WriteProfileFromImages(images, row.kind, row.profile, folder + name));
    }
  }
  for (int slot = 0; slot < kGunSlotCount; ++slot) {
    const std::string name = CursorFileName(slot);
    const std::string text = CursorFileText(FactoryCursorSequence(slot));
    write(name, files::WriteAtomic(folder + name, text.data(), text.size()));
  }
  return failed;
}

}  // namespace vz::factory
