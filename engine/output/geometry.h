// Symbol geometry: the module size on a device, where the symbol lies in the
// output area, and which drawn cell each matrix module takes in each of the
// four orientations.
#pragma once

#include <cstdint>

#include "engine/encoder/settings.h"
#include "engine/output/canvas.h"

namespace tesserine {

struct DrawLayout {
  int32_t originX = 0, originY = 0;  // top-left corner of the output area
  int32_t moduleSize = 0;
  int32_t size = 0;          // N, modules on a side
  int32_t symbolExtent = 0;  // N * moduleSize
  int32_t marginX = 0, marginY = 0;  // (area - extent) / 2, truncated toward zero
  int32_t cornerX = 0, cornerY = 0;  // top-left of the symbol square, relative to the origin
  uint16_t orientation = 0;
};

// Inches per centimetre.
constexpr double kInchPerCm = 0.39370078740157477;

// resolution * width * (1/2.54) in double precision, truncated, plus 1 when
// the fraction is strictly above one half; 0 when the width is exactly 0.
int32_t computeModuleSize(int32_t resolution, float moduleWidthCm);

// The resolution axis an operation reads: drawing on a caller's context and
// measuring read the height axis for orientations 0 and 2; the file and
// clipboard outputs read the width axis for them. 1 and 3 swap.
Axis renderAxis(uint16_t orientation);
Axis fileAxis(uint16_t orientation);

// Lays out a symbol of n modules for the settings' area and orientation.
DrawLayout placeSymbol(const EncoderSettings& s, int32_t n, int32_t moduleSize, int32_t originX, int32_t originY);

// The target rectangle of matrix module (r, c).
Rect moduleCell(const DrawLayout& layout, int r, int c);

// The drawn size of the symbol on a device of the given resolution along
// the measuring axis, 0 when the message fits no version.
int32_t actualSize(const EncoderSettings& s, int32_t resolution);

}  // namespace tesserine
