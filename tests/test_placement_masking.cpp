// Data placement, the mask patterns, and the worked symbols with their
// penalty tables.
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

namespace {

struct Cell {
  int r, c;
  bool operator==(const Cell& o) const { return r == o.r && c == o.c; }
};

// The data modules in placement order, by the cursor rules: start at the
// bottom-right module moving up on the right-hand column of a strip; from
// the right-hand column step left; from the left-hand column step right and
// one row on, except at the end of a strip (row 0 going up, row N-1 going
// down: one column left, turn) and at row 9, column 7 going up (to column 5,
// turn), so column 6 is never visited.
std::vector<Cell> placementOrder(const ModuleMatrix& m) {
  const int n = m.size();
  std::vector<Cell> order;
  int r = n - 1, c = n - 1;
  bool up = true, rightHand = true;
  while (c >= 0) {
    if (m.dataModule(r, c)) order.push_back({r, c});
    if (!rightHand && up && r == 0) {
      c -= 1, up = false, rightHand = true;
    } else if (!rightHand && !up && r == n - 1) {
      c -= 1, up = true, rightHand = true;
    } else if (!rightHand && up && r == 9 && c == 7) {
      c = 5, up = false, rightHand = true;
    } else if (rightHand) {
      c -= 1, rightHand = false;
    } else {
      c += 1, r += up ? -1 : 1, rightHand = true;
    }
  }
  return order;
}

// Mask conditions of the standard, i row and j column.
bool maskSelects(int mask, int i, int j) {
  switch (mask) {
    case 0: return (i + j) % 2 == 0;
    case 1: return i % 2 == 0;
    case 2: return j % 3 == 0;
    case 3: return (i + j) % 3 == 0;
    case 4: return (i / 2 + j / 3) % 2 == 0;
    case 5: return (i * j) % 2 + (i * j) % 3 == 0;
    case 6: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
  }
}

std::vector<uint16_t> streamOf(const std::string& message, int version, int level) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(message.data());
  const DataMode mode = decideDataMode(bytes, message.size());
  return buildCodewordStream(version, level, buildDataCodewords(bytes, message.size(), mode, version, level));
}

ModuleMatrix laidOut(int version) {
  ModuleMatrix m(symbolSize(version));
  layFunctionPatterns(m, version, kLevelL, 0);
  return m;
}

const std::vector<std::string> kGolden01234567 = {
    "111111100101101111111", "100000100111101000001", "101110101000001011101", "101110101100001011101",
    "101110101011101011101", "100000101000101000001", "111111101010101111111", "000000001001100000000",
    "101111100100101111100", "000101011010100101100", "001000110101010011111", "000010000100000111100",
    "000111111001010010000", "000000001011111001100", "111111100110101100000", "100000101011111000101",
    "101110101000100101100", "101110101100100100000", "101110101011010010100", "100000100000000110110",
    "111111101111010010100",
};

}  // namespace

TEST(Placement, FollowsTheZigZagOrderInEveryVersion) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int v = 1; v <= 40; ++v) {
    SCOPED_TRACE(v);
    ModuleMatrix m = laidOut(v);
    const std::vector<Cell> order = placementOrder(m);
    int dataModules = 0;
    for (int r = 0; r < m.size(); ++r)
      for (int c = 0; c < m.size(); ++c) dataModules += m.dataModule(r, c);
    ASSERT_EQ(static_cast<int>(order.size()), dataModules);  // each visited once
    for (const Cell& cell : order) ASSERT_NE(cell.c, 6);
    std::vector<uint16_t> stream(totalCodewords(v));
    for (auto& w : stream) w = static_cast<uint16_t>(byte(rng) | 0x5A00);  // high bits must be ignored
    const ModuleMatrix before = m;
    placeCodewords(m, stream.data(), stream.size());
    for (size_t i = 0; i < order.size(); ++i) {
      const int expected = i < 8 * stream.size() ? (stream[i / 8] >> (7 - i % 8)) & 1 : 0;  // remainder stays 0
      ASSERT_EQ(m.module(order[i].r, order[i].c), expected) << "bit " << i;
    }
    // function modules untouched
    for (int r = 0; r < m.size(); ++r)
      for (int c = 0; c < m.size(); ++c)
        if (!m.dataModule(r, c)) {
          ASSERT_EQ(m.module(r, c), before.module(r, c));
        }
  }
}

TEST(Placement, FirstBitsAndTheStripBesideTheTimingColumn) {
  const ModuleMatrix v1 = laidOut(1);
  const std::vector<Cell> order = placementOrder(v1);
  EXPECT_EQ(order[0], (Cell{20, 20}));
  EXPECT_EQ(order[1], (Cell{20, 19}));
  EXPECT_EQ(order[2], (Cell{19, 20}));
  // columns 8 and 7 hold data in rows 9 to 12 only; after row 9, column 7
  // comes row 9, column 5
  std::vector<Cell> strip;
  for (int r = 0; r < 21; ++r)
    for (int c : {7, 8})
      if (v1.dataModule(r, c)) strip.push_back({r, c});
  ASSERT_EQ(strip.size(), 8u);
  for (const Cell& cell : strip) EXPECT_TRUE(cell.r >= 9 && cell.r <= 12);
  const auto at = std::find(order.begin(), order.end(), Cell{9, 7});
  ASSERT_NE(at, order.end());
  EXPECT_EQ(*(at + 1), (Cell{9, 5}));

  // one set bit shows where it lands
  ModuleMatrix m = laidOut(1);
  std::vector<uint16_t> stream(26, 0);
  stream[0] = 0x20;  // bit 5 of the first codeword: the third bit placed
  placeCodewords(m, stream.data(), stream.size());
  EXPECT_EQ(m.module(19, 20), 1);
  EXPECT_EQ(m.module(20, 20), 0);
}

TEST(Placement, RemainderBitsOfVersion2AreLightThenMasked) {
  ModuleMatrix m = laidOut(2);
  const std::vector<uint16_t> ones(totalCodewords(2), 0xFF);
  placeCodewords(m, ones.data(), ones.size());
  std::vector<Cell> light;
  for (int r = 0; r < 25; ++r)
    for (int c = 0; c < 25; ++c)
      if (m.dataModule(r, c) && !m.module(r, c)) light.push_back({r, c});
  ASSERT_EQ(light.size(), 7u);
  const std::vector<Cell> order = placementOrder(m);
  // they are the last seven modules of the placement order
  std::vector<Cell> last(order.end() - 7, order.end());
  auto rowMajor = [](Cell a, Cell b) { return a.r != b.r ? a.r < b.r : a.c < b.c; };
  std::sort(last.begin(), last.end(), rowMajor);
  EXPECT_EQ(light, last);
  for (int mask = 0; mask < 8; ++mask) {
    ModuleMatrix masked = m;
    applyMask(masked, mask);
    for (size_t i = order.size() - 7; i < order.size(); ++i)
      EXPECT_EQ(masked.module(order[i].r, order[i].c), maskSelects(mask, order[i].r, order[i].c));
  }
}

TEST(Masking, InvertsExactlyTheSelectedDataModules) {
  std::mt19937 rng(8);
  std::bernoulli_distribution coin(0.5);
  for (int v : {1, 3, 40}) {
    const int n = symbolSize(v);
    ModuleMatrix m(n);
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) {
        m.module(r, c) = coin(rng);
        m.dataModule(r, c) = coin(rng);
      }
    for (int mask = 0; mask < 8; ++mask) {
      ModuleMatrix masked = m;
      applyMask(masked, mask);
      for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
          const bool flip = m.dataModule(r, c) && maskSelects(mask, r, c);
          ASSERT_EQ(masked.module(r, c), m.module(r, c) ^ flip) << "mask " << mask << " at " << r << "," << c;
          ASSERT_EQ(masked.dataModule(r, c), m.dataModule(r, c));
        }
    }
  }
}

TEST(WorkedSymbol, Digits01234567AtMChoosePattern2) {
  testkit::EncodedSymbol s;
  ASSERT_TRUE(testkit::encode("01234567", 0, kLevelM, 0, s));
  EXPECT_EQ(s.version, 1);
  EXPECT_EQ(s.maskInUse, 2);
  EXPECT_EQ(testkit::rowsOf(s.matrix), kGolden01234567);
}

TEST(WorkedSymbol, PenaltyTablesOfTheTwoWorkedExamples) {
  // 01234567 at 1-M: S1, S2, S3, S4 of each masked symbol
  const uint32_t table[8][4] = {
      {110, 63, 1040, 10}, {129, 84, 960, 10}, {128, 54, 760, 10}, {127, 42, 800, 10},
      {130, 99, 800, 10},  {145, 105, 840, 10}, {131, 54, 880, 10}, {122, 78, 760, 10},
  };
  const std::vector<uint16_t> digits = streamOf("01234567", 1, kLevelM);
  std::array<uint32_t, 8> scores{};
  ModuleMatrix chosen(21);
  EXPECT_EQ(chooseMask(chosen, 1, kLevelM, 0, digits, &scores), 2);
  for (int mask = 0; mask < 8; ++mask) {
    SCOPED_TRACE(mask);
    const ModuleMatrix m = testkit::buildWithMask(1, kLevelM, mask, digits);
    const PenaltyScore fast = scoreParts(m);
    const testkit::LiteralScore literal = testkit::literalScore(m);
    EXPECT_EQ(fast.s1, table[mask][0]);
    EXPECT_EQ(fast.s2, table[mask][1]);
    EXPECT_EQ(fast.s3, table[mask][2]);
    EXPECT_EQ(fast.s4, table[mask][3]);
    EXPECT_EQ(literal.s1, table[mask][0]);
    EXPECT_EQ(literal.s2, table[mask][1]);
    EXPECT_EQ(literal.s3, table[mask][2]);
    EXPECT_EQ(literal.s4, table[mask][3]);
    EXPECT_EQ(scores[mask], table[mask][0] + table[mask][1] + table[mask][2] + table[mask][3]);
  }
  EXPECT_EQ(testkit::rowsOf(chosen), kGolden01234567);

  // HELLO WORLD at 1-Q: totals only
  const uint32_t hello[8] = {1129, 1074, 1015, 1094, 1036, 1053, 1133, 1027};
  const std::vector<uint16_t> words = streamOf("HELLO WORLD", 1, kLevelQ);
  ModuleMatrix m(21);
  EXPECT_EQ(chooseMask(m, 1, kLevelQ, 0, words, &scores), 2);
  for (int mask = 0; mask < 8; ++mask) {
    EXPECT_EQ(scores[mask], hello[mask]) << mask;
    EXPECT_EQ(scoreSymbol(testkit::buildWithMask(1, kLevelQ, mask, words)), hello[mask]) << mask;
  }
}

TEST(WorkedSymbol, FixedMaskSettingUsesItsPatternWithoutScoring) {
  // maskSetting 5 is pattern 4; at level L the format reads 110011000101111.
  testkit::EncodedSymbol s;
  ASSERT_TRUE(testkit::encode("12", 0, kLevelL, 5, s));
  EXPECT_EQ(s.maskInUse, 4);
  const char* format = "110011000101111";
  for (int i = 0; i < 15; ++i) {
    const int bit = format[i] == '1';
    const int n = s.size();
    const int r = i <= 5 ? 8 : i == 6 ? 8 : i == 7 ? 8 : i == 8 ? 7 : 14 - i;
    const int c = i <= 5 ? i : i == 6 ? 7 : i == 7 ? 8 : 8;
    EXPECT_EQ(s.matrix.module(r, c), bit) << "first copy F" << i;
    if (i <= 6) EXPECT_EQ(s.matrix.module(n - 1 - i, 8), bit) << "second copy F" << i;
    else EXPECT_EQ(s.matrix.module(8, n - 15 + i), bit) << "second copy F" << i;
  }
  // each fixed setting equals the three stages with that pattern
  const std::vector<uint16_t> stream = streamOf("12", 1, kLevelL);
  for (int setting = 1; setting <= 8; ++setting) {
    ModuleMatrix m(21);
    EXPECT_EQ(chooseMask(m, 1, kLevelL, setting, stream), setting - 1);
    EXPECT_EQ(testkit::rowsOf(m), testkit::rowsOf(testkit::buildWithMask(1, kLevelL, setting - 1, stream)));
  }
}
