// Function patterns, format information and version information.
#include <gtest/gtest.h>

#include <string>

#include "engine/encoder/function_patterns.h"
#include "engine/encoder/tables.h"

using namespace tesserine;

namespace {

// Remainder of `value` (degree below `bits` + degree of the generator) over GF(2).
uint32_t gf2Remainder(uint32_t value, uint32_t generator) {
  const int gdeg = 31 - __builtin_clz(generator);
  for (int bit = 31; bit >= gdeg; --bit)
    if (value & (1u << bit)) value ^= generator << (bit - gdeg);
  return value;
}

// The standard's format information: 5 data bits (level indicator, mask),
// BCH (15,5) remainder, XOR 101010000010010.
uint16_t independentFormat(int level, int mask) {
  const int indicator[4] = {1, 0, 3, 2};  // L 01, M 00, Q 11, H 10
  const uint32_t data = static_cast<uint32_t>(indicator[level] << 3 | mask);
  const uint32_t code = data << 10 | gf2Remainder(data << 10, 0x537);  // x^10+x^8+x^5+x^4+x^2+x+1
  return static_cast<uint16_t>(code ^ 0x5412);
}

uint32_t independentVersionInfo(int version) {
  const uint32_t data = static_cast<uint32_t>(version);
  return data << 12 | gf2Remainder(data << 12, 0x1F25);  // x^12+x^11+x^10+x^9+x^8+x^5+x^2+1
}

uint32_t bitsOf(const char* s) {
  uint32_t v = 0;
  for (; *s; ++s) v = v << 1 | (*s == '1');
  return v;
}

ModuleMatrix laid(int version, int level = 0, int mask = 0) {
  ModuleMatrix m(symbolSize(version));
  layFunctionPatterns(m, version, level, mask);
  return m;
}

int countData(const ModuleMatrix& m) {
  int count = 0;
  for (int r = 0; r < m.size(); ++r)
    for (int c = 0; c < m.size(); ++c) count += m.dataModule(r, c);
  return count;
}

// F0..F14 read back from each copy of the format information.
uint16_t firstCopy(const ModuleMatrix& m) {
  uint16_t f = 0;
  auto put = [&f](int i, int bit) { f = static_cast<uint16_t>(f | bit << (14 - i)); };
  for (int i = 0; i <= 5; ++i) put(i, m.module(8, i));
  put(6, m.module(8, 7));
  put(7, m.module(8, 8));
  put(8, m.module(7, 8));
  for (int i = 9; i <= 14; ++i) put(i, m.module(14 - i, 8));
  return f;
}

uint16_t secondCopy(const ModuleMatrix& m) {
  const int n = m.size();
  uint16_t f = 0;
  auto put = [&f](int i, int bit) { f = static_cast<uint16_t>(f | bit << (14 - i)); };
  for (int i = 0; i <= 6; ++i) put(i, m.module(n - 1 - i, 8));
  for (int i = 7; i <= 14; ++i) put(i, m.module(8, n - 15 + i));
  return f;
}

}  // namespace

TEST(FormatInformation, All32CombinationsEqualTheBchCode) {
  for (int level = 0; level < 4; ++level)
    for (int mask = 0; mask < 8; ++mask)
      EXPECT_EQ(formatBits(level, mask), independentFormat(level, mask)) << "level " << level << " mask " << mask;
  struct Example {
    int level, mask;
    const char* bits;
  };
  const Example examples[] = {
      {kLevelL, 0, "111011111000100"}, {kLevelM, 0, "101010000010010"}, {kLevelQ, 0, "011010101011111"},
      {kLevelH, 0, "001011010001001"}, {kLevelL, 4, "110011000101111"}, {kLevelH, 7, "000100000111011"},
  };
  for (const Example& e : examples) EXPECT_EQ(formatBits(e.level, e.mask), bitsOf(e.bits)) << e.bits;
}

TEST(FormatInformation, BothCopiesAndTheDarkModuleInEveryCombination) {
  for (int version : {1, 7, 40}) {
    const int n = symbolSize(version);
    for (int level = 0; level < 4; ++level)
      for (int mask = 0; mask < 8; ++mask) {
        const ModuleMatrix m = laid(version, level, mask);
        SCOPED_TRACE(testing::Message() << "version " << version << " level " << level << " mask " << mask);
        EXPECT_EQ(firstCopy(m), independentFormat(level, mask));
        EXPECT_EQ(secondCopy(m), independentFormat(level, mask));
        EXPECT_EQ(m.module(n - 8, 8), 1);
        // timing modules inside the first copy's area stay dark
        EXPECT_EQ(m.module(8, 6), 1);
        EXPECT_EQ(m.module(6, 8), 1);
      }
  }
}

TEST(VersionInformation, Versions7To40EqualTheBchCodeAndArePlacedTwice) {
  for (int v = 7; v <= 40; ++v) {
    SCOPED_TRACE(v);
    const uint32_t code = independentVersionInfo(v);
    EXPECT_EQ(versionInformation(v), code);
    const ModuleMatrix m = laid(v);
    const int n = m.size();
    for (int k = 0; k < 18; ++k) {
      const int bit = (code >> k) & 1;
      EXPECT_EQ(m.module(k / 3, n - 11 + k % 3), bit) << "above-right block, bit " << k;
      EXPECT_EQ(m.module(n - 11 + k % 3, k / 3), bit) << "lower-left block, bit " << k;
      EXPECT_EQ(m.dataModule(k / 3, n - 11 + k % 3), 0);
      EXPECT_EQ(m.dataModule(n - 11 + k % 3, k / 3), 0);
    }
  }
  EXPECT_EQ(versionInformation(7), bitsOf("000111110010010100"));
  EXPECT_EQ(versionInformation(8), 0x085BCu);
  EXPECT_EQ(versionInformation(27), bitsOf("011011000010001110"));
  EXPECT_EQ(versionInformation(40), 0x28C69u);
  // version 7: bit 0 (a 0) at row 0, column 34 and row 34, column 0
  const ModuleMatrix v7 = laid(7);
  EXPECT_EQ(v7.module(0, 34), 0);
  EXPECT_EQ(v7.module(34, 0), 0);
  EXPECT_EQ(v7.module(0, 35), 0);  // bit 1
  EXPECT_EQ(v7.module(0, 36), 1);  // bit 2
  EXPECT_EQ(v7.module(36, 0), 1);
}

TEST(FunctionPatterns, DataModuleCounts) {
  const ModuleMatrix v1 = laid(1);
  EXPECT_EQ(441 - countData(v1), 233);
  EXPECT_EQ(countData(v1), 208);
  EXPECT_EQ(countData(laid(2)), 359);
  EXPECT_EQ(countData(laid(7)), 1568);
  EXPECT_EQ(countData(laid(40)), 29648);
  // every version: the codewords fit and the remainder bits are 0, 3, 4 or 7
  for (int v = 1; v <= 40; ++v) {
    const int remainder = countData(laid(v)) - 8 * totalCodewords(v);
    const int expected = (v >= 2 && v <= 6) ? 7 : ((v >= 14 && v <= 20) || (v >= 28 && v <= 34)) ? 3
                         : (v >= 21 && v <= 27) ? 4 : 0;
    EXPECT_EQ(remainder, expected) << "version " << v;
  }
}

TEST(FunctionPatterns, AlignmentPositions) {
  struct Row {
    int version, count;
    std::vector<int> coordinates;
  };
  const Row rows[] = {
      {1, 0, {}},
      {2, 1, {6, 18}},
      {6, 1, {6, 34}},
      {7, 6, {6, 22, 38}},
      {14, 13, {6, 26, 46, 66}},
      {32, 33, {6, 34, 60, 86, 112, 138}},
      {36, 46, {6, 24, 50, 76, 102, 128, 154}},
      {40, 46, {6, 30, 58, 86, 114, 142, 170}},
  };
  for (const Row& r : rows) {
    const AlignmentRow& a = alignmentPositions(r.version);
    EXPECT_EQ(a.count, r.count) << r.version;
    EXPECT_EQ(alignmentCoordinateCount(r.version), r.version == 1 ? 1 : static_cast<int>(r.coordinates.size()));
    for (size_t i = 0; i < r.coordinates.size(); ++i) EXPECT_EQ(a.coordinates[i], r.coordinates[i]) << r.version;
  }
  for (int v = 1; v <= 40; ++v) {
    SCOPED_TRACE(v);
    const AlignmentRow& a = alignmentPositions(v);
    const int band = v == 1 ? 0 : v <= 6 ? 1 : v <= 13 ? 6 : v <= 20 ? 13 : v <= 27 ? 22 : v <= 34 ? 33 : 46;
    EXPECT_EQ(a.count, band);
    if (v == 1) continue;
    const int k = alignmentCoordinateCount(v);
    EXPECT_EQ(a.count, k * k - 3);
    EXPECT_EQ(k, v / 7 + 2);
    EXPECT_EQ(a.coordinates[0], 6);
    EXPECT_EQ(a.coordinates[k - 1], symbolSize(v) - 7);  // the last lines up with the finder centres
    for (int i = 1; i < k; ++i) EXPECT_GT(a.coordinates[i], a.coordinates[i - 1]);
    for (int i = k; i < 7; ++i) EXPECT_EQ(a.coordinates[i], 0);
  }
}

TEST(FunctionPatterns, AlignmentPatternsSitOnTheirCentres) {
  auto expectPatternAt = [](const ModuleMatrix& m, int r, int c) {
    for (int dr = -2; dr <= 2; ++dr)
      for (int dc = -2; dc <= 2; ++dc) {
        const int ring = std::max(std::abs(dr), std::abs(dc));
        EXPECT_EQ(m.module(r + dr, c + dc), ring != 1) << "centre " << r << "," << c;
        EXPECT_EQ(m.dataModule(r + dr, c + dc), 0);
      }
  };
  expectPatternAt(laid(2), 18, 18);
  const ModuleMatrix v7 = laid(7);
  for (auto [r, c] : {std::pair{6, 22}, {22, 6}, {22, 22}, {22, 38}, {38, 22}, {38, 38}}) expectPatternAt(v7, r, c);
  // none over the finder patterns (the finder check below would see it)
  // every centre of version 40 except the three corners
  const ModuleMatrix v40 = laid(40);
  const AlignmentRow& a = alignmentPositions(40);
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j) {
      if ((i == 0 && j == 0) || (i == 0 && j == 6) || (i == 6 && j == 0)) continue;
      expectPatternAt(v40, a.coordinates[i], a.coordinates[j]);
    }
}

TEST(FunctionPatterns, FindersSeparatorsAndTiming) {
  for (int v : {1, 2, 7, 21, 40}) {
    SCOPED_TRACE(v);
    const ModuleMatrix m = laid(v);
    const int n = m.size();
    for (auto [top, left] : {std::pair{0, 0}, {0, n - 7}, {n - 7, 0}})
      for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
          const int ring = std::max(std::abs(r - 3), std::abs(c - 3));
          EXPECT_EQ(m.module(top + r, left + c), ring != 2) << top + r << "," << left + c;
        }
    // separators: row 7 and column 7 of the top-left corner, and the others
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(m.module(7, i), 0);
      EXPECT_EQ(m.module(i, 7), 0);
      EXPECT_EQ(m.module(7, n - 1 - i), 0);
      EXPECT_EQ(m.module(i, n - 8), 0);
      EXPECT_EQ(m.module(n - 8, i), 0);
      EXPECT_EQ(m.module(n - 1 - i, 7), 0);
    }
    // 8 x 8 corners are function modules
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(m.dataModule(r, c), 0);
        EXPECT_EQ(m.dataModule(n - 1 - r, c), 0);
        EXPECT_EQ(m.dataModule(r, n - 1 - c), 0);
      }
    // timing: dark on even indexes, from 8 to N - 9, starting and ending dark
    for (int k = 8; k <= n - 9; ++k) {
      EXPECT_EQ(m.module(6, k), k % 2 == 0) << k;
      EXPECT_EQ(m.module(k, 6), k % 2 == 0) << k;
      EXPECT_EQ(m.dataModule(6, k), 0);
      EXPECT_EQ(m.dataModule(k, 6), 0);
    }
    EXPECT_EQ(m.module(6, n - 9), 1);
    EXPECT_EQ(m.module(n - 9, 6), 1);
    // both planes hold 0 and 1 only
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) {
        ASSERT_LE(m.module(r, c), 1);
        ASSERT_LE(m.dataModule(r, c), 1);
      }
  }
}

TEST(FunctionPatterns, EveryRunRewritesTheWholeMatrix) {
  // A matrix dirtied by an earlier build (or garbage) gives the same planes
  // as a fresh one: the clear touches every module of both planes.
  for (int v : {1, 8, 40}) {
    const ModuleMatrix fresh = laid(v, kLevelQ, 5);
    ModuleMatrix dirty(symbolSize(v));
    for (int r = 0; r < dirty.size(); ++r)
      for (int c = 0; c < dirty.size(); ++c) {
        dirty.module(r, c) = (r * 7 + c * 3) % 2;
        dirty.dataModule(r, c) = (r + c) % 3 == 0;
      }
    layFunctionPatterns(dirty, v, kLevelQ, 5);
    EXPECT_TRUE(std::equal(fresh.modules(), fresh.modules() + fresh.size() * fresh.size(), dirty.modules())) << v;
    EXPECT_TRUE(std::equal(fresh.dataModules(), fresh.dataModules() + fresh.size() * fresh.size(),
                           dirty.dataModules()))
        << v;
    // before placement, every data module is light
    for (int r = 0; r < fresh.size(); ++r)
      for (int c = 0; c < fresh.size(); ++c)
        if (fresh.dataModule(r, c)) {
          ASSERT_EQ(fresh.module(r, c), 0);
        }
  }
}
