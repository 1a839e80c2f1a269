#include "engine/output/render.h"

#include "engine/output/geometry.h"
#include "engine/output/platform.h"

namespace tesserine {

void getActualSize(const EncoderSettings& s, int32_t useDisplay, TesserineDC dc, int32_t* width, int32_t* height) {
  const Axis axis = renderAxis(s.orientation);
  const bool display = (static_cast<uint32_t>(useDisplay) & 0xFFFF) == 0xFFFF;
  const int32_t size = actualSize(s, display ? platform::displayResolution(axis) : dcResolution(dc, axis));
  if (width != nullptr) *width = size;
  if (height != nullptr) *height = size;
}

}  // namespace tesserine
