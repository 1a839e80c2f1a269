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
  return {};
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
    {'t', "type", "TYPE", "output type, see below (default: utf8)", applyType},
    {'h', "help", nullptr, "show this help and exit", applyHelp},
    {'V', "version", nullptr, "show the program's version and exit", applyShowVersion},
};

const OptionSpec* findShort(char c) {
  for (const OptionSpec& spec : kOptions)
    if (spec.shortName != 0 && spec.shortName == c) return &spec;
  return nullptr;
}

const OptionSpec* findLong(std::string_view name) {
  for (const OptionSpec& spec : kOptions)
    if (spec.longName != nullptr && name == spec.longName) return &spec;
  return nullptr;
}

std::string spelling(const OptionSpec& spec) {
  std::string s;
  if (spec.shortName != 0) s += std::string("-") + spec.shortName;
  if (spec.shortName != 0 && spec.longName != nullptr) s += ", ";
  if (spec.longName != nullptr) s += std::string("--") + spec.longName;
  if (spec.argName != nullptr) s += std::string(" ") + spec.argName;
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

    const OptionSpec* spec = nullptr;
    std::string value;
    bool hasValue = false;
    std::string shown;  // the option as the user spelled it, for messages
    if (arg[1] == '-') {
      const size_t eq = arg.find('=');
      const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
      shown = "--" + name;
      spec = findLong(name);
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
        hasValue = true;
      }
      if (spec != nullptr && spec->argName == nullptr && hasValue) {
        result.error = "option '" + shown + "' takes no argument";
        return result;
      }
    } else {
      shown = arg.substr(0, 2);
      spec = findShort(arg[1]);
      if (arg.size() > 2) {
        if (spec != nullptr && spec->argName == nullptr) {
          // Flags do not bundle: "-hV" is refused rather than guessed at.
          result.error = "option '" + shown + "' takes no argument";
          return result;
        }
        value = arg.substr(2);
        hasValue = true;
      }
    }
    if (spec == nullptr) {
      result.error = "unknown option '" + shown + "'";
      return result;
    }
    if (spec->argName != nullptr && !hasValue) {
      if (i + 1 >= args.size()) {
        result.error = "option '" + shown + "' needs an argument";
        return result;
      }
      value = args[++i];
    }
    std::string error = spec->apply(o, value);
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
  return result;
}

std::string usageLine() { return "usage: tesserine [OPTION]... [TEXT]\n"; }

std::string helpText() {
  std::string s = usageLine();
  s +=
      "Encodes TEXT (or standard input when TEXT is absent or '-') as a QR code symbol\n"
      "and prints it. The text is encoded byte for byte, as given.\n\nOptions:\n";
  for (const OptionSpec& spec : kOptions) {
    std::string left = "  " + spelling(spec);
    if (left.size() < 26) left.resize(26, ' ');
    else left += "\n" + std::string(26, ' ');
    s += left + spec.help + "\n";
  }
  s += "\nOutput types:\n";
  for (const OutputType& type : outputTypes()) {
    std::string left = std::string("  ") + type.name;
    if (left.size() < 26) left.resize(26, ' ');
    s += left + type.description + "\n";
  }
  s += "\nExit status: 0 done, 1 the text fits no symbol or cannot be read or written,\n"
       "2 a bad command line.\n";
  return s;
}

std::string_view levelName(int level) {
  static constexpr std::string_view kNames[] = {"L", "M", "Q", "H"};
  return (level >= 0 && level < 4) ? kNames[level] : "?";
}

}  // namespace tesserine::cli
