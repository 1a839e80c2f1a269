#include "outputs.h"

#include <cctype>

#include "pictures.h"
#include "platform.h"

namespace tesserine::cli {

std::string renderUtf8(const Symbol& symbol, bool inverted) {
  // Glyphs by (upper ink, lower ink): none, lower only, upper only, both.
  static constexpr std::string_view kGlyphs[4] = {" ", "\xE2\x96\x84", "\xE2\x96\x80", "\xE2\x96\x88"};
  const int n = symbol.size;
  const int side = n + 2 * kQuietZone;
  // Dark-module test in picture coordinates, where the quiet zone is light.
  auto dark = [&](int y, int x) {
    const int r = y - kQuietZone;
    const int c = x - kQuietZone;
    return r >= 0 && r < n && c >= 0 && c < n && symbol.dark(r, c);
  };
  std::string out;
  out.reserve(static_cast<size_t>((side + 1) / 2) * (static_cast<size_t>(side) * 3 + 1));
  for (int y = 0; y < side; y += 2) {
    for (int x = 0; x < side; ++x) {
      // The row below the picture (odd side) is light in either rendering.
      const bool upper = dark(y, x) != inverted;
      const bool lower = y + 1 < side ? dark(y + 1, x) != inverted : inverted;
      out += kGlyphs[(upper ? 2 : 0) + (lower ? 1 : 0)];
    }
    out += '\n';
  }
  return out;
}

namespace {

std::string writeUtf8(const Symbol& symbol, const Options& options) {
  return deliver(renderUtf8(symbol, false), options, true);
}

std::string writeUtf8Inverted(const Symbol& symbol, const Options& options) {
  return deliver(renderUtf8(symbol, true), options, true);
}

// The engine's pattern bytes unchanged, then one newline.
std::string writePattern(const Symbol& symbol, const Options& options) {
  return deliver(symbol.pattern + '\n', options, false);
}

constexpr OutputType kOutputTypes[] = {
    {"utf8", "UTF-8 half blocks, dark modules as ink (dark text on a light background)", writeUtf8},
    {"utf8i", "UTF-8 half blocks, light modules as ink (light text on a dark background)", writeUtf8Inverted},
    {"pattern", "the engine's pattern data, then a newline: N*N bytes '1' (dark) or '0',\n"
                "                          columns left to right, each from its bottom row up",
     writePattern},
    {"bmp", "BMP file drawn by the engine (QRSaveAsBMP), 1 bit per pixel for black\n"
            "                          on white, else 4",
     writeBmp, ".bmp"},
    {"wmf", "placeable Windows metafile drawn by the engine (QRSaveAsWMF)", writeWmf, ".wmf"},
    {"emf", "enhanced metafile the engine puts on the clipboard (QRCopyToClipboard);\n"
            "                          on Windows this replaces what the clipboard held",
     writeEmf, ".emf"},
};

}  // namespace

std::span<const OutputType> outputTypes() { return kOutputTypes; }

const OutputType* findOutput(std::string_view name) {
  for (const OutputType& type : kOutputTypes)
    if (name == type.name) return &type;
  return nullptr;
}

const OutputType* findOutputForPath(std::string_view path) {
  for (const OutputType& type : kOutputTypes) {
    if (type.extension == nullptr) continue;
    const std::string_view ending(type.extension);
    if (path.size() <= ending.size()) continue;  // a bare ".bmp" names no picture
    const std::string_view tail = path.substr(path.size() - ending.size());
    bool same = true;
    for (size_t i = 0; i < ending.size(); ++i)
      same = same && std::tolower(static_cast<unsigned char>(tail[i])) == ending[i];
    if (same) return &type;
  }
  return nullptr;
}

std::string deliver(std::string_view bytes, const Options& options, bool utf8Text) {
  if (options.toStandardOutput()) {
    if (!platform::writeStandardOutput(bytes, utf8Text)) return "cannot write to standard output";
    return {};
  }
  std::string why;
  if (!platform::writeNewFile(options.outputPath, bytes, why)) return "cannot write '" + options.outputPath + "': " + why;
  return {};
}

}  // namespace tesserine::cli
