// The application's wiring of the lighting engine to the channels, the images and the
// device pictures of the main window.
#pragma once

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

#include "device/device_channel.h"
#include "lighting/lighting_io.h"
#include "settings/device_images.h"

namespace vz::app {

// One device as the effect engine sees it: its channel's flags and command 18, and the
// LightingFields of its ActiveSettings (relaxed atomic bytes written by the UI thread).
class ChannelLink : public lighting::KeyboardLink {
 public:
  ChannelLink(DeviceChannel& channel, const DeviceImages& images, DeviceKind kind)
      : channel_(channel), images_(images), kind_(kind) {}

  bool IsConnected() const override { return channel_.IsOpen(); }
  bool SyncFlag() const override { return channel_.SyncFlag(); }
  lighting::LightingFields Fields() const override;
  int SendFrame(const std::uint8_t* frame, std::uint16_t length) override {
    return channel_.WriteLightFrame(frame, length);
  }
  std::uint8_t Model() const override;
  void CustomLayout(std::array<std::uint8_t, lighting::kColourFrameSize>& out) const override;

 private:
  DeviceChannel& channel_;
  const DeviceImages& images_;
  DeviceKind kind_;
};

class ImagesSyncSource : public lighting::SyncSource {
 public:
  explicit ImagesSyncSource(const DeviceImages& images) : images_(images) {}
  lighting::LightingFields SyncLighting() const override;

 private:
  const DeviceImages& images_;
};

// The colours the effect threads last showed, kept until the window's repaint timer takes
// them onto the device pictures (controls are touched on the user-interface thread only).
class PreviewBuffer : public lighting::PreviewSink {
 public:
  struct Picture {
    std::vector<lighting::Rgb> colours;
    std::uint8_t opacity = 0;
    bool fresh = false;
  };

  void Show(lighting::Device device, std::span<const lighting::Rgb> colours, std::uint8_t opacity) override;
  // The pictures that changed since the last call, by device (mouse, mousepad, keyboard).
  std::array<Picture, 3> Take();

 private:
  std::mutex mutex_;
  std::array<Picture, 3> pictures_;
};

}  // namespace vz::app
