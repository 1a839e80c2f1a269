// Reed-Solomon error correction over GF(256), primitive polynomial 0x11D,
// primitive element 2, as QR code symbols use it.
//
// Block buffer layout (shared with the codeword stage): an array of 16-bit
// entries holding one block's codeword polynomial, entry j the coefficient of
// x^j. For k data and n error-correction codewords, entries n .. n+k-1 hold
// the data in reverse order (first data codeword at n+k-1) and entries
// 0 .. n-1 receive the error-correction codewords (first sent at n-1).
#pragma once

#include <array>
#include <cstdint>

namespace tesserine {

constexpr int kMaxGeneratorDegree = 68;

namespace gf_detail {

struct FieldTables {
  std::array<int16_t, 256> antilog{};  // antilog[e] = alpha^e, antilog[255] = 1
  std::array<int16_t, 256> log{};      // log[v] for v >= 2; log[1] = 255; log[0] unused
};

constexpr FieldTables makeFieldTables() {
  FieldTables t;
  int x = 1;
  for (int e = 0; e < 255; ++e) {
    t.antilog[e] = static_cast<int16_t>(x);
    if (e > 0) t.log[x] = static_cast<int16_t>(e);
    x <<= 1;
    if (x & 0x100) x ^= 0x11D;
  }
  t.antilog[255] = 1;
  t.log[1] = 255;
  t.log[0] = 0;
  return t;
}

}  // namespace gf_detail

inline constexpr gf_detail::FieldTables kField = gf_detail::makeFieldTables();

// Product of two field elements 0..255.
constexpr uint16_t gfMultiply(int a, int b) {
  if (a == 0 || b == 0) return 0;
  int s = kField.log[a] + kField.log[b];  // 2 .. 510
  if (s >= 255) s -= 255;
  return static_cast<uint16_t>(kField.antilog[s]);
}

namespace gf_detail {

// Generator polynomials g_n(x) = (x - a^0)(x - a^1)...(x - a^(n-1)) for n = 1
// to 68, coefficients in ascending degree, packed one after another: the
// table of n starts at offset n(n+1)/2 - 1 and has n + 1 entries.
constexpr int kGeneratorEntries = (kMaxGeneratorDegree + 1) * (kMaxGeneratorDegree + 2) / 2 - 1;

constexpr int generatorOffset(int n) { return n * (n + 1) / 2 - 1; }

constexpr std::array<uint16_t, kGeneratorEntries> makeGenerators() {
  std::array<uint16_t, kGeneratorEntries> out{};
  std::array<uint16_t, kMaxGeneratorDegree + 1> g{};
  g[0] = 1;  // g_0 = 1
  for (int n = 1; n <= kMaxGeneratorDegree; ++n) {
    // multiply by (x + alpha^(n-1))
    const int root = kField.antilog[n - 1];
    for (int i = n; i >= 1; --i) g[i] = static_cast<uint16_t>(g[i - 1] ^ gfMultiply(g[i], root));
    g[0] = gfMultiply(g[0], root);
    for (int i = 0; i <= n; ++i) out[generatorOffset(n) + i] = g[i];
  }
  return out;
}

}  // namespace gf_detail

inline constexpr std::array<uint16_t, gf_detail::kGeneratorEntries> kGenerators = gf_detail::makeGenerators();

// Entry i (0 .. n) of the generator table of n (1 .. 68) error-correction codewords.
constexpr uint16_t generatorCoefficient(int n, int i) { return kGenerators[gf_detail::generatorOffset(n) + i]; }

// Reads entries n .. n+k-1 of `block` and writes its n error-correction
// codewords into entries 0 .. n-1. n is 1 to 68; k is at least 0.
void computeBlockEc(uint16_t* block, int k, int n);

}  // namespace tesserine
