#include "emulator/device_models.h"

#include <algorithm>
#include <array>

namespace vz::emulator {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The vendor collection that carries the command protocol: 63-byte input and output
// reports behind report id 4.
const Bytes kVendorCollection = {
    0x06, 0x1C, 0xFF,  // Usage Page (0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x09, 0x01,        //   Usage (1)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (2)
    0x95, 0x3F,        //   Report Count (63)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// Consumer control: one 16-bit usage per report; 0 (below the logical minimum) is "none".
// The device events 0x401..0x403 travel through it like media keys do.
const Bytes kConsumerCollection = {
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x19, 0x01,        //   Usage Minimum (1)
    0x2A, 0xFF, 0x07,  //   Usage Maximum (0x7FF)
    0x15, 0x01,        //   Logical Minimum (1)
    0x26, 0xFF, 0x07,  //   Logical Maximum (0x7FF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
};

const Bytes kBootMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,  // Generic Desktop, Mouse, Application
    0x09, 0x01, 0xA1, 0x00,              //   Pointer, Physical
    0x05, 0x09, 0x19, 0x01, 0x29, 0x05,  //     Buttons 1..5
    0x15, 0x00, 0x25, 0x01, 0x95, 0x05, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x03, 0x81, 0x01,  //     padding
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,  // X, Y, Wheel
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06,
    0xC0, 0xC0,
};

const Bytes kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,  // Generic Desktop, Keyboard, Application
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,  //   modifiers
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,  //   reserved byte
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02,  // LEDs
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,  // six key codes
    0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
    0xC0,
};

Bytes Concat(const Bytes& a, const Bytes& b) {
  Bytes out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

constexpr std::uint8_t kFiller = 0x05;  // an assignment byte of "no function"

struct Rgb {
  std::uint8_t r, g, b;
};

// A key map area: the assignments, then filler up to the last two bytes, which stay 0.
Bytes KeyMap(const Bytes& assignments) {
  Bytes map(kDefaultKeyMapSize, kFiller);
  std::copy_n(assignments.begin(), std::min(assignments.size(), map.size() - 2), map.begin());
  map[map.size() - 2] = 0;
  map[map.size() - 1] = 0;
  return map;
}

const Bytes kMouseFactoryAssignments = {
    0x10, 0x01, 0x00,  // left
    0x10, 0x04, 0x00,  // wheel click
    0x10, 0x02, 0x00,  // right
    0x10, 0x10, 0x00,  // forward
    0x10, 0x08, 0x00,  // back
    0x13, 0x03, 0x00,  // DPI cycle
    0x13, 0x01, 0x00,  // second DPI button: DPI up
};

// The lighting part every record starts with: mode, brightness, speed, direction,
// colour cycle, red, green, blue.
void PutLighting(Bytes& record, std::uint8_t mode, Rgb colour) {
  record[1] = mode;
  record[2] = 4;  // brightness
  record[3] = 2;  // speed
  record[4] = 0;  // direction
  record[5] = 1;  // colour cycle
  record[6] = colour.r;
  record[7] = colour.g;
  record[8] = colour.b;
}

Bytes MouseRecord() {
  Bytes r(kRecordSize, 0);
  PutLighting(r, 0, {255, 0, 0});
  r[14] = 3;  // report rate: the fastest item
  constexpr std::array<std::uint8_t, 5> kStagePositions = {3, 7, 15, 31, 63};  // 400..6400 DPI
  r[15] = kStagePositions[0];
  r[16] = kStagePositions[1];
  r[17] = kStagePositions[2];
  r[18] = kStagePositions[3];
  r[19] = 1;  // current stage
  r[20] = kStagePositions[4];
  constexpr std::array<Rgb, 5> kStageColours = {
      Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{255, 255, 0}, Rgb{255, 0, 255}};
  for (std::size_t i = 0; i < kStageColours.size(); ++i) {
    r[23 + 3 * i] = kStageColours[i].r;
    r[24 + 3 * i] = kStageColours[i].g;
    r[25 + 3 * i] = kStageColours[i].b;
  }
  return r;
}

Bytes LightingRecord(std::uint8_t mode, Rgb colour) {
  Bytes r(kRecordSize, 0);
  PutLighting(r, mode, colour);
  return r;
}

// Five copies of the record; byte 0 of slot 0 is the active slot (0), the others carry
// their own slot number.
Bytes SettingsArea(const Bytes& record) {
  Bytes area;
  for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
    Bytes r = record;
    r[0] = static_cast<std::uint8_t>(slot);
    area.insert(area.end(), r.begin(), r.end());
  }
  return area;
}

// Every block starts with the assignments; with blocks overlapping, the lower block's
// assignments win where they meet, as the host writes block 0 last.
Bytes KeyArea(const Bytes& assignments, int blocks) {
  Bytes area(kKeyAreaSize, kFiller);
  for (int b = blocks - 1; b >= 0; --b) {
    const std::size_t at = static_cast<std::size_t>(b) * kKeyBlockStride;
    std::copy_n(assignments.begin(), std::min(assignments.size(), area.size() - at),
                area.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return area;
}

Bytes DeviceInfoBytes(std::uint8_t keyCount, std::uint8_t macroUnits) {
  Bytes info(kDeviceInfoSize, 0);
  info[0] = 0x01;  // firmware version 1.2
  info[1] = 0x02;
  info[5] = keyCount;
  info[6] = macroUnits;
  return info;
}

std::uint8_t ClampByte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

ModelSpec MouseSpec(const DeviceOptions& options) {
  ModelSpec s{};
  s.model = Model::kMouse;
  s.product = "ViZirado Gaming Mouse";
  s.vendorId = 0x195D;
  s.productId = 0x1028;
  s.ledCount = 20;
  s.lightingModes = 7;
  s.interfaces = {{0, kBootMouse, false, false},
                  {1, kVendorCollection, true, false},
                  {2, kConsumerCollection, false, true}};
  s.deviceInfo = DeviceInfoBytes(7, ClampByte(options.macroUnits));
  s.deviceInfo[9] = 0x60;  // sensor code 0x3360, little-endian
  s.deviceInfo[10] = 0x33;
  s.deviceInfo[11] = 100;  // DPI per slider position
  s.deviceInfo[12] = 119;  // highest slider position
  s.deviceInfo[13] = 100;  // DPI of position 0, little-endian
  s.deviceInfo[14] = 0;
  s.settingsArea = SettingsArea(MouseRecord());
  s.keyArea = KeyArea(kMouseFactoryAssignments, 5);
  s.defaultKeyMap = KeyMap(kMouseFactoryAssignments);
  s.macroAreaSize = 128 * static_cast<std::size_t>(ClampByte(options.macroUnits));
  s.cursorAreaSize = kCursorAreaSize;
  s.hasDpiButton = true;
  return s;
}

ModelSpec KeyboardSpec(Model model, std::uint16_t productId, const DeviceOptions& options) {
  ModelSpec s{};
  s.model = model;
  s.product = "ViZirado Gaming Keyboard";
  s.vendorId = 0x0C45;
  s.productId = productId;
  s.ledCount = 126;
  s.lightingModes = model == Model::kKeyboard ? 11 : 17;
  // One interface holds both the consumer control and the vendor collection, so the layer
  // above has to split it by collection and report id.
  s.interfaces = {{0, kBootKeyboard, false, false},
                  {1, Concat(kConsumerCollection, kVendorCollection), true, true}};
  const std::uint8_t keyCount = ClampByte(options.keyCount);
  s.deviceInfo = DeviceInfoBytes(keyCount, ClampByte(options.macroUnits));
  s.settingsArea = SettingsArea(LightingRecord(0, {0, 128, 255}));
  Bytes assignments = KeyboardFactoryAssignments();
  assignments.resize(3 * static_cast<std::size_t>(keyCount), kFiller);
  s.keyArea = KeyArea(assignments, 1);
  s.defaultKeyMap = KeyMap(assignments);
  s.macroAreaSize = 128 * static_cast<std::size_t>(ClampByte(options.macroUnits));
  s.cursorAreaSize = 0;
  s.hasDpiButton = false;
  return s;
}

ModelSpec SingleColourKeyboardSpec(const DeviceOptions& options) {
  return KeyboardSpec(Model::kKeyboard, 0x6556, options);
}
ModelSpec RgbKeyboardSpec(const DeviceOptions& options) {
  return KeyboardSpec(Model::kKeyboardRgb, 0x0800, options);
}
ModelSpec Keyboard7200Spec(const DeviceOptions& options) {
  return KeyboardSpec(Model::kKeyboard7200, 0x7200, options);
}

ModelSpec MousepadSpec(const DeviceOptions&) {
  ModelSpec s{};
  s.model = Model::kMousepad;
  s.product = "ViZirado LED Mousepad";
  s.vendorId = 0x0C45;
  s.productId = 0x5004;
  s.ledCount = 15;
  s.lightingModes = 9;
  s.interfaces = {{0, kVendorCollection, true, false}};
  s.deviceInfo = DeviceInfoBytes(0, 0);
  s.settingsArea = SettingsArea(LightingRecord(1, {0, 255, 128}));
  s.macroAreaSize = 0;
  s.cursorAreaSize = 0;
  s.hasDpiButton = false;
  return s;
}

struct ModelEntry {
  Model model;
  const char* name;
  ModelSpec (*build)(const DeviceOptions&);
};
constexpr std::array<ModelEntry, 5> kModels = {{
    {Model::kMouse, "mouse", MouseSpec},
    {Model::kKeyboard, "keyboard", SingleColourKeyboardSpec},
    {Model::kKeyboardRgb, "keyboard-rgb", RgbKeyboardSpec},
    {Model::kKeyboard7200, "keyboard-7200", Keyboard7200Spec},
    {Model::kMousepad, "mousepad", MousepadSpec},
}};

}  // namespace

ModelSpec MakeModelSpec(Model model, const DeviceOptions& options) {
  for (const auto& m : kModels) {
    if (m.model == model) {
      ModelSpec s = m.build(options);
      s.name = m.name;
      return s;
    }
  }
  return {};
}

bool ModelFromName(const std::string& name, Model* model) {
  for (const auto& n : kModels) {
    if (name == n.name) {
      *model = n.model;
      return true;
    }
  }
  return false;
}

}  // namespace vz::emulator
