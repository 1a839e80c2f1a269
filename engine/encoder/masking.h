// The engine's mask penalty and the mask choice.
//
// The penalty is this engine's own (it decides which symbol comes out and
// differs from the rules printed in the QR code standard in several places):
//   S1 runs: every maximal run of L >= 6 equal modules in a column or row adds L - 2.
//   S2 blocks: anchors are function modules only, taken column by column and
//      top down; for each bottom row (from the last row up) the widest
//      one-colour rectangle from the anchor scores 3 (m-1)(n-1) unless a
//      rectangle already listed contains it.
//   S3 finder-like: each occurrence of dark, light, dark, dark, dark, light,
//      dark in a column or row adds 40.
//   S4 dark share: 10 k for the smallest k with |20 d - 10 T| <= k T.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/encoder/function_patterns.h"

namespace tesserine {

struct PenaltyScore {
  uint32_t s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  uint32_t total() const { return s1 + s2 + s3 + s4; }
};

// The penalty of the module plane in its current state.
PenaltyScore scoreParts(const ModuleMatrix& m);
uint32_t scoreSymbol(const ModuleMatrix& m);

// Builds the finished symbol of `stream` into `m` (N x N for `version`).
// maskSetting 1..8 uses pattern maskSetting - 1 without scoring; 0 scores all
// eight patterns and keeps the lowest score, the lower pattern on ties. When
// `scores` is given it receives the eight totals of an automatic choice.
// Returns the pattern in use (maskInUse).
int chooseMask(ModuleMatrix& m, int version, int level, int maskSetting, const std::vector<uint16_t>& stream,
               std::array<uint32_t, 8>* scores = nullptr);

}  // namespace tesserine
