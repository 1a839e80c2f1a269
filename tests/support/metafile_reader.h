// A reader and player of the metafiles the engine writes, for the tests: it
// parses placeable WMF files and enhanced metafiles record by record,
// checking the sizes and counts their headers state, turns the records into
// the fills and lines they express (as a player would, with its own object
// table and current position) and plays those into a raster surface.
//
// It knows the record numbers of the formats on its own, not from the
// engine, so a wrong number in the engine shows up as an unknown record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/output/canvas.h"
#include "engine/output/raster.h"

namespace tesserine::test {

// One drawing call: a fill or a line.
struct DrawOp {
  enum class Kind { kFill, kLine } kind;
  Rect rect{};          // a fill, right and bottom excluded
  uint32_t colour = 0;  // a fill's colour, 0x00BBGGRR
  Point from{}, to{};   // a line

  static DrawOp fill(Rect r, uint32_t colour) { return {Kind::kFill, r, colour, {}, {}}; }
  static DrawOp line(Point from, Point to) { return {Kind::kLine, {}, 0, from, to}; }
  bool operator==(const DrawOp& o) const;
};
std::string describe(const DrawOp& op);

// A canvas that keeps the calls made on it, with a chosen resolution.
class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(int32_t dpiX = 0, int32_t dpiY = 0) : dpiX_(dpiX), dpiY_(dpiY) {}
  int32_t resolution(Axis axis) const override { return axis == Axis::kWidth ? dpiX_ : dpiY_; }
  void fillRect(const Rect& r, uint32_t colour) override { ops.push_back(DrawOp::fill(r, colour)); }
  void line(Point from, Point to) override { ops.push_back(DrawOp::line(from, to)); }
  std::vector<DrawOp> ops;

 private:
  int32_t dpiX_, dpiY_;
};

// ---- WMF ---------------------------------------------------------------------

struct WmfRecord {
  uint32_t sizeWords = 0;
  uint16_t function = 0;
  std::vector<uint16_t> params;  // as stored (last parameter first)
};

struct PlaceableHeader {
  uint32_t key = 0;
  uint16_t handle = 0;
  int16_t left = 0, top = 0, right = 0, bottom = 0;
  uint16_t unitsPerInch = 0;
  uint32_t reserved = 0;
  uint16_t checksum = 0;
  uint16_t computedChecksum = 0;  // XOR of the ten words before the checksum
};

struct WmfPicture {
  PlaceableHeader placeable;
  uint16_t type = 0, headerWords = 0, version = 0;
  uint32_t sizeWords = 0;
  uint16_t objects = 0;
  uint32_t maxRecordWords = 0;
  uint16_t parameters = 0;
  std::vector<WmfRecord> records;  // the end record included
};

// Parses a placeable WMF file (with `placeable`) or a bare metafile. Checks
// the key and checksum, the header's size, record size and object count
// against the records, that the records fill the bytes exactly and that the
// last one, and only it, is the end record. Returns "" or what is wrong.
std::string parseWmf(std::span<const uint8_t> bytes, bool placeable, WmfPicture& out);

// ---- EMF ---------------------------------------------------------------------

struct EmfRecord {
  uint32_t type = 0, size = 0;
  std::vector<uint32_t> params;  // the 32-bit words after type and size
};

struct EmfHeader {
  int32_t bounds[4] = {};  // left, top, right, bottom, inclusive
  int32_t frame[4] = {};   // in 0.01 mm, inclusive
  uint32_t signature = 0, version = 0, bytes = 0, records = 0;
  uint16_t handles = 0, reserved = 0;
  uint32_t descriptionLength = 0, descriptionOffset = 0, palEntries = 0;
  int32_t deviceWidth = 0, deviceHeight = 0, millimetresWidth = 0, millimetresHeight = 0;
  uint32_t pixelFormatSize = 0, pixelFormatOffset = 0, openGl = 0;
  int32_t micrometresWidth = 0, micrometresHeight = 0;
  uint32_t headerSize = 0;
};

struct EmfPicture {
  EmfHeader header;
  std::vector<EmfRecord> records;  // after the header, the end record included
};

// Parses an enhanced metafile: the header record first, its byte and record
// counts against the records, sizes that are multiples of 4 and fill the
// bytes exactly, the end record last. Returns "" or what is wrong.
std::string parseEmf(std::span<const uint8_t> bytes, EmfPicture& out);

// ---- What the records draw ------------------------------------------------------

struct Drawing {
  int32_t windowExtX = 0, windowExtY = 0, windowOrgX = 0, windowOrgY = 0;
  bool windowExtSet = false, windowOrgSet = false;
  uint32_t mapMode = 0;           // EMF only; 0 when never set
  int maxObjects = 0;             // most objects alive at once (WMF slots, EMF handles)
  int objectsLeft = 0;            // objects still alive at the end
  std::vector<DrawOp> ops;
  std::vector<std::string> setup;  // the records before the first drawing call, by name
};

// Interprets the records the way a player does: brushes created into the
// lowest free slot (WMF) or the stated handle (EMF), selected and deleted;
// pattern fills with the selected brush; lines from the current position.
// Returns "" or what a player would trip on: an unknown record, a fill with
// no brush or another raster operation, a deleted or unknown object, a
// source bitmap, coordinates left in a transformed state.
std::string interpret(const WmfPicture& picture, Drawing& out);
std::string interpret(const EmfPicture& picture, Drawing& out);

// Plays the calls into `surface`: fills in their colour, lines in black one
// unit wide, end points excluded.
void replay(const std::vector<DrawOp>& ops, RasterSurface& surface);

}  // namespace tesserine::test
