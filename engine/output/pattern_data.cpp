#include "engine/output/pattern_data.h"

namespace tesserine {

namespace {

template <typename T>
void store(T* p, T v) {
  if (p) *p = v;
}

}  // namespace

void writePatternText(const EncodedSymbol& symbol, char* out) {
  const int n = symbol.size();
  const uint8_t* modules = symbol.matrix.modules();
  for (int c = 0; c < n; ++c)
    for (int r = n - 1; r >= 0; --r) *out++ = static_cast<char>('0' + modules[static_cast<size_t>(r) * n + c]);
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
