#include "engine/encoder/function_patterns.h"

#include <algorithm>

#include "engine/encoder/tables.h"

namespace tesserine {

namespace {

constexpr uint8_t kFinder[7][7] = {
    {1, 1, 1, 1, 1, 1, 1}, {1, 0, 0, 0, 0, 0, 1}, {1, 0, 1, 1, 1, 0, 1}, {1, 0, 1, 1, 1, 0, 1},
    {1, 0, 1, 1, 1, 0, 1}, {1, 0, 0, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 1, 1},
};

constexpr uint8_t kAlignment[5][5] = {
    {1, 1, 1, 1, 1}, {1, 0, 0, 0, 1}, {1, 0, 1, 0, 1}, {1, 0, 0, 0, 1}, {1, 1, 1, 1, 1},
};

// count, then the centre coordinates, 0 after the last
constexpr AlignmentRow kAlignmentPositions[kMaxVersion + 1] = {
    {0, {}},  // version 0, unused
    {0, {}},
    {1, {6, 18}}, {1, {6, 22}}, {1, {6, 26}}, {1, {6, 30}}, {1, {6, 34}},
    {6, {6, 22, 38}}, {6, {6, 24, 42}}, {6, {6, 26, 46}}, {6, {6, 28, 50}}, {6, {6, 30, 54}},
    {6, {6, 32, 58}}, {6, {6, 34, 62}},
    {13, {6, 26, 46, 66}}, {13, {6, 26, 48, 70}}, {13, {6, 26, 50, 74}}, {13, {6, 30, 54, 78}},
    {13, {6, 30, 56, 82}}, {13, {6, 30, 58, 86}}, {13, {6, 34, 62, 90}},
    {22, {6, 28, 50, 72, 94}}, {22, {6, 26, 50, 74, 98}}, {22, {6, 30, 54, 78, 102}},
    {22, {6, 28, 54, 80, 106}}, {22, {6, 32, 58, 84, 110}}, {22, {6, 30, 58, 86, 114}},
    {22, {6, 34, 62, 90, 118}},
    {33, {6, 26, 50, 74, 98, 122}}, {33, {6, 30, 54, 78, 102, 126}}, {33, {6, 26, 52, 78, 104, 130}},
    {33, {6, 30, 56, 82, 108, 134}}, {33, {6, 34, 60, 86, 112, 138}}, {33, {6, 30, 58, 86, 114, 142}},
    {33, {6, 34, 62, 90, 118, 146}},
    {46, {6, 30, 54, 78, 102, 126, 150}}, {46, {6, 24, 50, 76, 102, 128, 154}},
    {46, {6, 28, 54, 80, 106, 132, 158}}, {46, {6, 32, 58, 84, 110, 136, 162}},
    {46, {6, 26, 54, 82, 110, 138, 166}}, {46, {6, 30, 58, 86, 114, 142, 170}},
};

// BCH (18,6) version information codes
constexpr uint32_t kVersionInformation[kMaxVersion + 1] = {
    // versions 0 to 6 carry none
    0, 0, 0, 0, 0, 0, 0,
    // versions 7 to 40
    0x07C94, 0x085BC, 0x09A99, 0x0A4D3, 0x0BBF6, 0x0C762, 0x0D847, 0x0E60D, 0x0F928, 0x10B78,
    0x1145D, 0x12A17, 0x13532, 0x149A6, 0x15683, 0x168C9, 0x177EC, 0x18EC4, 0x191E1, 0x1AFAB,
    0x1B08E, 0x1CC1A, 0x1D33F, 0x1ED75, 0x1F250, 0x209D5, 0x216F0, 0x228BA, 0x2379F, 0x24B0B,
    0x2542E, 0x26A64, 0x27541, 0x28C69,
};

constexpr uint16_t kFormatGenerator = 0b10100110111;  // x^10 + x^8 + x^5 + x^4 + x^2 + x + 1
constexpr uint16_t kFormatMask = 0b101010000010010;

// Two-bit level indicators of L, M, Q, H
constexpr uint16_t kLevelIndicator[kLevelCount] = {0b01, 0b00, 0b11, 0b10};

void copyPattern(ModuleMatrix& m, const uint8_t* pattern, int side, int top, int left) {
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) m.module(top + r, left + c) = pattern[r * side + c];
}

void markFunction(ModuleMatrix& m, int top, int left, int rows, int cols) {
  for (int r = top; r < top + rows; ++r)
    for (int c = left; c < left + cols; ++c) m.dataModule(r, c) = 0;
}

}  // namespace

const AlignmentRow& alignmentPositions(int version) { return kAlignmentPositions[version]; }

int alignmentCoordinateCount(int version) {
  const int x = kAlignmentPositions[version].count + 3;
  int a = 0;
  while ((a + 1) * (a + 1) <= x) ++a;
  return a;
}

uint32_t versionInformation(int version) { return kVersionInformation[version]; }

uint16_t formatBits(int level, int mask) {
  const uint16_t data = static_cast<uint16_t>((kLevelIndicator[level] << 3) | mask);  // F0..F4
  uint16_t rem = static_cast<uint16_t>(data << 10);
  for (int degree = 14; degree >= 10; --degree)
    if (rem & (1u << degree)) rem ^= static_cast<uint16_t>(kFormatGenerator << (degree - 10));
  return static_cast<uint16_t>(((data << 10) | rem) ^ kFormatMask);
}

void writeFormatInformation(ModuleMatrix& m, int level, int mask) {
  const int n = m.size();
  const uint16_t f = formatBits(level, mask);
  auto bit = [f](int i) -> uint8_t { return static_cast<uint8_t>((f >> (14 - i)) & 1); };  // F_i
  // first copy, around the top-left finder pattern
  for (int i = 0; i <= 5; ++i) m.module(8, i) = bit(i);
  m.module(8, 7) = bit(6);
  m.module(8, 8) = bit(7);
  m.module(7, 8) = bit(8);
  for (int i = 9; i <= 14; ++i) m.module(14 - i, 8) = bit(i);
  // second copy, split between the bottom-left and top-right finder patterns
  for (int i = 0; i <= 6; ++i) m.module(n - 1 - i, 8) = bit(i);
  for (int i = 7; i <= 14; ++i) m.module(8, n - 15 + i) = bit(i);
  m.module(n - 8, 8) = 1;  // the dark module
}

void layFunctionPatterns(ModuleMatrix& m, int version, int level, int mask) {
  const int n = m.size();
  std::fill_n(m.modules(), static_cast<size_t>(n) * n, 0);
  std::fill_n(m.dataModules(), static_cast<size_t>(n) * n, 1);

  copyPattern(m, &kFinder[0][0], 7, 0, n - 7);
  copyPattern(m, &kFinder[0][0], 7, 0, 0);
  copyPattern(m, &kFinder[0][0], 7, n - 7, 0);
  markFunction(m, 0, 0, 8, 8);
  markFunction(m, n - 8, 0, 8, 8);
  markFunction(m, 0, n - 8, 8, 8);

  for (int k = 8; k <= n - 9; ++k) {
    const uint8_t v = (k % 2 == 0) ? 1 : 0;
    m.module(k, 6) = v;
    m.module(6, k) = v;
    m.dataModule(k, 6) = 0;
    m.dataModule(6, k) = 0;
  }

  if (version >= 2) {
    const AlignmentRow& row = kAlignmentPositions[version];
    const int k = alignmentCoordinateCount(version);
    for (int a = 1; a <= k; ++a)
      for (int b = 1; b <= k; ++b) {
        if ((a == 1 && b == 1) || (a == 1 && b == k) || (a == k && b == 1)) continue;
        const int top = row.coordinates[b - 1] - 2, left = row.coordinates[a - 1] - 2;
        copyPattern(m, &kAlignment[0][0], 5, top, left);
        markFunction(m, top, left, 5, 5);
      }
  }

  markFunction(m, 0, 8, 9, 1);
  markFunction(m, 8, 0, 1, 9);
  markFunction(m, n - 8, 8, 8, 1);
  markFunction(m, 8, n - 8, 1, 8);
  writeFormatInformation(m, level, mask);

  if (version >= 7) {
    const uint32_t v = kVersionInformation[version];
    for (int k = 0; k < 18; ++k) {
      const uint8_t b = static_cast<uint8_t>((v >> k) & 1);
      const int r = k / 3, c = n - 11 + k % 3;
      m.module(r, c) = b;
      m.module(c, r) = b;
      m.dataModule(r, c) = 0;
      m.dataModule(c, r) = 0;
    }
  }
}

}  // namespace tesserine
