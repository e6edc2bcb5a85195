#include "profiles/profile_store.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/system/files.h"
#include "platform/system/folders.h"
#include "platform/system/ini.h"
#include "platform/system/sync.h"
#include "profiles/profile_file.h"
#include "profiles/profile_payload.h"

namespace vz {

namespace {

constexpr std::string_view kRootFolder = "Gaming Mouse/";
constexpr int kAnyVariant = -1;

struct IndexFileRow {
  DeviceKind kind;
  std::string_view fileName;
};
constexpr IndexFileRow kIndexFiles[] = {
    {DeviceKind::kKeyboard, "kbProfile.ini"},
    {DeviceKind::kMouse, "msProfile.ini"},
    {DeviceKind::kMousepad, "mpProfile.ini"},
};

struct DefaultFileRow {
  DeviceKind kind;
  int keyboardVariant;
  ProfileKind profile;
  std::string_view fileName;
};
constexpr DefaultFileRow kDefaultFiles[] = {
    {DeviceKind::kMouse, kAnyVariant, ProfileKind::kDevice, "msdevicedefault.config"},
    {DeviceKind::kMouse, kAnyVariant, ProfileKind::kLighting, "msdengdefault.led"},
    {DeviceKind::kMouse, kAnyVariant, ProfileKind::kKey, "mskeydefault.pro"},
    {DeviceKind::kMousepad, kAnyVariant, ProfileKind::kLighting, "mpdengdefault.led"},
    {DeviceKind::kKeyboard, 0, ProfileKind::kDevice, "kbdevicedefault.config"},
    {DeviceKind::kKeyboard, 0, ProfileKind::kLighting, "kbdengdefault.led"},
    {DeviceKind::kKeyboard, 0, ProfileKind::kKey, "kbkeydefault.pro"},
    {DeviceKind::kKeyboard, 1, ProfileKind::kDevice, "kbdevice15default.config"},
    {DeviceKind::kKeyboard, 1, ProfileKind::kLighting, "kb15dengdefault.led"},
    {DeviceKind::kKeyboard, 1, ProfileKind::kKey, "kbkey15default.pro"},
};

std::string Str(std::string_view v) { return std::string(v); }

// The operating system and old profile files may hold 0 (or worse); the pointer
// settings are never below 1.
std::uint8_t AtLeastOne(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 1, 255));
}

// The index entry of a position, or nullopt (with the reason in the debug output) when
// the name cannot be the file name of a profile: a path separator or ".." would reach
// outside the data folder.
std::optional<std::string> ProfileName(DeviceKind kind, ProfileKind profile, int position) {
  std::string name = ReadIndex(kind, RowOf(profile).nameSection, std::to_string(position));
  if (!files::IsSafeFileName(name)) {
    DebugOutput("profile name is not a file name, refused: \"" + name + "\"");
    return std::nullopt;
  }
  return name;
}

}  // namespace

std::string DataRoot() {
  std::string root = folders::Documents() + Str(kRootFolder);
  files::MakeFolders(root);
  return root;
}

std::string DataFolder(DeviceKind kind) {
  std::string folder = DataRoot() + Str(Prefix(kind)) + "/";
  files::MakeFolders(folder);
  return folder;
}

std::string IndexPath(DeviceKind kind) {
  for (const IndexFileRow& row : kIndexFiles) {
    if (row.kind == kind) return DataFolder(kind) + Str(row.fileName);
  }
  return {};
}

std::string ProfilePath(DeviceKind kind, std::string_view name, ProfileKind profile) {
  return DataFolder(kind) + Str(name) + Str(RowOf(profile).extension);
}

std::string_view DefaultFileName(DeviceKind kind, ProfileKind profile, int keyboardVariant) {
  for (const DefaultFileRow& row : kDefaultFiles) {
    if (row.kind != kind || row.profile != profile) continue;
    if (row.keyboardVariant == kAnyVariant || row.keyboardVariant == keyboardVariant)
      return row.fileName;
  }
  return {};
}

std::string DefaultPath(DeviceKind kind, ProfileKind profile) {
  const std::string_view name = DefaultFileName(kind, profile, KeyboardVariant());
  return name.empty() ? std::string() : folders::Program() + Str(name);
}

std::string ReadIndex(DeviceKind kind, std::string_view section, std::string_view key) {
  return ini::ReadString(IndexPath(kind), Str(section), Str(key), "0", ini::kDefaultCapacity);
}

int ReadIndexNumber(DeviceKind kind, std::string_view section, std::string_view key) {
  return ini::ParseLeadingInt(ReadIndex(kind, section, key));
}

bool WriteIndex(DeviceKind kind, std::string_view section, std::string_view key,
                std::string_view text) {
  return ini::WriteString(IndexPath(kind), Str(section), Str(key), Str(text));
}

int LoadProfile(DeviceImages& images, DeviceKind kind, ProfileKind profile, int position,
                PointerSettings& pointer) {
  const std::size_t size = PayloadSize(kind, profile);
  const std::optional<std::string> name = ProfileName(kind, profile, position);
  std::vector<std::uint8_t> payload(size, 0);
  const int result = (size == 0 || !name)
                         ? kProfileMissing
                         : ReadProfileFile(ProfilePath(kind, *name, profile), payload.data(), size);
  if (result == kProfileMissing) DebugOutput("配置文件丢失");
  if (result == kProfileBadFormat) DebugOutput("配置文件格式错误");
  if (result != kProfileRead) return result;

  ApplyPayload(images, kind, profile, payload.data());
  if (kind == DeviceKind::kMouse) {
    const SettingsRecord& record = images.Of(kind).records[0];
    if (profile == ProfileKind::kDevice) {
      images.SetPointerSpeed(AtLeastOne(pointer.Speed()));
      images.SetScrollLines(AtLeastOne(pointer.ScrollLines()));
    } else if (profile == ProfileKind::kLighting) {
      images.SetPointerSpeed(AtLeastOne(record[record::kPointerSpeed]));
      images.SetScrollLines(AtLeastOne(record[record::kScrollLines]));
    }
  }
  return kProfileRead;
}

bool WriteProfileFromImages(const DeviceImages& images, DeviceKind kind, ProfileKind profile,
                            const std::string& path) {
  const std::vector<std::uint8_t> payload = AssemblePayload(images, kind, profile);
  if (payload.empty()) return false;
  return WriteProfileFile(path, payload.data(), payload.size(), FileCode(kind));
}

bool SaveProfile(DeviceImages& images, DeviceKind kind, ProfileKind profile) {
  images.CommitForSave(kind);
  const int selected = ReadIndexNumber(kind, RowOf(profile).selectSection, kSelectKey);
  const std::optional<std::string> name = ProfileName(kind, profile, selected);
  if (!name) return false;
  return WriteProfileFromImages(images, kind, profile, ProfilePath(kind, *name, profile));
}

void ProfileRefreshSaver::SaveAfterRefresh(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kMouse:
      SaveProfile(images_, kind, ProfileKind::kLighting);
      SaveProfile(images_, kind, ProfileKind::kDevice);
      break;
    case DeviceKind::kMousepad:
      SaveProfile(images_, kind, ProfileKind::kLighting);
      break;
    case DeviceKind::kKeyboard:
      SaveProfile(images_, kind, ProfileKind::kDevice);
      break;
  }
}

}  // namespace vz
