#include "symbol.h"

#include "tesserine.h"

namespace tesserine::cli {

std::optional<Symbol> encodeText(const std::string& text, const Options& options) {
  QRSetDefault();
  QRSetMessage(text.c_str());
  // QRConfigure: 0 = automatic version and mask, masks 0..7 are settings 1..8.
  QRConfigure(options.minVersion, options.level, options.mask < 0 ? 0 : options.mask + 1);

  unsigned int length = 0;
  short rows = 0;
  short columns = 0;
  // With no buffer the engine reports the size (result 0), or -1 with all
  // three values 0 when the text fits no version.
  if (QRGetPatternData(nullptr, &length, &rows, &columns) != 0 || rows <= 0 || rows != columns) {
    return std::nullopt;
  }
  Symbol symbol;
  symbol.size = rows;
  symbol.pattern.assign(length, '0');
  unsigned int capacity = length;
  if (length != static_cast<unsigned int>(rows) * static_cast<unsigned int>(rows) ||
      QRGetPatternData(symbol.pattern.data(), &capacity, nullptr, nullptr) != -1) {
    return std::nullopt;
  }
  return symbol;
}

}  // namespace tesserine::cli
