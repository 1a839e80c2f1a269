#include "pictures.h"

#include <cstdio>

#include "outputs.h"
#include "platform.h"
#include "tesserine.h"

namespace tesserine::cli {

namespace {

std::string sizeText(long long width, long long height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

void warn(const std::string& message) { std::fprintf(stderr, "tesserine: warning: %s\n", message.c_str()); }

// Lets the engine write its file: to -o's path, or into a scratch
// directory and from there to standard output.
using SaveFile = short(TESSERINE_CALL*)(const char* path);

std::string saveThroughFile(SaveFile save, const char* extension, const Options& options) {
  if (!options.toStandardOutput()) {
    if (save(options.outputPath.c_str()) == -1) return {};
    const std::string why = platform::whyNotWritable(options.outputPath);
    return "cannot write '" + options.outputPath + "'" + (why.empty() ? "" : ": " + why);
  }
  platform::ScratchDirectory scratch;
  if (!scratch.made()) return scratch.error;
  const std::string& path = scratch.file(std::string("symbol") + extension);
  if (save(path.c_str()) != -1) return "cannot write the temporary file '" + path + "'";
  std::string bytes;
  if (!platform::readWholeFile(path, bytes)) return "cannot read the temporary file '" + path + "'";
  return deliver(bytes, options, false);
}

// Said once the picture is known to be drawable, just before it is drawn.
void warnIfCutOff(const PictureArea& area) {
  if (area.width < area.extent || area.height < area.extent) {
    warn("the symbol (" + sizeText(area.extent, area.extent) + ") does not fit the " +
         sizeText(area.width, area.height) + " picture and is cut off");
  }
}

}  // namespace

PictureArea preparePicture(const Symbol& symbol, const Options& options) {
  PictureArea area;
  QRSetBackColor(options.background.red, options.background.green, options.background.blue);
  QRSetBarColor(options.foreground.red, options.foreground.green, options.foreground.blue);
  QRAppearance(options.moduleWidthCm, options.orientation, options.border);
#ifndef _WIN32
  if (options.dpi > 0) QRSetDisplayResolution(options.dpi, options.dpi);
#endif

  int extent = 0, unused = 0;
  QRGetActualSize(-1, nullptr, &extent, &unused);
  short rows = 0, columns = 0;
  QRGetActualRC(&rows, &columns);
  if (rows != symbol.size) {
    area.error = "the engine's symbol changed size while drawing";  // cannot happen with one caller
    return area;
  }
  if (extent <= 0) {
    area.error = "a module of " + decimal(options.moduleWidthCm) +
                 " cm is under half a pixel on the display; give a larger --module-cm";
    return area;
  }
  area.extent = extent;
  area.moduleSize = extent / rows;
  if (options.width > 0) {
    area.width = options.width;
    area.height = options.height;
  } else {
    const long long side = static_cast<long long>(extent) + 2LL * kPictureQuietZone * area.moduleSize;
    if (side > 2147483647LL) {
      area.error = "a picture of " + sizeText(side, side) + " is too large to draw";
      return area;
    }
    area.width = area.height = static_cast<int>(side);
  }
  QRSetSize(area.width, area.height);
  return area;
}

std::string writeBmp(const Symbol& symbol, const Options& options) {
  const PictureArea area = preparePicture(symbol, options);
  if (!area.error.empty()) return area.error;
  if (static_cast<long long>(area.width) * area.height > kMaxBmpPixels) {
    return "a picture of " + sizeText(area.width, area.height) +
           " pixels is too large for a BMP file (at most 67108864 pixels)";
  }
  warnIfCutOff(area);
  return saveThroughFile(QRSaveAsBMP, ".bmp", options);
}

std::string writeWmf(const Symbol& symbol, const Options& options) {
  const PictureArea area = preparePicture(symbol, options);
  if (!area.error.empty()) return area.error;
  if (area.width > kMaxWmfSide || area.height > kMaxWmfSide) {
    return "a picture of " + sizeText(area.width, area.height) +
           " units is too large for a WMF file (at most 32767 a side)";
  }
  warnIfCutOff(area);
  return saveThroughFile(QRSaveAsWMF, ".wmf", options);
}

std::string writeEmf(const Symbol& symbol, const Options& options) {
  const PictureArea area = preparePicture(symbol, options);
  if (!area.error.empty()) return area.error;
  warnIfCutOff(area);
  if (QRCopyToClipboard() != -1) return "cannot put the picture on the clipboard";
  std::string bytes;
  if (!platform::readClipboardPicture(bytes)) return "cannot read the picture back from the clipboard";
  return deliver(bytes, options, false);
}

}  // namespace tesserine::cli
