#include "engine/output/drawing.h"

#include <algorithm>

namespace tesserine {

namespace {

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

int64_t floorDiv4(int64_t v) { return v >= 0 ? v / 4 : -((-v + 3) / 4); }

// One dashed edge pair: dashes of 4 units from `from` over `length` units,
// the toggle `on` flipping after every step; a drawn dash whose successor
// would pass the limit runs up to one unit before the far corner. Only the
// steps whose dash can reach [lo, hi) along the edge are visited (a dash
// covers at most 7 units from its start); the toggle state of step k is
// `on` flipped k times. Returns the toggle after the last step.
template <typename DrawPair>
bool dashes(int64_t from, int32_t length, bool on, int64_t lo, int64_t hi, DrawPair drawPair) {
  const int64_t steps = length / 4;
  if (steps <= 0) return on;
  const int64_t limit = from + length - 1;
  const int64_t first = std::max<int64_t>(0, floorDiv4(lo - from - 6));
  const int64_t last = std::min<int64_t>(steps - 1, floorDiv4(hi - 1 - from));
  for (int64_t k = first; k <= last; ++k) {
    const bool drawn = on != ((k & 1) != 0);
    if (!drawn) continue;
    const int64_t start = from + 4 * k;
    int64_t end = start + 4;
    if (end + 4 > limit) end = limit;
    if (end > limit) end = limit;
    drawPair(start, end);
  }
  return on != ((steps & 1) != 0);
}

}  // namespace

void drawBorder(Canvas& target, const EncoderSettings& s, int32_t originX, int32_t originY, bool solid) {
  // Sums of an origin and a size exceed 32 bits; the lines are axis-parallel,
  // so clamping their ends keeps every pixel a target can hold.
  const int64_t oX = originX, oY = originY, w = s.outputWidth, h = s.outputHeight;
  auto line = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    target.line({clamp32(x0), clamp32(y0)}, {clamp32(x1), clamp32(y1)});
  };
  if (solid) {
    line(oX, oY, oX + w, oY);
    line(oX + w - 1, oY, oX + w - 1, oY + h);
    line(oX + w, oY + h - 1, oX, oY + h - 1);
    line(oX, oY + h, oX, oY);
    return;
  }
  const Rect view = target.visibleArea();
  bool on = dashes(oX, s.outputWidth, true, view.left, view.right, [&](int64_t a, int64_t b) {
    line(a, oY, b, oY);
    line(a, oY + h - 1, b, oY + h - 1);
  });
  dashes(oY, s.outputHeight, on, view.top, view.bottom, [&](int64_t a, int64_t b) {
    line(oX, a, oX, b);
    line(oX + w - 1, a, oX + w - 1, b);
  });
}

void drawEncoded(Canvas& target, const EncoderSettings& s, const EncodedSymbol& symbol, const DrawLayout& layout) {
  target.fillRect({layout.originX, layout.originY, clamp32(int64_t{layout.originX} + s.outputWidth),
                   clamp32(int64_t{layout.originY} + s.outputHeight)},
                  s.backColor);
  const int n = symbol.size();
  const uint8_t* modules = symbol.matrix.modules();
  for (int c = 0; c < n; ++c)
    for (int r = n - 1; r >= 0; --r)
      if (modules[static_cast<size_t>(r) * n + c]) target.fillRect(moduleCell(layout, r, c), s.barColor);
  if (s.borderStyle == 1) drawBorder(target, s, layout.originX, layout.originY, false);
  if (s.borderStyle == 2) drawBorder(target, s, layout.originX, layout.originY, true);
}

bool drawSymbol(Canvas& target, const EncoderSettings& s, int32_t originX, int32_t originY, int32_t moduleSize) {
  EncodedSymbol symbol;
  if (!encodeSymbol(s, symbol)) return false;
  drawEncoded(target, s, symbol, placeSymbol(s, symbol.size(), moduleSize, originX, originY));
  return true;
}

}  // namespace tesserine
