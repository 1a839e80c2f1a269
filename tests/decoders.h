// Decoder round trips: a pattern text drawn as a grayscale picture, and two
// independent QR decoders (zbar and ZXing) that read the bytes back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testkit {

struct GrayImage {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // row by row, 0 black, 255 white
};

// The symbol of a pattern text (N * N bytes '1'/'0', columns left to right,
// each column bottom up) in its standard reading position, with a light
// quiet zone of `quietModules` modules and `pixelsPerModule` pixels a side.
GrayImage drawPatternText(const std::string& patternText, int pixelsPerModule = 3, int quietModules = 4);

// The decoded bytes of the one QR code in the picture, nothing when none is
// found. zbar is asked for the raw bytes (no character-set conversion).
std::optional<std::string> decodeWithZbar(const GrayImage& image);
std::optional<std::string> decodeWithZxing(const GrayImage& image);

}  // namespace testkit
