#include "options.h"

#include <cctype>
#include <charconv>

#include "outputs.h"

namespace tesserine::cli {
namespace {

std::string lowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A whole decimal number in [low, high], or false.
bool parseNumber(std::string_view s, int low, int high, int& out) {
  int value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return false;
  if (value < low || value > high) return false;
  out = value;
  return true;
}

// Applies an option's value; returns an error message, empty when accepted.
using Apply = std::string (*)(Options&, std::string_view value);

struct OptionSpec {
  char shortName;        // 0 when there is none
  const char* longName;  // nullptr when there is none
  const char* argName;   // nullptr for a flag
  const char* help;
  Apply apply;
};

std::string applyVersion(Options& o, std::string_view v) {
  if (!parseNumber(v, 1, 40, o.minVersion)) return "invalid version '" + std::string(v) + "' (1 to 40)";
  return {};
}

std::string applyLevel(Options& o, std::string_view v) {
  static constexpr std::string_view kLevels[] = {"l", "m", "q", "h"};
  const std::string lower = lowerCase(v);
  for (int i = 0; i < 4; ++i) {
    if (lower == kLevels[i]) {
      o.level = i;
      return {};
    }
  }
  return "invalid level '" + std::string(v) + "' (L, M, Q or H)";
}

std::string applyMask(Options& o, std::string_view v) {
  if (lowerCase(v) == "auto") {
    o.mask = -1;
    return {};
  }
  if (!parseNumber(v, 0, 7, o.mask)) return "invalid mask '" + std::string(v) + "' (auto or 0 to 7)";
  return {};
}

std::string applyType(Options& o, std::string_view v) {
  const std::string lower = lowerCase(v);
  if (findOutput(lower) == nullptr) return "unknown output type '" + std::string(v) + "'";
  o.type = lower;
  o.typeGiven = true;
  return {};
}

std::string applyOutput(Options& o, std::string_view v) {
  if (v.empty()) return "empty output file name (- for standard output)";
  o.outputPath = std::string(v);
  return {};
}

// Largest module width taken, in centimetres: a metre-wide module is beyond
// any picture the outputs can hold anyway.
constexpr double kMaxModuleWidthCm = 100.0;

std::string applyModuleWidth(Options& o, std::string_view v) {
  double value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  // "!(value > 0)" also refuses NaN.
  if (v.empty() || ec != std::errc() || end != v.data() + v.size() || !(value > 0) || value > kMaxModuleWidthCm) {
    return "invalid module width '" + std::string(v) + "' (centimetres, above 0 and at most 100)";
  }
  o.moduleWidthCm = value;
  return {};
}

std::string applyOrientation(Options& o, std::string_view v) {
  if (!parseNumber(v, 0, 3, o.orientation)) return "invalid orientation '" + std::string(v) + "' (0 to 3)";
  return {};
}

std::string applyBorder(Options& o, std::string_view v) {
  static constexpr std::string_view kStyles[] = {"none", "dashed", "solid"};
  const std::string lower = lowerCase(v);
  for (int i = 0; i < 3; ++i) {
    if (lower == kStyles[i] || lower == std::string(1, static_cast<char>('0' + i))) {
      o.border = i;
      return {};
    }
  }
  return "invalid border '" + std::string(v) + "' (none, dashed or solid, or 0, 1 or 2)";
}

// Largest side --size takes, in pixels (logical units for the metafiles).
constexpr int kMaxSide = 1000000;

std::string applySize(Options& o, std::string_view v) {
  const size_t x = lowerCase(v).find('x');
  int width = 0, height = 0;
  if (x == std::string_view::npos || !parseNumber(v.substr(0, x), 1, kMaxSide, width) ||
      !parseNumber(v.substr(x + 1), 1, kMaxSide, height)) {
    return "invalid size '" + std::string(v) + "' (WIDTHxHEIGHT, 1 to 1000000 each)";
  }
  o.width = width;
  o.height = height;
  return {};
}

// RRGGBB in hexadecimal, with or without a leading '#'.
bool parseColour(std::string_view v, Colour& out) {
  if (!v.empty() && v[0] == '#') v.remove_prefix(1);
  if (v.size() != 6) return false;
  int parts[3] = {};
  for (int i = 0; i < 3; ++i) {
    const std::string_view digits = v.substr(2 * static_cast<size_t>(i), 2);
    if (!std::isxdigit(static_cast<unsigned char>(digits[0])) || !std::isxdigit(static_cast<unsigned char>(digits[1])))
      return false;
    std::from_chars(digits.data(), digits.data() + 2, parts[i], 16);
  }
  out = {parts[0], parts[1], parts[2]};
  return true;
}

std::string applyForeground(Options& o, std::string_view v) {
  if (!parseColour(v, o.foreground)) return "invalid colour '" + std::string(v) + "' (RRGGBB, hexadecimal)";
  return {};
}

std::string applyBackground(Options& o, std::string_view v) {
  if (!parseColour(v, o.background)) return "invalid colour '" + std::string(v) + "' (RRGGBB, hexadecimal)";
  return {};
}

std::string applyDpi(Options& o, std::string_view v) {
#ifdef _WIN32
  // The engine draws for the real display there; a picture of another size
  // than asked for would be worse than no picture.
  (void)o;
  (void)v;
  return "--dpi is not available on Windows: the pictures are drawn for the display's own resolution";
#else
  if (!parseNumber(v, 1, 9600, o.dpi)) return "invalid resolution '" + std::string(v) + "' (1 to 9600 dots per inch)";
  return {};
#endif
}

std::string applyReadFrom(Options& o, std::string_view v) {
  o.source = TextSource::File;
  o.inputPath = std::string(v);
  return {};
}

std::string applyHelp(Options& o, std::string_view) {
  o.showHelp = true;
  return {};
}

std::string applyShowVersion(Options& o, std::string_view) {
  o.showVersion = true;
  return {};
}

constexpr OptionSpec kOptions[] = {
    {'r', "read-from", "FILE", "read the text from FILE, byte for byte (- for standard input)", applyReadFrom},
    {'v', "symversion", "VERSION", "smallest version to use, 1 to 40 (default: the smallest that fits)", applyVersion},
    {'l', "level", "L|M|Q|H", "error-correction level (default: L)", applyLevel},
    {0, "mask", "auto|0..7", "mask pattern (default: auto, the lowest penalty)", applyMask},
    {'t', "type", "TYPE", "output type, see below (default: from -o's name, else utf8)", applyType},
    {'o', "output", "FILE", "write to FILE (- for standard output, the default for text types);\n"
                            "                          a name ending in .bmp, .wmf or .emf sets the type",
     applyOutput},
    {0, "module-cm", "CM", "pictures: module width in centimetres (default: 0.2)", applyModuleWidth},
    {0, "orientation", "0..3", "pictures: 0 a quarter turn clockwise, 1 upright (default),\n"
                               "                          2 a quarter turn anticlockwise, 3 half a turn",
     applyOrientation},
    {0, "border", "STYLE", "pictures: none (default), dashed or solid (or 0, 1, 2): a line\n"
                           "                          along the edges of the picture",
     applyBorder},
    {0, "size", "WxH", "pictures: width and height in pixels (default: the symbol and\n"
                       "                          a quiet zone of 4 modules on every side)",
     applySize},
    {0, "fg", "RRGGBB", "pictures: colour of the dark modules, hexadecimal (default: 000000)", applyForeground},
    {0, "bg", "RRGGBB", "pictures: background colour, hexadecimal (default: FFFFFF)", applyBackground},
    {0, "dpi", "N", "pictures: resolution of the display the engine draws for, in dots\n"
                    "                          per inch (default: 96; not on Windows, which has its own)",
     applyDpi},
    {'h', "help", nullptr, "show this help and exit", applyHelp},
    {'V', "version", nullptr, "show the program's version and exit", applyShowVersion},
};

const OptionSpec* findShort(char c) {
  for (const OptionSpec& entry : kOptions)
    if (entry.shortName != 0 && entry.shortName == c) return &entry;
  return nullptr;
}

const OptionSpec* findLong(std::string_view name) {
  for (const OptionSpec& entry : kOptions)
    if (entry.longName != nullptr && name == entry.longName) return &entry;
  return nullptr;
}

std::string spelling(const OptionSpec& entry) {
  std::string s;
  if (entry.shortName != 0) s += std::string("-") + entry.shortName;
  if (entry.shortName != 0 && entry.longName != nullptr) s += ", ";
  if (entry.longName != nullptr) s += std::string("--") + entry.longName;
  if (entry.argName != nullptr) s += std::string(" ") + entry.argName;
  return s;
}

}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& args) {
  ParseResult result;
  Options& o = result.options;
  std::vector<std::string> operands;
  bool optionsEnded = false;

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }

    const OptionSpec* entry = nullptr;
    std::string value;
    bool hasValue = false;
    std::string shown;  // the option as the user spelled it, for messages
    if (arg[1] == '-') {
      const size_t eq = arg.find('=');
      const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
      shown = "--" + name;
      entry = findLong(name);
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
        hasValue = true;
      }
      if (entry != nullptr && entry->argName == nullptr && hasValue) {
        result.error = "option '" + shown + "' takes no argument";
        return result;
      }
    } else {
      shown = arg.substr(0, 2);
      entry = findShort(arg[1]);
      if (arg.size() > 2) {
        if (entry != nullptr && entry->argName == nullptr) {
          // Flags do not bundle: "-hV" is refused rather than guessed at.
          result.error = "option '" + shown + "' takes no argument";
          return result;
        }
        value = arg.substr(2);
        hasValue = true;
      }
    }
    if (entry == nullptr) {
      result.error = "unknown option '" + shown + "'";
      return result;
    }
    if (entry->argName != nullptr && !hasValue) {
      if (i + 1 >= args.size()) {
        result.error = "option '" + shown + "' needs an argument";
        return result;
      }
      value = args[++i];
    }
    std::string error = entry->apply(o, value);
    if (!error.empty()) {
      result.error = std::move(error);
      return result;
    }
  }

  if (operands.size() > 1) {
    result.error = "more than one text given (quote a text that has spaces)";
    return result;
  }
  if (!operands.empty()) {
    if (o.source == TextSource::File) {
      result.error = "a text and -r FILE given; use one of them";
      return result;
    }
    if (operands[0] == "-") {
      o.source = TextSource::StandardInput;
    } else {
      o.source = TextSource::Argument;
      o.text = operands[0];
    }
  }
  if (o.showHelp || o.showVersion) return result;

  // The type: -t wins; otherwise a picture's file name ending decides. Any
  // other name needs -t, so that no picture name gets text, or the reverse.
  if (!o.typeGiven && !o.toStandardOutput()) {
    const OutputType* byName = findOutputForPath(o.outputPath);
    if (byName == nullptr) {
      result.error = "cannot tell the output type from the name '" + o.outputPath +
                     "' (.bmp, .wmf or .emf); give -t TYPE";
      return result;
    }
    o.type = byName->name;
  }
  // A picture goes to standard output only when asked for with -o -.
  if (findOutput(o.type)->extension != nullptr && o.outputPath.empty()) {
    result.error = "output type '" + o.type + "' needs -o FILE (- for standard output)";
    return result;
  }
  return result;
}

std::string usageLine() { return "usage: tesserine [OPTION]... [TEXT]\n"; }

std::string helpText() {
  std::string s = usageLine();
  s +=
      "Encodes TEXT (or standard input when TEXT is absent or '-') as a QR code symbol\n"
      "and prints it. The text is encoded byte for byte, as given.\n\nOptions:\n";
  for (const OptionSpec& entry : kOptions) {
    std::string left = "  " + spelling(entry);
    if (left.size() < 26) left.resize(26, ' ');
    else left += "\n" + std::string(26, ' ');
    s += left + entry.help + "\n";
  }
  s += "\nOutput types:\n";
  for (const OutputType& type : outputTypes()) {
    std::string left = std::string("  ") + type.name;
    if (left.size() < 26) left.resize(26, ' ');
    s += left + type.description + "\n";
  }
  s += "\nPictures are drawn by the engine: the module width is converted to pixels at the\n"
       "display's resolution, the symbol is centred in the picture, and a --size smaller\n"
       "than the symbol cuts it off. Black on white gives 1-bit BMP files, other colours\n"
       "4-bit ones (16 standard colours, each colour taking the nearest).\n";
  s += "\nExit status: 0 done, 1 the text fits no symbol or cannot be read or written,\n"
       "2 a bad command line.\n";
  return s;
}

std::string_view levelName(int level) {
  static constexpr std::string_view kNames[] = {"L", "M", "Q", "H"};
  return (level >= 0 && level < 4) ? kNames[level] : "?";
}

}  // namespace tesserine::cli
