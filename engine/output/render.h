// Drawing on a caller's device context (QRRender) and measuring on one
// (QRGetActualSize). Each platform implements render and dcResolution over
// its own device contexts: GDI's on Windows, the engine's raster surfaces
// elsewhere (device_context_posix.h).
#pragma once

#include <cstdint>

#include "engine/encoder/settings.h"
#include "engine/exports/tesserine.h"
#include "engine/output/canvas.h"

namespace tesserine {

// QRRender's origin: the low 16 bits of an argument, zero-extended.
constexpr int32_t renderOrigin(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) & 0xFFFF); }

// Draws the symbol into `dc` with the output area's top-left corner at
// (renderOrigin(x), renderOrigin(y)) in the context's logical coordinates.
// The mapping mode is MM_TEXT for the call and restored after it; the
// window origin stays as set and shifts the drawing; the context's pen
// draws the border. The module size comes from dcResolution along
// renderAxis, with no fallback (0 gives a module size of 0). Draws nothing
// when the message fits no version. A null dc is ignored.
void render(const EncoderSettings& s, TesserineDC dc, int32_t x, int32_t y);

// The context's logical dots per inch along its width or height; 0 for a
// null context or one without a resolution.
int32_t dcResolution(TesserineDC dc, Axis axis);

// The drawn size of the symbol, without margins, on the display (the low
// 16 bits of useDisplay all set) or on dc, read along renderAxis with no
// fallback; 0 x 0 when the message fits no version. Null pointers are not
// written.
void getActualSize(const EncoderSettings& s, int32_t useDisplay, TesserineDC dc, int32_t* width, int32_t* height);

}  // namespace tesserine
