// QRRender's device contexts without GDI: the engine's raster surfaces.
#include "engine/output/device_context_posix.h"

#include <algorithm>
#include <new>

#include "engine/output/drawing.h"
#include "engine/output/geometry.h"
#include "engine/output/render.h"

namespace tesserine {

namespace {

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The context seen in logical units: shifts by the window origin, then
// draws on the surface, which clips.
class ContextCanvas : public Canvas {
 public:
  explicit ContextCanvas(TesserineDeviceContext& dc) : dc_(dc) {}

  int32_t resolution(Axis axis) const override { return dc_.surface->resolution(axis); }
  void fillRect(const Rect& r, uint32_t colour) override {
    dc_.surface->fillRect({dx(r.left), dy(r.top), dx(r.right), dy(r.bottom)}, colour);
  }
  void line(Point from, Point to) override { dc_.surface->line({dx(from.x), dy(from.y)}, {dx(to.x), dy(to.y)}); }
  Rect visibleArea() const override {
    const Rect a = dc_.surface->visibleArea();
    return {clamp32(int64_t{a.left} + dc_.windowOrgX), clamp32(int64_t{a.top} + dc_.windowOrgY),
            clamp32(int64_t{a.right} + dc_.windowOrgX), clamp32(int64_t{a.bottom} + dc_.windowOrgY)};
  }

 private:
  int32_t dx(int32_t x) const { return clamp32(int64_t{x} - dc_.windowOrgX); }
  int32_t dy(int32_t y) const { return clamp32(int64_t{y} - dc_.windowOrgY); }

  TesserineDeviceContext& dc_;
};

}  // namespace

TesserineDC createDC(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY) {
  auto surface = RasterSurface::create(width, height, std::max(dpiX, 0), std::max(dpiY, 0));
  if (!surface) return nullptr;
  surface->fillRect({0, 0, width, height}, 0x00FFFFFF);
  auto* dc = new (std::nothrow) TesserineDeviceContext;
  if (dc == nullptr) return nullptr;
  dc->surface = std::move(surface);
  return dc;
}

void deleteDC(TesserineDC dc) { delete dc; }

uint32_t dcPixel(TesserineDC dc, int32_t x, int32_t y) {
  if (dc == nullptr || x < 0 || y < 0 || x >= dc->surface->width() || y >= dc->surface->height()) return 0xFFFFFFFF;
  return dc->surface->pixel(x, y);
}

void setDCPen(TesserineDC dc, uint32_t colour) {
  if (dc != nullptr) dc->surface->setPenColour(colour & 0x00FFFFFF);
}

int32_t setDCMapMode(TesserineDC dc, int32_t mode) {
  if (dc == nullptr || mode < kMapModeText || mode > kMapModeAnisotropic) return 0;
  const int32_t previous = dc->mapMode;
  dc->mapMode = mode;
  return previous;
}

void setDCWindowOrg(TesserineDC dc, int32_t x, int32_t y) {
  if (dc == nullptr) return;
  dc->windowOrgX = x;
  dc->windowOrgY = y;
}

int32_t dcResolution(TesserineDC dc, Axis axis) { return dc == nullptr ? 0 : dc->surface->resolution(axis); }

void render(const EncoderSettings& s, TesserineDC dc, int32_t x, int32_t y) {
  if (dc == nullptr) return;
  const int32_t previousMode = dc->mapMode;
  dc->mapMode = kMapModeText;
  ContextCanvas canvas(*dc);
  const int32_t moduleSize = computeModuleSize(canvas.resolution(renderAxis(s.orientation)), s.moduleWidthCm);
  drawSymbol(canvas, s, renderOrigin(x), renderOrigin(y), moduleSize);
  dc->mapMode = previousMode;
}

}  // namespace tesserine
