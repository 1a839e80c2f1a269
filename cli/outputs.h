// The output types of the tesserine tool: one function per type, listed in
// one table. A new type (a file through the engine's own writers, say) is one
// function and one row.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "options.h"
#include "symbol.h"

namespace tesserine::cli {

// Writes the symbol where the options say. Returns an error message for the
// user (without the program name), empty when done.
using WriteOutput = std::string (*)(const Symbol& symbol, const Options& options);

struct OutputType {
  const char* name;  // lower case, as given to -t
  const char* description;
  WriteOutput write;
  // Pictures: the file name ending that selects the type when -t is not
  // given (matched without regard to case). A picture is never written to
  // standard output unless -o - asks for it. nullptr for the text outputs.
  const char* extension = nullptr;
};

std::span<const OutputType> outputTypes();
const OutputType* findOutput(std::string_view name);
// The picture type whose extension ends `path`, or nullptr.
const OutputType* findOutputForPath(std::string_view path);

// Writes the bytes where the options say: the file -o names, or standard
// output (see platform::writeStandardOutput for utf8Text). Returns an error
// message naming the file or standard output, empty when done.
std::string deliver(std::string_view bytes, const Options& options, bool utf8Text);

// Modules of light margin around the symbol in the terminal pictures.
constexpr int kQuietZone = 4;

// The terminal picture: two module rows per line in UTF-8 half blocks
// (U+2580 upper, U+2584 lower, U+2588 full, space), with a quiet zone of
// kQuietZone modules on every side; each line is N + 2 * kQuietZone
// characters and ends in "\n". The last line's lower half lies below the
// picture and counts as light. Inverted: light modules as ink, for light text
// on a dark background.
std::string renderUtf8(const Symbol& symbol, bool inverted);

}  // namespace tesserine::cli
