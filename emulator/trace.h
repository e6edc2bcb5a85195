// The report trace of the emulated devices: one line per report, in the order the device
// saw or sent them:
//
//   <milliseconds since the trace began> <device> <direction> <bytes in hex>
//
// direction '>' is host to device, '<' device to host; the bytes are the whole report,
// report id first, as two lower-case hex digits each, separated by spaces.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace vz::emulator {

class Trace {
 public:
  using Sink = std::function<void(const std::string& line)>;  // the line without newline

  // Truncates or creates the file; null with the reason in *error when it cannot be opened.
  // Each line is written and flushed whole, so a crash loses at most the line in hand.
  static std::shared_ptr<Trace> ToFile(const std::string& path, std::string* error);
  static std::shared_ptr<Trace> ToCallback(Sink sink);

  ~Trace();
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  void Report(const std::string& device, char direction, const std::uint8_t* bytes,
              std::size_t length);

  static std::string FormatLine(std::int64_t ms, const std::string& device, char direction,
                                const std::uint8_t* bytes, std::size_t length);

 private:
  Trace() = default;

  std::mutex mutex_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::FILE* file_ = nullptr;
  Sink sink_;
};

}  // namespace vz::emulator
