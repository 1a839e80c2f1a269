// The vector outputs: the drawing recorded as a Windows metafile (written to
// a file behind a placeable header) and as an enhanced metafile (handed to
// the clipboard). The engine writes both formats itself, so they come out
// the same on every platform.
//
// Records used, all standard and played by GDI, libwmf and emf2svg alike:
//  - WMF: META_SETWINDOWEXT, META_SETWINDOWORG; per colour once
//    META_CREATEBRUSHINDIRECT, and META_SELECTOBJECT whenever the colour
//    changes; one META_PATBLT (PATCOPY) per fill; META_MOVETO + META_LINETO
//    per line (the player's default pen: black, one unit); at the end
//    META_DELETEOBJECT for each brush no longer selected (the selected one is
//    left to the player, which deletes what remains in its object table, as
//    deleting a selected brush fails on some players) and META_EOF.
//  - EMF: EMR_HEADER, EMR_SETMAPMODE (MM_TEXT), EMR_SETWINDOWEXTEX,
//    EMR_SETWINDOWORGEX; brushes as EMR_CREATEBRUSHINDIRECT and
//    EMR_SELECTOBJECT; one EMR_BITBLT with PATCOPY and no source per fill
//    (what the platform records for a FillRect); EMR_MOVETOEX + EMR_LINETO
//    per line; at the end the stock white brush selected, the brushes deleted
//    (EMR_DELETEOBJECT) and EMR_EOF.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/encoder/settings.h"
#include "engine/output/canvas.h"

namespace tesserine {

// The module size the file and clipboard outputs draw at on `target`: its
// resolution along the file axis of the orientation, or the display's along
// the same axis when the target reports none.
int32_t recordingModuleSize(const Canvas& target, const EncoderSettings& s);

// ---- Windows metafile --------------------------------------------------------

// Record functions (low byte: the function, high byte: parameter words).
namespace wmf {
constexpr uint16_t kEof = 0x0000;
constexpr uint16_t kSetWindowOrg = 0x020B;
constexpr uint16_t kSetWindowExt = 0x020C;
constexpr uint16_t kLineTo = 0x0213;
constexpr uint16_t kMoveTo = 0x0214;
constexpr uint16_t kSelectObject = 0x012D;
constexpr uint16_t kDeleteObject = 0x01F0;
constexpr uint16_t kCreateBrushIndirect = 0x02FC;
constexpr uint16_t kPatBlt = 0x061D;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;  // METAHEADER, 9 words
}  // namespace wmf

// The raster operation of a pattern fill: destination = brush.
constexpr uint32_t kPatCopy = 0x00F00021;

// Records the drawing as WMF records in logical units. Coordinates and
// sizes are 16-bit in this format: each value keeps its low 16 bits, as the
// platform's own recording does.
class WmfRecorder : public Canvas {
 public:
  // Starts with the window extent (width, height) and the window origin (0, 0).
  WmfRecorder(int32_t width, int32_t height);

  // A metafile context has no resolution of its own.
  int32_t resolution(Axis) const override { return 0; }
  void fillRect(const Rect& r, uint32_t colour) override;
  void line(Point from, Point to) override;

  // Ends the recording and returns the metafile: its 18-byte header (memory
  // metafile, version 0x0300, size, object count and largest record filled
  // in), the records and the end record. The recorder is spent afterwards.
  std::vector<uint8_t> finish();

 private:
  void record(uint16_t function, std::initializer_list<uint16_t> params);
  uint16_t brushFor(uint32_t colour);

  std::vector<uint8_t> records_;
  std::vector<uint32_t> brushes_;  // colour of each object slot
  int selected_ = -1;
  uint32_t maxRecordWords_ = 0;
};

// The 22-byte placeable header: key, handle 0, bounding box (0, 0, low 16
// bits of width and height), units per inch (low 16 bits), reserved 0 and
// the XOR of the ten words before the checksum.
std::array<uint8_t, wmf::kPlaceableSize> placeableHeader(int32_t width, int32_t height, int32_t unitsPerInch);

// ---- Enhanced metafile -------------------------------------------------------

namespace emf {
constexpr uint32_t kHeader = 1;
constexpr uint32_t kSetWindowExtEx = 9;
constexpr uint32_t kSetWindowOrgEx = 10;
constexpr uint32_t kEof = 14;
constexpr uint32_t kSetMapMode = 17;
constexpr uint32_t kMoveToEx = 27;
constexpr uint32_t kSelectObject = 37;
constexpr uint32_t kCreateBrushIndirect = 39;
constexpr uint32_t kDeleteObject = 40;
constexpr uint32_t kLineTo = 54;
constexpr uint32_t kBitBlt = 76;
constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kStockWhiteBrush = 0x80000000;
constexpr uint32_t kMmText = 1;
constexpr size_t kHeaderSize = 108;  // with both header extensions
// The reference device the pictures are recorded for: a display of this
// many pixels at the display's resolution. Its size in millimetres follows
// from the resolution, so that a player converts the frame back into the
// same pixels the drawing covers.
constexpr int32_t kReferenceWidth = 1024;
constexpr int32_t kReferenceHeight = 768;
}  // namespace emf

// Records the drawing as EMF records in logical units, with the display (of
// the given resolution) as reference device.
class EmfRecorder : public Canvas {
 public:
  // Starts with the mapping mode MM_TEXT, the window extent (width, height)
  // and the window origin (0, 0).
  EmfRecorder(int32_t width, int32_t height, int32_t dpiX, int32_t dpiY);

  // The reference device's resolution.
  int32_t resolution(Axis axis) const override { return axis == Axis::kWidth ? dpiX_ : dpiY_; }
  void fillRect(const Rect& r, uint32_t colour) override;
  void line(Point from, Point to) override;

  // Ends the recording and returns the enhanced metafile. The header's
  // bounds are the device pixels the drawing touches, inclusive (fills
  // without their right and bottom edges, lines with both end points, as
  // the platform accumulates them), or (0, 0, -1, -1) when nothing was
  // drawn; the frame is the bounds in 0.01 mm at the reference resolution.
  // The recorder is spent afterwards.
  std::vector<uint8_t> finish();

 private:
  void beginRecord(uint32_t type, uint32_t size);
  void put32(uint32_t v);
  uint32_t brushFor(uint32_t colour);
  void include(int64_t left, int64_t top, int64_t right, int64_t bottom);

  int32_t dpiX_, dpiY_;
  std::vector<uint8_t> records_;
  uint32_t recordCount_ = 0;
  std::vector<uint32_t> brushes_;  // colour of handle i + 1
  uint32_t selected_ = 0;          // 0: no brush of ours selected
  bool empty_ = true;
  int64_t boundLeft_ = 0, boundTop_ = 0, boundRight_ = -1, boundBottom_ = -1;
};

// ---- The outputs --------------------------------------------------------------

// The drawing of the current settings as a Windows metafile (the bytes a
// placeable header precedes in the file). False, `out` untouched, when
// there is nothing to draw: the message fits no version or the area is
// empty (a width or height that is not positive).
bool recordWmf(const EncoderSettings& s, std::vector<uint8_t>& out);

// The drawing of the current settings as an enhanced metafile recorded for
// the display of the given resolution. False as for recordWmf.
bool recordEnhancedMetafile(const EncoderSettings& s, int32_t dpiX, int32_t dpiY, std::vector<uint8_t>& out);

// QRSaveAsWMF: deletes any file named `path` first, then writes the
// placeable WMF of the drawing there. -1 when written; 0, with no file,
// when there is nothing to draw (see recordWmf) or the file cannot be
// written completely.
int16_t saveAsWmf(const EncoderSettings& s, const char* path);

// QRCopyToClipboard: puts the enhanced metafile of the drawing on the
// clipboard in place of everything it held. -1 when done; 0, with the
// clipboard unchanged, when there is nothing to draw or the clipboard
// cannot be opened.
int16_t copyToClipboard(const EncoderSettings& s);

#ifndef _WIN32
// QRGetClipboardData: copies the clipboard's enhanced metafile into `buffer`
// of `*length` bytes. -1 when copied, `*length` now its size; 0 when the
// buffer is null or too small, `*length` now the size needed and the buffer
// untouched; 0 with `*length` 0 when the clipboard holds no enhanced
// metafile or cannot be opened. A null `length` gives 0 and writes nothing.
int16_t getClipboardData(uint8_t* buffer, uint32_t* length);
#endif

}  // namespace tesserine
