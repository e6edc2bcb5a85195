#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "lighting/colour_tables.h"
#include "lighting/keyboard_effects.h"

namespace vz::lighting {
namespace {

constexpr Rgb kWhite{255, 255, 255};

// Drives the keyboard engine frame by frame, as the thread does.
struct Keyboard {
  explicit Keyboard(std::uint8_t m = kColourKeyboard) : model(m) {}
  std::uint8_t model;
  KeyboardEffectState state;
  std::uint8_t syncCounter = 0;

  bool Draw(std::uint8_t mode, std::uint8_t direction = 1, std::uint8_t cycle = 0,
            Rgb colour = kWhite, std::uint8_t brightness = 4) {
    KeyboardInput in;
    in.fields = {mode, brightness, 0, direction, cycle, colour};
    in.model = model;
    in.custom = custom;
    return DrawKeyboard(in, state, syncCounter);
  }
  LightFrame Frame() const { return KeyboardFrame(state, model); }
  std::array<std::uint8_t, kColourFrameSize> custom{};
};

bool HasLed(std::uint8_t model, std::size_t key) {
  return (model == kColourKeyboard ? kColourKeyLed : kSingleKeyLed)[key] != kNoKey;
}

TEST(KeyboardFrameStep, ColourAndLevelFramesOfBothModels) {
  struct Row {
    std::uint8_t model;
    std::uint8_t key;
    std::size_t led;
  };
  const Row rows[] = {{kColourKeyboard, 0, 0},    {kColourKeyboard, 13, 14},
                      {kColourKeyboard, 76, 80},  {kColourKeyboard, 119, 62},
                      {kSingleColourKeyboard, 21, 18}, {kSingleColourKeyboard, 41, 89},
                      {kSingleColourKeyboard, 119, 107}};
  for (const Row& r : rows) {
    KeyboardEffectState s;
    s.table[r.key] = {200, 100, 50, 128};
    const LightFrame f = KeyboardFrame(s, r.model);
    if (r.model == kColourKeyboard) {
      ASSERT_EQ(f.length, 378);
      EXPECT_EQ(f.Led(r.led), (Rgb{100, 50, 25})) << "key " << int(r.key);
    } else {
      ASSERT_EQ(f.length, 126);
      EXPECT_EQ(f.bytes[r.led], 128) << "key " << int(r.key);
    }
    EXPECT_EQ(std::count(f.bytes.begin(), f.bytes.end(), 0), kMaxFrameSize - (r.model ? 1 : 3));
  }
  EXPECT_EQ(KeyboardFrame(KeyboardEffectState{}, 2).length, 0) << "an unknown model sends nothing";
}

TEST(KeyboardFrameStep, KeysWithoutLedNeverReachTheFrame) {
  for (std::uint8_t model : {kColourKeyboard, kSingleColourKeyboard}) {
    KeyboardEffectState s;
    for (std::size_t k = 0; k < kKeyCount; ++k) {
      if (!HasLed(model, k)) s.table[k] = {255, 255, 255, 255};
    }
    const LightFrame f = KeyboardFrame(s, model);
    EXPECT_TRUE(std::all_of(f.bytes.begin(), f.bytes.end(), [](std::uint8_t b) { return b == 0; }))
        << "model " << int(model);
    // And a static frame lights exactly the LEDs of the keys that have one.
    Keyboard kb(model);
    ASSERT_TRUE(kb.Draw(model == kColourKeyboard ? 3 : 2));
    const LightFrame lit = kb.Frame();
    std::size_t litBytes = 0;
    for (std::size_t i = 0; i < lit.length; ++i) litBytes += lit.bytes[i] != 0;
    EXPECT_EQ(litBytes, (model == kColourKeyboard ? 3u : 1u) * kSerpentine.size());
  }
}

TEST(KeyboardModes, UnknownModelOrModeDrawsNothing) {
  struct Row {
    std::uint8_t model, mode;
  };
  const Row rows[] = {{kSingleColourKeyboard, 12}, {kSingleColourKeyboard, 11},
                      {kColourKeyboard, 17},       {2, 0},
                      {255, 3}};
  for (const Row& r : rows) {
    Keyboard kb(r.model);
    kb.state.table[5] = {1, 2, 3, 4};
    EXPECT_FALSE(kb.Draw(r.mode)) << "model " << int(r.model) << " mode " << int(r.mode);
    EXPECT_EQ(kb.state.table[5].level, 4) << "the table is left as it was";
    EXPECT_EQ(kb.state.counter, 0);
  }
}

TEST(KeyboardModes, StaticAndColumnWaveFrames) {
  Keyboard kb;
  ASSERT_TRUE(kb.Draw(3, 1, 0, {255, 0, 128}, 2));
  EXPECT_EQ(kb.Frame().Led(kColourKeyLed[50]), (Rgb{148, 0, 74})) << "colour x level 149";

  // Seven-colour wave: column i shows wheel[p + 7i] at level b; key 105 is in column 0,
  // key 118 in column 22.
  Keyboard wave;
  ASSERT_TRUE(wave.Draw(0, 1, 1));
  EXPECT_EQ(wave.state.table[105].red, kWheel[1].red);
  const KeyEntry last = wave.state.table[118];
  EXPECT_EQ((Rgb{last.red, last.green, last.blue}), kWheel[1 + 7 * 22]);
  EXPECT_EQ(last.level, 255);
  // Fixed colour: the level follows the wave table, 10 entries per column.
  Keyboard level;
  ASSERT_TRUE(level.Draw(0, 0, 0));
  EXPECT_EQ(level.state.table[105].level, (255 * kWave[95]) >> 8);
  EXPECT_EQ(level.state.table[106].level, (255 * kWave[(95 + 10) % 96]) >> 8);

  // The single-colour wave steps 7 entries per column.
  Keyboard single(kSingleColourKeyboard);
  ASSERT_TRUE(single.Draw(0, 1));
  EXPECT_EQ(single.Frame().bytes[kSingleKeyLed[0]], (255 * kWave[1 + 7 * 2]) >> 8);
}

TEST(KeyboardModes, PerKeyCycleSpreadsHuesAndComesRoundIn192Frames) {
  Keyboard kb;
  PrepareKeyboardMode(kb.state, kColourKeyboard, 4);
  const std::uint8_t spread[] = {0, 33, 66, 99, 132, 165, 6, 39};
  for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(kb.state.hue[k], spread[k]) << "key " << k;
  const auto start = kb.state.hue;
  for (int frame = 0; frame < 192; ++frame) ASSERT_TRUE(kb.Draw(4));
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    if (start[k] < 192) {
      EXPECT_EQ(kb.state.hue[k], start[k]) << "key " << k;
    }
  }
  ASSERT_TRUE(kb.Draw(4));
  // The frame step scales by level / 256: magenta-ish (255, 0, 170) at level 255.
  EXPECT_EQ(kb.Frame().Led(kColourKeyLed[5]), (Rgb{254, 0, 169}));
  EXPECT_EQ(kWheel[166], (Rgb{255, 0, 170}));
}

// The column-9 key just lit by the ripple (level 255, then one decay of the rule).
int LitInSpaceColumn(const KeyboardEffectState& s, std::uint8_t litLevel) {
  for (std::uint8_t key : kKeyColumns[9]) {
    if (s.level[key] == litLevel) return key;
  }
  return -1;
}

TEST(KeyboardModes, SpaceRippleRunsUpToTheTopAndBackDown) {
  Keyboard kb;
  PrepareKeyboardMode(kb.state, kColourKeyboard, 5);
  // Column 9 holds keys 6, 29, 50, 71, 92, 109 from the top.
  const int expected[] = {-1, 109, 92, 71, 50, 29, 6, 29, 50, 71, 92, 109, -1, 109};
  for (int key : expected) {
    ASSERT_TRUE(kb.Draw(5));
    EXPECT_EQ(LitInSpaceColumn(kb.state, 215), key);
  }
  // The single-colour ripple shows only the fronts: a key is lit while its cell is set.
  Keyboard single(kSingleColourKeyboard);
  PrepareKeyboardMode(single.state, kSingleColourKeyboard, 3);
  single.Draw(3);
  single.Draw(3);
  EXPECT_EQ(single.state.level[109], 224) << "254 for the front, one decay of 30";
  single.Draw(3);
  EXPECT_EQ(single.state.level[109], 0) << "no trail behind the front";
  EXPECT_EQ(single.state.level[92], 224);
}

TEST(KeyboardModes, CornerRippleCrossesTheKeyboardAndComesBack) {
  Keyboard kb;
  PrepareKeyboardMode(kb.state, kColourKeyboard, 15);
  // Key 21 sits next to the top-left seed, key 118 in the bottom-right corner. The top row
  // front reaches column 22 after 21 frames and turns there; the wave returning to column
  // 1 restarts it, 48 frames after the first start.
  std::vector<int> nearSeed, farCorner;
  for (int frame = 1; frame <= 100; ++frame) {
    ASSERT_TRUE(kb.Draw(15));
    if (kb.state.level[21] == 225) nearSeed.push_back(frame);
    if (kb.state.level[118] == 225) farCorner.push_back(frame);
  }
  EXPECT_EQ(nearSeed, (std::vector<int>{2, 48, 50, 96, 98}));
  EXPECT_EQ(farCorner, (std::vector<int>{24, 26, 72, 74}));
}

TEST(KeyboardModes, RainLightsThreeKeysPerFrame) {
  Keyboard kb;
  ASSERT_TRUE(kb.Draw(9, 1, 1));
  std::vector<int> lit;
  for (std::size_t k = 0; k < kKeyCount; ++k) {
    if (kb.state.level[k] != 0) lit.push_back(static_cast<int>(k));
  }
  std::vector<int> expected = {kSerpentine[kRainOrder[1]], kSerpentine[kRainOrder[2]],
                               kSerpentine[kRainOrder[3]]};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(lit, expected);
  EXPECT_EQ(kb.state.level[expected[0]], 225);
  EXPECT_EQ(kb.state.sharedHue, 30);
  // After 103 the position starts over at 0, the first entry of the order.
  kb.state.rainPosition = 102;
  ASSERT_TRUE(kb.Draw(9, 1, 1));
  EXPECT_EQ(kb.state.rainPosition, 1);
  EXPECT_EQ(kb.state.level[kSerpentine[kRainOrder[0]]], 225);

  // A click lets a drop fall on the key clicked; a position without key does nothing.
  Keyboard clicked;
  StartKeyEffect(clicked.state, 50);
  StartKeyEffect(clicked.state, 126);
  EXPECT_EQ(clicked.state.level[50], 255);
  EXPECT_EQ(clicked.state.hue[50], 10);
  EXPECT_EQ(clicked.state.sharedHue, 10);
}

TEST(KeyboardModes, PulsePreparationsSeedCountersAndHues) {
  Keyboard named;
  PrepareKeyboardMode(named.state, kColourKeyboard, 11);
  EXPECT_EQ(named.state.level[0], 120);  // column 2, row 0
  EXPECT_EQ(named.state.hue[0], 14);
  EXPECT_EQ(named.state.level[10], 192);  // column 13, row 0: one past the table
  ASSERT_TRUE(named.Draw(11, 1, 1));
  EXPECT_EQ(named.state.level[10], 0) << "a counter at 192 starts over instead of reading past";
  EXPECT_EQ(named.state.hue[10], named.state.sharedHue);
  EXPECT_EQ(named.state.level[0], 121);

  // Hues index the eight named colours by sector of 32.
  struct Row {
    std::uint8_t hue;
    Rgb colour;
  };
  const Row rows[] = {{0, {255, 0, 0}}, {31, {255, 0, 0}}, {32, {255, 96, 0}},
                      {154, {0, 255, 255}}, {255, {255, 255, 255}}};
  for (const Row& r : rows) {
    Keyboard kb;
    kb.state.level[51] = 16;  // pulse[17] = 248, at brightness 255: 247
    kb.state.hue[51] = r.hue;
    ASSERT_TRUE(kb.Draw(11, 1, 1));
    const KeyEntry e = kb.state.table[51];
    EXPECT_EQ((Rgb{e.red, e.green, e.blue}), r.colour) << "hue " << int(r.hue);
    EXPECT_EQ(e.level, 247);
  }

  // Diagonal seeds: column i from 192 - 8i, 35 lower per row, 63 more past 191.
  Keyboard diagonal;
  PrepareKeyboardMode(diagonal.state, kColourKeyboard, 16);
  const std::uint8_t column2[] = {141, 106, 71, 36, 1, 159};  // keys 0, 22, 43, 64, 85, 107
  for (std::size_t row = 0; row < kKeyRows; ++row) {
    EXPECT_EQ(diagonal.state.pulse[kKeyColumns[2][row]], column2[row]) << "row " << row;
  }
  EXPECT_EQ(diagonal.state.pulse[105], 175);
  EXPECT_EQ(diagonal.state.hue[118], 7 * 22);

  // The single-colour pulses use mode 16's counters: mode 8 from the start table.
  Keyboard single(kSingleColourKeyboard);
  PrepareKeyboardMode(single.state, kSingleColourKeyboard, 8);
  EXPECT_EQ(single.state.pulse[0], 120);
  EXPECT_EQ(single.state.level[0], 0);
  ASSERT_TRUE(single.Draw(8));
  EXPECT_EQ(single.Frame().bytes[kSingleKeyLed[0]], 0) << "pulse[121] is dark";
}

TEST(KeyboardModes, SnakeWalksThePathOnTheSyncCounter) {
  struct Row {
    std::uint8_t direction, counter;
    int litKey;  // -1: the frame lights nothing
    std::uint8_t counterAfter;
  };
  const Row rows[] = {
      {1, 0, 0, 1},      {1, 105, 105, 106}, {1, 106, -1, 0}, {1, 62, -1, 63},
      {0, 105, 105, 104}, {0, 1, 1, 0},       {0, 0, -1, 105}, {1, 150, -1, 0},
      {0, 150, -1, 105},
  };
  for (const Row& r : rows) {
    Keyboard kb;
    kb.syncCounter = r.counter;
    ASSERT_TRUE(kb.Draw(12, r.direction, 1));
    EXPECT_EQ(kb.syncCounter, r.counterAfter) << "from " << int(r.counter);
    int lit = -1;
    for (std::size_t k = 0; k < kKeyCount; ++k) {
      if (kb.state.level[k] != 0) lit = static_cast<int>(k);
    }
    EXPECT_EQ(lit, r.litKey) << "dir " << int(r.direction) << " from " << int(r.counter);
    if (lit >= 0) {
      EXPECT_EQ(kb.state.level[lit], 224) << "254 less one decay";
      EXPECT_EQ(kb.state.hue[lit], 13);
    }
  }
}

TEST(KeyboardModes, ShowGoesThroughItsStagesAndStartsOver) {
  Keyboard kb;
  std::vector<int> stages;
  for (int frame = 0; frame < 1000 && (stages.size() < 6); ++frame) {
    ASSERT_TRUE(kb.Draw(6, 1, 1));
    if (stages.empty() || stages.back() != kb.state.show.stage) {
      stages.push_back(kb.state.show.stage);
    }
  }
  EXPECT_EQ(stages, (std::vector<int>{0, 1, 2, 3, 4, 0}));
  // Left in the ripple stage with an empty field (another mode's ripple ran it out), the
  // show moves on instead of staying dark for ever.
  Keyboard stuck;
  stuck.state.show = {3, 0};
  ASSERT_TRUE(stuck.Draw(6));
  EXPECT_EQ(stuck.state.show.stage, 4);
  ASSERT_TRUE(stuck.Draw(6));
  EXPECT_EQ(stuck.state.show.stage, 0);
}

TEST(KeyboardModes, CustomLayoutByLedOfEachModel) {
  Keyboard colour;
  colour.custom[3 * 14] = 10;  // key 13 sits on LED 14
  colour.custom[3 * 14 + 1] = 20;
  colour.custom[3 * 14 + 2] = 30;
  ASSERT_TRUE(colour.Draw(8));
  EXPECT_EQ(colour.Frame().Led(14), (Rgb{9, 19, 29}));
  EXPECT_EQ(colour.Frame().Led(13), (Rgb{0, 0, 0}));

  Keyboard single(kSingleColourKeyboard);
  single.custom[18] = 255;  // key 21
  ASSERT_TRUE(single.Draw(6, 1, 0, kWhite, 1));
  EXPECT_EQ(single.Frame().bytes[18], (97 * 255) >> 8);
  EXPECT_EQ(single.Frame().bytes[0], 0);
}

TEST(KeyboardModes, RowRainbowAndDiagonalsMoveTheirHues) {
  Keyboard rows;
  rows.syncCounter = 191;
  ASSERT_TRUE(rows.Draw(10, 1));
  EXPECT_EQ(rows.syncCounter, 0) << "the row rainbow runs on the sync engine's counter";
  EXPECT_EQ(rows.state.table[0].green, kWheel[0].green);  // row 0
  EXPECT_EQ(rows.state.table[105].blue, kWheel[120].blue);  // row 5: 0 + 5 x 24

  Keyboard diag;
  diag.state.diagonalHue = 0;
  ASSERT_TRUE(diag.Draw(13, 0));
  EXPECT_EQ(diag.state.diagonalHue, 192) << "below 0 it becomes 192";
  const KeyEntry centre = diag.state.table[51];
  EXPECT_EQ((Rgb{centre.red, centre.green, centre.blue}), kWheel[21]);
  const KeyEntry corner = diag.state.table[41];  // row 11: 192 + 12 x 21 - 2 x 192
  EXPECT_EQ((Rgb{corner.red, corner.green, corner.blue}), kWheel[60]);
}

TEST(KeyboardPreview, ShowsEachKeyByItsLed) {
  KeyboardEffectState s;
  s.table[13] = {255, 0, 0, 255};
  const auto colour = KeyboardPreview(KeyboardFrame(s, kColourKeyboard), kColourKeyboard);
  EXPECT_EQ(colour[13], (Rgb{254, 0, 0}));
  EXPECT_EQ(colour[14], (Rgb{0, 0, 0}));
  s.table[21] = {0, 0, 0, 90};
  const auto level =
      KeyboardPreview(KeyboardFrame(s, kSingleColourKeyboard), kSingleColourKeyboard);
  EXPECT_EQ(level[21], (Rgb{90, 90, 90}));
}

}  // namespace
}  // namespace vz::lighting
