#include "engine/encoder/reed_solomon.h"

namespace tesserine {

// The shift register of the division d(x) x^n / g_n(x). Each step adds the
// feedback f times every generator coefficient into the register. The map
// f -> f g_i is linear over the bits of f, so the products of all 256
// feedback values are the sums (XOR) of two table rows, one for the low and
// one for the high four bits of f: 32 rows per block instead of n lookups
// per codeword, and each step becomes a shift and two row additions that
// the compiler can vectorise.
void computeBlockEc(uint16_t* block, int k, int n) {
  uint8_t logG[kMaxGeneratorDegree];
  for (int i = 0; i < n; ++i) logG[i] = static_cast<uint8_t>(kField.log[generatorCoefficient(n, i)] % 255);
  // antilog over 0 .. 508 without a reduction step
  static constexpr auto kExp = [] {
    std::array<uint8_t, 512> e{};
    for (int i = 0; i < 512; ++i) e[i] = static_cast<uint8_t>(kField.antilog[i % 255]);
    return e;
  }();

  // The register is kept highest entry first: reg[j] is entry n - 1 - j, so
  // the feedback entry is reg[0] and a step moves every entry one place
  // towards it; reg[n] stays 0 and feeds the lowest entry.
  constexpr int kRow = kMaxGeneratorDegree + 1;
  uint8_t low[16][kRow] = {}, high[16][kRow] = {};
  for (int b = 0; b < 4; ++b) {
    const int lowLog = kField.log[1 << b] % 255, highLog = kField.log[16 << b] % 255;
    for (int j = 0; j < n; ++j) {
      low[1 << b][j] = kExp[lowLog + logG[n - 1 - j]];
      high[1 << b][j] = kExp[highLog + logG[n - 1 - j]];
    }
  }
  for (int v = 3; v < 16; ++v) {
    const int lowest = v & -v;
    if (v == lowest) continue;
    for (int j = 0; j < n; ++j) {
      low[v][j] = static_cast<uint8_t>(low[lowest][j] ^ low[v - lowest][j]);
      high[v][j] = static_cast<uint8_t>(high[lowest][j] ^ high[v - lowest][j]);
    }
  }

  uint8_t reg[kRow] = {};
  for (int t = 0; t < k; ++t) {
    const int f = (block[n + k - 1 - t] & 0xFF) ^ reg[0];
    const uint8_t* lo = low[f & 15];
    const uint8_t* hi = high[f >> 4];
    for (int j = 0; j < n; ++j) reg[j] = static_cast<uint8_t>(reg[j + 1] ^ lo[j] ^ hi[j]);
  }
  for (int i = 0; i < n; ++i) block[i] = reg[n - 1 - i];
}

}  // namespace tesserine
