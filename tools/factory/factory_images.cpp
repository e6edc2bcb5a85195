// Factory settings of the three devices.
#include <array>

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

// The keyboard's 104 keys in the order the keyboard numbers them, row by row, left to
// right, each doing what its legend says: (0x20, modifier bit, 0) or (0x20, 0, usage).
struct KeyRow {
  std::uint8_t modifier;
  std::uint8_t usage;
};
constexpr KeyRow Key(std::uint8_t usage) { return {0, usage}; }
constexpr KeyRow Mod(std::uint8_t bit) { return {bit, 0}; }
constexpr std::array<KeyRow, 104> kKeyboardKeys = {{
    // Esc, F1..F12, Print Screen, Scroll Lock, Pause
    Key(0x29), Key(0x3A), Key(0x3B), Key(0x3C), Key(0x3D), Key(0x3E), Key(0x3F), Key(0x40),
    Key(0x41), Key(0x42), Key(0x43), Key(0x44), Key(0x45), Key(0x46), Key(0x47), Key(0x48),
    // ` 1..9 0 - = Backspace, Insert Home PageUp, NumLock / * -
    Key(0x35), Key(0x1E), Key(0x1F), Key(0x20), Key(0x21), Key(0x22), Key(0x23), Key(0x24),
    Key(0x25), Key(0x26), Key(0x27), Key(0x2D), Key(0x2E), Key(0x2A), Key(0x49), Key(0x4A),
    Key(0x4B), Key(0x53), Key(0x54), Key(0x55), Key(0x56),
    // Tab Q..P [ ] \, Delete End PageDown, keypad 7 8 9 +
    Key(0x2B), Key(0x14), Key(0x1A), Key(0x08), Key(0x15), Key(0x17), Key(0x1C), Key(0x18),
    Key(0x0C), Key(0x12), Key(0x13), Key(0x2F), Key(0x30), Key(0x31), Key(0x4C), Key(0x4D),
    Key(0x4E), Key(0x5F), Key(0x60), Key(0x61), Key(0x57),
    // CapsLock A..L ; ' Enter, keypad 4 5 6
    Key(0x39), Key(0x04), Key(0x16), Key(0x07), Key(0x09), Key(0x0A), Key(0x0B), Key(0x0D),
    Key(0x0E), Key(0x0F), Key(0x33), Key(0x34), Key(0x28), Key(0x5C), Key(0x5D), Key(0x5E),
    // LShift Z..M , . / RShift, Up, keypad 1 2 3 Enter
    Mod(0x02), Key(0x1D), Key(0x1B), Key(0x06), Key(0x19), Key(0x05), Key(0x11), Key(0x10),
    Key(0x36), Key(0x37), Key(0x38), Mod(0x20), Key(0x52), Key(0x59), Key(0x5A), Key(0x5B),
    Key(0x58),
    // LCtrl LWin LAlt Space RAlt RWin App RCtrl, Left Down Right, keypad 0 .
    Mod(0x01), Mod(0x08), Mod(0x04), Key(0x2C), Mod(0x40), Mod(0x80), Key(0x65), Mod(0x10),
    Key(0x50), Key(0x51), Key(0x4F), Key(0x62), Key(0x63),
}};
constexpr std::uint8_t kSingleKey = 0x20;

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
  for (std::size_t i = 0; i < kKeyboardKeys.size(); ++i)
    PutKey(block, i, {kSingleKey, kKeyboardKeys[i].modifier, kKeyboardKeys[i].usage});

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
