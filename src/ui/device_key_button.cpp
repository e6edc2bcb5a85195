#include "ui/device_key_button.h"

#include <cctype>

namespace vz::ui {

namespace {

// Older skins carry a name-text colour for the keys; it is read so that it is not reported as
// unknown, and otherwise ignored.
bool AcceptNameTextColour(CControlUI&, const std::string& value) {
  std::string_view digits(value);
  if (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
  if (digits.empty()) return false;
  for (char ch : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(ch))) return false;
  }
  return true;
}

}  // namespace

void CDeviceKeyButtonUI::SetLightImage(const std::string& image) {
  lightImage_ = image;
  Invalidate();
}

void CDeviceKeyButtonUI::SetKeySetImage(const std::string& image) {
  keySetImage_ = image;
  Invalidate();
}

void CDeviceKeyButtonUI::SetLight(UIColor colour, int alpha, bool on) {
  const std::int32_t onFlag = on ? 1 : 0;
  if (colour == lightColour_ && alpha == lightAlpha_ && onFlag == lightOn_) return;
  lightColour_ = colour;
  lightAlpha_ = alpha;
  lightOn_ = onFlag;
  Invalidate();
}

void CDeviceKeyButtonUI::SetKeySetHidden(bool hidden) {
  const std::int32_t flag = hidden ? 1 : 0;
  if (flag == keySetHidden_) return;
  keySetHidden_ = flag;
  Invalidate();
}

const AttributeTable& CDeviceKeyButtonUI::Attributes() const {
  static const AttributeTable table(&CButtonUI::Attributes(), {
      {"lightimage", TextAttr(&CDeviceKeyButtonUI::SetLightImage)},
      {"keysetimage", TextAttr(&CDeviceKeyButtonUI::SetKeySetImage)},
      {"gmnametextcolor", AcceptNameTextColour},
  });
  return table;
}

void CDeviceKeyButtonUI::PaintStatusImage(CPaintContext& ctx, const UIRect& rc) {
  CButtonUI::PaintStatusImage(ctx, rc);
  if (lightOn_) ctx.DrawImage(rc, lightImage_, lightColour_, lightAlpha_, true);
  if (!keySetHidden_) ctx.DrawImage(rc, keySetImage_);
}

}  // namespace vz::ui
