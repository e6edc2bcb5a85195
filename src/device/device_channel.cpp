#include "device/device_channel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>

namespace vz {
namespace {

constexpr std::size_t kChecksumLow = 1;
constexpr std::size_t kChecksumHigh = 2;
constexpr std::size_t kCommandByte = 3;
constexpr std::size_t kLengthByte = 4;
constexpr std::size_t kOffsetLow = 5;
constexpr std::size_t kOffsetHigh = 6;
constexpr std::size_t kStatusByte = 7;
constexpr std::size_t kPayloadByte = 8;

struct StatusResult {
  std::uint8_t status;
  int result;
};
constexpr std::array<StatusResult, 2> kFailureStatuses = {{{0xFF, kCmdStatusFF},
                                                           {0xFE, kCmdStatusFE}}};

// kCmdOk unless the answer's status byte reports a failure.
int ResultOfStatus(const std::uint8_t* answer) {
  for (const auto& s : kFailureStatuses) {
    if (answer[kStatusByte] == s.status) return s.result;
  }
  return kCmdOk;
}

void PutLengthAndOffset(std::uint8_t* report, std::uint8_t length, std::uint16_t offset) {
  report[kLengthByte] = length;
  report[kOffsetLow] = static_cast<std::uint8_t>(offset & 0xFF);
  report[kOffsetHigh] = static_cast<std::uint8_t>(offset >> 8);
}

}  // namespace

void StampChecksum(std::uint8_t* report64) {
  unsigned sum = 0;
  for (std::size_t i = kCommandByte; i < kReportSize; ++i) sum += report64[i];
  report64[kChecksumLow] = static_cast<std::uint8_t>(sum & 0xFF);
  report64[kChecksumHigh] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
}

void BuildRequest(std::uint8_t* report64, Command command, std::uint8_t length,
                  std::uint16_t offset, const std::uint8_t* payload, std::size_t payloadLength) {
  std::memset(report64, 0, kReportSize);
  report64[0] = kCommandReportId;
  report64[kCommandByte] = static_cast<std::uint8_t>(command);
  PutLengthAndOffset(report64, length, offset);
  if (payload) std::memcpy(report64 + kPayloadByte, payload, std::min(payloadLength, kPayloadMax));
  StampChecksum(report64);
}

DeviceChannel::DeviceChannel() = default;

void DeviceChannel::SetIdentity(std::uint16_t vendorId, std::uint16_t productId,
                                std::uint16_t usage, std::uint16_t usagePage) {
  identity_ = {vendorId, productId, usage, usagePage};
  SetOpen(false);
}

int DeviceChannel::SetDataSize(std::uint16_t size) {
  if (size > kMaxDataSize) return 0;
  dataSize_.store(size, std::memory_order_relaxed);
  return 1;
}

void DeviceChannel::DrainStaleInputLocked() {
  std::uint8_t stale[kReportSize];
  std::uint32_t n = 0;
  int drained = 0;
  while (drained < kDrainLimit && device_.ReadReport(kReportSize, &n, stale, 0) == 1) ++drained;
}

bool DeviceChannel::ReadAnswerLocked(std::uint8_t command, std::uint8_t* answer64,
                                     std::uint32_t* bytesRead) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(kReadTimeoutMs);
  for (;;) {
    // Rounded up: the whole 300 ms are waited, not a millisecond less.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left < 0) return false;
    std::uint32_t n = 0;
    if (device_.ReadReport(kReportSize, &n, answer64, static_cast<std::uint32_t>(left)) != 1) {
      return false;
    }
    if (n > kCommandByte && answer64[kCommandByte] == command) {
      *bytesRead = n;
      return true;
    }
  }
}

int DeviceChannel::Exchange(const std::uint8_t* request, std::size_t requestLength,
                            std::uint8_t* response, std::size_t responseLength,
                            std::uint32_t* bytesRead) {
  if (bytesRead) *bytesRead = 0;
  if (!IsOpen()) return kCmdNoAnswer;
  std::uint8_t out[kReportSize] = {};
  std::memcpy(out, request, std::min(requestLength, kReportSize));
  for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
    std::lock_guard lock(lock_);
    DrainStaleInputLocked();
    std::uint32_t written = 0;
    if (device_.WriteReport(kReportSize, &written, out, kWriteTimeoutMs) != 1) {
      return kCmdWriteFailed;
    }
    std::uint8_t answer[kReportSize] = {};
    std::uint32_t got = 0;
    if (ReadAnswerLocked(out[kCommandByte], answer, &got)) {
      const std::size_t n = std::min<std::size_t>({responseLength, got, kReportSize});
      std::memcpy(response, answer, n);
      if (bytesRead) *bytesRead = static_cast<std::uint32_t>(n);
      return kCmdOk;
    }
  }
  return kCmdNoAnswer;
}

int DeviceChannel::Single(Command command, std::uint8_t length, std::uint16_t offset,
                          const std::uint8_t* payload, std::uint8_t* out, std::size_t outLength) {
  std::uint8_t request[kReportSize];
  BuildRequest(request, command, length, offset, payload, payload ? length : 0);
  std::uint8_t answer[kReportSize] = {};
  std::uint32_t got = 0;
  const int r = Exchange(request, kReportSize, answer, kReportSize, &got);
  if (r != kCmdOk) return r;
  const int status = ResultOfStatus(answer);
  if (status != kCmdOk) return status;
  if (out) std::memcpy(out, answer + kPayloadByte, outLength);
  return kCmdOk;
}

int DeviceChannel::Chunked(Command command, std::size_t total, std::uint16_t baseOffset,
                           const std::uint8_t* in, std::uint8_t* out) {
  // Cleared once: a short last chunk goes out over the previous chunk's bytes.
  std::uint8_t request[kReportSize] = {};
  request[0] = kCommandReportId;
  request[kCommandByte] = static_cast<std::uint8_t>(command);
  for (std::size_t position = 0; position < total; position += kPayloadMax) {
    const std::size_t chunk = position + kPayloadMax < total ? kPayloadMax : total - position;
    PutLengthAndOffset(request, static_cast<std::uint8_t>(chunk),
                       static_cast<std::uint16_t>(baseOffset + position));
    if (in) std::memcpy(request + kPayloadByte, in + position, chunk);
    StampChecksum(request);
    std::uint8_t answer[kReportSize] = {};
    std::uint32_t got = 0;
    const int r = Exchange(request, kReportSize, answer, kReportSize, &got);
    if (r != kCmdOk) return r;
    const int status = ResultOfStatus(answer);
    if (status != kCmdOk) return status;
    if (out) std::memcpy(out + position, answer + kPayloadByte, chunk);
  }
  return kCmdOk;
}

int DeviceChannel::BeginTransfer() {
  return Single(Command::kBeginTransfer, 0, 0, nullptr, nullptr, 0);
}

int DeviceChannel::EndTransfer() {
  if (!IsOpen()) return kCmdNoAnswer;
  SleepMs(kEndTransferPauseMs);
  return Single(Command::kEndTransfer, 0, 0, nullptr, nullptr, 0);
}

int DeviceChannel::ReadDeviceInfo(std::uint8_t* out33) {
  return Single(Command::kReadDeviceInfo, kDeviceInfoSize, 0, nullptr, out33, kDeviceInfoSize);
}

int DeviceChannel::ReadSettings(std::uint8_t* out, std::uint8_t length, std::uint16_t offset) {
  if (length > kPayloadMax) return kCmdBadLength;
  return Single(Command::kReadSettings, length, offset, nullptr, out, length);
}

int DeviceChannel::WriteSettings(const std::uint8_t* in, std::uint8_t length,
                                 std::uint16_t offset) {
  if (length > kPayloadMax) return kCmdBadLength;
  return Single(Command::kWriteSettings, length, offset, in, nullptr, 0);
}

int DeviceChannel::ReadDefaultKeyMap(std::uint8_t* out) {
  return Chunked(Command::kReadDefaultKeyMap, DataSize(), 0, nullptr, out);
}

int DeviceChannel::ReadKeyBlock(std::uint8_t* out, int block) {
  if (block < 0 || block >= kKeyBlockCount) return kCmdBadBlock;
  return Chunked(Command::kReadKeyBlock, DataSize(),
                 static_cast<std::uint16_t>(block * kKeyBlockStride), nullptr, out);
}

int DeviceChannel::WriteKeyBlock(const std::uint8_t* in, int block) {
  if (block < 0 || block >= kKeyBlockCount) return kCmdBadBlock;
  return Chunked(Command::kWriteKeyBlock, DataSize(),
                 static_cast<std::uint16_t>(block * kKeyBlockStride), in, nullptr);
}

int DeviceChannel::RestoreDefaults() {
  if (!IsOpen()) return kCmdNoAnswer;
  std::uint8_t report[kReportSize] = {};
  report[0] = kCommandReportId;
  report[kCommandByte] = static_cast<std::uint8_t>(Command::kRestoreDefaults);
  std::lock_guard lock(lock_);
  DrainStaleInputLocked();
  std::uint32_t written = 0;
  device_.WriteReport(kReportSize, &written, report, kWriteTimeoutMs);
  std::uint32_t got = 0;
  return ReadAnswerLocked(report[kCommandByte], report, &got) ? kCmdOk : kCmdNoAnswer;
}

int DeviceChannel::WriteLightFrame(const std::uint8_t* in, std::uint16_t length) {
  return Chunked(Command::kWriteLightFrame, length, 0, in, nullptr);
}

int DeviceChannel::WriteMacroData(const std::uint8_t* in, std::uint16_t length) {
  return Chunked(Command::kWriteMacroData, length, 0, in, nullptr);
}

int DeviceChannel::WriteCursorData(const std::uint8_t* in, std::uint16_t length) {
  return Chunked(Command::kWriteCursorData, length, 0, in, nullptr);
}

}  // namespace vz
