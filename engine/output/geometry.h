// Symbol geometry: the module size on a device, where the symbol lies in the
// output area, and which drawn cell each matrix module takes in each of the
// four orientations.
#pragma once

#include <cstdint>

#include "engine/encoder/settings.h"
#include "engine/output/canvas.h"

namespace tesserine {

// The lengths derived from the module size are kept in 64 bits: a module
// size near the 32-bit limit gives an extent and margins beyond it, and the
// cells that still fall inside a target must land where they belong.
struct DrawLayout {
  int32_t originX = 0, originY = 0;  // top-left corner of the output area
  int32_t moduleSize = 0;
  int32_t size = 0;          // N, modules on a side
  int64_t symbolExtent = 0;  // N * moduleSize
  int64_t marginX = 0, marginY = 0;  // (area - extent) / 2, truncated toward zero
  int64_t cornerX = 0, cornerY = 0;  // top-left of the symbol square, relative to the origin
  uint16_t orientation = 0;
};

// Inches per centimetre.
constexpr double kInchPerCm = 0.39370078740157477;

// resolution * width * (1/2.54) in double precision, truncated, plus 1 when
// the fraction is strictly above one half; 0 when the width is exactly 0.
// Results beyond the 32-bit range are clamped to it (an infinite width gives
// INT32_MAX at a positive resolution, 0 at a resolution of 0).
int32_t computeModuleSize(int32_t resolution, float moduleWidthCm);

// The resolution axis an operation reads: drawing on a caller's context and
// measuring read the height axis for orientations 0 and 2; the file and
// clipboard outputs read the width axis for them. 1 and 3 swap.
Axis renderAxis(uint16_t orientation);
Axis fileAxis(uint16_t orientation);

// Lays out a symbol of n modules for the settings' area and orientation.
DrawLayout placeSymbol(const EncoderSettings& s, int32_t n, int32_t moduleSize, int32_t originX, int32_t originY);

// The target rectangle of matrix module (r, c), its coordinates clamped to
// the 32-bit range (which keeps the part inside any target exact).
Rect moduleCell(const DrawLayout& layout, int r, int c);

// The drawn size of the symbol on a device of the given resolution along
// the measuring axis, 0 when the message fits no version; clamped to
// INT32_MAX when it exceeds the 32-bit range.
int32_t actualSize(const EncoderSettings& s, int32_t resolution);

}  // namespace tesserine
