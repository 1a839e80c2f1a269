#include "engine/output/metafile.h"

#include <algorithm>
#include <bit>
#include <new>
#include <span>

#include "engine/output/drawing.h"
#include "engine/output/geometry.h"
#include "engine/output/platform.h"

namespace tesserine {

namespace {

constexpr uint16_t kSolidBrush = 0;  // BS_SOLID

uint16_t low16(int64_t v) { return static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFF); }
uint16_t high16(uint32_t v) { return static_cast<uint16_t>(v >> 16); }

void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, static_cast<uint16_t>(v));
  put16(out, high16(v));
}

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// v * num / den rounded to nearest (halves away from zero); den > 0.
int64_t scaleRounded(int64_t v, int64_t num, int64_t den) {
  const int64_t p = v * num;
  return p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den);
}

}  // namespace

int32_t recordingModuleSize(const Canvas& target, const EncoderSettings& s) {
  const Axis axis = fileAxis(s.orientation);
  int32_t dpi = target.resolution(axis);
  if (dpi == 0) dpi = platform::displayResolution(axis);
  return computeModuleSize(dpi, s.moduleWidthCm);
}

// ---- Windows metafile --------------------------------------------------------

WmfRecorder::WmfRecorder(int32_t width, int32_t height) {
  // Parameters of a record are stored last first: y before x.
  record(wmf::kSetWindowExt, {low16(height), low16(width)});
  record(wmf::kSetWindowOrg, {0, 0});
}

void WmfRecorder::record(uint16_t function, std::initializer_list<uint16_t> params) {
  const uint32_t words = 3 + static_cast<uint32_t>(params.size());
  put32(records_, words);
  put16(records_, function);
  for (uint16_t p : params) put16(records_, p);
  maxRecordWords_ = std::max(maxRecordWords_, words);
}

uint16_t WmfRecorder::brushFor(uint32_t colour) {
  const auto found = std::find(brushes_.begin(), brushes_.end(), colour);
  if (found != brushes_.end()) return static_cast<uint16_t>(found - brushes_.begin());
  // A new object takes the lowest free slot of the player's table; no slot
  // is ever freed before the end, so that is the next one.
  brushes_.push_back(colour);
  record(wmf::kCreateBrushIndirect, {kSolidBrush, low16(colour), high16(colour), 0});
  return static_cast<uint16_t>(brushes_.size() - 1);
}

void WmfRecorder::fillRect(const Rect& r, uint32_t colour) {
  const uint16_t brush = brushFor(colour);
  if (selected_ != brush) {
    record(wmf::kSelectObject, {brush});
    selected_ = brush;
  }
  // An inverted rectangle fills nothing, as on every other canvas.
  const int64_t width = std::max<int64_t>(int64_t{r.right} - r.left, 0);
  const int64_t height = std::max<int64_t>(int64_t{r.bottom} - r.top, 0);
  record(wmf::kPatBlt, {low16(kPatCopy), high16(kPatCopy), low16(height), low16(width), low16(r.top), low16(r.left)});
}

void WmfRecorder::line(Point from, Point to) {
  record(wmf::kMoveTo, {low16(from.y), low16(from.x)});
  record(wmf::kLineTo, {low16(to.y), low16(to.x)});
}

std::vector<uint8_t> WmfRecorder::finish() {
  for (size_t i = 0; i < brushes_.size(); ++i)
    if (static_cast<int>(i) != selected_) record(wmf::kDeleteObject, {static_cast<uint16_t>(i)});
  record(wmf::kEof, {});

  std::vector<uint8_t> out;
  out.reserve(wmf::kHeaderSize + records_.size());
  put16(out, 1);  // mtType: in memory
  put16(out, wmf::kHeaderSize / 2);
  put16(out, 0x0300);  // mtVersion
  put32(out, static_cast<uint32_t>((wmf::kHeaderSize + records_.size()) / 2));
  put16(out, static_cast<uint16_t>(brushes_.size()));  // mtNoObjects
  put32(out, maxRecordWords_);
  put16(out, 0);  // mtNoParameters
  out.insert(out.end(), records_.begin(), records_.end());
  records_.clear();
  return out;
}

std::array<uint8_t, wmf::kPlaceableSize> placeableHeader(int32_t width, int32_t height, int32_t unitsPerInch) {
  const uint16_t words[10] = {
      static_cast<uint16_t>(wmf::kPlaceableKey), high16(wmf::kPlaceableKey),
      0,                                       // hmf
      0, 0, low16(width), low16(height),       // bounding box
      low16(unitsPerInch), 0, 0,               // inch, reserved
  };
  uint16_t checksum = 0;
  std::array<uint8_t, wmf::kPlaceableSize> out{};
  for (size_t i = 0; i < 10; ++i) {
    checksum ^= words[i];
    out[2 * i] = static_cast<uint8_t>(words[i]);
    out[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
  }
  out[20] = static_cast<uint8_t>(checksum);
  out[21] = static_cast<uint8_t>(checksum >> 8);
  return out;
}

// ---- Enhanced metafile -------------------------------------------------------

EmfRecorder::EmfRecorder(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY) : dpiX_(dpiX), dpiY_(dpiY) {
  beginRecord(emf::kSetMapMode, 12);
  put32(emf::kMmText);
  beginRecord(emf::kSetWindowExtEx, 16);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  beginRecord(emf::kSetWindowOrgEx, 16);
  put32(0);
  put32(0);
}

void EmfRecorder::beginRecord(uint32_t type, uint32_t size) {
  put32(type);
  put32(size);
  ++recordCount_;
}

void EmfRecorder::put32(uint32_t v) { tesserine::put32(records_, v); }

uint32_t EmfRecorder::brushFor(uint32_t colour) {
  const auto found = std::find(brushes_.begin(), brushes_.end(), colour);
  if (found != brushes_.end()) return static_cast<uint32_t>(found - brushes_.begin()) + 1;
  brushes_.push_back(colour);
  const uint32_t handle = static_cast<uint32_t>(brushes_.size());  // index 0 is the metafile itself
  beginRecord(emf::kCreateBrushIndirect, 24);
  put32(handle);
  put32(kSolidBrush);
  put32(colour);
  put32(0);  // hatch
  return handle;
}

void EmfRecorder::include(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  if (empty_) {
    boundLeft_ = left, boundTop_ = top, boundRight_ = right, boundBottom_ = bottom;
    empty_ = false;
    return;
  }
  boundLeft_ = std::min(boundLeft_, left);
  boundTop_ = std::min(boundTop_, top);
  boundRight_ = std::max(boundRight_, right);
  boundBottom_ = std::max(boundBottom_, bottom);
}

void EmfRecorder::fillRect(const Rect& r, uint32_t colour) {
  const uint32_t brush = brushFor(colour);
  if (selected_ != brush) {
    beginRecord(emf::kSelectObject, 12);
    put32(brush);
    selected_ = brush;
  }
  const int64_t width = std::max<int64_t>(int64_t{r.right} - r.left, 0);
  const int64_t height = std::max<int64_t>(int64_t{r.bottom} - r.top, 0);
  const int64_t right = r.left + width - 1, bottom = r.top + height - 1;
  if (width > 0 && height > 0) include(r.left, r.top, right, bottom);

  beginRecord(emf::kBitBlt, 100);
  for (int64_t v : {int64_t{r.left}, int64_t{r.top}, right, bottom}) put32(static_cast<uint32_t>(clamp32(v)));
  for (int64_t v : {int64_t{r.left}, int64_t{r.top}, width, height}) put32(static_cast<uint32_t>(clamp32(v)));
  put32(kPatCopy);
  put32(0);  // xSrc
  put32(0);  // ySrc
  for (float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) put32(std::bit_cast<uint32_t>(f));  // xformSrc
  put32(0);  // crBkColorSrc
  put32(0);  // iUsageSrc: DIB_RGB_COLORS
  for (int i = 0; i < 4; ++i) put32(0);  // no source bitmap
}

void EmfRecorder::line(Point from, Point to) {
  include(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y));
  beginRecord(emf::kMoveToEx, 16);
  put32(static_cast<uint32_t>(from.x));
  put32(static_cast<uint32_t>(from.y));
  beginRecord(emf::kLineTo, 16);
  put32(static_cast<uint32_t>(to.x));
  put32(static_cast<uint32_t>(to.y));
}

std::vector<uint8_t> EmfRecorder::finish() {
  if (selected_ != 0) {
    beginRecord(emf::kSelectObject, 12);
    put32(emf::kStockWhiteBrush);
  }
  for (size_t i = 0; i < brushes_.size(); ++i) {
    beginRecord(emf::kDeleteObject, 12);
    put32(static_cast<uint32_t>(i + 1));
  }
  beginRecord(emf::kEof, 20);
  put32(0);   // nPalEntries
  put32(16);  // offPalEntries
  put32(20);  // nSizeLast

  // The reference device: its resolution, or the common 96 dots per inch
  // when the display reports none, so that the sizes stay defined.
  const int64_t dpiX = dpiX_ > 0 ? dpiX_ : 96, dpiY = dpiY_ > 0 ? dpiY_ : 96;
  const int64_t left = boundLeft_, top = boundTop_, right = boundRight_, bottom = boundBottom_;

  std::vector<uint8_t> out;
  out.reserve(emf::kHeaderSize + records_.size());
  tesserine::put32(out, emf::kHeader);
  tesserine::put32(out, emf::kHeaderSize);
  for (int64_t v : {left, top, right, bottom}) tesserine::put32(out, static_cast<uint32_t>(clamp32(v)));
  // The frame in 0.01 mm: 2,540 of them to the inch.
  for (int64_t v : {scaleRounded(left, 2540, dpiX), scaleRounded(top, 2540, dpiY), scaleRounded(right, 2540, dpiX),
                    scaleRounded(bottom, 2540, dpiY)})
    tesserine::put32(out, static_cast<uint32_t>(clamp32(v)));
  tesserine::put32(out, emf::kSignature);
  tesserine::put32(out, 0x00010000);  // nVersion
  tesserine::put32(out, static_cast<uint32_t>(emf::kHeaderSize + records_.size()));
  tesserine::put32(out, recordCount_ + 1);
  put16(out, static_cast<uint16_t>(brushes_.size() + 1));  // nHandles, index 0 included
  put16(out, 0);                                           // sReserved
  tesserine::put32(out, 0);                                // nDescription
  tesserine::put32(out, 0);                                // offDescription
  tesserine::put32(out, 0);                                // nPalEntries
  tesserine::put32(out, emf::kReferenceWidth);
  tesserine::put32(out, emf::kReferenceHeight);
  tesserine::put32(out, static_cast<uint32_t>(scaleRounded(emf::kReferenceWidth, 254, dpiX * 10)));
  tesserine::put32(out, static_cast<uint32_t>(scaleRounded(emf::kReferenceHeight, 254, dpiY * 10)));
  tesserine::put32(out, 0);  // cbPixelFormat
  tesserine::put32(out, 0);  // offPixelFormat
  tesserine::put32(out, 0);  // bOpenGL
  tesserine::put32(out, static_cast<uint32_t>(scaleRounded(emf::kReferenceWidth, 25400, dpiX)));
  tesserine::put32(out, static_cast<uint32_t>(scaleRounded(emf::kReferenceHeight, 25400, dpiY)));
  out.insert(out.end(), records_.begin(), records_.end());
  records_.clear();
  return out;
}

// ---- The outputs --------------------------------------------------------------

namespace {

bool drawable(const EncoderSettings& s) { return s.outputWidth > 0 && s.outputHeight > 0; }

}  // namespace

bool recordWmf(const EncoderSettings& s, std::vector<uint8_t>& out) {
  if (!drawable(s)) return false;
  WmfRecorder recorder(s.outputWidth, s.outputHeight);
  if (!drawSymbol(recorder, s, 0, 0, recordingModuleSize(recorder, s))) return false;
  out = recorder.finish();
  return true;
}

bool recordEnhancedMetafile(const EncoderSettings& s, int32_t dpiX, int32_t dpiY, std::vector<uint8_t>& out) {
  if (!drawable(s)) return false;
  EmfRecorder recorder(s.outputWidth, s.outputHeight, dpiX, dpiY);
  if (!drawSymbol(recorder, s, 0, 0, recordingModuleSize(recorder, s))) return false;
  out = recorder.finish();
  return true;
}

int16_t saveAsWmf(const EncoderSettings& s, const char* path) {
  platform::deleteFile(path);
  try {
    std::vector<uint8_t> metafile;
    if (!recordWmf(s, metafile)) return 0;
    const auto header = placeableHeader(s.outputWidth, s.outputHeight, platform::displayResolution(Axis::kWidth));
    return platform::writeNewFile(path, {std::span<const uint8_t>(header), std::span<const uint8_t>(metafile)}) ? -1
                                                                                                                : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int16_t copyToClipboard(const EncoderSettings& s) {
  try {
    std::vector<uint8_t> picture;
    if (!recordEnhancedMetafile(s, platform::displayResolution(Axis::kWidth),
                                platform::displayResolution(Axis::kHeight), picture))
      return 0;
    return platform::putEnhancedMetafileOnClipboard(std::move(picture)) ? -1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

#ifndef _WIN32
int16_t getClipboardData(uint8_t* buffer, uint32_t* length) {
  if (length == nullptr) return 0;
  try {
    std::vector<uint8_t> picture;
    if (!platform::readClipboard(platform::kClipboardEnhMetafile, picture)) {
      *length = 0;
      return 0;
    }
    // The pictures the engine records are far below 4 GiB; a larger one
    // could not be reported through *length and is treated as absent.
    if (picture.size() > UINT32_MAX) {
      *length = 0;
      return 0;
    }
    const uint32_t size = static_cast<uint32_t>(picture.size());
    if (buffer == nullptr || *length < size) {
      *length = size;
      return 0;
    }
    std::copy(picture.begin(), picture.end(), buffer);
    *length = size;
    return -1;
  } catch (const std::bad_alloc&) {
    *length = 0;
    return 0;
  }
}
#endif

}  // namespace tesserine
