// The picture outputs of the tesserine tool: the engine draws the symbol as
// a BMP file (QRSaveAsBMP), a placeable WMF file (QRSaveAsWMF) or an
// enhanced metafile on the clipboard (QRCopyToClipboard), through its public
// exports only.
#pragma once

#include <string>

#include "options.h"
#include "symbol.h"

namespace tesserine::cli {

// Modules of quiet zone on every side of the default picture.
constexpr int kPictureQuietZone = 4;

// Largest BMP the engine draws (QRSaveAsBMP: 67,108,864 pixels in all), and
// the largest side a WMF file holds (its coordinates are signed 16 bits).
constexpr long long kMaxBmpPixels = 67108864;
constexpr int kMaxWmfSide = 32767;

struct PictureArea {
  int width = 0, height = 0;  // the output area, in pixels or logical units
  int moduleSize = 0;         // one module's edge at the display's resolution
  int extent = 0;             // the symbol's edge: N * moduleSize
  std::string error;          // for the user, when no picture can be drawn
};

// Hands the options' drawing settings to the engine (colours, module width,
// orientation, border, the display's resolution for --dpi) and works out
// the output area: --size when given, else the symbol and a quiet zone of
// kPictureQuietZone modules on every side (the module size is the
// display-measured extent of QRGetActualSize over the N of QRGetActualRC),
// and sets it with QRSetSize. The text must already be set (encodeText).
PictureArea preparePicture(const Symbol& symbol, const Options& options);

// The rows of the output table: each writes -o's file, or standard output
// for -o - (through a file in a private scratch directory for BMP and WMF,
// which the engine writes only to files).
std::string writeBmp(const Symbol& symbol, const Options& options);
std::string writeWmf(const Symbol& symbol, const Options& options);
std::string writeEmf(const Symbol& symbol, const Options& options);

}  // namespace tesserine::cli
