// Symbol geometry and drawing on the raster surface: module sizes, corners
// and cells in the four orientations, overhanging symbols, the border lines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>

#include "engine/encoder/encode_symbol.h"
#include "engine/encoder/settings.h"
#include "engine/output/drawing.h"
#include "engine/output/geometry.h"
#include "engine/output/raster.h"

namespace tesserine {
namespace {

constexpr uint32_t kWhite = 0x00FFFFFF, kBlack = 0, kRed = 0x000000FF;

TEST(ModuleSize, RoundsAtStrictlyAboveOneHalf) {
  const struct {
    int32_t dpi;
    float cm;
    int32_t expected;
  } cases[] = {
      {72, 0.2f, 6}, {96, 0.2f, 8}, {120, 0.2f, 9}, {144, 0.2f, 11}, {192, 0.2f, 15}, {600, 0.2f, 47},
      {96, 0.07f, 3}, {300, 0.07f, 8}, {0, 0.2f, 0}, {96, 0.0f, 0},
      // 127 dpi * 0.1 cm is exactly half an inch: 5.0 (as a float the width
      // is slightly more than 0.1, so x is just above 5 and truncates to 5).
      {127, 0.1f, 5},
  };
  for (const auto& c : cases) EXPECT_EQ(computeModuleSize(c.dpi, c.cm), c.expected) << c.dpi << " dpi, " << c.cm;
}

TEST(ModuleSize, ClampsInsteadOfOverflowing) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(computeModuleSize(INT32_MAX, std::numeric_limits<float>::max()), INT32_MAX);
  EXPECT_EQ(computeModuleSize(96, inf), INT32_MAX);
  EXPECT_EQ(computeModuleSize(0, inf), 0);  // 0 * infinity
  EXPECT_EQ(computeModuleSize(-96, inf), INT32_MIN);
}

TEST(ModuleSize, AxisDependsOnOperationAndOrientation) {
  for (uint16_t o : {0, 2}) {
    EXPECT_EQ(renderAxis(o), Axis::kHeight);
    EXPECT_EQ(fileAxis(o), Axis::kWidth);
  }
  for (uint16_t o : {1, 3}) {
    EXPECT_EQ(renderAxis(o), Axis::kWidth);
    EXPECT_EQ(fileAxis(o), Axis::kHeight);
  }
}

EncoderSettings area(int32_t w, int32_t h, uint16_t orientation) {
  EncoderSettings s;
  s.outputWidth = w;
  s.outputHeight = h;
  s.orientation = orientation;
  return s;
}

TEST(Placement, CornersInEveryOrientation) {
  const struct {
    int32_t n, moduleSize, w, h;
    uint16_t orientation;
    int64_t extent, marginX, marginY, cornerX, cornerY;
  } cases[] = {
      {21, 8, 500, 500, 0, 168, 166, 166, 166, 166},
      {21, 8, 500, 500, 1, 168, 166, 166, 166, 166},
      {21, 8, 500, 500, 2, 168, 166, 166, 166, 166},
      {21, 8, 500, 500, 3, 168, 166, 166, 166, 166},
      // Room 311: the measured side gets 155, the other 156.
      {21, 9, 500, 500, 0, 189, 155, 155, 155, 155},
      {21, 9, 500, 500, 1, 189, 155, 155, 155, 156},
      {21, 9, 500, 500, 2, 189, 155, 155, 156, 155},
      {21, 9, 500, 500, 3, 189, 155, 155, 155, 155},
      // Version 12 overhangs each edge by 10.
      {65, 8, 500, 500, 0, 520, -10, -10, -10, -10},
      {65, 8, 500, 500, 1, 520, -10, -10, -10, -10},
      {65, 8, 500, 500, 2, 520, -10, -10, -10, -10},
      {65, 8, 500, 500, 3, 520, -10, -10, -10, -10},
      // Negative odd room -69 truncates toward zero to -34; the far side
      // overhangs by 35.
      {21, 9, 120, 120, 1, 189, -34, -34, -34, -35},
      {21, 9, 120, 120, 2, 189, -34, -34, -35, -34},
      // Version 40 in the application's area.
      {177, 8, 500, 500, 1, 1416, -458, -458, -458, -458},
  };
  for (const auto& c : cases) {
    const DrawLayout l = placeSymbol(area(c.w, c.h, c.orientation), c.n, c.moduleSize, 0, 0);
    SCOPED_TRACE(::testing::Message() << "n " << c.n << " size " << c.moduleSize << " orientation " << c.orientation);
    EXPECT_EQ(l.symbolExtent, c.extent);
    EXPECT_EQ(l.marginX, c.marginX);
    EXPECT_EQ(l.marginY, c.marginY);
    EXPECT_EQ(l.cornerX, c.cornerX);
    EXPECT_EQ(l.cornerY, c.cornerY);
  }
}

TEST(Placement, ModuleCellsFollowTheOrientation) {
  // Module (0, 0) lands top-right for 0, top-left for 1, bottom-left for 2,
  // bottom-right for 3; module (20, 20) opposite to it.
  const struct {
    uint16_t orientation;
    int r, c;
    Rect expected;
  } cases[] = {
      {0, 0, 0, {326, 166, 334, 174}}, {1, 0, 0, {166, 166, 174, 174}},   {2, 0, 0, {166, 326, 174, 334}},
      {3, 0, 0, {326, 326, 334, 334}}, {1, 20, 20, {326, 326, 334, 334}}, {0, 20, 20, {166, 326, 174, 334}},
      {1, 0, 20, {326, 166, 334, 174}}, {0, 0, 20, {326, 326, 334, 334}}, {2, 0, 20, {166, 166, 174, 174}},
      {3, 0, 20, {166, 326, 174, 334}},
  };
  for (const auto& c : cases) {
    const DrawLayout l = placeSymbol(area(500, 500, c.orientation), 21, 8, 0, 0);
    const Rect r = moduleCell(l, c.r, c.c);
    SCOPED_TRACE(::testing::Message() << "orientation " << c.orientation << " module " << c.r << "," << c.c);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.right, c.expected.right);
    EXPECT_EQ(r.bottom, c.expected.bottom);
  }
  // The origin shifts every cell.
  const Rect shifted = moduleCell(placeSymbol(area(500, 500, 1), 21, 8, 65535, 7), 0, 0);
  EXPECT_EQ(shifted.left, 65535 + 166);
  EXPECT_EQ(shifted.top, 7 + 166);
}

// A surface filled white, for drawing tests.
std::unique_ptr<RasterSurface> whiteSurface(int32_t w, int32_t h) {
  auto s = RasterSurface::create(w, h, 96, 96);
  s->fillRect({0, 0, w, h}, kWhite);
  return s;
}

using PixelSet = std::set<std::pair<int, int>>;

PixelSet pixelsOf(const RasterSurface& s, uint32_t colour) {
  PixelSet out;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (s.pixel(x, y) == colour) out.insert({x, y});
  return out;
}

// Inclusive runs along an edge.
void addRuns(PixelSet& set, std::initializer_list<std::pair<int, int>> runs, bool horizontal, int fixed) {
  for (auto [a, b] : runs)
    for (int i = a; i <= b; ++i) set.insert(horizontal ? std::make_pair(i, fixed) : std::make_pair(fixed, i));
}

TEST(Border, DashedBorderOf500By500PixelForPixel) {
  auto surface = whiteSurface(500, 500);
  drawBorder(*surface, area(500, 500, 0), 0, 0, false);
  PixelSet expected;
  for (int row : {0, 499})
    for (int x = 0; x <= 488; x += 8) addRuns(expected, {{x, x + 3}}, true, row);
  for (int row : {0, 499}) addRuns(expected, {{496, 498}}, true, row);
  // After 125 steps the toggle is off: the columns start with a gap.
  for (int column : {0, 499})
    for (int y = 4; y <= 484; y += 8) addRuns(expected, {{y, y + 3}}, false, column);
  for (int column : {0, 499}) addRuns(expected, {{492, 498}}, false, column);
  EXPECT_EQ(pixelsOf(*surface, kBlack), expected);
}

TEST(Border, NarrowAreaHasNoHorizontalDashes) {
  auto surface = whiteSurface(10, 30);
  drawBorder(*surface, area(3, 20, 0), 0, 0, false);
  // No steps along the width leave the toggle on for the columns.
  PixelSet expected;
  for (int column : {0, 2}) addRuns(expected, {{0, 3}, {8, 11}, {16, 18}}, false, column);
  EXPECT_EQ(pixelsOf(*surface, kBlack), expected);
}

TEST(Border, SolidBorderIncludesTheTwoStartPointsOutsideTheArea) {
  auto surface = whiteSurface(40, 30);
  surface->setPenColour(kRed);
  drawBorder(*surface, area(20, 10, 0), 5, 6, true);
  PixelSet expected;
  addRuns(expected, {{5, 24}}, true, 6);
  addRuns(expected, {{5, 24}}, true, 15);
  addRuns(expected, {{6, 15}}, false, 5);
  addRuns(expected, {{6, 15}}, false, 24);
  expected.insert({25, 15});  // the bottom edge starts one unit right of the area
  expected.insert({5, 16});   // the left edge starts one unit below it
  EXPECT_EQ(pixelsOf(*surface, kRed), expected);
}

TEST(Border, DashesSeenThroughASmallSurfaceMatchTheFullDrawing) {
  // The dashes skipped outside the visible area must not shift the toggle.
  for (const auto& [w, h] : {std::pair{1000, 996}, std::pair{1004, 1001}, std::pair{999, 7}}) {
    auto full = whiteSurface(1100, 1100);
    drawBorder(*full, area(w, h, 0), 0, 0, false);
    for (const auto& [oX, oY] : {std::pair{-301, -299}, std::pair{-w + 50, -h + 60}, std::pair{-7, -3}}) {
      auto part = whiteSurface(150, 140);
      drawBorder(*part, area(w, h, 0), oX, oY, false);
      for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 150; ++x) {
          const int fx = x - oX, fy = y - oY;
          const uint32_t want = fx >= 0 && fy >= 0 && fx < 1100 && fy < 1100 ? full->pixel(fx, fy) : kWhite;
          ASSERT_EQ(part->pixel(x, y), want) << w << "x" << h << " at " << oX << "," << oY << ": " << x << "," << y;
        }
    }
  }
}

TEST(Border, HugeAreasAndOriginsStayInRange) {
  // Origin plus size beyond 32 bits: the visible parts are drawn exactly.
  auto surface = whiteSurface(64, 64);
  drawBorder(*surface, area(INT32_MAX, INT32_MAX, 0), 0, 0, false);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(surface->pixel(x, 0), x % 8 < 4 ? kBlack : kWhite) << x;
  drawBorder(*surface, area(INT32_MAX, INT32_MAX, 0), INT32_MAX, INT32_MAX, true);
  drawBorder(*surface, area(INT32_MIN, INT32_MIN, 0), INT32_MIN, INT32_MAX, false);
  drawBorder(*surface, area(-5, INT32_MAX, 0), INT32_MIN, INT32_MIN, true);
  drawBorder(*surface, area(INT32_MAX, 1, 0), 10, 10, false);
  EXPECT_EQ(surface->pixel(12, 10), kBlack);
}

TEST(Drawing, HugeModulesStillLandWhereTheyBelong) {
  // With a module size near the 32-bit limit, the whole surface lies inside
  // the middle module of the symbol.
  EncoderSettings s = area(50, 50, 1);
  setMessage(s, "12");
  s.backColor = kWhite;
  s.barColor = kBlack;
  EncodedSymbol symbol;
  ASSERT_TRUE(encodeSymbol(s, symbol));
  const uint32_t middle = symbol.matrix.module(10, 10) ? kBlack : kWhite;
  auto surface = RasterSurface::create(50, 50, 96, 96);
  ASSERT_TRUE(drawSymbol(*surface, s, 0, 0, INT32_MAX));
  EXPECT_EQ(pixelsOf(*surface, middle).size(), 2500u);
  // The next cells to the right lie wholly outside, the second beyond 32 bits.
  const DrawLayout l = placeSymbol(s, 21, INT32_MAX, 0, 0);
  EXPECT_GT(moduleCell(l, 10, 11).left, 50);
  EXPECT_EQ(moduleCell(l, 10, 12).left, INT32_MAX);
}

TEST(Drawing, ModulesAreFilledColumnByColumnFromTheBottomUp) {
  struct Recorder : Canvas {
    int32_t resolution(Axis) const override { return 96; }
    void fillRect(const Rect& r, uint32_t colour) override { fills.push_back({r, colour}); }
    void line(Point, Point) override { ++lines; }
    std::vector<std::pair<Rect, uint32_t>> fills;
    int lines = 0;
  } recorder;
  EncoderSettings s = area(500, 500, 1);
  setMessage(s, "12");
  s.backColor = kWhite;
  s.barColor = kRed;
  s.borderStyle = 1;
  EncodedSymbol symbol;
  ASSERT_TRUE(encodeSymbol(s, symbol));
  ASSERT_TRUE(drawSymbol(recorder, s, 3, 4, 8));
  ASSERT_FALSE(recorder.fills.empty());
  EXPECT_EQ(recorder.fills[0].first.left, 3);
  EXPECT_EQ(recorder.fills[0].first.bottom, 504);
  EXPECT_EQ(recorder.fills[0].second, kWhite);
  const DrawLayout l = placeSymbol(s, 21, 8, 3, 4);
  size_t i = 1;
  for (int c = 0; c < 21; ++c)
    for (int r = 20; r >= 0; --r) {
      if (!symbol.matrix.module(r, c)) continue;
      ASSERT_LT(i, recorder.fills.size());
      EXPECT_EQ(recorder.fills[i].first.left, moduleCell(l, r, c).left);
      EXPECT_EQ(recorder.fills[i].first.top, moduleCell(l, r, c).top);
      EXPECT_EQ(recorder.fills[i].second, kRed);
      ++i;
    }
  EXPECT_EQ(i, recorder.fills.size());
  // 63 dashes on the horizontal edges and 62 on the vertical ones, in pairs.
  EXPECT_EQ(recorder.lines, 2 * (63 + 62));
}

TEST(Drawing, UnfitMessageDrawsNothing) {
  auto surface = whiteSurface(20, 20);
  EncoderSettings s = area(20, 20, 0);
  setMessage(s, std::string(7090, '7').c_str());
  s.backColor = kRed;
  s.borderStyle = 2;
  EXPECT_FALSE(drawSymbol(*surface, s, 0, 0, 8));
  EXPECT_EQ(pixelsOf(*surface, kWhite).size(), 400u);
}

}  // namespace
}  // namespace tesserine
