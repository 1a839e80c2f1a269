// The engine's own raster surface: a pixel buffer that the drawing fills on
// platforms without GDI (and that the bitmap output converts to a BMP).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/output/canvas.h"

namespace tesserine {

class RasterSurface : public Canvas {
 public:
  // A surface of width x height pixels, every pixel 0 (black), as a new
  // bitmap starts, with the given resolution along both axes. Fails (see
  // create) for sizes that are not positive or too large to allocate.
  static std::unique_ptr<RasterSurface> create(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Pixel (x, y), y from the top, as 0x00BBGGRR.
  uint32_t pixel(int32_t x, int32_t y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const std::vector<uint32_t>& pixels() const { return pixels_; }

  // The pen that draws lines: one unit wide, black unless changed.
  void setPenColour(uint32_t colour) { pen_ = colour; }

  int32_t resolution(Axis axis) const override { return axis == Axis::kWidth ? dpiX_ : dpiY_; }
  // Both clip to the surface; nothing is written outside it.
  void fillRect(const Rect& r, uint32_t colour) override;
  void line(Point from, Point to) override;
  Rect visibleArea() const override { return {0, 0, width_, height_}; }

  // Largest pixel count a surface may have, 8192 x 8192 (256 MiB of
  // pixels): guards the allocation and the stride and size arithmetic of
  // the outputs built from it, which then fit 32 bits with room to spare.
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;

 private:
  RasterSurface(int32_t w, int32_t h, int32_t dpiX, int32_t dpiY);
  void plot(int64_t x, int64_t y);

  int32_t width_, height_, dpiX_, dpiY_;
  uint32_t pen_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace tesserine
