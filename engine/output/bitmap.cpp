#include "engine/output/bitmap.h"

#include <new>

#include "engine/output/drawing.h"
#include "engine/output/geometry.h"
#include "engine/output/platform.h"

namespace tesserine {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
  put16(p, v & 0xFFFF);
  put16(p + 2, v >> 16);
}

int channel(uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

}  // namespace

int nearestColourIndex(uint32_t colour, const uint32_t* palette, int count) {
  int best = 0;
  int bestDistance = INT32_MAX;
  for (int i = 0; i < count; ++i) {
    int distance = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int d = channel(colour, shift) - channel(palette[i], shift);
      distance += d * d;
    }
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

int bmpDepth(const EncoderSettings& s) { return s.backColorDepth == 1 && s.barColorDepth == 1 ? 1 : 4; }

int64_t bmpStride(int32_t width, int depth) { return ((int64_t{depth} * width + 31) & ~int64_t{31}) / 8; }

bool buildBmp(const RasterSurface& surface, int depth, std::vector<uint8_t>& out) {
  out.clear();
  const int32_t width = surface.width(), height = surface.height();
  const uint32_t* palette = depth == 1 ? kBmpPalette2 : kBmpPalette16;
  const int colours = depth == 1 ? 2 : 16;
  // The surface holds at most kMaxPixels pixels, so these fit 32 bits.
  const int64_t stride = bmpStride(width, depth);
  const int64_t imageSize = stride * height;
  const int64_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;
  const int64_t fileSize = offset + imageSize;
  static_assert(RasterSurface::kMaxPixels * 4 / 8 + (int64_t{1} << 20) < INT32_MAX);
  try {
    out.assign(static_cast<size_t>(fileSize), 0);
  } catch (const std::bad_alloc&) {
    out.clear();
    return false;
  }
  uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  put32(p + 2, static_cast<uint32_t>(fileSize));
  put32(p + 10, static_cast<uint32_t>(offset));
  uint8_t* info = p + kFileHeaderSize;
  put32(info + 0, kInfoHeaderSize);
  put32(info + 4, static_cast<uint32_t>(width));
  put32(info + 8, static_cast<uint32_t>(height));
  put16(info + 12, 1);
  put16(info + 14, static_cast<uint32_t>(depth));
  put32(info + 20, static_cast<uint32_t>(imageSize));  // compression, resolutions and counts stay 0
  uint8_t* table = info + kInfoHeaderSize;
  for (int i = 0; i < colours; ++i) {
    table[4 * i + 0] = static_cast<uint8_t>(channel(palette[i], 16));
    table[4 * i + 1] = static_cast<uint8_t>(channel(palette[i], 8));
    table[4 * i + 2] = static_cast<uint8_t>(channel(palette[i], 0));
  }
  // A drawing holds few colours: remember the last one mapped.
  uint32_t lastColour = surface.pixel(0, 0);
  int lastIndex = nearestColourIndex(lastColour, palette, colours);
  const int perByte = 8 / depth;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = p + offset + stride * (height - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t colour = surface.pixel(x, y);
      if (colour != lastColour) {
        lastColour = colour;
        lastIndex = nearestColourIndex(colour, palette, colours);
      }
      const int shift = 8 - depth * (x % perByte + 1);
      row[x / perByte] |= static_cast<uint8_t>(lastIndex << shift);
    }
  }
  return true;
}

int16_t saveAsBmp(const EncoderSettings& s, const char* path) {
  platform::deleteFile(path);
  if (path == nullptr) return 0;
  const auto surface = RasterSurface::create(s.outputWidth, s.outputHeight, platform::displayResolution(Axis::kWidth),
                                             platform::displayResolution(Axis::kHeight));
  if (!surface) return 0;
  // A target without a resolution would borrow the display's; this one has it.
  const Axis axis = fileAxis(s.orientation);
  int32_t resolution = surface->resolution(axis);
  if (resolution == 0) resolution = platform::displayResolution(axis);
  if (!drawSymbol(*surface, s, 0, 0, computeModuleSize(resolution, s.moduleWidthCm))) return 0;
  std::vector<uint8_t> file;
  if (!buildBmp(*surface, bmpDepth(s), file)) return 0;
  return platform::writeNewFile(path, {std::span<const uint8_t>(file)}) ? -1 : 0;
}

}  // namespace tesserine
