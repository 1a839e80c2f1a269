#include "engine/encoder/placement.h"

namespace tesserine {

void placeCodewords(ModuleMatrix& m, const uint16_t* stream, size_t count) {
  const int n = m.size();
  const uint8_t* data = m.dataModules();
  uint8_t* modules = m.modules();
  size_t word = 0;
  int bit = 7;
  // Walk strip by strip: the right-hand column of each strip is `right`; the
  // strip left of the timing column starts at column 5.
  bool upward = true;
  for (int right = n - 1; right >= 1 && word < count; right -= 2) {
    if (right == 6) right = 5;
    for (int step = 0; step < n && word < count; ++step) {
      const int r = upward ? n - 1 - step : step;
      for (int c = right; c >= right - 1; --c) {
        const size_t at = static_cast<size_t>(r) * n + c;
        if (!data[at]) continue;
        modules[at] = static_cast<uint8_t>((stream[word] >> bit) & 1);
        if (--bit < 0) {
          bit = 7;
          if (++word == count) return;
        }
      }
    }
    upward = !upward;
  }
}

namespace {

// One period of each pattern: rows repeat every 12, columns every 6.
constexpr int kRowPeriod = 12;
constexpr int kColPeriod = 6;

}  // namespace

void applyMask(ModuleMatrix& m, int mask) {
  const int n = m.size();
  uint8_t pattern[kRowPeriod][kColPeriod];
  for (int i = 0; i < kRowPeriod; ++i)
    for (int j = 0; j < kColPeriod; ++j) pattern[i][j] = maskCondition(mask, i, j) ? 1 : 0;
  // One row of the pattern for each row phase, as wide as the symbol.
  uint8_t rowBits[kRowPeriod][177 + kColPeriod];
  for (int i = 0; i < kRowPeriod; ++i)
    for (int j = 0; j < n; ++j) rowBits[i][j] = pattern[i][j % kColPeriod];
  uint8_t* modules = m.modules();
  const uint8_t* data = m.dataModules();
  for (int r = 0; r < n; ++r) {
    const uint8_t* bits = rowBits[r % kRowPeriod];
    uint8_t* row = modules + static_cast<size_t>(r) * n;
    const uint8_t* drow = data + static_cast<size_t>(r) * n;
    for (int c = 0; c < n; ++c) row[c] ^= static_cast<uint8_t>(drow[c] & bits[c]);
  }
}

}  // namespace tesserine
