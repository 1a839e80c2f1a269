// tesserine: prints a QR code symbol of a text, made by the Tesserine engine
// through its public exports.
//
// Exit status: 0 done; 1 the text fits no symbol, or the input or output
// failed; 2 a bad command line.
#include <cstdio>
#include <string>
#include <vector>

#include "input.h"
#include "options.h"
#include "outputs.h"
#include "platform.h"
#include "symbol.h"

#ifndef TESSERINE_VERSION_STRING
#define TESSERINE_VERSION_STRING "unknown"
#endif

namespace {

using namespace tesserine::cli;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(const std::string& message) {
  std::fprintf(stderr, "tesserine: %s\n", message.c_str());
  return kExitFailure;
}

int run(const std::vector<std::string>& args) {
  const ParseResult parsed = parseCommandLine(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "tesserine: %s\n%sTry 'tesserine --help' for more information.\n", parsed.error.c_str(),
                 usageLine().c_str());
    return kExitUsage;
  }
  const Options& options = parsed.options;
  if (options.showHelp) {
    return platform::writeStandardOutput(helpText(), true) ? 0 : fail("cannot write to standard output");
  }
  if (options.showVersion) {
    return platform::writeStandardOutput("tesserine " TESSERINE_VERSION_STRING "\n", true)
               ? 0
               : fail("cannot write to standard output");
  }

  const InputText input = readInputText(options);
  if (!input.error.empty()) return fail(input.error);
  // The engine takes NUL-terminated texts: a NUL would silently cut the text
  // short, so such a text is refused instead. A text longer than the bytes
  // kept cannot fit the engine's message store, let alone a symbol.
  const bool complete = input.length == input.bytes.size();
  const size_t nul = input.bytes.find('\0');
  if (complete && nul != std::string::npos) {
    return fail("text holds a NUL byte at offset " + std::to_string(nul) + "; texts with NUL bytes cannot be encoded");
  }
  std::optional<Symbol> symbol;
  if (complete) symbol = encodeText(input.bytes, options);
  if (!symbol) {
    return fail("text of " + std::to_string(input.length) + " bytes does not fit any version at level " +
                std::string(levelName(options.level)));
  }
  const std::string error = findOutput(options.type)->write(*symbol, options);
  if (!error.empty()) return fail(error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  platform::useBinaryStandardStreams();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return run(args);
}
