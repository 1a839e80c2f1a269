#include "engine/output/geometry.h"

#include <cmath>
#include <cstdint>

#include "engine/encoder/encode_symbol.h"

namespace tesserine {

namespace {

int32_t clamp32(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v); }

}  // namespace

int32_t computeModuleSize(int32_t resolution, float moduleWidthCm) {
  if (moduleWidthCm == 0.0f) return 0;
  const double x = static_cast<double>(resolution) * static_cast<double>(moduleWidthCm) * kInchPerCm;
  // 0 * infinity; the width is never NaN or negative through the setters.
  if (std::isnan(x)) return 0;
  // Sizes beyond the 32-bit range are not drawable: clamp before converting.
  if (x >= 2147483647.0) return INT32_MAX;
  if (x <= -2147483648.0) return INT32_MIN;
  const double whole = std::trunc(x);
  int32_t size = static_cast<int32_t>(whole);
  if (x - whole > 0.5) ++size;
  return size;
}

Axis renderAxis(uint16_t orientation) { return orientation % 2 == 0 ? Axis::kHeight : Axis::kWidth; }
Axis fileAxis(uint16_t orientation) { return orientation % 2 == 0 ? Axis::kWidth : Axis::kHeight; }

DrawLayout placeSymbol(const EncoderSettings& s, int32_t n, int32_t moduleSize, int32_t originX, int32_t originY) {
  DrawLayout l;
  l.originX = originX;
  l.originY = originY;
  l.moduleSize = moduleSize;
  l.size = n;
  l.orientation = s.orientation;
  // 64-bit intermediates: a huge module size must not overflow the layout.
  const int64_t extent = static_cast<int64_t>(n) * moduleSize;
  l.symbolExtent = extent;
  l.marginX = (int64_t{s.outputWidth} - extent) / 2;
  l.marginY = (int64_t{s.outputHeight} - extent) / 2;
  switch (s.orientation) {
    case 1:
      l.cornerX = l.marginX;
      l.cornerY = int64_t{s.outputHeight} - l.marginY - extent;
      break;
    case 2:
      l.cornerX = int64_t{s.outputWidth} - l.marginX - extent;
      l.cornerY = l.marginY;
      break;
    default:
      l.cornerX = l.marginX;
      l.cornerY = l.marginY;
      break;
  }
  return l;
}

Rect moduleCell(const DrawLayout& l, int r, int c) {
  const int n = l.size;
  int x = 0, y = 0;
  switch (l.orientation) {
    case 0: x = n - 1 - r; y = c; break;
    case 1: x = c; y = r; break;
    case 2: x = r; y = n - 1 - c; break;
    default: x = n - 1 - c; y = n - 1 - r; break;
  }
  // At most 2^31 + 2^33 + 177 * 2^31 in magnitude: well inside 64 bits.
  const int64_t left = int64_t{l.originX} + l.cornerX + int64_t{x} * l.moduleSize;
  const int64_t top = int64_t{l.originY} + l.cornerY + int64_t{y} * l.moduleSize;
  return {clamp32(left), clamp32(top), clamp32(left + l.moduleSize), clamp32(top + l.moduleSize)};
}

int32_t actualSize(const EncoderSettings& s, int32_t resolution) {
  const int32_t moduleSize = computeModuleSize(resolution, s.moduleWidthCm);
  EncodedSymbol symbol;
  if (!encodeSymbol(s, symbol)) return 0;
  return clamp32(static_cast<int64_t>(symbol.size()) * moduleSize);
}

}  // namespace tesserine
