#include "emulator/trace.h"

#include <cerrno>
#include <cstring>

namespace vz::emulator {

std::shared_ptr<Trace> Trace::ToFile(const std::string& path, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    if (error) *error = "cannot write the trace file " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  std::shared_ptr<Trace> t(new Trace());
  t->file_ = f;
  return t;
}

std::shared_ptr<Trace> Trace::ToCallback(Sink sink) {
  std::shared_ptr<Trace> t(new Trace());
  t->sink_ = std::move(sink);
  return t;
}

Trace::~Trace() {
  if (file_) std::fclose(file_);
}

std::string Trace::FormatLine(std::int64_t ms, const std::string& device, char direction,
                              const std::uint8_t* bytes, std::size_t length) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line = std::to_string(ms) + " " + device + " " + direction;
  line.reserve(line.size() + 3 * length);
  for (std::size_t i = 0; i < length; ++i) {
    line += ' ';
    line += kHex[bytes[i] >> 4];
    line += kHex[bytes[i] & 0x0F];
  }
  return line;
}

void Trace::Report(const std::string& device, char direction, const std::uint8_t* bytes,
                   std::size_t length) {
  std::lock_guard lock(mutex_);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start_)
                      .count();
  const std::string line = FormatLine(ms, device, direction, bytes, length);
  if (sink_) sink_(line);
  if (file_) {
    std::fputs((line + "\n").c_str(), file_);
    std::fflush(file_);
  }
}

}  // namespace vz::emulator
