// QRRender and QRGetActualSize on the engine's own device contexts: origin,
// mapping mode, resolution axis, pen, failures and clipping, round trips.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/encoder/encode_symbol.h"
#include "engine/encoder/settings.h"
#include "engine/exports/tesserine.h"
#include "engine/output/bitmap.h"
#include "engine/output/device_context_posix.h"
#include "engine/output/platform.h"
#include "tests/support/bmp_reader.h"

namespace tesserine {
namespace {

constexpr unsigned kWhite = 0x00FFFFFF, kBlack = 0, kGreen = 0x0000FF00, kRed = 0x000000FF;
constexpr unsigned kOutside = 0xFFFFFFFF;

struct DC {
  DC(int w, int h, int dpiX = 96, int dpiY = 96) : dc(QRCreateDC(w, h, dpiX, dpiY)) {}
  ~DC() { QRDeleteDC(dc); }
  operator TesserineDC() const { return dc; }
  TesserineDC dc;
};

struct Box {
  int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1, count = 0;  // inclusive
};

Box boxOf(TesserineDC dc, int w, int h, unsigned colour) {
  Box b;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (QRGetDCPixel(dc, x, y) == colour) {
        b.left = std::min(b.left, x), b.right = std::max(b.right, x);
        b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
        ++b.count;
      }
  return b;
}

// "12" as version 1, black bars on a green background, 0.2 cm, upright,
// 500 x 500.
void settings(int orientation = 1, int border = 0) {
  QRSetMessage("12");
  QRSetBackColor(0, 255, 0);
  QRSetBarColor(0, 0, 0);
  QRConfigure(1, 0, 5);
  QRAppearance(0.2, orientation, border);
  QRSetSize(500, 500);
}

class Render : public ::testing::Test {
 protected:
  void SetUp() override { platform::setDisplayResolution(96, 96); }
  void TearDown() override { platform::setDisplayResolution(96, 96); }
};

TEST_F(Render, ContextsStartWhiteAndReportOutsidePixels) {
  DC dc(3, 2);
  ASSERT_NE(dc.dc, nullptr);
  EXPECT_EQ(QRGetDCPixel(dc, 0, 0), kWhite);
  EXPECT_EQ(QRGetDCPixel(dc, 2, 1), kWhite);
  EXPECT_EQ(QRGetDCPixel(dc, 3, 0), kOutside);
  EXPECT_EQ(QRGetDCPixel(dc, 0, 2), kOutside);
  EXPECT_EQ(QRGetDCPixel(dc, -1, 0), kOutside);
  EXPECT_EQ(QRGetDCPixel(nullptr, 0, 0), kOutside);
  for (auto [w, h] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{8193, 8192}, std::pair{INT32_MAX, INT32_MAX}})
    EXPECT_EQ(QRCreateDC(w, h, 96, 96), nullptr) << w << "x" << h;
  QRDeleteDC(nullptr);
  QRSetDCPen(nullptr, 0);
  QRSetDCWindowOrg(nullptr, 1, 1);
  EXPECT_EQ(QRSetDCMapMode(nullptr, 1), 0);
}

TEST_F(Render, DrawsTheApplicationLayoutAtTheOrigin) {
  settings();
  DC dc(500, 500);
  QRRender(dc, 0, 0);
  EncodedSymbol symbol;
  ASSERT_TRUE(encodeSymbol(theEngine().settings, symbol));
  // Module (0, 0) covers 166..173 both ways, module (20, 20) 326..333.
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 500; ++x) {
      const bool inside = x >= 166 && y >= 166 && x < 334 && y < 334;
      const unsigned want = inside && symbol.matrix.module((y - 166) / 8, (x - 166) / 8) ? kBlack : kGreen;
      ASSERT_EQ(QRGetDCPixel(dc, x, y), want) << x << "," << y;
    }
  EXPECT_EQ(QRGetDCPixel(dc, 166, 166), kBlack);
  EXPECT_EQ(QRGetDCPixel(dc, 333, 333), symbol.matrix.module(20, 20) ? kBlack : kGreen);
}

TEST_F(Render, OriginCountsOnlyItsLow16BitsUnsigned) {
  settings();
  QRSetSize(30, 20);
  const struct {
    int x, y;
    int windowOrgX, windowOrgY;
    int left, top;  // expected pixel of the area's corner
  } cases[] = {
      {65536 + 100, 7, 0, 0, 100, 7},
      {-1, -65536 + 3, 65535, 0, 0, 3},  // x = 65535, seen through the window origin
      {5, -1, 0, 65535 - 10, 5, 10},
      {0x7FFF0000 + 40, 0, 0, 0, 40, 0},
      {3, 4, -10, 20, 13, -16 + 0},  // window origin shifts the drawing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    DC dc(200, 60, 0, 0);  // no resolution: module size 0, the background alone
    QRSetDCWindowOrg(dc, c.windowOrgX, c.windowOrgY);
    QRRender(dc, c.x, c.y);
    const Box green = boxOf(dc, 200, 60, kGreen);
    const int top = std::max(c.top, 0);
    EXPECT_EQ(green.left, c.left);
    EXPECT_EQ(green.top, top);
    EXPECT_EQ(green.right, c.left + 29);
    EXPECT_EQ(green.bottom, c.top + 19);
  }
}

TEST_F(Render, MappingModeIsForcedAndRestored) {
  settings();
  DC dc(500, 500);
  EXPECT_EQ(QRSetDCMapMode(dc, 2), 1);  // MM_LOMETRIC; the old MM_TEXT
  EXPECT_EQ(QRSetDCMapMode(dc, 9), 0);
  EXPECT_EQ(QRSetDCMapMode(dc, 0), 0);
  QRRender(dc, 0, 0);
  EXPECT_EQ(QRSetDCMapMode(dc, 8), 2);  // restored, and the drawing in pixels
  EXPECT_EQ(QRGetDCPixel(dc, 166, 166), kBlack);
  EXPECT_EQ(QRGetDCPixel(dc, 165, 166), kGreen);
  EXPECT_EQ(QRGetDCPixel(dc, 499, 499), kGreen);

  // A message that fits no version leaves pixels and mode as they were.
  DC fresh(50, 50);
  QRSetDCMapMode(fresh, 4);
  QRSetMessage(std::string(7090, '1').c_str());
  QRAppearance(0.2, 1, 2);
  QRRender(fresh, 0, 0);
  EXPECT_EQ(QRSetDCMapMode(fresh, 1), 4);
  EXPECT_EQ(boxOf(fresh, 50, 50, kWhite).count, 2500);
}

TEST_F(Render, ModuleSizeComesFromTheResolutionAcrossTheOrientation) {
  // 96 dpi across, 120 dpi down: orientations 0 and 2 read the height's
  // resolution (module 9), 1 and 3 the width's (module 8).
  const struct {
    int orientation, moduleSize;
  } cases[] = {{0, 9}, {1, 8}, {2, 9}, {3, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.orientation);
    settings(c.orientation);
    DC dc(500, 500, 96, 120);
    QRRender(dc, 0, 0);
    const Box dark = boxOf(dc, 500, 500, kBlack);
    EXPECT_EQ(dark.right - dark.left + 1, 21 * c.moduleSize);
    EXPECT_EQ(dark.bottom - dark.top + 1, 21 * c.moduleSize);
    int w = -1, h = -1;
    QRGetActualSize(0, dc, &w, &h);
    EXPECT_EQ(w, 21 * c.moduleSize);
    EXPECT_EQ(h, 21 * c.moduleSize);
  }
}

TEST_F(Render, ContextWithoutResolutionDrawsTheBackgroundOnly) {
  settings();
  DC dc(500, 500, 0, 0);
  QRRender(dc, 0, 0);
  EXPECT_EQ(boxOf(dc, 500, 500, kGreen).count, 250000);
  int w = -1, h = -1;
  QRGetActualSize(0, dc, &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

TEST_F(Render, TheContextsPenDrawsTheBorder) {
  settings(1, 2);
  QRSetSize(300, 200);
  DC dc(320, 220);
  QRSetDCPen(dc, 0xAB0000FF);  // the high byte is not a colour
  QRRender(dc, 10, 10);
  const Box red = boxOf(dc, 320, 220, kRed);
  EXPECT_EQ(red.left, 10);
  EXPECT_EQ(red.top, 10);
  EXPECT_EQ(red.right, 310);   // the bottom edge starts one unit right of the area
  EXPECT_EQ(red.bottom, 210);  // the left edge one unit below it
  EXPECT_EQ(red.count, 2 * 300 + 2 * 198 + 2);
  EXPECT_EQ(QRGetDCPixel(dc, 11, 11), kGreen);
}

TEST_F(Render, OddSizesAndOriginsStayInsideTheContext) {
  // Whatever the area, nothing is written outside the pixels (the sanitizer
  // build checks the writes); a negative area fills no background.
  const struct {
    int w, h, x, y, orientation, border;
    bool background;
  } cases[] = {
      {-500, -500, 400, 400, 0, 1, false}, {-500, 500, 0, 0, 1, 2, false}, {INT32_MAX, INT32_MAX, 65535, 65535, 1, 1, false},
      {INT32_MAX, INT32_MAX, 0, 0, 2, 1, true}, {INT32_MIN, INT32_MIN, 0, 0, 3, 2, false}, {5000, 3, 0, 0, 1, 1, true},
      {1, 1, 49, 49, 0, 2, false},  // the border covers the one pixel
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " at " << c.x << "," << c.y);
    settings(c.orientation, c.border);
    QRSetBarColor(255, 0, 0);
    QRSetSize(c.w, c.h);
    DC dc(50, 50);
    QRRender(dc, c.x, c.y);
    EXPECT_EQ(boxOf(dc, 50, 50, kGreen).count > 0, c.background);
  }
  // A huge area with the window origin on its corner: the dashes are exact.
  settings(1, 1);
  QRSetSize(INT32_MAX, INT32_MAX);
  DC dc(64, 64);
  QRSetDCWindowOrg(dc, 65535, 65535);
  QRRender(dc, -1, -1);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(QRGetDCPixel(dc, x, 0), x % 8 < 4 ? kBlack : kGreen) << x;
  // The toggle is off after an odd number of steps: the column starts with a gap.
  for (int y = 1; y < 64; ++y) EXPECT_EQ(QRGetDCPixel(dc, 0, y), y % 8 >= 4 ? kBlack : kGreen) << y;
}

TEST_F(Render, HugeModuleWidthFillsTheContextWithTheMiddleModule) {
  settings();
  QRAppearance(1e30, 1, 0);
  DC dc(40, 40);
  QRRender(dc, 0, 0);
  EncodedSymbol symbol;
  ASSERT_TRUE(encodeSymbol(theEngine().settings, symbol));
  EXPECT_EQ(boxOf(dc, 40, 40, symbol.matrix.module(10, 10) ? kBlack : kGreen).count, 1600);
  int w = 0, h = 0;
  QRGetActualSize(0, dc, &w, &h);
  EXPECT_EQ(w, INT32_MAX);
  EXPECT_EQ(h, INT32_MAX);
}

TEST_F(Render, ActualSizeOnTheDisplayOrAContext) {
  settings(0);
  QRConfigure(2, 0, 0);
  int w = 0, h = 0;
  QRGetActualSize(-1, nullptr, &w, &h);
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 200);
  QRGetActualSize(0x1FFFF, nullptr, &w, &h);  // only the low 16 bits count
  EXPECT_EQ(w, 200);
  DC printer(10, 10, 600, 600);
  QRGetActualSize(0, printer, &w, &h);
  EXPECT_EQ(w, 1175);
  EXPECT_EQ(h, 1175);
  QRGetActualSize(0xFFFE, printer, &w, &h);
  EXPECT_EQ(w, 1175);
  // The display's height axis for orientation 0, its width for 1.
  platform::setDisplayResolution(96, 120);
  QRGetActualSize(-1, printer, &w, &h);
  EXPECT_EQ(w, 25 * 9);
  QRAppearance(0.2, 1, 0);
  QRGetActualSize(-1, printer, &w, &h);
  EXPECT_EQ(w, 25 * 8);
  // A null context has no resolution; null pointers are not written.
  QRGetActualSize(0, nullptr, &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  QRGetActualSize(-1, nullptr, nullptr, nullptr);
  h = 7;
  QRGetActualSize(-1, nullptr, &w, nullptr);
  EXPECT_EQ(h, 7);
  // A message that fits no version measures 0 by 0.
  QRSetMessage(std::string(7090, '1').c_str());
  w = h = 5;
  QRGetActualSize(-1, nullptr, &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

TEST_F(Render, RenderedSymbolsDecodeInEveryOrientation) {
  char dir[] = "/tmp/tesserine-render-XXXXXX";
  ASSERT_NE(::mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/render.bmp";
  const char* message = "https://example.com/render?q=1";
  for (int orientation = 0; orientation < 4; ++orientation) {
    SCOPED_TRACE(orientation);
    QRSetMessage(message);
    QRSetBackColor(255, 255, 255);
    QRSetBarColor(0, 0, 0);
    QRConfigure(0, 1, 0);
    QRAppearance(0.1, orientation, 1);  // 4 pixels at 96 dpi
    EncodedSymbol symbol;
    ASSERT_TRUE(encodeSymbol(theEngine().settings, symbol));
    const int side = (symbol.size() + 8) * 4;
    QRSetSize(side, side);
    DC dc(side + 20, side + 20);
    QRRender(dc, 10, 10);
    std::vector<uint8_t> file;
    ASSERT_TRUE(buildBmp(*dc.dc->surface, 1, file));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    EXPECT_EQ(testing::zbarDecode(path), message);
    EXPECT_EQ(testing::zxingDecode(path), message);
  }
  std::system(("rm -rf " + testing::quoted(dir)).c_str());
}

}  // namespace
}  // namespace tesserine
