// Bitmap file output: the symbol drawn on a raster surface of the output
// area's size at the display's resolution, written as an uncompressed
// bottom-up BMP (14-byte file header, 40-byte information header, colour
// table, pixel rows padded to 4 bytes) of 1 or 4 bits per pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/encoder/settings.h"
#include "engine/output/raster.h"

namespace tesserine {

// The colour table of 4-bit files in index order, as 0x00BBGGRR: black,
// dark red, dark green, olive, navy, purple, teal, grey, silver, red, lime,
// yellow, blue, magenta, cyan, white.
constexpr uint32_t kBmpPalette16[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
// The table of 1-bit files: black, then white (dark modules are 0 bits).
constexpr uint32_t kBmpPalette2[2] = {0x000000, 0xFFFFFF};

// The entry of `palette` nearest to `colour`: least squared distance over
// red, green and blue, the lower index on ties.
int nearestColourIndex(uint32_t colour, const uint32_t* palette, int count);

// 1 bit per pixel when both depth hints are 1, else 4.
int bmpDepth(const EncoderSettings& s);

// Bytes per pixel row: depth * width bits rounded up to a multiple of 32.
int64_t bmpStride(int32_t width, int depth);

// The complete file for the surface at 1 or 4 bits per pixel, each pixel
// mapped to its nearest table entry, padding bits zero. False (and `out`
// empty) when its memory cannot be had.
bool buildBmp(const RasterSurface& surface, int depth, std::vector<uint8_t>& out);

// Deletes the file at `path` (always, ignoring the outcome), then draws the
// symbol and writes the file. -1 when the file was written completely; 0,
// leaving no file, when the message fits no version, the area is not
// drawable (width or height not positive, or more than
// RasterSurface::kMaxPixels pixels), memory runs out, the path is null or
// the file cannot be created or written in full.
int16_t saveAsBmp(const EncoderSettings& s, const char* path);

}  // namespace tesserine
