// The command line of the tesserine tool: what it asks for (Options) and the
// parser that fills it from argv.
//
// Options are described once, in a table (options.cpp): each row names its
// short and long spelling, its argument and its help text, and applies its
// value to Options. The usage text is made from the same table, so a new
// option is one field here and one row there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tesserine::cli {

enum class TextSource {
  Argument,       // the TEXT operand
  StandardInput,  // no operand, or the operand "-"
  File,           // -r FILE
};

struct Options {
  TextSource source = TextSource::StandardInput;
  std::string text;       // the operand, when source is Argument
  std::string inputPath;  // -r, when source is File ("-" reads standard input)
  int minVersion = 0;     // 0 automatic, 1..40 the smallest version to use
  int level = 0;          // 0 L, 1 M, 2 Q, 3 H
  int mask = -1;          // -1 automatic, 0..7 a fixed mask pattern
  std::string type = "utf8";  // a name from the output table (outputs.h)
  bool showHelp = false;
  bool showVersion = false;
};

struct ParseResult {
  Options options;
  std::string error;  // empty when the command line was understood
};

// Parses argv[1..]. Accepts "-x VALUE", "-xVALUE", "--name VALUE",
// "--name=VALUE", "--" to end the options, and "-" as the text operand.
ParseResult parseCommandLine(const std::vector<std::string>& args);

// The one-line usage and the full help, both ending in a newline.
std::string usageLine();
std::string helpText();

// "L", "M", "Q" or "H".
std::string_view levelName(int level);

}  // namespace tesserine::cli
