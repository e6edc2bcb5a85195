// The factory files the program folder carries: default profiles of every device and the
// four cursor sequences of the mouse's gun slots. Built from the readable tables of this
// folder and written by the generator that the build runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/device_images.h"

namespace vz::factory {

// The images every default profile is a snapshot of: lighting, DPI stages, report rate,
// pointer settings and key maps a user can start from. keyboardVariant picks the RGB (0)
// or single-colour (1) keyboard's lighting. CommitForSave has been run for every kind.
void FillFactoryImages(DeviceImages& images, int keyboardVariant);

// One step of a cursor sequence, the fields of an ActionLine.
struct CursorStep {
  std::uint16_t delay;
  std::uint8_t type;
  std::uint8_t code;
  std::uint16_t pressed;
  std::string_view label;
  friend bool operator==(const CursorStep&, const CursorStep&) = default;
};

inline constexpr int kGunSlotCount = 4;
inline constexpr int kBulletCount = 30;
inline constexpr int kStepsPerBullet = 6;

// Gun slot 0..3: 30 bullets of six steps (fire, release, base pull, bullet delay,
// horizontal offset, vertical offset).
std::vector<CursorStep> FactoryCursorSequence(int gunSlot);
// "name_1.cur" .. "name_4.cur".
std::string CursorFileName(int gunSlot);
// The sequence-file text: [MACROACTIONCOUNT] count, then [MACROACTION] 0..M-1 with one
// ActionLine "%d,%d,%d,%d,%d,%s" (delay low, delay high, type, code, pressed, label) each.
std::string CursorFileText(const std::vector<CursorStep>& steps);

// Writes every factory file into folder (ending with '/'). Returns the names that could
// not be written; empty on success.
std::vector<std::string> WriteFactoryFiles(const std::string& folder);

}  // namespace vz::factory
