#include "lighting/sync_effects.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "lighting/colour_tables.h"
#include "lighting/keyboard_tables.h"

namespace vz::lighting {
namespace {

using Columns = std::array<Rgb, kColumnCount>;

void Wave(const LightingFields& f, std::uint8_t& counter, Columns& out) {
  WaveColours(f, BrightnessFactor(f.brightness), counter, out);
}

void Cycle(const LightingFields& f, std::uint8_t& counter, Columns& out) {
  const std::uint8_t p = Advance(counter, f.direction, kWheelCycle);
  out.fill(Scale(kWheel[p], BrightnessFactor(f.brightness)));
}

void Breathing(const LightingFields& f, std::uint8_t& counter, Columns& out) {
  const std::uint8_t n = Advance(counter, f.direction, kBreath.size());
  out.fill(Scale(Scale(EffectColour(f, n), kBreath[n]), BrightnessFactor(f.brightness)));
}

void Static(const LightingFields& f, std::uint8_t&, Columns& out) {
  out.fill(Scale(f.colour, BrightnessFactor(f.brightness)));
}

// Each effect with the pauses that stand in for a device not in sync, and its own pause.
struct SyncMode {
  void (*draw)(const LightingFields&, std::uint8_t&, Columns&);
  std::uint32_t keyboardAbsentMs;
  std::uint32_t mouseAbsentMs;
  std::uint32_t mousepadAbsentMs;
  std::uint32_t afterMs;
};

constexpr std::array<SyncMode, 4> kSyncModes = {{
    {Wave, 6, 1, 1, 0},
    {Cycle, 9, 1, 1, 6},
    {Breathing, 8, 1, 1, 0},
    {Static, 6, 1, 1, 5},
}};

LightFrame MouseFrameOf(const Columns& columns) {
  LightFrame frame;
  frame.length = kMouseFrameSize;
  for (std::size_t col = 0; col < kMouseColumns; ++col) {
    for (std::uint8_t led : kMouseColumnLeds[col]) frame.SetLed(led, columns[col]);
  }
  return frame;
}

LightFrame PadFrameOf(const Columns& columns) {
  LightFrame frame;
  frame.length = kPadShortFrameSize;
  for (std::size_t led = 0; led < kMousepadLeds; ++led) frame.SetLed(led, columns[led]);
  return frame;
}

LightFrame KeyboardFrameOf(const Columns& columns, std::uint8_t model) {
  LightFrame frame;
  const bool levels = model == kSingleColourKeyboard;
  if (model != kColourKeyboard && !levels) return frame;
  const auto& leds = levels ? kSingleKeyLed : kColourKeyLed;
  frame.length = levels ? kLevelFrameSize : kColourFrameSize;
  for (std::size_t col = 0; col < kColumnCount; ++col) {
    const Rgb c = columns[col];
    for (std::uint8_t key : kKeyColumns[col]) {
      if (key == kNoKey || leds[key] == kNoKey) continue;
      if (levels) {
        frame.bytes[leds[key]] = std::max({c.red, c.green, c.blue});
      } else {
        frame.SetLed(leds[key], c);
      }
    }
  }
  return frame;
}

}  // namespace

bool SyncModeKnown(std::uint8_t mode) { return mode < kSyncModes.size(); }

SyncFrames SyncFrame(const LightingFields& sync, std::uint8_t& counter, const SyncTargets& to) {
  SyncFrames out;
  if (!SyncModeKnown(sync.mode)) return out;
  const SyncMode& mode = kSyncModes[sync.mode];
  Columns columns{};
  mode.draw(sync, counter, columns);
  if (to.mouse) out.mouse = MouseFrameOf(columns);
  if (to.mousepad) out.mousepad = PadFrameOf(columns);
  if (to.keyboard) out.keyboard = KeyboardFrameOf(columns, to.keyboardModel);
  out.pauseAfterMs = mode.afterMs + (to.keyboard ? 0 : mode.keyboardAbsentMs) +
                     (to.mouse ? 0 : mode.mouseAbsentMs) +
                     (to.mousepad ? 0 : mode.mousepadAbsentMs);
  return out;
}

}  // namespace vz::lighting
