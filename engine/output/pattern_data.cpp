#include "engine/output/pattern_data.h"

#include "engine/encoder/byte_words.h"

#include <bit>
#include <cstring>

namespace tesserine {

namespace {

template <typename T>
void store(T* p, T v) {
  if (p) *p = v;
}

// Transposes an 8 x 8 block of bytes: byte j of x[i] trades places with byte
// i of x[j].
void transpose8(uint64_t x[8]) {
  for (int i = 0; i < 4; ++i) {
    const uint64_t t = ((x[i] >> 32) ^ x[i + 4]) & 0x00000000FFFFFFFFull;
    x[i] ^= t << 32;
    x[i + 4] ^= t;
  }
  for (int i : {0, 1, 4, 5}) {
    const uint64_t t = ((x[i] >> 16) ^ x[i + 2]) & 0x0000FFFF0000FFFFull;
    x[i] ^= t << 16;
    x[i + 2] ^= t;
  }
  for (int i : {0, 2, 4, 6}) {
    const uint64_t t = ((x[i] >> 8) ^ x[i + 1]) & 0x00FF00FF00FF00FFull;
    x[i] ^= t << 8;
    x[i + 1] ^= t;
  }
}

}  // namespace

// The text runs down the columns of the row-major plane, so it is written in
// blocks of 8 x 8 modules: eight rows read a word at a time, transposed, each
// word then eight consecutive bytes of one column's text ('0' + 0 or 1 is the
// module with the bits of '0' set). The rows of a block are taken bottom row
// first, the order the text runs in. The last rows and columns that do not
// fill a block are written one by one.
void writePatternText(const EncodedSymbol& symbol, char* out) {
  const int n = symbol.size();
  const uint8_t* modules = symbol.matrix.modules();
  constexpr uint64_t kZeros = 0x3030303030303030ull;  // '0' in every byte
  auto at = [&](int r, int c) { return modules + static_cast<size_t>(r) * n + c; };
  const int fullCols = n / 8 * 8;
  // Blocks cover rows n - 1 down to n - rowsInBlocks; the top rows remain.
  const int rowsInBlocks = n / 8 * 8;
  for (int c0 = 0; c0 < fullCols; c0 += 8)
    for (int k = 0; k < rowsInBlocks; k += 8) {
      // text positions k .. k + 7 of each column: rows n - 1 - k down to n - 8 - k
      uint64_t x[8];
      for (int i = 0; i < 8; ++i) x[i] = load8(at(n - 1 - k - i, c0));
      transpose8(x);
      for (int i = 0; i < 8; ++i) store8(out + static_cast<size_t>(c0 + i) * n + k, x[i] | kZeros);
    }
  for (int c = 0; c < n; ++c) {
    const int from = c < fullCols ? rowsInBlocks : 0;
    for (int k = from; k < n; ++k) out[static_cast<size_t>(c) * n + k] = static_cast<char>('0' + *at(n - 1 - k, c));
  }
}

int16_t getPatternData(const EncoderSettings& settings, char* buffer, uint32_t* length, int16_t* rows,
                       int16_t* columns) {
  EncodedSymbol symbol;
  if (!encodeSymbol(settings, symbol)) {
    store<uint32_t>(length, 0);
    store<int16_t>(rows, 0);
    store<int16_t>(columns, 0);
    return -1;
  }
  const int n = symbol.size();
  const uint32_t needed = static_cast<uint32_t>(n) * static_cast<uint32_t>(n);
  const uint32_t capacity = length ? *length : 0;
  if (capacity < needed || buffer == nullptr) {
    store<uint32_t>(length, needed);
    store<int16_t>(rows, static_cast<int16_t>(n));
    store<int16_t>(columns, static_cast<int16_t>(n));
    return 0;
  }
  writePatternText(symbol, buffer);
  return -1;
}

void getActualRC(const EncoderSettings& settings, int16_t* rows, int16_t* columns) {
  EncodedSymbol symbol;
  const int16_t n = encodeSymbol(settings, symbol) ? static_cast<int16_t>(symbol.size()) : 0;
  store<int16_t>(rows, n);
  store<int16_t>(columns, n);
}

}  // namespace tesserine
