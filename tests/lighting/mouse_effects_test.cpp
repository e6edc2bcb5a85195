#include <gtest/gtest.h>

#include <vector>

#include "lighting/colour_tables.h"
#include "lighting/mouse_effects.h"

namespace vz::lighting {
namespace {

constexpr Rgb kOff{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

LightingFields Fields(std::uint8_t mode, std::uint8_t brightness = 4, std::uint8_t direction = 1,
                      std::uint8_t cycle = 0, Rgb colour = kWhite) {
  return {mode, brightness, 0, direction, cycle, colour};
}

// Drives one engine frame by frame, as the thread does.
struct Pointer {
  explicit Pointer(bool pad = false) : mousepad(pad) {}
  bool mousepad;
  PointerEffectState state;
  std::uint8_t rippleHue = 0;

  LightFrame Frame(const LightingFields& f, bool triggered = false, std::uint32_t tick = 0) {
    const PointerInput in{f, triggered, tick};
    return mousepad ? MousepadFrame(in, state, rippleHue) : MouseFrame(in, state, rippleHue);
  }
};

TEST(PointerEffects, StaticColourIsScaledByBrightnessOnEveryLed) {
  struct Row {
    std::uint8_t brightness;
    Rgb expected;
  };
  const Row rows[] = {{0, {45, 23, 0}}, {2, {149, 75, 0}}, {4, {255, 128, 0}}};
  for (bool pad : {false, true}) {
    for (const Row& r : rows) {
      Pointer p(pad);
      const LightFrame frame = p.Frame(Fields(3, r.brightness, 0, 0, {255, 128, 0}));
      const std::size_t leds = pad ? kMousepadLeds : kMouseLeds;
      for (std::size_t i = 0; i < leds; ++i) {
        EXPECT_EQ(frame.Led(i), r.expected) << (pad ? "pad" : "mouse") << " led " << i;
      }
    }
  }
}

TEST(PointerEffects, FrameLengthsByMode) {
  struct Row {
    bool pad;
    std::uint8_t mode;
    std::uint16_t length;
  };
  const Row rows[] = {
      {false, 0, 60}, {false, 1, 60}, {false, 2, 60}, {false, 3, 60}, {false, 4, 60},
      {false, 5, 60}, {false, 6, 60}, {false, 7, 0},  {true, 0, 45},  {true, 1, 45},
      {true, 2, 60},  {true, 3, 60},  {true, 4, 45},  {true, 5, 45},  {true, 6, 45},
      {true, 8, 60},  {true, 9, 0},
  };
  for (const Row& r : rows) {
    Pointer p(r.pad);
    p.state.reactive = {};
    const LightFrame frame = p.Frame(Fields(r.mode), true, 0);
    EXPECT_EQ(frame.length, r.length) << (r.pad ? "pad" : "mouse") << " mode " << int(r.mode);
    // The long mousepad frames carry 15 LEDs and 15 zero bytes.
    for (std::size_t i = 45; r.pad && i < frame.length; ++i) {
      EXPECT_EQ(frame.bytes[i], 0) << "pad mode " << int(r.mode) << " byte " << i;
    }
  }
}

TEST(PointerEffects, ColourCycleWrapsBothWays) {
  struct Row {
    std::uint8_t direction, counter;
    Rgb expected;
  };
  const Row rows[] = {{1, 191, kWheel[0]}, {1, 0, kWheel[1]}, {0, 0, kWheel[191]},
                      {0, 100, kWheel[99]}};
  for (bool pad : {false, true}) {
    for (const Row& r : rows) {
      Pointer p(pad);
      p.state.counter = r.counter;
      const LightFrame frame = p.Frame(Fields(pad ? 1 : 0, 4, r.direction));
      EXPECT_EQ(frame.Led(0), r.expected)
          << "dir " << int(r.direction) << " from " << int(r.counter);
      EXPECT_EQ(frame.Led(14), r.expected);
    }
  }
}

TEST(MouseEffects, BreathingPaletteChangesEvery128Frames) {
  Pointer p;
  // At counter 63 the breath is at its peak, so column 0 shows its palette colour unscaled.
  struct Row {
    int frame;
    Rgb column0;
  };
  const Row rows[] = {{63, {255, 255, 0}}, {191, {0, 255, 255}}, {319, {245, 0, 255}},
                      {447, {255, 255, 0}}};
  int frame = 0;
  for (const Row& r : rows) {
    LightFrame f;
    while (frame < r.frame) {
      f = p.Frame(Fields(1, 4, 1, 1));
      ++frame;
    }
    EXPECT_EQ(f.Led(0), r.column0) << "frame " << r.frame;
    EXPECT_EQ(f.Led(19), r.column0) << "all three LEDs of column 0";
  }
  // Without the seven-colour flag every column breathes the fixed colour.
  Pointer fixed;
  fixed.state.counter = 62;
  EXPECT_EQ(fixed.Frame(Fields(1, 4, 1, 0, {10, 20, 30})).Led(6), (Rgb{10, 20, 30}));
}

TEST(MouseEffects, ReactiveFadeLasts42FramesAndMovesTheHue) {
  Pointer p;
  std::vector<std::uint8_t> levels;
  LightFrame f = p.Frame(Fields(2), true);
  while (f.Led(0) != kOff && levels.size() < 100) {
    for (std::size_t led = 15; led < kMouseLeds; ++led) EXPECT_EQ(f.Led(led), kOff) << led;
    EXPECT_EQ(f.Led(14), f.Led(0));
    levels.push_back(f.Led(0).red);
    f = p.Frame(Fields(2));
  }
  ASSERT_EQ(levels.size(), 42u);
  // White at full brightness shows the breath value itself: breath[125], [122], ... [2].
  for (std::size_t k = 0; k < levels.size(); ++k) {
    EXPECT_EQ(levels[k], kBreath[125 - 3 * k]) << "frame " << k;
  }
  EXPECT_EQ(p.Frame(Fields(2)).Led(0), kOff) << "stays dark without a trigger";

  // With the seven-colour flag each click takes the hue 14 entries on; past 191 it restarts.
  Pointer hued;
  hued.state.reactive.hue = 168;
  struct Row {
    std::uint8_t hue;
  };
  for (const Row r : {Row{182}, Row{0}, Row{14}}) {
    const LightFrame lit = hued.Frame(Fields(2, 4, 1, 1), true);
    EXPECT_EQ(lit.Led(3), Scale(Scale(kWheel[r.hue], kBreath[125]), 255)) << int(r.hue);
  }
}

TEST(PointerEffects, FlashLightsFor100Milliseconds) {
  struct Row {
    std::uint32_t tick;
    bool lit;
  };
  const Row rows[] = {{1000, true}, {1050, true}, {1099, true}, {1100, false}, {1500, false}};
  for (bool pad : {false, true}) {
    Pointer p(pad);
    const std::uint8_t mode = pad ? 8 : 6;
    EXPECT_EQ(p.Frame(Fields(mode), false, 500).Led(0), kOff) << "no trigger, no light";
    for (const Row& r : rows) {
      const LightFrame f = p.Frame(Fields(mode, 4, 1, 0, {0, 0, 200}), r.tick == 1000, r.tick);
      const Rgb expected = r.lit ? Rgb{0, 0, 200} : kOff;
      EXPECT_EQ(f.Led(0), expected) << "tick " << r.tick;
      EXPECT_EQ(f.Led(14), f.Led(0));
      if (!pad) {
        EXPECT_EQ(f.Led(15), kOff);
      }
    }
  }
}

TEST(PointerEffects, BounceRunsFromMinusOneToNPlusOne) {
  // With direction 0 the elements below the position are lit, so the count of lit columns
  // follows the position, held between 0 and 7.
  const int mouseLit[] = {1, 2, 3, 4, 5, 6, 7, 7, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0, 1, 2};
  Pointer p;
  for (int frame = 0; frame < 20; ++frame) {
    const LightFrame f = p.Frame(Fields(4, 4, 0, 0, {9, 9, 9}));
    int lit = 0;
    for (std::size_t col = 0; col < kMouseColumns; ++col) {
      const bool on = f.Led(kMouseColumnLeds[col][0]) != kOff;
      EXPECT_EQ(f.Led(kMouseColumnLeds[col][2]) != kOff, on);
      lit += on;
    }
    EXPECT_EQ(lit, mouseLit[frame]) << "frame " << frame;
  }
  // With direction set the elements above the position are lit; the pad runs to 15.
  Pointer pad(true);
  for (int frame = 0; frame < 15; ++frame) pad.Frame(Fields(4, 4, 1, 1));
  EXPECT_EQ(pad.state.bounce.position, 15);
  const LightFrame top = pad.Frame(Fields(4, 4, 1, 1));
  EXPECT_EQ(pad.state.bounce.position, 14);
  for (std::size_t i = 0; i < kMousepadLeds; ++i) EXPECT_EQ(top.Led(i), kOff) << i;
}

// The column-0 (or LED 0) level of a ripple frame in white at full brightness.
std::uint8_t Level0(const LightFrame& f) { return f.Led(0).red; }

TEST(PointerEffects, RippleFadesToDarkWithoutWrapping) {
  Pointer mouse;
  SeedMouseRipple(mouse.state, false);
  const std::uint8_t expected[] = {215, 175, 135, 95, 65, 35, 25, 17, 9, 5, 1, 0, 0};
  for (std::uint8_t level : expected) {
    EXPECT_EQ(Level0(mouse.Frame(Fields(5, 4, 0))), level);
  }
  // The pad's last band loses 1 per frame: 23 frames after the seed a faint 4 is left when
  // the ring comes round again.
  Pointer pad(true);
  SeedMousepadRipple(pad.state);
  std::uint8_t last = 255;
  for (int frame = 1; frame <= 23; ++frame) {
    const std::uint8_t level = Level0(pad.Frame(Fields(5, 4, 0)));
    EXPECT_LE(level, last) << "frame " << frame;
    last = level;
  }
  EXPECT_EQ(last, 4);
  EXPECT_EQ(Level0(pad.Frame(Fields(5, 4, 0))), 225);
  // A level of 3 goes 2, 1, 0 and stays dark.
  Pointer faint(true);
  faint.state.ripple.level[0] = 3;
  for (std::uint8_t level : {2, 1, 0, 0}) EXPECT_EQ(Level0(faint.Frame(Fields(5, 4, 0))), level);
}

TEST(PointerEffects, RippleRingRunsWithTheDirection) {
  // Mouse, direction set: seeded at place 7, which is not shown, it reaches column 6 on
  // the second frame and column 0 last.
  Pointer mouse;
  SeedMouseRipple(mouse.state, true);
  EXPECT_EQ(mouse.Frame(Fields(5, 4, 1)).Led(6), kOff);
  for (int col = 6; col >= 0; --col) {
    const LightFrame f = mouse.Frame(Fields(5, 4, 1));
    EXPECT_EQ(f.Led(kMouseColumnLeds[col][1]).red, 215) << "column " << col;
  }
  // Mousepad, direction 0: LED i lights at frame i.
  Pointer pad(true);
  SeedMousepadRipple(pad.state);
  for (std::size_t led = 0; led < kMousepadLeds; ++led) {
    EXPECT_EQ(pad.Frame(Fields(5, 4, 0)).Led(led).red, 225) << "led " << led;
  }
  // With the seven-colour flag each newly lit element takes the shared hue + 11.
  Pointer hued(true);
  SeedMousepadRipple(hued.state);
  hued.rippleHue = 190;
  const LightFrame f = hued.Frame(Fields(5, 4, 0, 1));
  EXPECT_EQ(hued.rippleHue, 201);
  EXPECT_EQ(f.Led(0), Scale(kWheel[201 - 192], 225));
}

TEST(MousepadEffects, GridRainbowAndWaveSpreadAlongTheColumns) {
  Pointer grid(true);
  const LightFrame g = grid.Frame(Fields(6, 4, 1));
  // Grid column 0 holds LEDs 0..4, column 6 LEDs 10..14.
  EXPECT_EQ(g.Led(4), kWheel[1]);
  EXPECT_EQ(g.Led(5), kWheel[8]);
  EXPECT_EQ(g.Led(10), kWheel[43]);
  Pointer wave(true);
  const LightFrame w = wave.Frame(Fields(0, 4, 0, 0, kWhite));
  EXPECT_EQ(w.Led(0).red, kWave[95]);
  EXPECT_EQ(w.Led(1).red, kWave[(95 + 10) % 96]);
}

TEST(MousepadEffects, SweepGrowsAndShrinksWithAPauseBetween) {
  Pointer p(true);
  auto litColumns = [](const LightFrame& f) {
    int mask = 0;
    for (std::size_t col = 0; col < kPadGridColumns; ++col) {
      if (f.Led(kPadGridColumnLeds[col][0]) != kOff) mask |= 1 << col;
    }
    return mask;
  };
  const LightFrame first = p.Frame(Fields(7));
  EXPECT_EQ(first.length, 0) << "the sweep starts with a pause, no frame";
  EXPECT_EQ(first.pauseAfterMs, 1000u);
  // Phase 1: the lit block enters from the left and leaves on the right.
  const int phase1[] = {0x01, 0x03, 0x07, 0x0F, 0x1F, 0x3F, 0x7E, 0x7C,
                        0x78, 0x70, 0x60, 0x40, 0x00, 0x00};
  for (int expected : phase1) EXPECT_EQ(litColumns(p.Frame(Fields(7))), expected);
  const LightFrame turn = p.Frame(Fields(7));
  EXPECT_EQ(turn.length, 0);
  EXPECT_EQ(turn.pauseAfterMs, 1000u);
  // Phase 0: 15 frames, dark until the block comes back in from the left.
  std::vector<int> phase0;
  for (int frame = 0; frame < 15; ++frame) phase0.push_back(litColumns(p.Frame(Fields(7))));
  EXPECT_EQ(phase0.front(), 0);
  EXPECT_EQ(phase0[8], 0x3F);
  EXPECT_EQ(p.Frame(Fields(7)).length, 0) << "and back to phase 1";
}

}  // namespace
}  // namespace vz::lighting
