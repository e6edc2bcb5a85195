// DeviceChannel: one device's command link. Every setting travels as a 64-byte
// CommandReport (report id 4) answered by one 64-byte input report of the same layout:
//
//   byte 0      report id, always 4
//   bytes 1, 2  checksum: sum of bytes 3..63 of the request, low byte first
//   byte 3      command number
//   byte 4      length: payload bytes meant
//   bytes 5, 6  offset, low byte first
//   byte 7      status: 0 in requests; 0xFF / 0xFE in a response mean failure
//   bytes 8..63 payload, at most 56 bytes
//
// Results (32-bit signed): 1 success; 0 channel closed or no answer after the last
// attempt; -1 the request could not be written; -102 / -103 the device answered status
// 0xFF / 0xFE; -201 block number 5 or more; -202 a single-report length above 56 (refused
// before anything is sent, so no read can run past the 56 payload bytes). Nothing here
// throws.
//
// Matching answers to requests: an input report left over from an earlier exchange (the
// late answer to an attempt that timed out, say) must never be taken for the answer to the
// next request. So each attempt first drains what is already queued (reads with a time-out
// of 0, at most one hidraw queue's worth), and then accepts only an input report whose
// command byte equals the request's, skipping others until the read time-out. The status
// byte is examined; the checksum, length and offset of an answer are not.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "device/hid_device.h"
#include "platform/system/sync.h"

namespace vz {

inline constexpr int kCmdOk = 1;
inline constexpr int kCmdNoAnswer = 0;
inline constexpr int kCmdWriteFailed = -1;
inline constexpr int kCmdStatusFF = -102;
inline constexpr int kCmdStatusFE = -103;
inline constexpr int kCmdBadBlock = -201;
inline constexpr int kCmdBadLength = -202;

inline constexpr std::size_t kReportSize = 64;
inline constexpr std::size_t kPayloadMax = 56;
inline constexpr std::uint8_t kCommandReportId = 4;
inline constexpr std::uint16_t kMaxDataSize = 512;
inline constexpr std::size_t kDeviceInfoSize = 33;
inline constexpr int kKeyBlockCount = 5;
inline constexpr std::uint16_t kKeyBlockStride = 126;  // offset of block n is n * 126

inline constexpr int kExchangeAttempts = 4;
inline constexpr std::uint32_t kWriteTimeoutMs = 1000;
inline constexpr std::uint32_t kReadTimeoutMs = 300;
inline constexpr std::uint32_t kEndTransferPauseMs = 10;
// Stale reports drained before a write: the depth of a hidraw queue.
inline constexpr int kDrainLimit = 64;

static_assert(8 + kPayloadMax == kReportSize, "header of 8 bytes, then the payload");

enum class Command : std::uint8_t {
  kBeginTransfer = 1,
  kEndTransfer = 2,
  kReadDeviceInfo = 3,
  kReadSettings = 5,
  kWriteSettings = 6,
  kReadDefaultKeyMap = 7,
  kReadKeyBlock = 8,
  kWriteKeyBlock = 9,
  kRestoreDefaults = 13,
  kWriteLightFrame = 18,
  kWriteMacroData = 21,
  kWriteCursorData = 23,
};

struct DeviceIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t usage = 0;
  std::uint16_t usagePage = 0;
};

class DeviceChannel {
 public:
  DeviceChannel();
  DeviceChannel(const DeviceChannel&) = delete;
  DeviceChannel& operator=(const DeviceChannel&) = delete;

  void SetIdentity(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t usage,
                   std::uint16_t usagePage);  // also clears the open flag
  DeviceIdentity Identity() const { return identity_; }

  // Bytes moved by commands 7, 8 and 9: 512 at construction. A size above 512 is refused
  // (returns 0, the previous size stays).
  int SetDataSize(std::uint16_t size);
  std::uint16_t DataSize() const { return dataSize_.load(std::memory_order_relaxed); }

  bool IsOpen() const { return open_.load(std::memory_order_acquire); }
  void SetOpen(bool open) { open_.store(open, std::memory_order_release); }
  // Set while the device follows synchronized lighting; the channel itself never reads it.
  bool SyncFlag() const { return sync_.load(std::memory_order_relaxed); }
  void SetSyncFlag(bool on) { sync_.store(on, std::memory_order_relaxed); }

  HidDevice& Device() { return device_; }
  // Serialises exchanges; the presence thread holds it for a whole poll.
  IoLock& Lock() { return lock_; }

  // The retrying transaction: up to four attempts of (write 64 bytes within 1000 ms, read
  // the matching answer within 300 ms), the lock held across each attempt and released
  // between them. A shorter request is padded with zeros. Returns 1 with the answer in
  // response (responseLength bytes at most, *bytesRead of them); 0 when the channel is
  // closed (nothing sent) or no answer came after the fourth attempt; -1 at once, without
  // retry, when the write did not complete.
  int Exchange(const std::uint8_t* request, std::size_t requestLength, std::uint8_t* response,
               std::size_t responseLength, std::uint32_t* bytesRead);

  // The commands. Chunked ones send 56 bytes per report (the last one shorter; its payload
  // area beyond its length still holds the previous chunk's bytes) and stop at the first
  // chunk that fails; chunks before it stay transferred. A total of 0 sends nothing and
  // returns 1, even on a closed channel.
  int BeginTransfer();
  int EndTransfer();  // waits 10 ms before sending
  int ReadDeviceInfo(std::uint8_t* out33);
  int ReadSettings(std::uint8_t* out, std::uint8_t length, std::uint16_t offset);  // length <= 56
  int WriteSettings(const std::uint8_t* in, std::uint8_t length, std::uint16_t offset);
  int ReadDefaultKeyMap(std::uint8_t* out);                // DataSize() bytes
  int ReadKeyBlock(std::uint8_t* out, int block);          // DataSize() bytes, block 0..4
  int WriteKeyBlock(const std::uint8_t* in, int block);
  // One attempt, no checksum (bytes 1 and 2 are 0): 1 when any answer to command 13 came
  // within 300 ms, whatever its status, else 0. The write's own result is not looked at.
  int RestoreDefaults();
  int WriteLightFrame(const std::uint8_t* in, std::uint16_t length);
  int WriteMacroData(const std::uint8_t* in, std::uint16_t length);
  int WriteCursorData(const std::uint8_t* in, std::uint16_t length);

 private:
  // Under the lock: drop queued input, then read until an answer to `command` arrives.
  void DrainStaleInputLocked();
  bool ReadAnswerLocked(std::uint8_t command, std::uint8_t* answer64, std::uint32_t* bytesRead);
  int Single(Command command, std::uint8_t length, std::uint16_t offset,
             const std::uint8_t* payload, std::uint8_t* out, std::size_t outLength);
  int Chunked(Command command, std::size_t total, std::uint16_t baseOffset,
              const std::uint8_t* in, std::uint8_t* out);

  std::atomic<std::uint16_t> dataSize_{kMaxDataSize};
  DeviceIdentity identity_;
  std::atomic<bool> open_{false};
  std::atomic<bool> sync_{false};
  HidDevice device_;
  IoLock lock_;
};

// Builds a request: zeros, byte 0 = 4, byte 3 = command, bytes 4..6 length and offset,
// the payload, then the checksum over bytes 3..63.
void BuildRequest(std::uint8_t* report64, Command command, std::uint8_t length,
                  std::uint16_t offset, const std::uint8_t* payload, std::size_t payloadLength);
void StampChecksum(std::uint8_t* report64);

}  // namespace vz
