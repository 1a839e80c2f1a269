// Device contexts without GDI: a raster surface with the few pieces of
// context state that drawing on a caller's context touches (mapping mode,
// window origin, pen). Logical point (x, y) is device pixel
// (x - windowOrgX, y - windowOrgY); only MM_TEXT is ever drawn under, since
// QRRender forces it, so the other modes are kept but never applied.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/exports/tesserine.h"
#include "engine/output/raster.h"

struct TesserineDeviceContext {
  std::unique_ptr<tesserine::RasterSurface> surface;
  int32_t mapMode = 1;  // MM_TEXT
  int32_t windowOrgX = 0, windowOrgY = 0;
};

namespace tesserine {

// The mapping modes, numbered as on Windows.
constexpr int32_t kMapModeText = 1;         // MM_TEXT
constexpr int32_t kMapModeAnisotropic = 8;  // MM_ANISOTROPIC, the highest

// A white surface of width x height pixels with the given resolution
// (negative values read as 0), MM_TEXT, window origin (0, 0) and a black
// pen. Null when the size is not positive or exceeds
// RasterSurface::kMaxPixels, or memory runs out.
TesserineDC createDC(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY);
void deleteDC(TesserineDC dc);  // null is ignored

// Device pixel (x, y) as 0x00BBGGRR; 0xFFFFFFFF outside the surface or for a
// null context.
uint32_t dcPixel(TesserineDC dc, int32_t x, int32_t y);

// The pen's colour (the high byte is ignored).
void setDCPen(TesserineDC dc, uint32_t colour);

// Sets the mapping mode (1 to 8) and returns the previous one; 0, with the
// mode unchanged, for another value or a null context.
int32_t setDCMapMode(TesserineDC dc, int32_t mode);

void setDCWindowOrg(TesserineDC dc, int32_t x, int32_t y);

}  // namespace tesserine
