#include "app/device_bridge.h"

#include <algorithm>

namespace vz::app {

lighting::LightingFields ChannelLink::Fields() const { return images_.Of(kind_).active.Lighting(); }

std::uint8_t ChannelLink::Model() const { return static_cast<std::uint8_t>(KeyboardVariant()); }

void ChannelLink::CustomLayout(std::array<std::uint8_t, lighting::kColourFrameSize>& out) const {
  const std::int32_t set = std::clamp<std::int32_t>(images_.CustomSet(), 0, kCustomSetCount - 1);
  images_.CustomColours().CopyOut(out.data(), out.size(), static_cast<std::size_t>(set) * kCustomSetStride);
}

lighting::LightingFields ImagesSyncSource::SyncLighting() const { return images_.SyncLighting(); }

void PreviewBuffer::Show(lighting::Device device, std::span<const lighting::Rgb> colours, std::uint8_t opacity) {
  std::lock_guard<std::mutex> lock(mutex_);
  Picture& p = pictures_[static_cast<std::size_t>(device)];
  p.colours.assign(colours.begin(), colours.end());
  p.opacity = opacity;
  p.fresh = true;
}

std::array<PreviewBuffer::Picture, 3> PreviewBuffer::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::array<Picture, 3> out;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (!pictures_[i].fresh) continue;
    out[i] = pictures_[i];
    pictures_[i].fresh = false;
  }
  return out;
}

}  // namespace vz::app
