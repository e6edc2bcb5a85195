#include "profiles/profile_file.h"

#include <cstring>
#include <fstream>
#include <vector>

#include "platform/system/files.h"
#include "platform/system/sync.h"

namespace vz {

int ReadProfileFile(const std::string& path, std::uint8_t* buffer, std::size_t size) {
  if (path.empty()) return kProfileMissing;
  const std::optional<std::string> found = files::FindNoCase(path);
  if (!found || files::IsDirectory(*found)) return kProfileMissing;
  std::ifstream in(*found, std::ios::binary);
  if (!in) return kProfileMissing;
  // Never more than header and payload: the rest of a longer file is not ours to read.
  std::vector<char> bytes(kProfileHeaderSize + size);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const auto got = static_cast<std::size_t>(in.gcount());
  if (in.bad()) return kProfileMissing;
  if (got < 2 || (static_cast<std::uint8_t>(bytes[0]) | static_cast<std::uint8_t>(bytes[1]) << 8) !=
                     kProfileMagic)
    return kProfileBadFormat;
  if (got > kProfileHeaderSize)
    std::memcpy(buffer, bytes.data() + kProfileHeaderSize, got - kProfileHeaderSize);
  return kProfileRead;
}

bool WriteProfileFile(const std::string& path, const std::uint8_t* buffer, std::size_t size,
                      std::uint16_t kindCode) {
  std::vector<std::uint8_t> file(kProfileHeaderSize + size, 0);
  file[0] = static_cast<std::uint8_t>(kProfileMagic);
  file[1] = static_cast<std::uint8_t>(kProfileMagic >> 8);
  file[kProfileKindCodeAt] = static_cast<std::uint8_t>(kindCode);
  file[kProfileKindCodeAt + 1] = static_cast<std::uint8_t>(kindCode >> 8);
  if (size > 0) std::memcpy(file.data() + kProfileHeaderSize, buffer, size);
  if (!files::WriteAtomic(path, file)) {
    DebugOutput("文件打开失败");
    return false;
  }
  return true;
}

}  // namespace vz
