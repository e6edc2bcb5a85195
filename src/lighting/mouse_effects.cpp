#include "lighting/mouse_effects.h"

#include <algorithm>
#include <cstddef>

#include "lighting/colour_tables.h"
#include "lighting/decay.h"

namespace vz::lighting {
namespace {

// The colours of the mouse's breathing, one per column, three palettes taken in turn.
constexpr std::array<std::array<Rgb, kMouseColumns>, 3> kBreathPalettes = {{
    {{{255, 255, 0}, {200, 255, 0}, {170, 255, 0}, {140, 255, 0}, {110, 255, 0}, {80, 255, 0},
      {70, 255, 0}}},
    {{{0, 255, 255}, {0, 200, 255}, {0, 170, 255}, {0, 140, 255}, {0, 110, 255}, {0, 80, 255},
      {0, 70, 255}}},
    {{{245, 0, 255}, {245, 0, 200}, {245, 0, 170}, {245, 0, 140}, {245, 0, 110}, {245, 0, 80},
      {245, 0, 70}}},
}};

constexpr std::uint8_t kReactiveStart = 128;
constexpr std::uint8_t kReactiveStep = 3;
constexpr std::uint8_t kReactiveHueStep = 14;
constexpr std::uint32_t kFlashMs = 100;
constexpr std::size_t kReactiveLeds = 15;  // LEDs 15..19 of the mouse stay dark
constexpr std::uint8_t kRippleHueStep = 11;
constexpr std::uint32_t kSweepPauseMs = 1000;

struct Ctx {
  const PointerInput& in;
  PointerEffectState& s;
  std::uint8_t& rippleHue;
  LightFrame& frame;
  const LightingFields& f() const { return in.fields; }
  std::uint8_t b() const { return BrightnessFactor(in.fields.brightness); }
};

void SetMouseColumn(LightFrame& frame, std::size_t column, Rgb c) {
  for (std::uint8_t led : kMouseColumnLeds[column]) frame.SetLed(led, c);
}

void SetPadColumn(LightFrame& frame, std::size_t column, Rgb c) {
  for (std::uint8_t led : kPadGridColumnLeds[column]) {
    if (led != kNoLed) frame.SetLed(led, c);
  }
}

void Fill(LightFrame& frame, std::size_t leds, Rgb c) {
  for (std::size_t i = 0; i < leds; ++i) frame.SetLed(i, c);
}

std::uint8_t NextReactiveHue(std::uint8_t hue) {
  const int next = hue + kReactiveHueStep;
  return next > 191 ? 0 : static_cast<std::uint8_t>(next);
}

// Mouse mode 2: a trigger lights the LEDs at level 128, fading by 3 per frame.
void ReactiveFade(Ctx& c, std::size_t leds) {
  ReactiveState& r = c.s.reactive;
  if (c.in.triggered) {
    r.level = kReactiveStart;
    r.active = true;
    r.hue = NextReactiveHue(r.hue);
  }
  if (!r.active) return;
  // The flash mode shares this state and leaves the level alone, so it may be low here.
  r.level = r.level > kReactiveStep ? static_cast<std::uint8_t>(r.level - kReactiveStep) : 0;
  Fill(c.frame, leds, Scale(Scale(EffectColour(c.f(), r.hue), kBreath[r.level]), c.b()));
  if (r.level <= kReactiveStep) r.active = false;
}

// Mouse mode 6, mousepad mode 8: a trigger lights the LEDs for 100 ms.
void ReactiveFlash(Ctx& c, std::size_t leds) {
  ReactiveState& r = c.s.reactive;
  if (c.in.triggered) {
    r.startTick = c.in.tick;
    r.active = true;
    r.hue = NextReactiveHue(r.hue);
  }
  if (r.active && c.in.tick - r.startTick >= kFlashMs) r.active = false;
  if (r.active) Fill(c.frame, leds, Scale(EffectColour(c.f(), r.hue), c.b()));
}

// One step of the bounce over elements 0..n: up until the value before the step was n,
// down until it was 0, so the position runs -1 .. n + 1.
void StepBounce(BounceState& b, int n) {
  const int before = b.position;
  b.position = static_cast<std::int8_t>(b.falling ? before - 1 : before + 1);
  if (!b.falling && before == n) b.falling = true;
  if (b.falling && before == 0) b.falling = false;
}

bool BounceLit(const BounceState& b, std::uint8_t direction, int i) {
  return direction != 0 ? b.position < i : i < b.position;
}

// Steps 1 to 3 of the ripple: lights the ring's set places below `levelled`, then turns
// the ring one place.
void TurnRippleRing(Ctx& c, std::size_t levelled) {
  Advance(c.s.counter, c.f().direction, kWheelCycle);
  RippleRing& r = c.s.ripple;
  for (std::size_t i = 0; i < levelled; ++i) {
    if (!r.ring[i]) continue;
    r.level[i] = 255;
    if (c.f().colourCycle != 0) {
      c.rippleHue = static_cast<std::uint8_t>(c.rippleHue + kRippleHueStep);
      r.hue[i] = c.rippleHue;
    }
  }
  if (c.f().direction != 0) {
    std::rotate(r.ring.begin(), r.ring.begin() + 1, r.ring.end());
  } else {
    std::rotate(r.ring.rbegin(), r.ring.rbegin() + 1, r.ring.rend());
  }
}

Rgb RippleColour(Ctx& c, std::size_t i, const DecayRule& rule) {
  RippleRing& r = c.s.ripple;
  r.level[i] = Decay(r.level[i], rule);
  const std::uint8_t hue = r.hue[i] >= kWheelCycle ? r.hue[i] - kWheelCycle : r.hue[i];
  return Scale(Scale(EffectColour(c.f(), hue), r.level[i]), c.b());
}

// --- mouse -------------------------------------------------------------------------------

void MouseCycle(Ctx& c) {
  const std::uint8_t p = Advance(c.s.counter, c.f().direction, kWheelCycle);
  Fill(c.frame, kMouseLeds, Scale(kWheel[p], c.b()));
}

void MouseBreathing(Ctx& c) {
  const std::uint8_t n = Advance(c.s.counter, c.f().direction, kBreath.size());
  if (n == 0) c.s.palette = static_cast<std::uint8_t>((c.s.palette + 1) % kBreathPalettes.size());
  for (std::size_t col = 0; col < kMouseColumns; ++col) {
    const Rgb base = c.f().colourCycle != 0 ? kBreathPalettes[c.s.palette % 3][col] : c.f().colour;
    SetMouseColumn(c.frame, col, Scale(Scale(base, kBreath[n]), c.b()));
  }
}

void MouseFade(Ctx& c) { ReactiveFade(c, kReactiveLeds); }

void MouseStatic(Ctx& c) { Fill(c.frame, kMouseLeds, Scale(c.f().colour, c.b())); }

void MouseBounce(Ctx& c) {
  StepBounce(c.s.bounce, kMouseColumns);
  const Rgb lit =
      Scale(EffectColour(c.f(), Advance(c.s.counter, c.f().direction, kWheelCycle)), c.b());
  for (std::size_t col = 0; col < kMouseColumns; ++col) {
    if (BounceLit(c.s.bounce, c.f().direction, static_cast<int>(col))) {
      SetMouseColumn(c.frame, col, lit);
    }
  }
}

void MouseRipple(Ctx& c) {
  TurnRippleRing(c, 2 * kMouseColumns);
  for (std::size_t col = 0; col < kMouseColumns; ++col) {
    SetMouseColumn(c.frame, col, RippleColour(c, col, kMouseRippleDecay));
  }
}

void MouseFlash(Ctx& c) { ReactiveFlash(c, kReactiveLeds); }

// --- mousepad ----------------------------------------------------------------------------

void PadWave(Ctx& c) {
  std::array<Rgb, kMousepadLeds> colours;
  WaveColours(c.f(), c.b(), c.s.counter, colours);
  for (std::size_t i = 0; i < kMousepadLeds; ++i) c.frame.SetLed(i, colours[i]);
}

void PadCycle(Ctx& c) {
  const std::uint8_t p = Advance(c.s.counter, c.f().direction, kWheelCycle);
  Fill(c.frame, kMousepadLeds, Scale(kWheel[p], c.b()));
}

void PadBreathing(Ctx& c) {
  const std::uint8_t n = Advance(c.s.counter, c.f().direction, kBreath.size());
  Fill(c.frame, kMousepadLeds, Scale(Scale(kWheel[n + 50], kBreath[n]), c.b()));
}

void PadStatic(Ctx& c) { Fill(c.frame, kMousepadLeds, Scale(c.f().colour, c.b())); }

void PadBounce(Ctx& c) {
  StepBounce(c.s.bounce, kMousepadLeds - 1);
  for (std::size_t i = 0; i < kMousepadLeds; ++i) {
    if (BounceLit(c.s.bounce, c.f().direction, static_cast<int>(i))) {
      c.frame.SetLed(i, Scale(EffectColour(c.f(), 7 * i % kWheelCycle), c.b()));
    }
  }
}

void PadRipple(Ctx& c) {
  TurnRippleRing(c, kMousepadLeds);
  for (std::size_t i = 0; i < kMousepadLeds; ++i) {
    c.frame.SetLed(i, RippleColour(c, i, kPadRippleDecay));
  }
}

void PadGridRainbow(Ctx& c) {
  const std::uint8_t p = Advance(c.s.counter, c.f().direction, kWheelCycle);
  for (std::size_t col = 0; col < kPadGridColumns; ++col) {
    SetPadColumn(c.frame, col, Scale(kWheel[(p + 7 * col) % kWheelCycle], c.b()));
  }
}

void PadSweep(Ctx& c) {
  SweepState& w = c.s.sweep;
  std::array<bool, kPadGridColumns> lit{};
  if (w.phase == 1) {
    ++w.count;
    w.mask = static_cast<std::uint16_t>(w.mask >> 1);
    if (w.count >= 15) {
      w = {0, 252, w.count};
      c.frame.length = 0;
      c.frame.pauseAfterMs = kSweepPauseMs;
      return;
    }
    for (std::size_t i = 0; i < lit.size(); ++i) lit[i] = (w.mask >> (7 - i) & 1) != 0;
  } else {
    if (w.count == 0) {
      w = {1, 0x3F00, 0};
      c.frame.length = 0;
      c.frame.pauseAfterMs = kSweepPauseMs;
      return;
    }
    for (std::size_t i = 0; i < lit.size(); ++i) {
      lit[i] = (static_cast<std::uint16_t>(w.mask << i) & 0x8000) != 0;
    }
    w.mask = static_cast<std::uint16_t>(w.mask << 1);
    --w.count;
  }
  const std::uint8_t p = Advance(c.s.counter, 0, kWheelCycle);
  for (std::size_t col = 0; col < kPadGridColumns; ++col) {
    if (lit[col]) SetPadColumn(c.frame, col, Scale(EffectColour(c.f(), p + 7 * col), c.b()));
  }
}

void PadFlash(Ctx& c) { ReactiveFlash(c, kMousepadLeds); }

struct ModeRow {
  void (*draw)(Ctx&);
  std::uint16_t frameLength;
  bool takesTrigger;
};

constexpr std::array<ModeRow, 7> kMouseModes = {{
    {MouseCycle, kMouseFrameSize, false},
    {MouseBreathing, kMouseFrameSize, false},
    {MouseFade, kMouseFrameSize, true},
    {MouseStatic, kMouseFrameSize, false},
    {MouseBounce, kMouseFrameSize, false},
    {MouseRipple, kMouseFrameSize, false},
    {MouseFlash, kMouseFrameSize, true},
}};

constexpr std::array<ModeRow, 9> kPadModes = {{
    {PadWave, kPadShortFrameSize, false},
    {PadCycle, kPadShortFrameSize, false},
    {PadBreathing, kPadLongFrameSize, false},
    {PadStatic, kPadLongFrameSize, false},
    {PadBounce, kPadShortFrameSize, false},
    {PadRipple, kPadShortFrameSize, false},
    {PadGridRainbow, kPadShortFrameSize, false},
    {PadSweep, kPadShortFrameSize, false},
    {PadFlash, kPadLongFrameSize, true},
}};

template <std::size_t N>
LightFrame Run(const std::array<ModeRow, N>& modes, const PointerInput& in,
               PointerEffectState& state, std::uint8_t& rippleHue) {
  LightFrame frame;
  if (in.fields.mode >= N) return frame;
  const ModeRow& row = modes[in.fields.mode];
  frame.length = row.frameLength;
  Ctx c{in, state, rippleHue, frame};
  row.draw(c);
  return frame;
}

}  // namespace

bool MouseModeKnown(std::uint8_t mode) { return mode < kMouseModes.size(); }
bool MouseTakesTrigger(std::uint8_t mode) {
  return MouseModeKnown(mode) && kMouseModes[mode].takesTrigger;
}
LightFrame MouseFrame(const PointerInput& in, PointerEffectState& state, std::uint8_t& rippleHue) {
  return Run(kMouseModes, in, state, rippleHue);
}

bool MousepadModeKnown(std::uint8_t mode) { return mode < kPadModes.size(); }
bool MousepadTakesTrigger(std::uint8_t mode) {
  return MousepadModeKnown(mode) && kPadModes[mode].takesTrigger;
}
LightFrame MousepadFrame(const PointerInput& in, PointerEffectState& state,
                         std::uint8_t& rippleHue) {
  return Run(kPadModes, in, state, rippleHue);
}

void SeedMouseRipple(PointerEffectState& state, bool direction) {
  state.ripple.ring = {};
  state.ripple.ring[direction ? kMouseColumns : 0] = true;
}

void SeedMousepadRipple(PointerEffectState& state) {
  state.ripple.ring = {};
  state.ripple.ring[0] = true;
}

}  // namespace vz::lighting
