#include "tests/support/metafile_reader.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace tesserine::test {

bool DrawOp::operator==(const DrawOp& o) const {
  if (kind != o.kind) return false;
  if (kind == Kind::kFill)
    return rect.left == o.rect.left && rect.top == o.rect.top && rect.right == o.rect.right &&
           rect.bottom == o.rect.bottom && colour == o.colour;
  return from.x == o.from.x && from.y == o.from.y && to.x == o.to.x && to.y == o.to.y;
}

std::string describe(const DrawOp& op) {
  std::ostringstream s;
  if (op.kind == DrawOp::Kind::kFill)
    s << "fill(" << op.rect.left << "," << op.rect.top << "," << op.rect.right << "," << op.rect.bottom << " #"
      << std::hex << op.colour << ")";
  else
    s << "line(" << op.from.x << "," << op.from.y << " -> " << op.to.x << "," << op.to.y << ")";
  return s.str();
}

namespace {

uint16_t get16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
uint32_t get32(std::span<const uint8_t> b, size_t at) { return get16(b, at) | (uint32_t{get16(b, at + 2)} << 16); }

std::string fail(const std::string& what, size_t at) {
  std::ostringstream s;
  s << what << " (at byte " << at << ")";
  return s.str();
}

}  // namespace

// ---- WMF ---------------------------------------------------------------------

std::string parseWmf(std::span<const uint8_t> bytes, bool placeable, WmfPicture& out) {
  out = WmfPicture{};
  size_t at = 0;
  if (placeable) {
    if (bytes.size() < 22) return "shorter than the placeable header";
    PlaceableHeader& p = out.placeable;
    p.key = get32(bytes, 0);
    p.handle = get16(bytes, 4);
    p.left = static_cast<int16_t>(get16(bytes, 6));
    p.top = static_cast<int16_t>(get16(bytes, 8));
    p.right = static_cast<int16_t>(get16(bytes, 10));
    p.bottom = static_cast<int16_t>(get16(bytes, 12));
    p.unitsPerInch = get16(bytes, 14);
    p.reserved = get32(bytes, 16);
    p.checksum = get16(bytes, 20);
    for (size_t i = 0; i < 20; i += 2) p.computedChecksum ^= get16(bytes, i);
    if (p.key != 0x9AC6CDD7) return "not a placeable metafile key";
    if (p.checksum != p.computedChecksum) return "placeable header checksum mismatch";
    at = 22;
  }
  if (bytes.size() < at + 18) return "shorter than the metafile header";
  out.type = get16(bytes, at);
  out.headerWords = get16(bytes, at + 2);
  out.version = get16(bytes, at + 4);
  out.sizeWords = get32(bytes, at + 6);
  out.objects = get16(bytes, at + 10);
  out.maxRecordWords = get32(bytes, at + 12);
  out.parameters = get16(bytes, at + 16);
  if (out.type != 1 && out.type != 2) return "metafile type is neither memory nor disk";
  if (out.headerWords != 9) return "metafile header is not 9 words";
  if (out.version != 0x0300 && out.version != 0x0100) return "unknown metafile version";
  const size_t start = at;
  if ((bytes.size() - start) % 2 != 0) return "odd number of metafile bytes";
  if (out.sizeWords != (bytes.size() - start) / 2) return "header size differs from the metafile's bytes";
  at += 18;
  uint32_t largest = 0;
  while (at < bytes.size()) {
    if (!out.records.empty() && out.records.back().function == 0) return fail("records after the end record", at);
    if (bytes.size() - at < 6) return fail("truncated record", at);
    WmfRecord r;
    r.sizeWords = get32(bytes, at);
    r.function = get16(bytes, at + 4);
    if (r.sizeWords < 3 || r.sizeWords > (bytes.size() - at) / 2) return fail("record size out of range", at);
    for (size_t i = 6; i < r.sizeWords * 2; i += 2) r.params.push_back(get16(bytes, at + i));
    largest = std::max(largest, r.sizeWords);
    at += r.sizeWords * 2;
    out.records.push_back(std::move(r));
  }
  if (out.records.empty() || out.records.back().function != 0 || out.records.back().sizeWords != 3)
    return "no end record last";
  if (largest != out.maxRecordWords) return "header's largest record differs from the records";
  return "";
}

namespace {

int16_t s16(uint16_t v) { return static_cast<int16_t>(v); }

std::string wmfName(uint16_t f) {
  switch (f) {
    case 0x020C: return "SETWINDOWEXT";
    case 0x020B: return "SETWINDOWORG";
    case 0x02FC: return "CREATEBRUSHINDIRECT";
    case 0x012D: return "SELECTOBJECT";
    case 0x01F0: return "DELETEOBJECT";
    case 0x061D: return "PATBLT";
    case 0x0214: return "MOVETO";
    case 0x0213: return "LINETO";
    case 0x0000: return "EOF";
    default: {
      std::ostringstream s;
      s << "0x" << std::hex << f;
      return s.str();
    }
  }
}

}  // namespace

std::string interpret(const WmfPicture& picture, Drawing& out) {
  out = Drawing{};
  struct Slot {
    bool used = false;
    uint32_t colour = 0;
  };
  std::vector<Slot> slots(picture.objects);
  int selected = -1;
  Point position{0, 0};
  auto need = [](const WmfRecord& r, size_t n) { return r.params.size() == n && r.sizeWords == 3 + n; };
  for (size_t i = 0; i < picture.records.size(); ++i) {
    const WmfRecord& r = picture.records[i];
    const std::string at = " in record " + std::to_string(i) + " (" + wmfName(r.function) + ")";
    const bool drawing = r.function == 0x061D || r.function == 0x0213;
    if (!drawing && out.ops.empty()) out.setup.push_back(wmfName(r.function));
    switch (r.function) {
      case 0x020C:
        if (!need(r, 2)) return "bad size" + at;
        out.windowExtY = s16(r.params[0]), out.windowExtX = s16(r.params[1]), out.windowExtSet = true;
        break;
      case 0x020B:
        if (!need(r, 2)) return "bad size" + at;
        out.windowOrgY = s16(r.params[0]), out.windowOrgX = s16(r.params[1]), out.windowOrgSet = true;
        break;
      case 0x02FC: {  // LogBrush: style, colour (2 words), hatch
        if (!need(r, 4)) return "bad size" + at;
        if (r.params[0] != 0) return "not a solid brush" + at;
        const auto free = std::find_if(slots.begin(), slots.end(), [](const Slot& s) { return !s.used; });
        if (free == slots.end()) return "more objects than the header's count" + at;
        free->used = true;
        free->colour = r.params[1] | (uint32_t{r.params[2]} << 16);
        break;
      }
      case 0x012D:
        if (!need(r, 1)) return "bad size" + at;
        if (r.params[0] >= slots.size() || !slots[r.params[0]].used) return "selects no object" + at;
        selected = r.params[0];
        break;
      case 0x01F0:
        if (!need(r, 1)) return "bad size" + at;
        if (r.params[0] >= slots.size() || !slots[r.params[0]].used) return "deletes no object" + at;
        slots[r.params[0]].used = false;
        if (selected == r.params[0]) selected = -1;
        break;
      case 0x061D: {  // ROP (2 words), height, width, y, x
        if (!need(r, 6)) return "bad size" + at;
        const uint32_t rop = r.params[0] | (uint32_t{r.params[1]} << 16);
        if (rop != 0x00F00021) return "not PATCOPY" + at;
        if (selected < 0) return "fill with no brush selected" + at;
        const int32_t h = s16(r.params[2]), w = s16(r.params[3]), y = s16(r.params[4]), x = s16(r.params[5]);
        out.ops.push_back(DrawOp::fill({x, y, x + w, y + h}, slots[selected].colour));
        break;
      }
      case 0x0214:
        if (!need(r, 2)) return "bad size" + at;
        position = {s16(r.params[1]), s16(r.params[0])};
        break;
      case 0x0213: {
        if (!need(r, 2)) return "bad size" + at;
        const Point to{s16(r.params[1]), s16(r.params[0])};
        out.ops.push_back(DrawOp::line(position, to));
        position = to;
        break;
      }
      case 0x0000:
        break;
      default:
        return "unknown record" + at;
    }
    const int alive = static_cast<int>(std::count_if(slots.begin(), slots.end(), [](const Slot& s) { return s.used; }));
    out.maxObjects = std::max(out.maxObjects, alive);
    out.objectsLeft = alive;
  }
  return "";
}

// ---- EMF ---------------------------------------------------------------------

std::string parseEmf(std::span<const uint8_t> bytes, EmfPicture& out) {
  out = EmfPicture{};
  if (bytes.size() < 88) return "shorter than the header";
  if (get32(bytes, 0) != 1) return "first record is not the header";
  EmfHeader& h = out.header;
  h.headerSize = get32(bytes, 4);
  if (h.headerSize < 88 || h.headerSize % 4 != 0 || h.headerSize > bytes.size()) return "bad header size";
  for (int i = 0; i < 4; ++i) h.bounds[i] = static_cast<int32_t>(get32(bytes, 8 + 4 * i));
  for (int i = 0; i < 4; ++i) h.frame[i] = static_cast<int32_t>(get32(bytes, 24 + 4 * i));
  h.signature = get32(bytes, 40);
  h.version = get32(bytes, 44);
  h.bytes = get32(bytes, 48);
  h.records = get32(bytes, 52);
  h.handles = get16(bytes, 56);
  h.reserved = get16(bytes, 58);
  h.descriptionLength = get32(bytes, 60);
  h.descriptionOffset = get32(bytes, 64);
  h.palEntries = get32(bytes, 68);
  h.deviceWidth = static_cast<int32_t>(get32(bytes, 72));
  h.deviceHeight = static_cast<int32_t>(get32(bytes, 76));
  h.millimetresWidth = static_cast<int32_t>(get32(bytes, 80));
  h.millimetresHeight = static_cast<int32_t>(get32(bytes, 84));
  if (h.headerSize >= 100) {
    h.pixelFormatSize = get32(bytes, 88);
    h.pixelFormatOffset = get32(bytes, 92);
    h.openGl = get32(bytes, 96);
  }
  if (h.headerSize >= 108) {
    h.micrometresWidth = static_cast<int32_t>(get32(bytes, 100));
    h.micrometresHeight = static_cast<int32_t>(get32(bytes, 104));
  }
  if (h.signature != 0x464D4520) return "bad signature";
  if (h.bytes != bytes.size()) return "header's byte count differs from the metafile's bytes";
  size_t at = h.headerSize;
  uint32_t count = 1;
  while (at < bytes.size()) {
    if (!out.records.empty() && out.records.back().type == 14) return fail("records after the end record", at);
    if (bytes.size() - at < 8) return fail("truncated record", at);
    EmfRecord r;
    r.type = get32(bytes, at);
    r.size = get32(bytes, at + 4);
    if (r.size < 8 || r.size % 4 != 0 || r.size > bytes.size() - at) return fail("record size out of range", at);
    if (r.type == 1) return fail("a second header", at);
    for (size_t i = 8; i < r.size; i += 4) r.params.push_back(get32(bytes, at + i));
    at += r.size;
    ++count;
    out.records.push_back(std::move(r));
  }
  if (out.records.empty() || out.records.back().type != 14) return "no end record last";
  const EmfRecord& eof = out.records.back();
  if (eof.size != 20 || eof.params[0] != 0 || eof.params[2] != 20) return "bad end record";
  if (count != h.records) return "header's record count differs from the records";
  return "";
}

namespace {

std::string emfName(uint32_t t) {
  switch (t) {
    case 17: return "SETMAPMODE";
    case 9: return "SETWINDOWEXTEX";
    case 10: return "SETWINDOWORGEX";
    case 39: return "CREATEBRUSHINDIRECT";
    case 37: return "SELECTOBJECT";
    case 40: return "DELETEOBJECT";
    case 76: return "BITBLT";
    case 27: return "MOVETOEX";
    case 54: return "LINETO";
    case 14: return "EOF";
    default: return std::to_string(t);
  }
}

}  // namespace

std::string interpret(const EmfPicture& picture, Drawing& out) {
  out = Drawing{};
  std::map<uint32_t, uint32_t> brushes;  // handle -> colour
  bool haveBrush = false;
  uint32_t brushColour = 0xFFFFFF;  // the stock white brush of a fresh context
  Point position{0, 0};
  auto i32 = [](uint32_t v) { return static_cast<int32_t>(v); };
  for (size_t i = 0; i < picture.records.size(); ++i) {
    const EmfRecord& r = picture.records[i];
    const std::string at = " in record " + std::to_string(i + 1) + " (" + emfName(r.type) + ")";
    auto need = [&](size_t n) { return r.params.size() == n; };
    const bool drawing = r.type == 76 || r.type == 54;
    if (!drawing && out.ops.empty()) out.setup.push_back(emfName(r.type));
    switch (r.type) {
      case 17:
        if (!need(1)) return "bad size" + at;
        out.mapMode = r.params[0];
        break;
      case 9:
        if (!need(2)) return "bad size" + at;
        out.windowExtX = i32(r.params[0]), out.windowExtY = i32(r.params[1]), out.windowExtSet = true;
        break;
      case 10:
        if (!need(2)) return "bad size" + at;
        out.windowOrgX = i32(r.params[0]), out.windowOrgY = i32(r.params[1]), out.windowOrgSet = true;
        break;
      case 39:  // handle, LogBrush32: style, colour, hatch
        if (!need(4)) return "bad size" + at;
        if (r.params[0] == 0 || r.params[0] >= picture.header.handles) return "handle outside the table" + at;
        if (brushes.count(r.params[0])) return "handle already in use" + at;
        if (r.params[1] != 0) return "not a solid brush" + at;
        brushes[r.params[0]] = r.params[2];
        break;
      case 37:
        if (!need(1)) return "bad size" + at;
        if (r.params[0] == 0x80000000) {  // stock WHITE_BRUSH
          haveBrush = true, brushColour = 0xFFFFFF;
        } else if (brushes.count(r.params[0])) {
          haveBrush = true, brushColour = brushes[r.params[0]];
        } else {
          return "selects no object" + at;
        }
        break;
      case 40:
        if (!need(1)) return "bad size" + at;
        if (!brushes.erase(r.params[0])) return "deletes no object" + at;
        break;
      case 76: {  // bounds (4), dest x y cx cy, rop, src x y, xform (6), bk colour, usage, 4 source fields
        if (!need(23)) return "bad size" + at;
        if (r.params[8] != 0x00F00021) return "not PATCOPY" + at;
        for (int k = 19; k < 23; ++k)
          if (r.params[k] != 0) return "carries a source bitmap" + at;
        if (!haveBrush) return "fill with no brush selected" + at;
        const int32_t x = i32(r.params[4]), y = i32(r.params[5]), w = i32(r.params[6]), h = i32(r.params[7]);
        if (w > 0 && h > 0 &&
            (i32(r.params[0]) != x || i32(r.params[1]) != y || i32(r.params[2]) != x + w - 1 ||
             i32(r.params[3]) != y + h - 1))
          return "record bounds differ from the fill" + at;
        out.ops.push_back(DrawOp::fill({x, y, x + w, y + h}, brushColour));
        break;
      }
      case 27:
        if (!need(2)) return "bad size" + at;
        position = {i32(r.params[0]), i32(r.params[1])};
        break;
      case 54: {
        if (!need(2)) return "bad size" + at;
        const Point to{i32(r.params[0]), i32(r.params[1])};
        out.ops.push_back(DrawOp::line(position, to));
        position = to;
        break;
      }
      case 14:
        break;
      default:
        return "unknown record" + at;
    }
    out.maxObjects = std::max(out.maxObjects, static_cast<int>(brushes.size()));
    out.objectsLeft = static_cast<int>(brushes.size());
  }
  return "";
}

void replay(const std::vector<DrawOp>& ops, RasterSurface& surface) {
  surface.setPenColour(0);
  for (const DrawOp& op : ops) {
    if (op.kind == DrawOp::Kind::kFill)
      surface.fillRect(op.rect, op.colour);
    else
      surface.line(op.from, op.to);
  }
}

}  // namespace tesserine::test
