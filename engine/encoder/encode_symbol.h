// The encode driver that every output runs first.
#pragma once

#include <vector>

#include "engine/encoder/data_encoding.h"
#include "engine/encoder/function_patterns.h"
#include "engine/encoder/settings.h"

namespace tesserine {

// The products of one encoding. They belong to the output that ran the
// encoding and are released with it; nothing carries over to the next one.
struct EncodedSymbol {
  int version = 0;    // 1..40
  int maskInUse = 0;  // 0..7
  DataMode dataMode = DataMode::kNumeric;
  std::vector<uint16_t> codewordStream;  // total(version) codewords, interleaved
  ModuleMatrix matrix;                   // the finished, masked symbol

  int size() const { return matrix.size(); }
};

// Encodes the message of `settings` into `out`. Returns true when a symbol
// was built; false (with `out` untouched) when the message does not fit
// version 40 at the chosen level, or the last message given was too long
// for the store.
bool encodeSymbol(const EncoderSettings& settings, EncodedSymbol& out);

}  // namespace tesserine
