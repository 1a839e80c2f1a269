// The engine's packed, indexed penalty and mask choice against the literal
// reading in reference_penalty.cpp: small fixtures with known scores, random
// and adversarial matrices, real symbols, and the automatic choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/encoder/codewords.h"
#include "engine/encoder/data_encoding.h"
#include "engine/encoder/masking.h"
#include "engine/encoder/placement.h"
#include "engine/encoder/tables.h"
#include "reference_penalty.h"
#include "symbol_helpers.h"

using namespace tesserine;
using testkit::literalScore;

namespace {

void expectSameScore(const ModuleMatrix& m, const std::string& what) {
  const PenaltyScore fast = scoreParts(m);
  const testkit::LiteralScore literal = literalScore(m);
  EXPECT_EQ(fast.s1, literal.s1) << what << ": S1";
  EXPECT_EQ(fast.s2, literal.s2) << what << ": S2";
  EXPECT_EQ(fast.s3, literal.s3) << what << ": S3";
  EXPECT_EQ(fast.s4, literal.s4) << what << ": S4";
  EXPECT_EQ(scoreSymbol(m), literal.total()) << what;
}

ModuleMatrix blank(int n, uint8_t colour = 0) {
  ModuleMatrix m(n);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      m.module(r, c) = colour;
      m.dataModule(r, c) = 1;
    }
  return m;
}

// The function-module plane of a real symbol of `version`.
void realLayout(ModuleMatrix& m, int version) {
  ModuleMatrix layout(symbolSize(version));
  layFunctionPatterns(layout, version, kLevelL, 0);
  for (int r = 0; r < m.size(); ++r)
    for (int c = 0; c < m.size(); ++c) m.dataModule(r, c) = layout.dataModule(r, c);
}

std::vector<uint16_t> streamOf(const std::string& message, int version, int level) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(message.data());
  const DataMode mode = decideDataMode(bytes, message.size());
  return buildCodewordStream(version, level, buildDataCodewords(bytes, message.size(), mode, version, level));
}

struct Message {
  std::string text;
  int level, version;
};

// A random message of a random mode that needs about `version` at `level`.
Message randomMessageFor(std::mt19937& rng, int version, int level) {
  const DataMode modes[3] = {DataMode::kNumeric, DataMode::kAlphanumeric, DataMode::kByte};
  const DataMode mode = modes[rng() % 3];
  const size_t longest = testkit::maxLength(mode, version, level);
  const size_t shortest = version == 1 ? 1 : testkit::maxLength(mode, version - 1, level) + 1;
  const size_t length = std::uniform_int_distribution<size_t>(shortest, std::max(shortest, longest))(rng);
  Message m{testkit::randomMessage(rng, mode, length), level, 0};
  const auto* bytes = reinterpret_cast<const uint8_t*>(m.text.data());
  m.version = chooseVersion(1, decideDataMode(bytes, m.text.size()), m.text.size(), level);
  return m;
}

}  // namespace

// ---- Fixtures with known scores ---------------------------------------------

TEST(PenaltyFixtures, RunsOfFiveScoreNothingAndLongerRunsLMinus2) {
  // On a checkerboard (no run longer than 3 anywhere) one run of length L in
  // row 10 or column 10, its ends closed by the other colour.
  struct Case {
    int length;
    uint32_t s1;
  };
  for (const Case& c : {Case{5, 0}, Case{6, 4}, Case{7, 5}, Case{8, 6}, Case{12, 10}})
    for (bool vertical : {false, true}) {
      ModuleMatrix m = blank(21);
      for (int r = 0; r < 21; ++r)
        for (int k = 0; k < 21; ++k) m.module(r, k) = (r + k) % 2;
      auto at = [&](int i) -> uint8_t& { return vertical ? m.module(i, 10) : m.module(10, i); };
      for (int i = 3; i < 3 + c.length; ++i) at(i) = 1;
      at(2) = 0;
      at(3 + c.length) = 0;
      EXPECT_EQ(scoreParts(m).s1, c.s1) << "run of " << c.length << (vertical ? " down" : " across");
      EXPECT_EQ(testkit::literalS1(m), c.s1);
    }
  // a whole row of one colour: 21 - 2
  ModuleMatrix m = blank(21);
  for (int r = 0; r < 21; ++r)
    for (int k = 0; k < 21; ++k) m.module(r, k) = r == 4 ? 1 : (r + k) % 2;
  EXPECT_EQ(scoreParts(m).s1, 19u);
  EXPECT_EQ(testkit::literalS1(m), 19u);
}

TEST(PenaltyFixtures, BlocksAreAnchoredOnFunctionModulesOnly) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> dark;     // top-left, bottom-right (inclusive) of dark rectangles
    std::vector<std::pair<int, int>> anchors;  // function modules
    uint32_t s2;
  };
  using P = std::pair<int, int>;
  const Case cases[] = {
      {"2x2 square, no anchor", {P{5, 5}, P{6, 6}}, {}, 0},
      {"2x2 square, anchored top-left", {P{5, 5}, P{6, 6}}, {P{5, 5}}, 3},
      {"2x2 square, anchored bottom-right", {P{5, 5}, P{6, 6}}, {P{6, 6}}, 0},
      {"3x3 block with inner anchors", {P{5, 5}, P{7, 7}}, {P{5, 5}, P{6, 6}, P{6, 5}}, 12},
      {"3x3 block anchored inside only", {P{5, 5}, P{7, 7}}, {P{6, 6}}, 3},
      // rows 5-9 x columns 5-6 and rows 5-6 x columns 5-9: two overlapping
      // blocks from one anchor, each in full
      {"L shape", {P{5, 5}, P{9, 6}, P{5, 5}, P{6, 9}}, {P{5, 5}}, 24},
      // a light anchor at the corner of an all-light field takes it all
      {"light field", {}, {P{0, 0}}, 3 * 20 * 20},
      {"anchor in the last row", {}, {P{20, 3}}, 0},
  };
  for (const Case& c : cases) {
    ModuleMatrix m = blank(21);
    for (size_t i = 0; i + 1 < c.dark.size(); i += 2)
      for (int r = c.dark[i].first; r <= c.dark[i + 1].first; ++r)
        for (int k = c.dark[i].second; k <= c.dark[i + 1].second; ++k) m.module(r, k) = 1;
    for (auto [r, k] : c.anchors) m.dataModule(r, k) = 0;
    EXPECT_EQ(scoreParts(m).s2, c.s2) << c.name;
    EXPECT_EQ(testkit::literalS2(m), c.s2) << c.name;
  }
}

TEST(PenaltyFixtures, FinderLikeSequencesCountEveryOccurrence) {
  struct Case {
    const char* stretch;
    int start;
    uint32_t s3;
  };
  const Case cases[] = {
      {"1011101", 0, 40},           // no light lead-in needed at the edge
      {"1011101", 14, 40},          // nor after it
      {"00001011101", 3, 40},       // the lead-in changes nothing
      {"10111011101", 5, 80},       // two occurrences sharing three modules
      {"1011101011101", 2, 80},     // sharing one module
      {"101110", 15, 0},            // cut off by the edge
      {"1011001", 4, 0},
  };
  for (const Case& c : cases)
    for (bool vertical : {false, true}) {
      ModuleMatrix m = blank(21);
      for (int i = 0; c.stretch[i]; ++i) (vertical ? m.module(c.start + i, 9) : m.module(9, c.start + i)) = c.stretch[i] == '1';
      EXPECT_EQ(scoreParts(m).s3, c.s3) << c.stretch << (vertical ? " down" : " across");
      EXPECT_EQ(testkit::literalS3(m), c.s3) << c.stretch;
    }
  // in a dark field, with light lead-in and lead-out, the seven still count once
  ModuleMatrix m = blank(21, 1);
  const char* stretch = "0000010111010000";
  for (int i = 0; stretch[i]; ++i) m.module(9, 2 + i) = stretch[i] == '1';
  EXPECT_EQ(scoreParts(m).s3, 40u);
  expectSameScore(m, "dark field");
}

TEST(PenaltyFixtures, DarkShareSteps) {
  struct Case {
    int dark;
    uint32_t s4;
  };
  // T = 441: 198 dark is 44.9 %, 199 is 45.1 %; 176 is 39.9 %, 177 40.1 %
  const Case cases[] = {{0, 100},   {176, 30}, {177, 20}, {198, 20}, {199, 10},
                        {220, 10},  {221, 10}, {242, 10}, {243, 20}, {441, 100}};
  for (const Case& c : cases) {
    ModuleMatrix m = blank(21);
    for (int i = 0; i < c.dark; ++i) m.module(i / 21, i % 21) = 1;
    EXPECT_EQ(scoreParts(m).s4, c.s4) << c.dark << " dark";
    EXPECT_EQ(testkit::literalS4(m), c.s4) << c.dark << " dark";
  }
}

// ---- Fast against literal -----------------------------------------------------

TEST(PenaltyAgainstLiteral, RandomModulesAndRandomFunctionPlanes) {
  std::mt19937 rng(2024);
  struct Plan {
    int version;
    double darkShare, functionShare;
  };
  const Plan plans[] = {
      {1, 0.5, 0.5}, {1, 0.5, 1.0}, {1, 0.3, 0.2}, {2, 0.5, 0.5}, {3, 0.7, 0.5},  {4, 0.5, 0.1},
      {5, 0.5, 1.0}, {6, 0.2, 0.4}, {8, 0.5, 0.3}, {10, 0.5, 0.5}, {13, 0.8, 0.2}, {17, 0.5, 0.1},
      {22, 0.5, 0.1}, {31, 0.5, 0.05}, {40, 0.5, 0.05},
  };
  for (int round = 0; round < 2; ++round)
    for (const Plan& p : plans) {
      const int n = symbolSize(p.version);
      std::bernoulli_distribution dark(p.darkShare), function(p.functionShare);
      ModuleMatrix m(n);
      for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
          m.module(r, c) = dark(rng);
          m.dataModule(r, c) = !function(rng);
        }
      expectSameScore(m, "random v" + std::to_string(p.version));
      if (HasFailure()) return;
    }
}

TEST(PenaltyAgainstLiteral, RealSymbolsOfManyVersions) {
  std::mt19937 rng(99);
  const int versions[] = {1, 1, 2, 3, 4, 5, 6, 7, 9, 11, 14, 18, 21, 26, 33, 40};
  for (int v : versions) {
    const Message msg = randomMessageFor(rng, v, static_cast<int>(rng() % 4));
    const std::vector<uint16_t> stream = streamOf(msg.text, msg.version, msg.level);
    const int mask = static_cast<int>(rng() % 8);
    expectSameScore(testkit::buildWithMask(msg.version, msg.level, mask, stream),
                    "symbol v" + std::to_string(msg.version) + " mask " + std::to_string(mask));
    if (HasFailure()) return;
  }
}

TEST(PenaltyAgainstLiteral, AdversarialMatrices) {
  struct Pattern {
    const char* name;
    uint8_t (*at)(int r, int c);
  };
  const Pattern patterns[] = {
      {"all light", [](int, int) -> uint8_t { return 0; }},
      {"all dark", [](int, int) -> uint8_t { return 1; }},
      {"rows striped", [](int r, int) -> uint8_t { return r % 2; }},
      {"columns striped", [](int, int c) -> uint8_t { return c % 2; }},
      {"wide stripes", [](int r, int) -> uint8_t { return (r / 3) % 2; }},
      {"diagonal stripes", [](int r, int c) -> uint8_t { return ((r + c) / 2) % 2; }},
      {"checkerboard", [](int r, int c) -> uint8_t { return (r + c) % 2; }},
      {"2x2 checkerboard", [](int r, int c) -> uint8_t { return (r / 2 + c / 2) % 2; }},
      {"5x5 checkerboard", [](int r, int c) -> uint8_t { return (r / 5 + c / 5) % 2; }},
      {"7x4 checkerboard", [](int r, int c) -> uint8_t { return (r / 7 + c / 4) % 2; }},
      {"finder rows", [](int, int c) -> uint8_t { return "1011101"[c % 7] == '1'; }},
      {"staircase", [](int r, int c) -> uint8_t { return c >= r; }},
      {"nested squares", [](int r, int c) -> uint8_t { return (std::max(std::abs(r - 12), std::abs(c - 12)) / 2) % 2; }},
  };
  // real function layouts and all-function planes; uniform fields make the
  // literal S2 cubic per anchor, so keep these to small symbols
  for (int v : {1, 2, 4}) {
    const int n = symbolSize(v);
    for (const Pattern& p : patterns)
      for (int plane = 0; plane < 3; ++plane) {
        ModuleMatrix m(n);
        for (int r = 0; r < n; ++r)
          for (int c = 0; c < n; ++c) {
            m.module(r, c) = p.at(r, c);
            m.dataModule(r, c) = plane == 1 ? 0 : plane == 2 ? (r * 5 + c * 3) % 7 != 0 : 1;
          }
        if (plane == 0) realLayout(m, v);
        expectSameScore(m, std::string(p.name) + " v" + std::to_string(v) + " plane " + std::to_string(plane));
      }
  }
  // real symbols whose data modules are all light, or all dark, with real
  // function patterns, up to version 10
  for (int v : {1, 3, 7, 10})
    for (int fill : {0, 1})
      for (int mask : {-1, 3}) {
        ModuleMatrix m(symbolSize(v));
        layFunctionPatterns(m, v, kLevelM, mask < 0 ? 0 : mask);
        for (int r = 0; r < m.size(); ++r)
          for (int c = 0; c < m.size(); ++c)
            if (m.dataModule(r, c)) m.module(r, c) = static_cast<uint8_t>(fill);
        if (mask >= 0) applyMask(m, mask);
        expectSameScore(m, "uniform data v" + std::to_string(v) + " fill " + std::to_string(fill));
      }
  // big uniform blocks of random colours over a real layout
  std::mt19937 rng(5);
  for (auto [v, side] : {std::pair{2, 9}, {5, 12}, {9, 7}, {12, 6}, {25, 4}, {40, 3}}) {
    ModuleMatrix m(symbolSize(v));
    realLayout(m, v);
    const int cells = (m.size() + side - 1) / side;
    std::vector<uint8_t> colour(cells * cells);
    for (auto& x : colour) x = rng() % 2;
    for (int r = 0; r < m.size(); ++r)
      for (int c = 0; c < m.size(); ++c) m.module(r, c) = colour[(r / side) * cells + c / side];
    expectSameScore(m, "blocks of " + std::to_string(side) + " v" + std::to_string(v));
  }
}

// ---- The automatic choice ------------------------------------------------------

TEST(MaskChoice, AutomaticChoiceEqualsTheLiteralLowestScore) {
  std::mt19937 rng(31337);
  std::vector<std::pair<int, int>> plan;  // version, level
  for (int i = 0; i < 64; ++i) plan.push_back({1 + static_cast<int>(rng() % 10), static_cast<int>(rng() % 4)});
  for (int i = 0; i < 12; ++i) plan.push_back({11 + static_cast<int>(rng() % 15), static_cast<int>(rng() % 4)});
  for (int v : {30, 36, 40}) plan.push_back({v, static_cast<int>(rng() % 4)});
  for (auto [v, l] : plan) {
    const Message msg = randomMessageFor(rng, v, l);
    SCOPED_TRACE(testing::Message() << "version " << msg.version << " level " << msg.level << " length "
                                    << msg.text.size());
    const std::vector<uint16_t> stream = streamOf(msg.text, msg.version, msg.level);
    const testkit::LiteralChoice literal = testkit::literalChooseMask(msg.version, msg.level, stream);
    ModuleMatrix m(symbolSize(msg.version));
    std::array<uint32_t, 8> scores{};
    const int mask = chooseMask(m, msg.version, msg.level, 0, stream, &scores);
    EXPECT_EQ(scores, literal.scores);
    EXPECT_EQ(mask, literal.mask);
    EXPECT_EQ(testkit::rowsOf(m), testkit::rowsOf(literal.matrix));
    // the full driver leaves the same symbol
    testkit::EncodedSymbol s;
    ASSERT_TRUE(testkit::encode(msg.text, 0, msg.level, 0, s));
    EXPECT_EQ(s.maskInUse, literal.mask);
    EXPECT_EQ(testkit::rowsOf(s.matrix), testkit::rowsOf(literal.matrix));
    if (HasFailure()) return;
  }
}

TEST(MaskChoice, FormatInformationNamesTheChosenPattern) {
  std::mt19937 rng(4711);
  const int levelIndicator[4] = {1, 0, 3, 2};
  for (int i = 0; i < 60; ++i) {
    const int l = static_cast<int>(rng() % 4);
    const Message msg = randomMessageFor(rng, 1 + static_cast<int>(rng() % 12), l);
    testkit::EncodedSymbol s;
    ASSERT_TRUE(testkit::encode(msg.text, 0, l, 0, s));
    const ModuleMatrix& m = s.matrix;
    const int n = m.size();
    // first copy F0..F4 at row 8, columns 0 to 4; second copy at column 8,
    // rows N-1 up to N-5; unmasked with 10101
    int first = 0, second = 0;
    for (int k = 0; k < 5; ++k) {
      first = first << 1 | m.module(8, k);
      second = second << 1 | m.module(n - 1 - k, 8);
    }
    first ^= 0b10101;
    second ^= 0b10101;
    EXPECT_EQ(first & 7, s.maskInUse) << msg.text;
    EXPECT_EQ(second & 7, s.maskInUse) << msg.text;
    EXPECT_EQ(first >> 3, levelIndicator[l]);
    // and the symbol left behind scores what the choice recorded for it
    std::array<uint32_t, 8> scores{};
    ModuleMatrix again(n);
    chooseMask(again, s.version, l, 0, s.codewordStream, &scores);
    EXPECT_EQ(scoreSymbol(m), scores[s.maskInUse]);
    for (int k = 0; k < 8; ++k) EXPECT_GE(scores[k], scores[s.maskInUse]);
  }
}

TEST(MaskChoice, EqualLowestScoresGoToTheLowerPattern) {
  // Messages whose lowest score is shared by two or three patterns.
  struct Case {
    const char* text;
    int level, tiedLow, tiedHigh;
  };
  const Case cases[] = {
      {"6X", kLevelM, 3, 7},
      {"7SQR5L2VXS0", kLevelL, 0, 4},  // 0, 1 and 4 tie
      {"9INHZ8478PZ", kLevelH, 4, 5},
      {"4RK66", kLevelM, 4, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    testkit::EncodedSymbol s;
    ASSERT_TRUE(testkit::encode(c.text, 0, c.level, 0, s));
    const testkit::LiteralChoice literal = testkit::literalChooseMask(s.version, c.level, s.codewordStream);
    EXPECT_EQ(literal.scores[c.tiedLow], literal.scores[c.tiedHigh]);
    EXPECT_EQ(*std::min_element(literal.scores.begin(), literal.scores.end()), literal.scores[c.tiedLow]);
    EXPECT_EQ(literal.mask, c.tiedLow);
    EXPECT_EQ(s.maskInUse, c.tiedLow);
    EXPECT_EQ(testkit::rowsOf(s.matrix), testkit::rowsOf(literal.matrix));
  }
}
