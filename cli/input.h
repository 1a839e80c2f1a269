// The text to encode, from the operand, standard input or a file, as bytes.
#pragma once

#include <cstddef>
#include <string>

#include "options.h"

namespace tesserine::cli {

// Bytes kept of a longer text: one more than the engine's message store
// holds (7,999 bytes), so a text this long is refused by the engine itself.
// The rest is only counted, so a huge input costs no memory.
constexpr size_t kKeptBytes = 8000;

struct InputText {
  std::string bytes;     // the first kKeptBytes bytes at most
  size_t length = 0;     // the whole text's length in bytes
  std::string error;     // for the user, empty when the text was read
};

// Reads the text the options name, exactly: no newline is added or removed.
InputText readInputText(const Options& options);

}  // namespace tesserine::cli
