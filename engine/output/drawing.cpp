#include "engine/output/drawing.h"

namespace tesserine {

namespace {

// One dashed edge pair: dashes of 4 units from `from`, the last drawn dash
// running up to one unit before the far corner.
template <typename DrawPair>
void dashes(int32_t from, int32_t length, bool& on, DrawPair drawPair) {
  const int64_t limit = int64_t{from} + length - 1;
  for (int32_t k = 0; k < length / 4; ++k) {
    const int64_t start = int64_t{from} + 4 * int64_t{k};
    int64_t end = start + 4;
    if (end + 4 > limit && on) end = limit;
    if (end > limit) end = limit;
    if (on) drawPair(static_cast<int32_t>(start), static_cast<int32_t>(end));
    on = !on;
  }
}

}  // namespace

void drawBorder(Canvas& target, const EncoderSettings& s, int32_t oX, int32_t oY, bool solid) {
  const int32_t w = s.outputWidth, h = s.outputHeight;
  if (solid) {
    target.line({oX, oY}, {oX + w, oY});
    target.line({oX + w - 1, oY}, {oX + w - 1, oY + h});
    target.line({oX + w, oY + h - 1}, {oX, oY + h - 1});
    target.line({oX, oY + h}, {oX, oY});
    return;
  }
  bool on = true;
  dashes(oX, w, on, [&](int32_t a, int32_t b) {
    target.line({a, oY}, {b, oY});
    target.line({a, oY + h - 1}, {b, oY + h - 1});
  });
  dashes(oY, h, on, [&](int32_t a, int32_t b) {
    target.line({oX, a}, {oX, b});
    target.line({oX + w - 1, a}, {oX + w - 1, b});
  });
}

void drawEncoded(Canvas& target, const EncoderSettings& s, const EncodedSymbol& symbol, const DrawLayout& layout) {
  target.fillRect({layout.originX, layout.originY, layout.originX + s.outputWidth, layout.originY + s.outputHeight},
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
