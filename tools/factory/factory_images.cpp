// Factory settings of the three devices.
#include <array>

#include "device/keyboard_factory_keys.h"
#include "settings/mouse_settings.h"
#include "tools/factory/factory.h"

namespace vz::factory {

namespace {

constexpr std::uint8_t kFullBrightness = 4;  // brightness slider 0..4
constexpr std::uint8_t kMiddleSpeed = 2;     // stored 4 - slider position

// Mouse: colour-wheel cycle, 1000 Hz (the last of the four report-rate items), five DPI
// stages over the 0x3360 sensor's range (DPI = position x 100 + 100), starting on 800.
constexpr LightingFields kMouseLighting = {0, kFullBrightness, kMiddleSpeed, 0, 1, {0x00, 0x8A, 0xFF}};
constexpr std::uint8_t kMouseReportRate = 3;
constexpr std::uint8_t kMouseCurrentStage = 1;
struct DpiStageRow {
  std::uint8_t position;
  Rgb colour;
};
constexpr std::array<DpiStageRow, 5> kMouseDpiStages = {{
    {3, {0xFF, 0x00, 0x00}},   //  400 DPI, red
    {7, {0x00, 0xFF, 0x00}},   //  800 DPI, green
    {15, {0x00, 0x8A, 0xFF}},  // 1600 DPI, sky blue
    {31, {0xFE, 0xF5, 0x00}},  // 3200 DPI, yellow
    {63, {0xFF, 0x00, 0xF6}},  // 6400 DPI, magenta
}};
// The built-in map leaves the second DPI button to the device; a profile sent to the mouse
// would switch it off, so the factory profile gives it the usual DPI up.
constexpr std::size_t kSecondDpiButton = 6;
constexpr KeyAssignment kDpiUp = {0x13, 0x01, 0};
constexpr std::uint8_t kPointerSpeed = 10;  // the operating system's own default
constexpr std::uint8_t kScrollLines = 3;

// Mousepad: the rainbow wave.
constexpr LightingFields kPadLighting = {0, kFullBrightness, kMiddleSpeed, 0, 1, {0x7E, 0x00, 0xFF}};

// Keyboards: the wave, in colour on the RGB keyboard.
constexpr LightingFields kRgbKeyboardLighting = {0, kFullBrightness, kMiddleSpeed, 0, 1, {0x00, 0xF6, 0xFF}};
constexpr LightingFields kSingleKeyboardLighting = {0, kFullBrightness, kMiddleSpeed, 0, 0, {0xFF, 0xFF, 0xFF}};

// The per-key layouts of the RGB keyboard: one colour on every key, one set each.
constexpr std::array<Rgb, kCustomSetCount> kCustomSetColours = {{
    {0xFF, 0xFF, 0xFF},
    {0xFF, 0x00, 0x00},
    {0x00, 0x8A, 0xFF},
    {0x6C, 0xFF, 0x00},
    {0xFE, 0x83, 0x00},
}};
constexpr std::uint8_t kKeyLit = 255;  // single-colour keyboard: the key is on


void FillMouse(DeviceImages& images) {
  KindImages& mouse = images.Of(DeviceKind::kMouse);
  mouse.keyBlocks[0] = BuiltInDefaultKeyMap(DeviceKind::kMouse);
  PutKey(mouse.keyBlocks[0], kSecondDpiButton, kDpiUp);
  mouse.active.SetLighting(kMouseLighting);
  mouse::SetReportRate(mouse.active, kMouseReportRate);
  for (std::size_t i = 0; i < kMouseDpiStages.size(); ++i) {
    const int stage = static_cast<int>(i) + 1;
    mouse::SetDpiStagePosition(mouse.active, stage, kMouseDpiStages[i].position);
    mouse::SetDpiStageColour(mouse.active, stage, kMouseDpiStages[i].colour);
  }
  mouse.active.Set(record::kCurrentDpiStage, kMouseCurrentStage);
  images.SetPointerSpeed(kPointerSpeed);
  images.SetScrollLines(kScrollLines);
}

void FillKeyboard(DeviceImages& images, int keyboardVariant) {
  KindImages& keyboard = images.Of(DeviceKind::kKeyboard);
  KeyMap& block = keyboard.keyBlocks[0];
  block = BuiltInDefaultKeyMap(DeviceKind::kKeyboard);
  for (std::size_t i = 0; i < factory_keys::kKeyboard.size(); ++i) {
    const auto& key = factory_keys::kKeyboard[i];
    PutKey(block, i, {factory_keys::kSingleKey, key.modifier, key.usage});
  }

  images.SetCustomSet(0);
  auto& table = images.CustomColours();
  table.Fill(0);
  const bool rgb = keyboardVariant == 0;
  keyboard.active.SetLighting(rgb ? kRgbKeyboardLighting : kSingleKeyboardLighting);
  for (std::size_t set = 0; set < kCustomSetCount; ++set) {
    for (std::size_t p = 0; p < kKeyPositionCount; ++p) {
      const std::size_t base = set * kCustomSetStride;
      if (rgb) {
        const Rgb c = kCustomSetColours[set];
        table.Set(base + 3 * p, c.red);
        table.Set(base + 3 * p + 1, c.green);
        table.Set(base + 3 * p + 2, c.blue);
      } else {
        table.Set(base + p, kKeyLit);
      }
    }
  }
}

}  // namespace

void FillFactoryImages(DeviceImages& images, int keyboardVariant) {
  FillMouse(images);
  FillKeyboard(images, keyboardVariant);
  images.Of(DeviceKind::kMousepad).active.SetLighting(kPadLighting);
  for (const DeviceKindRow& row : kDeviceKinds) images.CommitForSave(row.kind);
}

}  // namespace vz::factory
