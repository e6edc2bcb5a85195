#include "lighting/keyboard_modes.h"

#include <cstddef>

#include "lighting/decay.h"

namespace vz::lighting::keyboard {
namespace {

constexpr std::uint8_t kRippleHueStep = 11;
constexpr std::uint8_t kRainHueStep = 10;
constexpr std::uint8_t kSnakeHueStep = 13;
constexpr std::uint8_t kPulseHueStep = 5;
constexpr std::uint8_t kWheelPulseHueStep = 10;
constexpr std::size_t kRainDropsPerFrame = 3;
constexpr std::uint8_t kSnakeLevel = 254;
constexpr std::uint8_t kFrontLevel = 254;

constexpr std::uint8_t kTopBit = RowBit(0);
constexpr std::uint8_t kBelowBit = RowBit(kBelowRow);

template <typename Fn>
void ForEachCell(Fn fn) {
  for (std::size_t col = 0; col < kColumnCount; ++col) {
    for (std::size_t row = 0; row < kKeyRows; ++row) {
      const std::uint8_t key = kKeyColumns[col][row];
      if (key != kNoKey) fn(col, row, key);
    }
  }
}

void NextHue(Ctx& c, std::uint8_t key, std::uint8_t step) {
  c.s.sharedHue = static_cast<std::uint8_t>(c.s.sharedHue + step);
  c.s.hue[key] = c.s.sharedHue;
}

void LightKey(Ctx& c, std::uint8_t key) {
  if (key == kNoKey) return;
  c.s.level[key] = 255;
  if (c.f().colourCycle != 0) NextHue(c, key, kRippleHueStep);
}

void LightRippleCells(Ctx& c) {
  ForEachCell([&](std::size_t col, std::size_t row, std::uint8_t key) {
    if ((c.s.ripple.Column(col) & RowBit(row)) != 0) LightKey(c, key);
  });
}

// The fading modes: each key decays by the rule and shows its hue at its level.
template <std::size_t N>
void FadeKeys(Ctx& c, const std::array<std::uint8_t, N>& keys, const DecayRule& rule) {
  for (std::uint8_t key : keys) {
    c.s.level[key] = Decay(c.s.level[key], rule);
    c.Put(key, EffectColour(c.f(), c.s.hue[key]), c.Dimmed(c.s.level[key]));
  }
}

constexpr std::array<std::uint8_t, kKeyCount> AllKeys() {
  std::array<std::uint8_t, kKeyCount> keys{};
  for (std::size_t k = 0; k < kKeyCount; ++k) keys[k] = static_cast<std::uint8_t>(k);
  return keys;
}
constexpr std::array<std::uint8_t, kKeyCount> kAllKeys = AllKeys();

void FillKeys(Ctx& c, Rgb colour, std::uint8_t level) {
  for (std::size_t k = 0; k < kKeyCount; ++k) c.Put(k, colour, level);
}

void FillColumn(Ctx& c, std::size_t col, Rgb colour, std::uint8_t level) {
  for (std::uint8_t key : kKeyColumns[col]) {
    if (key != kNoKey) c.Put(key, colour, level);
  }
}

// A column effect: seven-colour, the wheel from Advance(direction, 192) on, `wheelStep`
// entries per column; else the fixed colour at levels along `curve` from
// Advance(direction, 96) on, `curveStep` entries per column.
template <std::size_t N>
void ColumnEffect(Ctx& c, std::size_t wheelStep, const std::array<std::uint8_t, N>& curve,
                  std::size_t curveStep) {
  if (c.f().colourCycle != 0 && !c.levelsOnly) {
    std::size_t p = Advance(c.s.counter, c.f().direction, kWheelCycle);
    for (std::size_t col = 0; col < kColumnCount; ++col) {
      FillColumn(c, col, kWheel[p], c.b());
      p = (p + wheelStep) % kWheelCycle;
    }
  } else {
    constexpr std::uint8_t kCurveSteps = 96;  // the wave, or the first half of the pulse
    static_assert(N >= kCurveSteps);
    std::size_t p = Advance(c.s.counter, c.f().direction, kCurveSteps);
    for (std::size_t col = 0; col < kColumnCount; ++col) {
      FillColumn(c, col, c.f().colour, c.Dimmed(curve[p]));
      p = (p + curveStep) % kCurveSteps;
    }
  }
}

// The per-key pulse: each counter steps through the 192 entries of the pulse table; at
// the end of a pulse the key takes the next hue. A counter left at 192 or above (the
// start table holds 192) starts over at once instead of reading past the table.
void Pulse(Ctx& c, std::array<std::uint8_t, kKeyCount>& counters, std::uint8_t hueStep,
           bool secondColours) {
  for (std::uint8_t key : kSerpentine) {
    const std::uint8_t n = NextBelow(counters[key], kPulse.size());
    if (n == 0 && hueStep != 0) NextHue(c, key, hueStep);
    counters[key] = n;
    Rgb colour = c.f().colour;
    if (c.f().colourCycle != 0) {
      // The eight named colours divide the hue circle into equal sectors, so neighbouring
      // keys stay alike and the colours follow each other in wheel order.
      colour = secondColours ? kSecondColours[c.s.hue[key] >> 5] : kWheel[c.s.hue[key]];
    }
    c.Put(key, colour, c.Dimmed(kPulse[n]));
  }
}

// The snake walks kSnakePath on the synchronized engine's counter. A counter beyond the
// path (the sync effects count to 191) restarts the walk like the end of the path does.
void Snake(Ctx& c) {
  std::uint8_t& pos = c.syncCounter;
  constexpr std::uint8_t kLast = kSnakePath.size() - 1;
  int lit = -1;
  if (c.f().direction != 0) {
    if (pos > kLast) {
      pos = 0;
    } else {
      lit = pos++;
    }
  } else if (pos < 1 || pos > kLast) {
    pos = kLast;
  } else {
    lit = pos--;
  }
  if (lit >= 0 && kSnakePath[lit] != kNoKey) {
    const std::uint8_t key = kSnakePath[lit];
    c.s.level[key] = kSnakeLevel;
    NextHue(c, key, kSnakeHueStep);
  }
  FadeKeys(c, kAllKeys, kKeyDecay);
}

void Drop(KeyboardEffectState& s, std::uint8_t key) {
  s.sharedHue = static_cast<std::uint8_t>(s.sharedHue + kRainHueStep);
  s.hue[key] = s.sharedHue;
  s.level[key] = 255;
}

void Rain(Ctx& c) {
  for (std::size_t drop = 0; drop < kRainDropsPerFrame; ++drop) {
    c.s.rainPosition = NextBelow(c.s.rainPosition, kRainOrder.size());
    Drop(c.s, kSerpentine[kRainOrder[c.s.rainPosition]]);
  }
  FadeKeys(c, kAllKeys, kKeyDecay);
}

void SerpentineWave(Ctx& c) {
  if (c.f().colourCycle != 0 && !c.levelsOnly) {
    std::size_t p = Advance(c.s.counter, c.f().direction, kWheelCycle);
    for (std::uint8_t key : kSerpentine) {
      c.Put(key, kWheel[p], c.b());
      p = (p + 5) % kWheelCycle;
    }
  } else {
    std::size_t p = Advance(c.s.counter, c.f().direction, kWave.size());
    for (std::uint8_t key : kSerpentine) {
      c.Put(key, c.f().colour, c.Dimmed(kWave[p]));
      p = (p + 5) % kWave.size();
    }
  }
}

// The scripted show: a sweep from the edges, pairs lit in turn, then a ripple from key 52
// that runs out at key 105.
void Show(Ctx& c) {
  ShowState& show = c.s.show;
  constexpr std::uint8_t kPairSteps = 31;
  constexpr std::uint8_t kPairsDoneKey = 72;
  constexpr std::uint8_t kRippleStartKey = 52;
  constexpr std::uint8_t kRippleEndKey = 105;
  switch (show.stage) {
    case 0:
      if (show.position < kShowSweepRows.size()) {
        for (std::uint8_t key : kShowSweepRows[show.position]) LightKey(c, key);
      }
      if (++show.position >= kShowSweepRows.size()) show = {1, 0};
      break;
    case 1:
      if (show.position < kPairSteps) {
        for (std::uint8_t key : kShowPairs[show.position % kShowPairs.size()]) LightKey(c, key);
        ++show.position;
      } else if (c.s.level[kPairsDoneKey] == 0) {
        show = {2, 0};
      }
      break;
    case 2:
      ForEachCell([&](std::size_t col, std::size_t row, std::uint8_t key) {
        if (key == kRippleStartKey) c.s.ripple.SetInAllPlanes(col, RowBit(row));
      });
      show.stage = 3;
      break;
    case 3: {
      LightRippleCells(c);
      c.s.ripple.Shift();
      // A field emptied by another mode's ripple would never reach the end key: the show
      // moves on instead of staying dark.
      bool fieldEmpty = true;
      for (std::size_t col = 0; col < kColumnCount; ++col) {
        fieldEmpty &= c.s.ripple.Column(col) == 0;
      }
      if (c.s.level[kRippleEndKey] != 0 || fieldEmpty) show.stage = 4;
      break;
    }
    default:
      if (c.s.level[kRippleEndKey] == 0) show = {0, 0};
      break;
  }
  FadeKeys(c, kSerpentine, kKeyDecay);
}

// --- colour model ------------------------------------------------------------------------

void Wave(Ctx& c) { ColumnEffect(c, 7, kWave, 10); }

void Cycle(Ctx& c) {
  FillKeys(c, kWheel[Advance(c.s.counter, c.f().direction, kWheelCycle)], c.b());
}

void Breathing(Ctx& c) {
  const std::uint8_t n = Advance(c.s.counter, c.f().direction, kBreath.size());
  FillKeys(c, kWheel[n + 50], c.Dimmed(kBreath[n]));
}

void Static(Ctx& c) { FillKeys(c, c.f().colour, c.b()); }

void KeyCycle(Ctx& c) {
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    c.s.hue[k] = NextBelow(c.s.hue[k], kWheelCycle);
    c.Put(k, kWheel[c.s.hue[k]], c.b());
  }
}

void SpaceRipple(Ctx& c) {
  RippleField& field = c.s.ripple;
  const std::uint8_t at = field.Column(kSpaceColumn);
  if (at == kTopBit || at == kBelowBit) field.SetInAllPlanes(kSpaceColumn, at);
  LightRippleCells(c);
  field.Shift();
  FadeKeys(c, kSerpentine, kKeySpaceRippleDecay);
}

void Custom(Ctx& c) {
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    const std::uint8_t led = kColourKeyLed[k];
    if (led == kNoKey) continue;
    const Rgb colour{c.in.custom[3 * led], c.in.custom[3 * led + 1], c.in.custom[3 * led + 2]};
    c.Put(k, colour, c.b());
  }
}

void RowRainbow(Ctx& c) {
  std::size_t p = Advance(c.syncCounter, c.f().direction, kWheelCycle);
  for (std::size_t row = 0; row < kKeyRows; ++row) {
    for (std::size_t col = 0; col < kColumnCount; ++col) {
      const std::uint8_t key = kKeyColumns[col][row];
      if (key != kNoKey) c.Put(key, kWheel[p], c.b());
    }
    p = (p + 24) % kWheelCycle;
  }
}

void NamedColourPulse(Ctx& c) { Pulse(c, c.s.level, kPulseHueStep, true); }

void Diagonals(Ctx& c) {
  int base = c.s.diagonalHue;
  if (c.f().direction != 0) {
    base += 4;
    if (base > 191) base = 0;
  } else {
    base -= 2;
    if (base < 0) base = 192;
  }
  c.s.diagonalHue = static_cast<std::uint8_t>(base);
  int hue = base;
  for (const auto& row : kDiagonals) {
    hue += 21;
    if (hue > 191) hue -= 192;
    for (std::uint8_t key : row) {
      if (key != kNoKey) c.Put(key, kWheel[hue], c.b());
    }
  }
}

void ColumnRainbow(Ctx& c) { ColumnEffect(c, 2, kPulse, 5); }

void CornerRipple(Ctx& c) {
  RippleField& field = c.s.ripple;
  if (field.Column(kLeftCornerColumn) == kTopBit) field.SetInAllPlanes(kLeftCornerColumn, kTopBit);
  if (field.Column(kRightCornerColumn) == kTopBit) {
    field.SetInAllPlanes(kRightCornerColumn, kBelowBit);
  }
  LightRippleCells(c);
  field.Shift();
  FadeKeys(c, kSerpentine, kKeyDecay);
}

void WheelPulse(Ctx& c) { Pulse(c, c.s.pulse, kWheelPulseHueStep, false); }

// --- single-colour model -----------------------------------------------------------------

void LevelWave(Ctx& c) {
  std::size_t p = Advance(c.s.counter, c.f().direction, kWave.size());
  for (std::size_t col = 0; col < kColumnCount; ++col) {
    FillColumn(c, col, {}, c.Dimmed(kWave[p]));
    p = (p + 7) % kWave.size();
  }
}

void LevelBreathing(Ctx& c) {
  FillKeys(c, {}, c.Dimmed(kBreath[Advance(c.s.counter, 1, kBreath.size())]));
}

// Only the fronts of the ripple light; the wave turns at the top and at the bottom.
void FrontRipple(Ctx& c) {
  RippleField& field = c.s.ripple;
  ForEachCell([&](std::size_t col, std::size_t row, std::uint8_t key) {
    c.s.level[key] = (field.Column(col) & RowBit(row)) != 0 ? kFrontLevel : 0;
  });
  field.Shift();
  const std::uint8_t at = field.Column(kSpaceColumn);
  constexpr std::uint8_t kTopRows = RowBit(0) | RowBit(1);
  constexpr std::uint8_t kBottomRows = RowBit(5) | RowBit(6);
  if (at == kTopBit) field.SetInAllPlanes(kSpaceColumn, kTopRows);
  if (at == kBottomRows) field.SetInAllPlanes(kSpaceColumn, kBottomRows);
  FadeKeys(c, kSerpentine, kKeyDecay);
}

void LevelCustom(Ctx& c) {
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    const std::uint8_t led = kSingleKeyLed[k];
    if (led != kNoKey) c.Put(k, {}, c.Dimmed(c.in.custom[led]));
  }
}

void LevelPulse(Ctx& c) { Pulse(c, c.s.pulse, 0, false); }

}  // namespace

const std::array<ModeRow, 17> kColourModes = {{
    {Wave, 0},
    {Cycle, 20},
    {Breathing, 0},
    {Static, 0},
    {KeyCycle, 12},
    {SpaceRipple, 40},
    {Show, 15},
    {SerpentineWave, 1},
    {Custom, 0},
    {Rain, 0},
    {RowRainbow, 0},
    {NamedColourPulse, 0},
    {Snake, 0},
    {Diagonals, 10},
    {ColumnRainbow, 0},
    {CornerRipple, 50},
    {WheelPulse, 0},
}};

const std::array<ModeRow, 11> kSingleColourModes = {{
    {LevelWave, 0},
    {LevelBreathing, 0},
    {Static, 0},
    {FrontRipple, 40},
    {Show, 15},
    {SerpentineWave, 1},
    {LevelCustom, 0},
    {Rain, 100},
    {LevelPulse, 0},
    {LevelPulse, 0},
    {Snake, 0},
}};

}  // namespace vz::lighting::keyboard

namespace vz::lighting {

void StartKeyEffect(KeyboardEffectState& state, std::uint8_t key) {
  if (key < kKeyCount) keyboard::Drop(state, key);
}

}  // namespace vz::lighting
