// Bytes shared between the user-interface thread, which writes them, and the lighting
// effect threads, which read them every frame. Each byte is its own relaxed atomic: a
// reader sees the old or the new value of every byte and never a torn one, and no lock
// slows the frame loop. A colour read while it changes may mix old and new bytes, which
// the next frame corrects.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vz {

template <std::size_t N>
class RelaxedBytes {
 public:
  static_assert(std::atomic<std::uint8_t>::is_always_lock_free);

  static constexpr std::size_t size() { return N; }

  std::uint8_t Get(std::size_t i) const { return bytes_[i].load(std::memory_order_relaxed); }
  void Set(std::size_t i, std::uint8_t v) { bytes_[i].store(v, std::memory_order_relaxed); }

  // count bytes from `from` into out / from `in` into the bytes at `from`; the range must
  // lie inside the N bytes.
  void CopyOut(std::uint8_t* out, std::size_t count, std::size_t from = 0) const {
    for (std::size_t i = 0; i < count; ++i) out[i] = Get(from + i);
  }
  void CopyIn(const std::uint8_t* in, std::size_t count, std::size_t from = 0) {
    for (std::size_t i = 0; i < count; ++i) Set(from + i, in[i]);
  }
  void Fill(std::uint8_t v) {
    for (std::size_t i = 0; i < N; ++i) Set(i, v);
  }

 private:
  std::array<std::atomic<std::uint8_t>, N> bytes_{};
};

}  // namespace vz
