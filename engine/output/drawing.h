// Drawing the symbol: the background of the whole output area, one filled
// square per dark module (columns left to right, each from the bottom row
// up) and the optional dashed or solid border along the area's edges.
#pragma once

#include <cstdint>

#include "engine/encoder/encode_symbol.h"
#include "engine/encoder/settings.h"
#include "engine/output/canvas.h"
#include "engine/output/geometry.h"

namespace tesserine {

// Encodes the message and draws it on `target` with the output area's
// top-left corner at the origin, at the given module size. Returns false,
// having drawn nothing at all, when the message fits no version.
bool drawSymbol(Canvas& target, const EncoderSettings& s, int32_t originX, int32_t originY, int32_t moduleSize);

// Draws an encoded symbol laid out by `layout` (the steps after encoding).
void drawEncoded(Canvas& target, const EncoderSettings& s, const EncodedSymbol& symbol, const DrawLayout& layout);

// The border lines of the output area: solid (four lines) or dashed (dashes
// and gaps of 4 units, the toggle carried from the horizontal edges to the
// vertical ones).
void drawBorder(Canvas& target, const EncoderSettings& s, int32_t originX, int32_t originY, bool solid);

}  // namespace tesserine
