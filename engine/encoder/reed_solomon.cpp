#include "engine/encoder/reed_solomon.h"

namespace tesserine {

// The shift register of the division d(x) x^n / g_n(x). Instead of multiplying
// the feedback by each coefficient through the log tables, it adds the
// feedback's log to the coefficients' logs once per codeword: the same
// products, with one lookup per tap.
void computeBlockEc(uint16_t* block, int k, int n) {
  uint8_t logG[kMaxGeneratorDegree];
  for (int i = 0; i < n; ++i) logG[i] = static_cast<uint8_t>(kField.log[generatorCoefficient(n, i)] % 255);
  // antilog over 0 .. 508 without a reduction step
  static constexpr auto kExp = [] {
    std::array<uint8_t, 512> e{};
    for (int i = 0; i < 512; ++i) e[i] = static_cast<uint8_t>(kField.antilog[i % 255]);
    return e;
  }();

  uint8_t reg[kMaxGeneratorDegree] = {};  // reg[i] = entry i of the register
  for (int t = 0; t < k; ++t) {
    const int f = (block[n + k - 1 - t] & 0xFF) ^ reg[n - 1];
    if (f == 0) {
      for (int i = n - 1; i >= 1; --i) reg[i] = reg[i - 1];
      reg[0] = 0;
      continue;
    }
    const int lf = kField.log[f] % 255;
    for (int i = n - 1; i >= 1; --i) reg[i] = static_cast<uint8_t>(kExp[lf + logG[i]] ^ reg[i - 1]);
    reg[0] = kExp[lf + logG[0]];
  }
  for (int i = 0; i < n; ++i) block[i] = reg[i];
}

}  // namespace tesserine
