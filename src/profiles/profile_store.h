// Where profiles live and the two primitives every profile operation rests on.
//
// Folders: the data root is the documents folder followed by "Gaming Mouse/"; the data
// folder of a kind is the root followed by its prefix ("ms/", "kb/", "mp/"). Each call
// creates the missing levels. A kind's ProfileIndex ("msProfile.ini" ...) lists its
// profiles; a profile's file is the data folder, its name and the kind's extension.
//
// Index reads use the default text "0" and 260 characters, so a missing file, section or
// key reads as "0"; numbers are the leading decimal digits ("3x" is 3, "abc" is 0).
// Nothing is cached: every call reads the files again.
#pragma once

#include <string>
#include <string_view>

#include "profiles/pointer_settings.h"
#include "profiles/profile_kind.h"
#include "settings/device_images.h"
#include "settings/page_refill.h"

namespace vz {

std::string DataRoot();
std::string DataFolder(DeviceKind kind);
std::string IndexPath(DeviceKind kind);
std::string ProfilePath(DeviceKind kind, std::string_view name, ProfileKind profile);

// The factory file in the program folder ("msdevicedefault.config" ...); the keyboard's
// by keyboard variant. Empty where there is none, which reads as a missing file.
std::string_view DefaultFileName(DeviceKind kind, ProfileKind profile, int keyboardVariant);
std::string DefaultPath(DeviceKind kind, ProfileKind profile);

std::string ReadIndex(DeviceKind kind, std::string_view section, std::string_view key);
int ReadIndexNumber(DeviceKind kind, std::string_view section, std::string_view key);
bool WriteIndex(DeviceKind kind, std::string_view section, std::string_view key,
                std::string_view text);

// Loads the profile at `position` of the kind's list into the images. Returns the
// ReadProfileFile result; on anything but kProfileRead the images are unchanged and the
// debug text "配置文件丢失" (missing) or "配置文件格式错误" (bad format) is emitted. A name
// that cannot be a file name reads as missing.
// Mouse pointer settings: a device profile takes the operating system's current values
// from `pointer`; a lighting profile takes record bytes 38 and 39. A 0 becomes 1.
int LoadProfile(DeviceImages& images, DeviceKind kind, ProfileKind profile, int position,
                PointerSettings& pointer);

// CommitForSave, then writes the images into the file of the stored selection (the index's
// `select`, not what is applied now). A selected name that cannot be a file name is
// refused: nothing is written and the debug output says why. True when written.
bool SaveProfile(DeviceImages& images, DeviceKind kind, ProfileKind profile);

// Writes the kind's payload for `profile` from the images as they are to path.
bool WriteProfileFromImages(const DeviceImages& images, DeviceKind kind, ProfileKind profile,
                            const std::string& path);

// Saves what a refresh of the settings record changed: mouse lighting and device
// profiles, mousepad lighting profile, keyboard device profile.
class ProfileRefreshSaver : public RefreshSaver {
 public:
  explicit ProfileRefreshSaver(DeviceImages& images) : images_(images) {}
  void SaveAfterRefresh(DeviceKind kind) override;

 private:
  DeviceImages& images_;
};

}  // namespace vz
