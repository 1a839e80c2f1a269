// The pattern text: one '1' (dark) or '0' (light) byte per module, columns
// left to right, each column from its bottom row up. Byte c * N + (N - 1 - r)
// describes the module at row r, column c.
#pragma once

#include <cstdint>

#include "engine/encoder/encode_symbol.h"
#include "engine/encoder/settings.h"

namespace tesserine {

// Writes the N * N bytes of the pattern text to `out`.
void writePatternText(const EncodedSymbol& symbol, char* out);

// Encodes the current message and hands over its pattern text.
// Result 0: `*length` was less than N * N (or `length` is null, read as a
// capacity of 0); `*length`, `*rows` and `*columns` now hold N * N, N and N
// and `buffer` is untouched. Result -1 (all ones): the buffer holds the
// pattern and the out-values are untouched, or the message fits no version
// and the three out-values are 0. Null out-pointers are never written.
int16_t getPatternData(const EncoderSettings& settings, char* buffer, uint32_t* length, int16_t* rows,
                       int16_t* columns);

// Modules on a side of the current message's symbol, 0 when it fits no
// version; null pointers are not written.
void getActualRC(const EncoderSettings& settings, int16_t* rows, int16_t* columns);

}  // namespace tesserine
