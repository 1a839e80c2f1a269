// Drawing on a caller's device context through GDI.
#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/output/drawing.h"
#include "engine/output/geometry.h"
#include "engine/output/render.h"

namespace tesserine {

namespace {

// A Canvas over an HDC. Fills use solid brushes made once per colour for the
// life of the canvas (one drawing) and never selected into the context;
// lines use whatever pen the context has selected.
class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  ~GdiCanvas() override {
    for (auto& entry : brushes_) DeleteObject(entry.second);
  }
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  int32_t resolution(Axis axis) const override { return dcResolution(dc_, axis); }

  void fillRect(const Rect& r, uint32_t colour) override {
    const RECT rect{r.left, r.top, r.right, r.bottom};
    if (HBRUSH b = brushFor(colour)) FillRect(dc_, &rect, b);
  }

  void line(Point from, Point to) override {
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
  }

 private:
  HBRUSH brushFor(uint32_t colour) {
    for (const auto& entry : brushes_)
      if (entry.first == colour) return entry.second;
    HBRUSH made = CreateSolidBrush(static_cast<COLORREF>(colour));
    if (made != nullptr) brushes_.emplace_back(colour, made);
    return made;
  }

  HDC dc_;
  std::vector<std::pair<uint32_t, HBRUSH>> brushes_;  // two colours per drawing
};

// Forces MM_TEXT for the drawing and gives the caller's context back as it
// was: the mapping mode, the window and viewport extents a scaling mode
// carries (switching to MM_TEXT resets them) and the current position the
// border lines move.
class MappingGuard {
 public:
  explicit MappingGuard(HDC dc) : dc_(dc) {
    GetCurrentPositionEx(dc_, &position_);
    mode_ = GetMapMode(dc_);
    scaled_ = mode_ == MM_ISOTROPIC || mode_ == MM_ANISOTROPIC;
    if (scaled_) {
      GetWindowExtEx(dc_, &windowExt_);
      GetViewportExtEx(dc_, &viewportExt_);
    }
    SetMapMode(dc_, MM_TEXT);
  }
  ~MappingGuard() {
    if (mode_ != 0) SetMapMode(dc_, mode_);
    if (scaled_) {
      SetWindowExtEx(dc_, windowExt_.cx, windowExt_.cy, nullptr);
      SetViewportExtEx(dc_, viewportExt_.cx, viewportExt_.cy, nullptr);
    }
    MoveToEx(dc_, position_.x, position_.y, nullptr);
  }
  MappingGuard(const MappingGuard&) = delete;
  MappingGuard& operator=(const MappingGuard&) = delete;

 private:
  HDC dc_;
  int mode_ = 0;
  bool scaled_ = false;
  SIZE windowExt_{}, viewportExt_{};
  POINT position_{};
};

}  // namespace

int32_t dcResolution(TesserineDC dc, Axis axis) {
  if (dc == nullptr) return 0;
  return GetDeviceCaps(dc, axis == Axis::kWidth ? LOGPIXELSX : LOGPIXELSY);
}

void render(const EncoderSettings& s, TesserineDC dc, int32_t x, int32_t y) {
  if (dc == nullptr) return;
  const int32_t originX = renderOrigin(x);
  const int32_t originY = renderOrigin(y);
  MappingGuard mapping(dc);
  GdiCanvas canvas(dc);
  // The caller's own resolution, with no fallback: a context that reports
  // none gets a module size of 0.
  const int32_t moduleSize = computeModuleSize(canvas.resolution(renderAxis(s.orientation)), s.moduleWidthCm);
  drawSymbol(canvas, s, originX, originY, moduleSize);
}

}  // namespace tesserine
