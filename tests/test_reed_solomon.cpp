// Reed-Solomon over GF(256): the field, the generator tables and the block
// error correction, each against a plain computation done here.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/encoder/reed_solomon.h"

using namespace tesserine;

namespace {

// Carry-less product reduced by x^8 + x^4 + x^3 + x^2 + 1.
int slowMultiply(int a, int b) {
  int p = 0;
  for (int i = 0; i < 8; ++i)
    if (b & (1 << i)) p ^= a << i;
  for (int bit = 15; bit >= 8; --bit)
    if (p & (1 << bit)) p ^= 0x11D << (bit - 8);
  return p;
}

int slowPower(int e) {
  int x = 1;
  for (int i = 0; i < e; ++i) x = slowMultiply(x, 2);
  return x;
}

// Coefficients (ascending degree) of (x - a^0)(x - a^1)...(x - a^(n-1)).
std::vector<int> slowGenerator(int n) {
  std::vector<int> g = {1};
  for (int i = 0; i < n; ++i) {
    const int root = slowPower(i);
    std::vector<int> next(g.size() + 1, 0);
    for (size_t j = 0; j < g.size(); ++j) {
      next[j + 1] ^= g[j];                     // x * g
      next[j] ^= slowMultiply(g[j], root);     // root * g (minus is plus)
    }
    g = next;
  }
  return g;
}

// Remainder of d(x) x^n divided by g_n(x) by long division; returns the n
// error-correction codewords in the order they are sent.
std::vector<int> slowRemainder(const std::vector<int>& data, int n) {
  const std::vector<int> g = slowGenerator(n);
  // highest degree first: data then n zeros
  std::vector<int> work(data.begin(), data.end());
  work.resize(data.size() + n, 0);
  for (size_t i = 0; i < data.size(); ++i) {
    const int factor = work[i];
    if (factor == 0) continue;
    for (int j = 0; j <= n; ++j) work[i + j] ^= slowMultiply(g[n - j], factor);
  }
  return std::vector<int>(work.end() - n, work.end());
}

// A block buffer laid out as the codeword stage does: data reversed above
// the n error-correction entries.
std::vector<uint16_t> blockBuffer(const std::vector<int>& data, int n) {
  const int k = static_cast<int>(data.size());
  std::vector<uint16_t> block(k + n, 0xBEEF);
  for (int m = 0; m < k; ++m) block[n + k - 1 - m] = static_cast<uint16_t>(data[m]);
  return block;
}

std::vector<int> sentEc(const std::vector<uint16_t>& block, int n) {
  std::vector<int> ec;
  for (int j = n - 1; j >= 0; --j) ec.push_back(block[j]);
  return ec;
}

}  // namespace

TEST(GaloisField, TablesHoldPowersAndLogarithms) {
  EXPECT_EQ(kField.antilog[0], 1);
  EXPECT_EQ(kField.antilog[1], 2);
  EXPECT_EQ(kField.antilog[8], 29);
  EXPECT_EQ(kField.antilog[254], 142);
  EXPECT_EQ(kField.antilog[255], 1);
  EXPECT_EQ(kField.log[1], 255);
  EXPECT_EQ(kField.log[0], 0);
  for (int e = 0; e <= 254; ++e) EXPECT_EQ(kField.antilog[e], slowPower(e)) << e;
  for (int v = 2; v <= 255; ++v) {
    EXPECT_GE(kField.log[v], 1);
    EXPECT_LE(kField.log[v], 254);
    EXPECT_EQ(kField.antilog[kField.log[v]], v) << v;
  }
}

TEST(GaloisField, MultiplyEdgeCasesAndEveryProduct) {
  EXPECT_EQ(gfMultiply(1, 1), 1);   // logs 255 + 255 reduce to 255, antilog 1
  EXPECT_EQ(gfMultiply(2, 128), 29);
  EXPECT_EQ(gfMultiply(128, 128), 19);
  EXPECT_EQ(gfMultiply(1, 255), 255);
  EXPECT_EQ(gfMultiply(255, 1), 255);
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      const int p = gfMultiply(a, b);
      if (p != slowMultiply(a, b)) {
        ADD_FAILURE() << a << " * " << b << " = " << p << ", expected " << slowMultiply(a, b);
        return;
      }
    }
}

TEST(GeneratorPolynomials, TellingTables) {
  const std::vector<std::vector<int>> telling = {
      {1, 1},
      {2, 3, 1},
      {117, 68, 11, 164, 154, 122, 127, 1},
      {193, 157, 113, 95, 94, 199, 111, 159, 194, 216, 1},
  };
  for (const auto& table : telling) {
    const int n = static_cast<int>(table.size()) - 1;
    for (int i = 0; i <= n; ++i) EXPECT_EQ(generatorCoefficient(n, i), table[i]) << "n=" << n << " i=" << i;
  }
  // n = 7 in exponent form: a^21, a^102, a^238, a^149, a^146, a^229, a^87, a^0
  const int exponents[8] = {21, 102, 238, 149, 146, 229, 87, 0};
  for (int i = 0; i <= 7; ++i) EXPECT_EQ(generatorCoefficient(7, i), slowPower(exponents[i])) << i;
}

TEST(GeneratorPolynomials, EveryTableIsTheProductOfItsFactors) {
  for (int n = 1; n <= 68; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(generatorCoefficient(n, n), 1);
    const std::vector<int> g = slowGenerator(n);
    for (int i = 0; i <= n; ++i) EXPECT_EQ(generatorCoefficient(n, i), g[i]) << "i=" << i;
  }
}

TEST(BlockErrorCorrection, WorkedExampleOfTheStandard) {
  const std::vector<int> data = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                                 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
  std::vector<uint16_t> block = blockBuffer(data, 10);
  const std::vector<uint16_t> before = block;
  computeBlockEc(block.data(), 16, 10);
  EXPECT_EQ(sentEc(block, 10), (std::vector<int>{0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55}));
  // the data entries are only read
  EXPECT_TRUE(std::equal(block.begin() + 10, block.end(), before.begin() + 10));
}

TEST(BlockErrorCorrection, AllZeroDataGivesAllZeroCodewords) {
  for (int n : {7, 30, 68}) {
    std::vector<uint16_t> block = blockBuffer(std::vector<int>(20, 0), n);
    computeBlockEc(block.data(), 20, n);
    for (int j = 0; j < n; ++j) EXPECT_EQ(block[j], 0) << "n=" << n << " entry " << j;
  }
}

TEST(BlockErrorCorrection, EqualsLongDivisionForRandomBlocks) {
  std::mt19937 rng(1804);
  std::uniform_int_distribution<int> byte(0, 255), degree(1, 68), length(1, 150);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = trial < 68 ? trial + 1 : degree(rng);
    const int k = length(rng);
    std::vector<int> data(k);
    for (int& d : data) d = byte(rng);
    if (trial % 7 == 0) data[0] = 0;  // a zero feedback on the first step
    std::vector<uint16_t> block = blockBuffer(data, n);
    computeBlockEc(block.data(), k, n);
    ASSERT_EQ(sentEc(block, n), slowRemainder(data, n)) << "k=" << k << " n=" << n;
  }
}
