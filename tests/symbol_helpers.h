// Helpers shared by the encoder tests: encoding a message with given
// settings, matrices written as rows of '0' and '1', the pattern text through
// the exports, and random messages of each data mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/encoder/data_encoding.h"
#include "engine/encoder/encode_symbol.h"
#include "engine/encoder/function_patterns.h"

namespace testkit {

using tesserine::DataMode;
using tesserine::EncodedSymbol;
using tesserine::ModuleMatrix;

// Settings for `message` with QRConfigure's three values (already in range).
tesserine::EncoderSettings settingsFor(const std::string& message, int version, int level, int maskSetting);

// Runs the encode driver; false when the message fits no version.
bool encode(const std::string& message, int version, int level, int maskSetting, EncodedSymbol& out);

// The module plane as N rows of '0'/'1', row 0 first.
std::vector<std::string> rowsOf(const ModuleMatrix& m);

// A matrix from rows of '0'/'1'; every module a data module unless
// `functionRows` (same shape) marks it with '1' as a function module.
ModuleMatrix matrixFromRows(const std::vector<std::string>& rows, const std::vector<std::string>& functionRows = {});

// The pattern text a symbol must produce, built from the module plane:
// column by column from the left, each column from the bottom row up.
std::string expectedPatternText(const ModuleMatrix& m);

// The pattern text of the current engine state through the exports, with the
// two-call protocol. Empty when the message fits no version.
std::string patternThroughExports();

// The module plane read back from a pattern text of N * N bytes.
ModuleMatrix matrixFromPatternText(const std::string& text);

// Data capacity in bits of (version, level), from the tables.
int capacityBits(int version, int level);

// The largest message length (characters) of `mode` that fits `version` at
// `level`, worked out here from the capacity and the bit counts of each mode.
size_t maxLength(DataMode mode, int version, int level);

// A random message of `length` characters that the engine encodes in
// `mode`: digits; the 45 alphanumeric characters with at least one
// non-digit; bytes 1..255 with at least one outside the alphanumeric set.
// `asciiOnly` keeps byte-mode messages to 0x20..0x7E.
std::string randomMessage(std::mt19937& rng, DataMode mode, size_t length, bool asciiOnly = false);

// The alphanumeric set in value order.
extern const char kAlphanumericSet[46];

const char* modeName(DataMode mode);

}  // namespace testkit
