// The metafile outputs (placeable WMF file, enhanced metafile on the
// clipboard): headers, the records and their order, what they draw when
// played, their failures, and independent players decoding the picture.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "engine/encoder/encode_symbol.h"
#include "engine/encoder/settings.h"
#include "engine/exports/tesserine.h"
#include "engine/output/drawing.h"
#include "engine/output/geometry.h"
#include "engine/output/metafile.h"
#include "engine/output/pattern_data.h"
#include "engine/output/platform.h"
#include "engine/output/bitmap.h"
#include "engine/output/raster.h"
#include "tests/support/bmp_reader.h"
#include "tests/support/metafile_reader.h"

namespace tesserine {
namespace {

using test::DrawOp;
using test::Drawing;
using test::EmfPicture;
using test::WmfPicture;

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string opsText(const std::vector<DrawOp>& ops, size_t from, size_t count) {
  std::string s;
  for (size_t i = from; i < ops.size() && i < from + count; ++i) s += test::describe(ops[i]) + "\n";
  return s;
}

// The first difference of two call sequences, or "" when they are equal.
std::string firstDifference(const std::vector<DrawOp>& got, const std::vector<DrawOp>& want) {
  for (size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
    if (i >= got.size()) return "missing from " + std::to_string(i) + ": " + opsText(want, i, 3);
    if (i >= want.size()) return "extra from " + std::to_string(i) + ": " + opsText(got, i, 3);
    if (!(got[i] == want[i])) return "at " + std::to_string(i) + ": got " + test::describe(got[i]) + ", want " +
                                     test::describe(want[i]);
  }
  return "";
}

EncoderSettings settingsFor(const char* message, int version, int level, int orientation, int border,
                            uint32_t back, uint32_t bar, int32_t width, int32_t height, double moduleWidthCm) {
  EncoderSettings s;
  setDefault(s);
  setMessage(s, message);
  configure(s, version, level, 0);
  setAppearance(s, moduleWidthCm, orientation, border);
  setSize(s, width, height);
  setBackColor(s, back & 0xFF, (back >> 8) & 0xFF, back >> 16);
  setBarColor(s, bar & 0xFF, (bar >> 8) & 0xFF, bar >> 16);
  return s;
}

// What drawSymbol itself draws for `s` at the module size of a display of
// the given resolution along the file axis.
std::vector<DrawOp> directOps(const EncoderSettings& s, int32_t dpiX, int32_t dpiY) {
  test::RecordingCanvas canvas(dpiX, dpiY);
  const int32_t dpi = fileAxis(s.orientation) == Axis::kWidth ? dpiX : dpiY;
  EXPECT_TRUE(drawSymbol(canvas, s, 0, 0, computeModuleSize(dpi, s.moduleWidthCm)));
  return canvas.ops;
}

Drawing wmfDrawing(const std::vector<uint8_t>& bytes, bool placeable, WmfPicture* pictureOut = nullptr) {
  WmfPicture picture;
  Drawing drawing;
  const std::string parsed = test::parseWmf(bytes, placeable, picture);
  EXPECT_EQ(parsed, "");
  if (parsed.empty()) {
    EXPECT_EQ(test::interpret(picture, drawing), "");
  }
  if (pictureOut) *pictureOut = picture;
  return drawing;
}

Drawing emfDrawing(const std::vector<uint8_t>& bytes, EmfPicture* pictureOut = nullptr) {
  EmfPicture picture;
  Drawing drawing;
  const std::string parsed = test::parseEmf(bytes, picture);
  EXPECT_EQ(parsed, "");
  if (parsed.empty()) {
    EXPECT_EQ(test::interpret(picture, drawing), "");
  }
  if (pictureOut) *pictureOut = picture;
  return drawing;
}

// ---- The placeable header ------------------------------------------------------

TEST(PlaceableHeader, BoxUnitsAndChecksum) {
  struct Case {
    int32_t width, height, dpi;
    uint16_t right, bottom, inch, checksum;
  };
  const Case cases[] = {
      {500, 500, 96, 500, 500, 96, 0x5771},
      {500, 300, 96, 500, 300, 96, 0x57A9},
      {70000, 500, 96, 4464, 500, 96, 0x47F5},  // only the low 16 bits of the width
      {500, 500, 120, 500, 500, 120, 0x5711 ^ 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + std::to_string(c.dpi));
    const auto h = placeableHeader(c.width, c.height, c.dpi);
    const uint8_t want[22] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0,
                              static_cast<uint8_t>(c.right), static_cast<uint8_t>(c.right >> 8),
                              static_cast<uint8_t>(c.bottom), static_cast<uint8_t>(c.bottom >> 8),
                              static_cast<uint8_t>(c.inch), static_cast<uint8_t>(c.inch >> 8), 0, 0, 0, 0,
                              static_cast<uint8_t>(c.checksum), static_cast<uint8_t>(c.checksum >> 8)};
    EXPECT_EQ(std::vector<uint8_t>(h.begin(), h.end()), std::vector<uint8_t>(std::begin(want), std::end(want)));
  }
}

// ---- Through the exports ---------------------------------------------------------

class MetafileExports : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setDisplayResolution(96, 96);
    platform::setClipboardHeldByAnother(false);
    platform::setClipboardContents({});
    QRSetDefault();
    QRSetMessage("HELLO WORLD");
    QRSetBackColor(255, 255, 255);
    QRSetBarColor(0, 0, 0);
    QRConfigure(0, 0, 0);
    QRAppearance(0.2, 1, 0);
    QRSetSize(500, 500);
    char pattern[] = "/tmp/tesserine-metafile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/a.wmf";
  }
  void TearDown() override {
    platform::setDisplayResolution(96, 96);
    platform::setClipboardHeldByAnother(false);
    platform::setClipboardContents({});
    ::unlink(path_.c_str());
    ::rmdir(dir_.c_str());
  }

  std::string dir_, path_;
};

TEST_F(MetafileExports, WmfFileIsPlaceableHeaderThenTheRecording) {
  ASSERT_EQ(QRSaveAsWMF(path_.c_str()), -1);
  const std::vector<uint8_t> file = readFile(path_);
  const auto header = placeableHeader(500, 500, 96);
  ASSERT_GT(file.size(), header.size());
  EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
  EXPECT_EQ(file[20] | (file[21] << 8), 0x5771);

  std::vector<uint8_t> metafile;
  ASSERT_TRUE(recordWmf(theEngine().settings, metafile));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 22, file.end()), metafile);

  WmfPicture picture;
  const Drawing d = wmfDrawing(file, true, &picture);
  EXPECT_EQ(picture.placeable.left, 0);
  EXPECT_EQ(picture.placeable.top, 0);
  EXPECT_EQ(picture.placeable.right, 500);
  EXPECT_EQ(picture.placeable.bottom, 500);
  EXPECT_EQ(picture.placeable.unitsPerInch, 96);
  EXPECT_EQ(picture.type, 1);
  EXPECT_EQ(picture.version, 0x0300);
  EXPECT_EQ(picture.objects, 2);  // the two brushes
  EXPECT_EQ(d.maxObjects, 2);
  ASSERT_GE(d.setup.size(), 2u);
  EXPECT_EQ(d.setup[0], "SETWINDOWEXT");
  EXPECT_EQ(d.setup[1], "SETWINDOWORG");
  EXPECT_EQ(d.windowExtX, 500);
  EXPECT_EQ(d.windowExtY, 500);
  EXPECT_EQ(d.windowOrgX, 0);
  EXPECT_EQ(d.windowOrgY, 0);
  EXPECT_EQ(firstDifference(d.ops, directOps(theEngine().settings, 96, 96)), "");
}

TEST_F(MetafileExports, WmfUnitsPerInchAndModuleSizeFollowTheDisplay) {
  // A display of 120 x 96: the header states 120 units per inch, and the
  // modules take the width axis for orientation 0 (9 units) and the height
  // axis for orientation 1 (8 units).
  platform::setDisplayResolution(120, 96);
  for (int orientation : {0, 1}) {
    QRAppearance(0.2, orientation, 0);
    ASSERT_EQ(QRSaveAsWMF(path_.c_str()), -1);
    WmfPicture picture;
    const Drawing d = wmfDrawing(readFile(path_), true, &picture);
    EXPECT_EQ(picture.placeable.unitsPerInch, 120);
    ASSERT_GT(d.ops.size(), 1u);
    EXPECT_EQ(d.ops[1].rect.right - d.ops[1].rect.left, orientation == 0 ? 9 : 8);
    EXPECT_EQ(firstDifference(d.ops, directOps(theEngine().settings, 120, 96)), "");
  }
}

TEST_F(MetafileExports, WmfWidthBeyond16BitsKeepsItsLowBits) {
  QRSetSize(70000, 500);
  ASSERT_EQ(QRSaveAsWMF(path_.c_str()), -1);
  WmfPicture picture;
  const Drawing d = wmfDrawing(readFile(path_), true, &picture);
  EXPECT_EQ(picture.placeable.right, 4464);
  EXPECT_EQ(picture.placeable.checksum, 0x47F5);
  EXPECT_EQ(d.windowExtX, 4464);
}

TEST_F(MetafileExports, WmfUnfitMessageWritesNothingAndRemovesTheOldFile) {
  writeFile(path_, "old");
  QRSetMessage(std::string(7090, '1').c_str());
  EXPECT_EQ(QRSaveAsWMF(path_.c_str()), 0);
  EXPECT_FALSE(exists(path_));
}

TEST_F(MetafileExports, WmfAreaWithoutExtentWritesNothing) {
  for (auto [w, h] : {std::pair{-5, 7}, std::pair{500, -1}}) {
    writeFile(path_, "old");
    QRSetSize(w, h);
    EXPECT_EQ(QRSaveAsWMF(path_.c_str()), 0);
    EXPECT_FALSE(exists(path_));
  }
}

TEST_F(MetafileExports, WmfUnwritablePathFails) {
  EXPECT_EQ(QRSaveAsWMF((dir_ + "/missing/a.wmf").c_str()), 0);
  EXPECT_EQ(QRSaveAsWMF(dir_.c_str()), 0);  // a directory
  EXPECT_EQ(QRSaveAsWMF(nullptr), 0);
}

TEST_F(MetafileExports, ClipboardHoldsOnlyTheEnhancedMetafile) {
  platform::setClipboardContents({{1, {'t', 'e', 'x', 't'}}, {2, {1, 2, 3}}});
  ASSERT_EQ(QRCopyToClipboard(), -1);
  const auto items = platform::clipboardContents();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].format, 14u);
  std::vector<uint8_t> expected;
  ASSERT_TRUE(recordEnhancedMetafile(theEngine().settings, 96, 96, expected));
  EXPECT_EQ(items[0].bytes, expected);
  const Drawing d = emfDrawing(items[0].bytes);
  EXPECT_EQ(firstDifference(d.ops, directOps(theEngine().settings, 96, 96)), "");
}

TEST_F(MetafileExports, ClipboardFailuresLeaveItAsItWas) {
  const std::vector<platform::ClipboardItem> before = {{1, {'o', 'l', 'd'}}};
  auto unchanged = [&] {
    const auto now = platform::clipboardContents();
    return now.size() == 1 && now[0].format == 1 && now[0].bytes == before[0].bytes;
  };
  platform::setClipboardContents(before);

  platform::setClipboardHeldByAnother(true);
  EXPECT_EQ(QRCopyToClipboard(), 0);
  EXPECT_TRUE(unchanged());
  platform::setClipboardHeldByAnother(false);

  QRSetMessage(std::string(7090, '1').c_str());
  EXPECT_EQ(QRCopyToClipboard(), 0);
  EXPECT_TRUE(unchanged());

  QRSetMessage("HELLO WORLD");
  QRSetSize(-5, 7);
  EXPECT_EQ(QRCopyToClipboard(), 0);
  EXPECT_TRUE(unchanged());

  QRSetSize(500, 500);
  EXPECT_EQ(QRCopyToClipboard(), -1);
  EXPECT_FALSE(unchanged());
}

TEST_F(MetafileExports, ClipboardDataReadsThePictureBack) {
  std::vector<unsigned char> buffer(64, 0xAB);
  unsigned int length = 1234;
  EXPECT_EQ(QRGetClipboardData(buffer.data(), &length), 0);  // empty
  EXPECT_EQ(length, 0u);
  platform::setClipboardContents({{1, {'t', 'e', 'x', 't'}}});
  length = 64;
  EXPECT_EQ(QRGetClipboardData(buffer.data(), &length), 0);  // no enhanced metafile
  EXPECT_EQ(length, 0u);

  ASSERT_EQ(QRCopyToClipboard(), -1);
  const std::vector<uint8_t> picture = platform::clipboardContents().at(0).bytes;
  length = 0;
  EXPECT_EQ(QRGetClipboardData(nullptr, &length), 0);
  EXPECT_EQ(length, picture.size());
  const unsigned int size = length;
  buffer.assign(size + 4, 0xAB);
  length = size - 1;  // one byte short: nothing copied
  EXPECT_EQ(QRGetClipboardData(buffer.data(), &length), 0);
  EXPECT_EQ(length, size);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xAB), static_cast<long>(size + 4));
  length = size + 4;
  EXPECT_EQ(QRGetClipboardData(buffer.data(), &length), -1);
  EXPECT_EQ(length, size);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + size), picture);
  EXPECT_EQ(std::vector<unsigned char>(buffer.begin() + size, buffer.end()), std::vector<unsigned char>(4, 0xAB));
  EXPECT_EQ(QRGetClipboardData(buffer.data(), nullptr), 0);

  platform::setClipboardHeldByAnother(true);  // cannot be opened
  length = size + 4;
  EXPECT_EQ(QRGetClipboardData(buffer.data(), &length), 0);
  EXPECT_EQ(length, 0u);
}

TEST_F(MetafileExports, DisplayResolutionExportReachesEveryDisplayOutput) {
  // 120 x 96: orientation 0 draws files for the width (9 units a module),
  // orientation 1 for the height (8); QRGetActualSize measures on the other
  // axis; WMF files state the width's 120 units per inch.
  QRSetDisplayResolution(120, 96);
  int w = 0, h = 0;
  for (int orientation : {0, 1}) {
    SCOPED_TRACE(orientation);
    QRAppearance(0.2, orientation, 0);
    QRGetActualSize(-1, nullptr, &w, &h);
    EXPECT_EQ(w, 21 * (orientation == 0 ? 8 : 9));
    ASSERT_EQ(QRSaveAsWMF(path_.c_str()), -1);
    WmfPicture picture;
    const Drawing d = wmfDrawing(readFile(path_), true, &picture);
    EXPECT_EQ(picture.placeable.unitsPerInch, 120);
    ASSERT_GT(d.ops.size(), 1u);
    EXPECT_EQ(d.ops[1].rect.right - d.ops[1].rect.left, orientation == 0 ? 9 : 8);
    ASSERT_EQ(QRCopyToClipboard(), -1);
    const Drawing e = emfDrawing(platform::clipboardContents().at(0).bytes);
    ASSERT_GT(e.ops.size(), 1u);
    EXPECT_EQ(e.ops[1].rect.right - e.ops[1].rect.left, orientation == 0 ? 9 : 8);
  }
  // Negative values read as 0: a display without a resolution, on which the
  // modules have no size.
  QRSetDisplayResolution(-96, -1);
  QRGetActualSize(-1, nullptr, &w, &h);
  EXPECT_EQ(w, 0);
  ASSERT_EQ(QRSaveAsWMF(path_.c_str()), -1);
  WmfPicture picture;
  const Drawing d = wmfDrawing(readFile(path_), true, &picture);
  EXPECT_EQ(picture.placeable.unitsPerInch, 0);
  for (const DrawOp& op : d.ops) {
    if (op.kind == DrawOp::Kind::kFill && op.colour == 0) {
      EXPECT_EQ(op.rect.right - op.rect.left, 0);
    }
  }
  QRSetDisplayResolution(96, 96);
  QRGetActualSize(-1, nullptr, &w, &h);
  EXPECT_EQ(w, 168);
}

// ---- The enhanced metafile's header and set-up ----------------------------------

TEST(EnhancedMetafile, HeaderDescribesTheDrawingOnTheReferenceDisplay) {
  struct Case {
    int border, dpiX, dpiY;
    int32_t bounds[4], frame[4];
    int32_t millimetres[2], micrometres[2];
  };
  // Bounds: the pixels touched, inclusive; the solid border's lines reach
  // one unit past the area. Frame: the bounds in 0.01 mm at the resolution.
  const Case cases[] = {
      {0, 96, 96, {0, 0, 499, 299}, {0, 0, 13203, 7911}, {271, 203}, {270933, 203200}},
      {2, 96, 96, {0, 0, 500, 300}, {0, 0, 13229, 7938}, {271, 203}, {270933, 203200}},
      {1, 120, 96, {0, 0, 499, 299}, {0, 0, 10562, 7911}, {217, 203}, {216747, 203200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("border " + std::to_string(c.border) + " at " + std::to_string(c.dpiX));
    const EncoderSettings s = settingsFor("HELLO WORLD", 0, 0, 1, c.border, 0xFFFFFF, 0, 500, 300, 0.2);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(recordEnhancedMetafile(s, c.dpiX, c.dpiY, bytes));
    EmfPicture picture;
    const Drawing d = emfDrawing(bytes, &picture);
    const test::EmfHeader& h = picture.header;
    EXPECT_EQ(std::vector<int32_t>(h.bounds, h.bounds + 4), std::vector<int32_t>(c.bounds, c.bounds + 4));
    EXPECT_EQ(std::vector<int32_t>(h.frame, h.frame + 4), std::vector<int32_t>(c.frame, c.frame + 4));
    EXPECT_EQ(h.headerSize, 108u);
    EXPECT_EQ(h.version, 0x10000u);
    EXPECT_EQ(h.handles, 3);  // the metafile itself and two brushes
    EXPECT_EQ(h.descriptionLength, 0u);
    EXPECT_EQ(h.palEntries, 0u);
    EXPECT_EQ(h.deviceWidth, 1024);
    EXPECT_EQ(h.deviceHeight, 768);
    EXPECT_EQ(h.millimetresWidth, c.millimetres[0]);
    EXPECT_EQ(h.millimetresHeight, c.millimetres[1]);
    EXPECT_EQ(h.micrometresWidth, c.micrometres[0]);
    EXPECT_EQ(h.micrometresHeight, c.micrometres[1]);

    ASSERT_GE(d.setup.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(d.setup.begin(), d.setup.begin() + 3),
              (std::vector<std::string>{"SETMAPMODE", "SETWINDOWEXTEX", "SETWINDOWORGEX"}));
    EXPECT_EQ(d.mapMode, 1u);  // MM_TEXT
    EXPECT_EQ(d.windowExtX, 500);
    EXPECT_EQ(d.windowExtY, 300);
    EXPECT_TRUE(d.windowOrgSet);
    EXPECT_EQ(d.maxObjects, 2);
    EXPECT_EQ(d.objectsLeft, 0);  // every brush deleted before the end
    ASSERT_GT(d.ops.size(), 1u);
    EXPECT_EQ(d.ops[1].rect.right - d.ops[1].rect.left, 8);  // orientation 1: the height axis, 96
  }
}

// ---- Records, their order and what they draw ------------------------------------

struct DrawCase {
  const char* name;
  const char* message;
  int version, level, orientation, border;
  uint32_t back, bar;
  int32_t width, height;
  double moduleWidthCm;
};

const DrawCase kDrawCases[] = {
    {"v1_upright_plain", "HELLO WORLD", 0, 0, 1, 0, 0xFFFFFF, 0x000000, 500, 500, 0.2},
    {"v7_quarter_dashed", "12345678901234567890", 7, 1, 0, 1, 0xCCFFFF, 0x800000, 400, 300, 0.07},
    {"v3_anticlockwise_solid_odd_room", "Tesserine, byte mode!", 3, 2, 2, 2, 0x0000FF, 0x00FF00, 333, 211, 0.1},
    {"v40_half_turn_dashed", "40", 40, 0, 3, 1, 0xFFFFFF, 0x000000, 700, 700, 0.07},
    {"v12_overhanging_solid", "OVERHANG", 12, 0, 1, 2, 0xFFFFFF, 0x000000, 500, 500, 0.2},
    {"one_colour", "SAME", 0, 3, 0, 2, 0x336699, 0x336699, 120, 90, 0.07},
    {"narrow_dashed", "N", 0, 0, 1, 1, 0xFFFFFF, 0x000000, 3, 200, 0.07},
    // Colours of the BMP files' 16-colour table, so that the 4-bit file
    // holds them exactly: navy on silver, teal on yellow, white on black.
    {"v5_navy_on_silver_quarter_dashed", "Navy on silver", 5, 1, 0, 1, 0xC0C0C0, 0x800000, 301, 257, 0.1},
    {"v2_teal_on_yellow_half_turn_solid", "TEAL", 2, 2, 3, 2, 0x00FFFF, 0x808000, 250, 251, 0.15},
    {"v1_white_on_black_anticlockwise", "INVERSE", 1, 0, 2, 0, 0x000000, 0xFFFFFF, 200, 200, 0.2},
};

void PrintTo(const DrawCase& c, std::ostream* os) { *os << c.name; }

class MetafileDrawing : public ::testing::TestWithParam<DrawCase> {
 protected:
  void SetUp() override { platform::setDisplayResolution(96, 96); }
  EncoderSettings settings() const {
    const DrawCase& c = GetParam();
    return settingsFor(c.message, c.version, c.level, c.orientation, c.border, c.back, c.bar, c.width, c.height,
                       c.moduleWidthCm);
  }
};

TEST_P(MetafileDrawing, RecordsReplayToTheDirectDrawing) {
  const EncoderSettings s = settings();
  const std::vector<DrawOp> want = directOps(s, 96, 96);

  std::vector<uint8_t> wmf, emf;
  ASSERT_TRUE(recordWmf(s, wmf));
  ASSERT_TRUE(recordEnhancedMetafile(s, 96, 96, emf));
  const Drawing fromWmf = wmfDrawing(wmf, false), fromEmf = emfDrawing(emf);
  EXPECT_EQ(firstDifference(fromWmf.ops, want), "");
  EXPECT_EQ(firstDifference(fromEmf.ops, want), "");

  // Played into pixels, both equal drawSymbol on a raster surface.
  auto direct = RasterSurface::create(s.outputWidth, s.outputHeight, 96, 96);
  ASSERT_TRUE(direct);
  ASSERT_TRUE(drawSymbol(*direct, s, 0, 0, recordingModuleSize(*direct, s)));
  std::vector<std::unique_ptr<RasterSurface>> replays;
  for (const Drawing* d : {&fromWmf, &fromEmf}) {
    auto played = RasterSurface::create(s.outputWidth, s.outputHeight, 96, 96);
    test::replay(d->ops, *played);
    EXPECT_TRUE(played->pixels() == direct->pixels()) << (d == &fromWmf ? "WMF" : "EMF");
    replays.push_back(std::move(played));
  }

  // And both equal, pixel for pixel, the BMP file QRSaveAsBMP writes for the
  // same settings, when the file can hold the colours exactly: 1 bit per
  // pixel for black on white, else colours of the 16-colour table.
  const bool blackOnWhite = s.backColor == 0xFFFFFF && s.barColor == 0x000000;
  auto inTable = [](uint32_t colour) {
    return std::count(std::begin(kBmpPalette16), std::end(kBmpPalette16), colour) > 0;
  };
  if (!blackOnWhite && !(inTable(s.backColor) && inTable(s.barColor))) return;  // the file rounds them
  const DrawCase& c = GetParam();
  QRSetDefault();
  QRSetMessage(c.message);
  QRConfigure(c.version, c.level, 0);
  QRAppearance(c.moduleWidthCm, c.orientation, c.border);
  QRSetSize(c.width, c.height);
  QRSetBackColor(c.back & 0xFF, (c.back >> 8) & 0xFF, c.back >> 16);
  QRSetBarColor(c.bar & 0xFF, (c.bar >> 8) & 0xFF, c.bar >> 16);
  char dir[] = "/tmp/tesserine-replay-XXXXXX";
  ASSERT_NE(::mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/a.bmp";
  ASSERT_EQ(QRSaveAsBMP(path.c_str()), -1);
  const testing::Bmp bmp = testing::readBmp(path);
  ::unlink(path.c_str());
  ::rmdir(dir);
  ASSERT_TRUE(bmp.valid);
  ASSERT_EQ(bmp.width, s.outputWidth);
  ASSERT_EQ(bmp.height, s.outputHeight);
  ASSERT_EQ(bmp.depth, blackOnWhite ? 1u : 4u);
  // 1 bit: index 0 is black and 1 white; 4 bits: the file's own table, which
  // is the standard one.
  const std::vector<uint32_t> table =
      bmp.depth == 1 ? std::vector<uint32_t>{0x000000, 0xFFFFFF}
                     : std::vector<uint32_t>(std::begin(kBmpPalette16), std::end(kBmpPalette16));
  ASSERT_EQ(bmp.palette, table);
  for (size_t i = 0; i < replays.size(); ++i) {
    int wrong = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < bmp.height; ++y)
      for (int x = 0; x < bmp.width; ++x)
        if (table[bmp.index(x, y)] != replays[i]->pixel(x, y) && wrong++ == 0) firstX = x, firstY = y;
    EXPECT_EQ(wrong, 0) << (i == 0 ? "WMF" : "EMF") << " replay and BMP differ first at (" << firstX << ", "
                        << firstY << ")";
  }
}

TEST_P(MetafileDrawing, OrderIsBackgroundModulesInWalkOrderThenBorder) {
  // Built from the pattern text (columns left to right, each from the
  // bottom row up) and the geometry, not from the drawing routine.
  const EncoderSettings s = settings();
  EncodedSymbol symbol;
  ASSERT_TRUE(encodeSymbol(s, symbol));
  const int n = symbol.size();
  std::vector<char> pattern(static_cast<size_t>(n) * n);
  writePatternText(symbol, pattern.data());
  const DrawLayout layout = placeSymbol(s, n, computeModuleSize(96, s.moduleWidthCm), 0, 0);

  std::vector<DrawOp> want = {DrawOp::fill({0, 0, s.outputWidth, s.outputHeight}, s.backColor)};
  for (int c = 0; c < n; ++c)
    for (int r = n - 1; r >= 0; --r)
      if (pattern[static_cast<size_t>(c) * n + (n - 1 - r)] == '1')
        want.push_back(DrawOp::fill(moduleCell(layout, r, c), s.barColor));
  const int32_t w = s.outputWidth, h = s.outputHeight;
  if (s.borderStyle == 2) {
    want.push_back(DrawOp::line({0, 0}, {w, 0}));
    want.push_back(DrawOp::line({w - 1, 0}, {w - 1, h}));
    want.push_back(DrawOp::line({w, h - 1}, {0, h - 1}));
    want.push_back(DrawOp::line({0, h}, {0, 0}));
  }

  std::vector<uint8_t> wmf, emf;
  ASSERT_TRUE(recordWmf(s, wmf));
  ASSERT_TRUE(recordEnhancedMetafile(s, 96, 96, emf));
  for (std::vector<DrawOp> got : {wmfDrawing(wmf, false).ops, emfDrawing(emf).ops}) {
    if (s.borderStyle == 1) {  // the dashes: lines only, after every fill
      size_t fills = 0;
      while (fills < got.size() && got[fills].kind == DrawOp::Kind::kFill) ++fills;
      for (size_t i = fills; i < got.size(); ++i) EXPECT_EQ(got[i].kind, DrawOp::Kind::kLine) << i;
      got.resize(fills);
    }
    EXPECT_EQ(firstDifference(got, want), "");
  }
}

TEST_P(MetafileDrawing, LineRecordsOnlyForABorder) {
  const EncoderSettings s = settings();
  std::vector<uint8_t> wmf;
  ASSERT_TRUE(recordWmf(s, wmf));
  WmfPicture picture;
  ASSERT_EQ(test::parseWmf(wmf, false, picture), "");
  std::vector<uint16_t> functions;
  for (const auto& r : picture.records) functions.push_back(r.function);
  const size_t lines = std::count(functions.begin(), functions.end(), uint16_t{0x0213});
  EXPECT_EQ(std::count(functions.begin(), functions.end(), uint16_t{0x0214}), static_cast<long>(lines));
  if (s.borderStyle == 0) {
    EXPECT_EQ(lines, 0u);
  }
  if (s.borderStyle == 2) {
    // The last drawing records: four move-and-line pairs after the last fill.
    const auto lastFill = std::find(functions.rbegin(), functions.rend(), uint16_t{0x061D}).base();
    std::vector<uint16_t> tail;
    for (auto it = lastFill; it != functions.end(); ++it)
      if (*it == 0x0213 || *it == 0x0214 || *it == 0x061D) tail.push_back(*it);
    EXPECT_EQ(tail, (std::vector<uint16_t>{0x0214, 0x0213, 0x0214, 0x0213, 0x0214, 0x0213, 0x0214, 0x0213}));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, MetafileDrawing, ::testing::ValuesIn(kDrawCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The reader has teeth ---------------------------------------------------------

TEST(MetafileReader, RejectsInconsistentSizes) {
  const EncoderSettings s = settingsFor("HELLO", 0, 0, 1, 2, 0xFFFFFF, 0, 200, 200, 0.07);
  std::vector<uint8_t> wmf, emf;
  ASSERT_TRUE(recordWmf(s, wmf));
  ASSERT_TRUE(recordEnhancedMetafile(s, 96, 96, emf));
  WmfPicture wp;
  EmfPicture ep;
  ASSERT_EQ(test::parseWmf(wmf, false, wp), "");
  ASSERT_EQ(test::parseEmf(emf, ep), "");

  auto wmfBroken = wmf;
  wmfBroken[6] ^= 1;  // mtSize
  EXPECT_NE(test::parseWmf(wmfBroken, false, wp), "");
  wmfBroken = wmf;
  wmfBroken[12] ^= 1;  // mtMaxRecord
  EXPECT_NE(test::parseWmf(wmfBroken, false, wp), "");
  wmfBroken.assign(wmf.begin(), wmf.end() - 6);  // no end record
  wmfBroken[6] -= 3;
  EXPECT_NE(test::parseWmf(wmfBroken, false, wp), "");

  auto emfBroken = emf;
  emfBroken[52] ^= 1;  // nRecords
  EXPECT_NE(test::parseEmf(emfBroken, ep), "");
  emfBroken = emf;
  emfBroken[48] ^= 4;  // nBytes
  EXPECT_NE(test::parseEmf(emfBroken, ep), "");
}

// ---- Independent players ------------------------------------------------------------

bool executable(const char* path) { return ::access(path, X_OK) == 0; }

std::string run(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// The message zbar reads from the picture, without the newline it appends.
std::string decode(const std::string& png) {
  std::string text = run("zbarimg -q --raw --nodbus '" + png + "' 2>/dev/null");
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

class IndependentPlayers : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setDisplayResolution(96, 96);
    char pattern[] = "/tmp/tesserine-players-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { run("rm -rf '" + dir_ + "'"); }
  std::string dir_;
};

struct PlayerCase {
  const char* message;
  int version, orientation, border;
  uint32_t back, bar;
  int32_t size;
  double moduleWidthCm;  // 0.07 gives 3 pixels per module at 96 dots per inch, 0.2 gives 8
};

const PlayerCase kPlayerCases[] = {
    {"HELLO WORLD", 0, 1, 0, 0xFFFFFF, 0x000000, 500, 0.2},
    {"https://example.com/tesserine?q=metafile", 0, 0, 2, 0xCCFFFF, 0x800000, 400, 0.07},
    {"0123456789012345678901234567890123456789", 10, 3, 1, 0xFFFFFF, 0x000000, 300, 0.07},
    {"\xe4\xba\x8c\xe7\xbb\xb4\xe7\xa0\x81 UTF-8", 0, 2, 0, 0xFFFFFF, 0x000000, 300, 0.1},
};

TEST_F(IndependentPlayers, LibwmfRendersTheWmfToTheMessage) {
  if (!executable("/usr/bin/convert") || !executable("/usr/bin/zbarimg"))
    GTEST_SKIP() << "ImageMagick (/usr/bin/convert) or zbarimg not installed";
  for (const PlayerCase& c : kPlayerCases) {
    SCOPED_TRACE(c.message);
    const EncoderSettings s =
        settingsFor(c.message, c.version, 0, c.orientation, c.border, c.back, c.bar, c.size, c.size, c.moduleWidthCm);
    std::vector<uint8_t> metafile;
    ASSERT_TRUE(recordWmf(s, metafile));
    const auto header = placeableHeader(s.outputWidth, s.outputHeight, 96);
    const std::string wmf = dir_ + "/x.wmf", png = dir_ + "/x.png";
    {
      std::ofstream out(wmf, std::ios::binary);
      out.write(reinterpret_cast<const char*>(header.data()), header.size());
      out.write(reinterpret_cast<const char*>(metafile.data()), static_cast<std::streamsize>(metafile.size()));
    }
    ::unlink(png.c_str());
    run("/usr/bin/convert -density 96 '" + wmf + "' '" + png + "' 2>&1");
    ASSERT_TRUE(exists(png));
    EXPECT_EQ(decode(png), c.message);
  }
}

TEST_F(IndependentPlayers, Emf2svgRendersTheEmfToTheMessage) {
  if (!executable("/usr/bin/emf2svg-conv") || !executable("/usr/bin/rsvg-convert") ||
      !executable("/usr/bin/zbarimg"))
    GTEST_SKIP() << "emf2svg, rsvg-convert or zbarimg not installed";
  for (const PlayerCase& c : kPlayerCases) {
    SCOPED_TRACE(c.message);
    const EncoderSettings s =
        settingsFor(c.message, c.version, 0, c.orientation, c.border, c.back, c.bar, c.size, c.size, c.moduleWidthCm);
    std::vector<uint8_t> picture;
    ASSERT_TRUE(recordEnhancedMetafile(s, 96, 96, picture));
    const std::string emf = dir_ + "/x.emf", svg = dir_ + "/x.svg", png = dir_ + "/x.png";
    {
      std::ofstream out(emf, std::ios::binary);
      out.write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(picture.size()));
    }
    ::unlink(png.c_str());
    run("/usr/bin/emf2svg-conv -i '" + emf + "' -o '" + svg + "' 2>&1");
    run("/usr/bin/rsvg-convert -b white -o '" + png + "' '" + svg + "' 2>&1");
    ASSERT_TRUE(exists(png));
    EXPECT_EQ(decode(png), c.message);
  }
}

}  // namespace
}  // namespace tesserine
