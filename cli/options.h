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

// A colour by its components, 0 to 255 each.
struct Colour {
  int red = 0, green = 0, blue = 0;
  bool operator==(const Colour&) const = default;
};

struct Options {
  TextSource source = TextSource::StandardInput;
  std::string text;       // the operand, when source is Argument
  std::string inputPath;  // -r, when source is File ("-" reads standard input)
  int minVersion = 0;     // 0 automatic, 1..40 the smallest version to use
  int level = 0;          // 0 L, 1 M, 2 Q, 3 H
  int mask = -1;          // -1 automatic, 0..7 a fixed mask pattern
  std::string type = "utf8";  // a name from the output table (outputs.h)
  bool typeGiven = false;     // -t was given; otherwise -o's name decides
  std::string outputPath;     // -o; empty or "-" for standard output

  // How the pictures (bmp, wmf, emf) are drawn; the text outputs ignore these.
  double moduleWidthCm = 0.2;
  int orientation = 1;        // 0 a quarter turn clockwise, 1 upright, 2 anticlockwise, 3 half a turn
  int border = 0;             // 0 none, 1 dashed, 2 solid
  int width = 0, height = 0;  // --size; 0 x 0: the symbol and a quiet zone of 4 modules
  Colour foreground{0, 0, 0};
  Colour background{255, 255, 255};
  int dpi = 0;                // --dpi; 0 leaves the engine's display as it is

  bool showHelp = false;
  bool showVersion = false;

  bool toStandardOutput() const { return outputPath.empty() || outputPath == "-"; }
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
