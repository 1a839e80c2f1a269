// What the drawing needs of a target: its resolution, rectangle fills and
// one-unit lines. Implemented by the engine's raster surface, its metafile
// recorders and, on Windows, a caller's device context through GDI.
#pragma once

#include <cstdint>

namespace tesserine {

enum class Axis { kWidth, kHeight };  // LOGPIXELSX, LOGPIXELSY

struct Rect {
  int32_t left, top, right, bottom;  // right and bottom edges excluded
};

struct Point {
  int32_t x, y;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Logical dots per inch along the target's width or height; 0 when the
  // target has no resolution of its own (a metafile being recorded).
  virtual int32_t resolution(Axis axis) const = 0;
  // Fills `r` (right and bottom excluded) with a solid colour 0x00BBGGRR.
  virtual void fillRect(const Rect& r, uint32_t colour) = 0;
  // Moves to `from` and draws a line to `to` with the target's current pen:
  // the start point is drawn, the end point is not.
  virtual void line(Point from, Point to) = 0;
  // The logical coordinates whose drawing can show (right and bottom
  // excluded). Drawing may skip fills and lines wholly outside it; a target
  // that keeps everything (a recorder) leaves it at the whole 32-bit plane.
  virtual Rect visibleArea() const { return {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}; }
};

}  // namespace tesserine
