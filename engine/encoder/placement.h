// Data placement in the standard zig-zag order, and the eight mask patterns.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/encoder/function_patterns.h"

namespace tesserine {

// Writes the low 8 bits of each of `count` codewords, bit 7 first, into the
// data modules of `m` in placement order: two-column strips from the right
// edge, alternately upward and downward, skipping function modules and the
// vertical timing column. Remainder modules keep their value.
void placeCodewords(ModuleMatrix& m, const uint16_t* stream, size_t count);

// True when mask pattern `mask` (0..7) inverts the module at row i, column j.
constexpr bool maskCondition(int mask, int i, int j) {
  switch (mask) {
    case 0: return (i + j) % 2 == 0;
    case 1: return i % 2 == 0;
    case 2: return j % 3 == 0;
    case 3: return (i + j) % 3 == 0;
    case 4: return ((i / 2) + (j / 3)) % 2 == 0;
    case 5: return (i * j) % 2 + (i * j) % 3 == 0;
    case 6: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
  }
}

// Inverts every data module that pattern `mask` (0..7) selects.
void applyMask(ModuleMatrix& m, int mask);

}  // namespace tesserine
