#include "engine/output/raster.h"

#include <algorithm>
#include <new>

namespace tesserine {

std::unique_ptr<RasterSurface> RasterSurface::create(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY) {
  if (width <= 0 || height <= 0) return nullptr;
  if (int64_t{width} * height > kMaxPixels) return nullptr;
  try {
    return std::unique_ptr<RasterSurface>(new RasterSurface(width, height, dpiX, dpiY));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

RasterSurface::RasterSurface(int32_t w, int32_t h, int32_t dpiX, int32_t dpiY)
    : width_(w), height_(h), dpiX_(dpiX), dpiY_(dpiY), pixels_(static_cast<size_t>(w) * h, 0) {}

void RasterSurface::fillRect(const Rect& r, uint32_t colour) {
  // An empty or inverted rectangle fills nothing.
  const int64_t left = std::max<int64_t>(r.left, 0), right = std::min<int64_t>(r.right, width_);
  const int64_t top = std::max<int64_t>(r.top, 0), bottom = std::min<int64_t>(r.bottom, height_);
  if (left >= right || top >= bottom) return;
  for (int64_t y = top; y < bottom; ++y) {
    uint32_t* row = &pixels_[static_cast<size_t>(y) * width_];
    std::fill(row + left, row + right, colour);
  }
}

void RasterSurface::plot(int64_t x, int64_t y) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<size_t>(y) * width_ + x] = pen_;
}

void RasterSurface::line(Point from, Point to) {
  // Bresenham from `from` towards `to`, the end point excluded.
  int64_t x = from.x, y = from.y;
  const int64_t dx = std::abs(int64_t{to.x} - from.x), dy = -std::abs(int64_t{to.y} - from.y);
  const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
  if (dy == 0) {  // horizontal: clip to the surface first
    if (y < 0 || y >= height_) return;
    int64_t a = x, b = int64_t{to.x} - sx;  // inclusive ends
    if (dx == 0) return;
    if (a > b) std::swap(a, b);
    a = std::max<int64_t>(a, 0);
    b = std::min<int64_t>(b, width_ - 1);
    for (int64_t i = a; i <= b; ++i) plot(i, y);
    return;
  }
  if (dx == 0) {  // vertical
    if (x < 0 || x >= width_) return;
    int64_t a = y, b = int64_t{to.y} - sy;
    if (a > b) std::swap(a, b);
    a = std::max<int64_t>(a, 0);
    b = std::min<int64_t>(b, height_ - 1);
    for (int64_t i = a; i <= b; ++i) plot(x, i);
    return;
  }
  int64_t err = dx + dy;
  while (!(x == to.x && y == to.y)) {
    plot(x, y);
    const int64_t e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

}  // namespace tesserine
