// The keyboard's factory key map: its 104 keys in the order the keyboard numbers them (row
// by row, left to right), each doing what its legend says out of the box. The keyboard holds
// it as its built-in assignments; the factory key profile carries the same map.
#pragma once

#include <array>
#include <cstdint>

namespace vz::factory_keys {

struct FactoryKey {
  std::uint8_t modifier;  // modifier bit, 0 for other keys
  std::uint8_t usage;     // keyboard usage (HID page 7), 0 for modifiers
};

constexpr FactoryKey Key(std::uint8_t usage) { return {0, usage}; }
constexpr FactoryKey Mod(std::uint8_t bit) { return {bit, 0}; }

inline constexpr std::array<FactoryKey, 104> kKeyboard = {{
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

// Each key's assignment is the three bytes (kSingleKey, modifier bit, usage).
inline constexpr std::uint8_t kSingleKey = 0x20;

}  // namespace vz::factory_keys
