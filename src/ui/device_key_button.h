// One key of the keyboard picture: a button that also shows the key's LED colour (the light
// image tinted with the light colour) and, when the key carries an assignment, a marker on top
// (the key-set image).
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/button.h"

namespace vz::ui {

class CDeviceKeyButtonUI : public CButtonUI {
 public:
  std::string GetClass() const override { return "DeviceKeyButton"; }

  const std::string& GetLightImage() const { return lightImage_; }
  void SetLightImage(const std::string& image);
  const std::string& GetKeySetImage() const { return keySetImage_; }
  void SetKeySetImage(const std::string& image);

  // colour is 0xAARRGGBB (its alpha byte is ignored); alpha 0..255 is how strongly the light
  // image takes the colour. Repaints when anything changed.
  void SetLight(UIColor colour, int alpha, bool on);
  UIColor GetLightColor() const { return lightColour_; }
  int GetLightAlpha() const { return lightAlpha_; }
  bool IsLightOn() const { return lightOn_ != 0; }

  // Repaints only when the value changed.
  void SetKeySetHidden(bool hidden);
  bool IsKeySetHidden() const { return keySetHidden_ != 0; }

 protected:
  const AttributeTable& Attributes() const override;
  void PaintStatusImage(CPaintContext& ctx, const UIRect& rc) override;

 private:
  std::string lightImage_;
  std::string keySetImage_;
  std::int32_t keySetHidden_ = 1;
  std::int32_t lightOn_ = 0;
  UIColor lightColour_ = 255;
  std::int32_t lightAlpha_ = 200;
};

}  // namespace vz::ui
