// The mask penalty and the automatic mask choice read word for word, with no
// shortcut: a slow but plainly correct yardstick for the engine's packed,
// indexed scoring in engine/encoder/masking.cpp.
//
//   S1: each maximal run of L >= 6 equal modules in a column (top down) or a
//       row (left to right) adds L - 2.
//   S2: anchors are the function modules, column by column, each column top
//       down. For each anchor (r0, c0) of colour v, for r1 = N-1 down to
//       r0+1, for c1 = N-1 down to c0+1: the first rectangle rows r0..r1 x
//       columns c0..c1 all of colour v is the block of that r1. A block that
//       a listed rectangle contains adds nothing; otherwise it is listed and
//       adds 3 (r1-r0)(c1-c0).
//   S3: scanning each column from the top, then each row from the left, every
//       place where seven modules read dark, light, dark, dark, dark, light,
//       dark adds 40; after a match the scan goes on four modules further.
//   S4: 10 k for the smallest k in 0..10 with |20 d - 10 T| <= k T, d the dark
//       modules and T = N * N.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/encoder/function_patterns.h"

namespace testkit {

struct LiteralScore {
  uint32_t s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  uint32_t total() const { return s1 + s2 + s3 + s4; }
};

uint32_t literalS1(const tesserine::ModuleMatrix& m);
uint32_t literalS2(const tesserine::ModuleMatrix& m);
uint32_t literalS3(const tesserine::ModuleMatrix& m);
uint32_t literalS4(const tesserine::ModuleMatrix& m);
LiteralScore literalScore(const tesserine::ModuleMatrix& m);

struct LiteralChoice {
  int mask = 0;
  std::array<uint32_t, 8> scores{};
  tesserine::ModuleMatrix matrix;
};

// For pattern 0 to 7: lay the function patterns, place the stream, apply the
// mask, score literally; keep the first score and replace it only by a
// strictly lower one; then build the kept pattern once more.
LiteralChoice literalChooseMask(int version, int level, const std::vector<uint16_t>& stream);

// The symbol of `stream` built with one fixed pattern, by the same three stages.
tesserine::ModuleMatrix buildWithMask(int version, int level, int mask, const std::vector<uint16_t>& stream);

}  // namespace testkit
