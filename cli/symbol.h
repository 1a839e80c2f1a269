// The symbol as the engine hands it over, fetched through the public exports
// only.
#pragma once

#include <optional>
#include <string>

#include "options.h"

namespace tesserine::cli {

struct Symbol {
  int size = 0;         // N, modules on a side (21..177)
  std::string pattern;  // N * N bytes '1'/'0', exactly as QRGetPatternData gives them

  // The module at row r, column c, counted from the top left of the symbol
  // in its reading position. The pattern holds columns left to right, each
  // from its bottom row up.
  bool dark(int row, int column) const {
    return pattern[static_cast<size_t>(column) * size + (size - 1 - row)] == '1';
  }
};

// Hands the text and the options' version, level and mask to the engine,
// then fetches the pattern (two calls: the size, then the bytes). Nothing
// when the text fits no version at that level. The text must hold no NUL
// byte: the engine takes NUL-terminated texts.
std::optional<Symbol> encodeText(const std::string& text, const Options& options);

}  // namespace tesserine::cli
