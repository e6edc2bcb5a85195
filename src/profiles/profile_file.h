// Binary profile files: a 16-byte ProfileFileHeader, then the payload.
//
//   offset 0   magic 0x55AA, little-endian (bytes 0xAA 0x55)
//   offset 4   device kind code, 16 bits: 1 keyboard, 2 mouse, 3 mousepad
//   other      zero; readers ignore them
//   offset 16  payload
//
// Only the magic is checked on reading, so a file of another device kind that carries it
// is accepted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vz {

inline constexpr std::size_t kProfileHeaderSize = 16;
inline constexpr std::uint16_t kProfileMagic = 0x55AA;
inline constexpr std::size_t kProfileKindCodeAt = 4;

inline constexpr int kProfileRead = 0;
inline constexpr int kProfileMissing = 1;
inline constexpr int kProfileBadFormat = -1;

// Reads the payload of the file at path into buffer, which the caller has cleared and
// which holds exactly size bytes. The file is looked up without regard to the case of
// its name, and at most 16 + size bytes of it are read: a shorter file leaves the rest of
// the buffer zero, bytes beyond are ignored.
// Returns kProfileRead, kProfileMissing (no such file, an empty path, or unreadable) or
// kProfileBadFormat (fewer than two bytes, or another magic; the buffer is not touched).
int ReadProfileFile(const std::string& path, std::uint8_t* buffer, std::size_t size);

// Replaces the file at path, atomically, with the header carrying kindCode and the size
// bytes of buffer: a reader sees the old file or the new one, never a part. On failure the
// debug text "文件打开失败" is emitted and false returned.
bool WriteProfileFile(const std::string& path, const std::uint8_t* buffer, std::size_t size,
                      std::uint16_t kindCode);

}  // namespace vz
