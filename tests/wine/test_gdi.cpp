// The engine's pictures against Wine's GDI: QRRender into a real memory DC,
// the WMF file played by the platform, and the 4-bit BMP against the
// platform's own 16-colour conversion of the same drawing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/wine/harness.h"

namespace tesserine_wine {
namespace {

struct Look {
  const char* message;
  int orientation, border;
  int width, height;
};

// Black on white at 0.2 cm, the given look.
void setUp(const Look& look) {
  const Api& api = dll();
  api.setMessage(look.message);
  api.setBackColor(255, 255, 255);
  api.setBarColor(0, 0, 0);
  api.configure(0, 1, 0);
  api.appearance(0.2, look.orientation, look.border);
  api.setSize(look.width, look.height);
}

Picture bmpPicture(const std::string& name) {
  const std::string path = outDir() + name + ".bmp";
  Picture p;
  std::string bytes;
  EXPECT_EQ(dll().saveAsBmp(path.c_str()), -1);
  EXPECT_TRUE(readFile(path, bytes));
  EXPECT_TRUE(decodeBmp(bytes, p)) << path;
  return p;
}

// `inner` placed at (x, y) in a picture of `width` x `height` pixels filled
// with `fill` (the parts of `inner` outside it cut away).
Picture placed(const Picture& inner, int x, int y, int width, int height, uint32_t fill) {
  Picture p{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, fill)};
  for (int j = 0; j < inner.height; ++j)
    for (int i = 0; i < inner.width; ++i)
      if (x + i >= 0 && x + i < width && y + j >= 0 && y + j < height)
        p.pixels[static_cast<size_t>(y + j) * width + x + i] = inner.at(i, j);
  return p;
}

// On a caller's context the solid border's bottom and left lines start one
// unit outside the area (at (W, H - 1) and (0, H) relative to the origin)
// and GDI draws their first points; the bitmap outputs have no pixel there.
void addSolidBorderStarts(Picture& p, int x, int y, const Look& look, uint32_t pen) {
  if (look.border != 2) return;
  for (const POINT at : {POINT{x + look.width, y + look.height - 1}, POINT{x, y + look.height}})
    if (at.x >= 0 && at.x < p.width && at.y >= 0 && at.y < p.height)
      p.pixels[static_cast<size_t>(at.y) * p.width + at.x] = pen;
}

constexpr COLORREF kFill = RGB(0x12, 0x34, 0x56);
constexpr uint32_t kFillRgb = 0x123456;

// Areas that hold the symbol at 96 and at 120 dpi (on a caller's context a
// symbol larger than the area is drawn beyond it, where the bitmap has no
// pixels).
const Look kLooks[] = {
    {"RENDER", 1, 0, 260, 240},
    {"RENDER", 0, 1, 250, 230},
    {"RENDER", 2, 2, 251, 239},
    {"Render 3", 3, 1, 250, 250},
};

// QRRender draws the same pixels as the BMP output, shifted to (x, y); the
// rest of the caller's bitmap stays as it was.
TEST(Render, MatchesTheBmpShiftedToTheOrigin) {
  for (const auto& look : kLooks) {
    SCOPED_TRACE(std::string(look.message) + " orientation " + std::to_string(look.orientation) + " border " +
                 std::to_string(look.border));
    setUp(look);
    const Picture bmp = bmpPicture("render");
    for (const POINT at : {POINT{0, 0}, POINT{17, 23}, POINT{45, 3}}) {
      MemoryDC target(320, 290);
      target.fill(kFill);
      dll().render(target.dc(), at.x, at.y);
      Picture expected = placed(bmp, at.x, at.y, 320, 290, kFillRgb);
      addSolidBorderStarts(expected, at.x, at.y, look, 0x000000);
      EXPECT_EQ(pictureDifference(expected, target.picture()), "") << "at " << at.x << ", " << at.y;
    }
  }
}

// x and y count through their low 16 bits only: 65536 + 17 is 17, and -1 is
// 65535, far outside the bitmap.
TEST(Render, OriginCountsItsLow16BitsUnsigned) {
  setUp(kLooks[0]);
  const Picture bmp = bmpPicture("render16");
  MemoryDC target(300, 290);
  target.fill(kFill);
  dll().render(target.dc(), 65536 + 17, 0x7FFF0000 + 23);
  EXPECT_EQ(pictureDifference(placed(bmp, 17, 23, 300, 290, kFillRgb), target.picture()), "");
  MemoryDC untouched(300, 260);
  untouched.fill(kFill);
  dll().render(untouched.dc(), -1, 0);
  EXPECT_EQ(pictureDifference(placed(Picture{}, 0, 0, 300, 260, kFillRgb), untouched.picture()), "");
}

// The border is drawn with the caller's pen: exactly the pixels the black
// default pen draws in the BMP take the pen's colour.
TEST(Render, BorderUsesTheCallersPen) {
  for (const int border : {1, 2}) {
    SCOPED_TRACE(border);
    setUp({"PEN", 1, 0, 240, 220});
    const Picture plain = bmpPicture("pen0");
    const Look look{"PEN", 1, border, 240, 220};
    setUp(look);
    const Picture bordered = bmpPicture("pen1");
    Picture expected = placed(bordered, 10, 12, 280, 260, kFillRgb);
    addSolidBorderStarts(expected, 10, 12, look, 0x0000FF);
    int borderPixels = 0;
    for (int y = 0; y < plain.height; ++y)
      for (int x = 0; x < plain.width; ++x)
        if (plain.at(x, y) != bordered.at(x, y)) {
          expected.pixels[static_cast<size_t>(y + 12) * 280 + x + 10] = 0x0000FF;  // blue, as 0x00RRGGBB
          ++borderPixels;
        }
    EXPECT_GT(borderPixels, 300);
    MemoryDC target(280, 260);
    target.fill(kFill);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(target.dc(), pen);
    dll().render(target.dc(), 10, 12);
    EXPECT_EQ(GetCurrentObject(target.dc(), OBJ_PEN), pen) << "the caller's pen stays selected";
    SelectObject(target.dc(), old);
    DeleteObject(pen);
    EXPECT_EQ(pictureDifference(expected, target.picture()), "");
  }
}

// The drawing is in MM_TEXT whatever the caller's mapping; the caller's
// mode, extents and current position come back, and its viewport origin
// shifts the drawing.
TEST(Render, CallersMappingComesBackRestored) {
  const Look look{"MAP", 1, 2, 240, 220};
  setUp(look);
  const Picture bmp = bmpPicture("map");
  MemoryDC target(300, 260);
  target.fill(kFill);
  HDC dc = target.dc();
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 3, 5, nullptr);
  SetViewportExtEx(dc, 7, 2, nullptr);
  SetViewportOrgEx(dc, 5, 7, nullptr);
  MoveToEx(dc, 11, 13, nullptr);
  dll().render(dc, 10, 20);
  EXPECT_EQ(GetMapMode(dc), MM_ANISOTROPIC);
  SIZE window{}, viewport{};
  GetWindowExtEx(dc, &window);
  GetViewportExtEx(dc, &viewport);
  EXPECT_EQ(window.cx, 3);
  EXPECT_EQ(window.cy, 5);
  EXPECT_EQ(viewport.cx, 7);
  EXPECT_EQ(viewport.cy, 2);
  POINT position{};
  GetCurrentPositionEx(dc, &position);
  EXPECT_EQ(position.x, 11);
  EXPECT_EQ(position.y, 13);
  Picture expected = placed(bmp, 15, 27, 300, 260, kFillRgb);
  addSolidBorderStarts(expected, 15, 27, look, 0x000000);
  EXPECT_EQ(pictureDifference(expected, target.picture()), "");

  for (const int mode : {MM_LOMETRIC, MM_ISOTROPIC, MM_TEXT}) {
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetMapMode(dc, mode);
    dll().render(dc, 0, 0);
    EXPECT_EQ(GetMapMode(dc), mode);
  }
}

// A message that fits no version draws nothing, and the mode still comes
// back.
TEST(Render, MessageThatFitsNoVersionLeavesTheBitmapAlone) {
  const std::string tooLong(7090, '7');
  setUp({"", 1, 2, 200, 180});
  dll().setMessage(tooLong.c_str());
  MemoryDC target(240, 220);
  target.fill(kFill);
  SetMapMode(target.dc(), MM_HIENGLISH);
  dll().render(target.dc(), 0, 0);
  EXPECT_EQ(GetMapMode(target.dc()), MM_HIENGLISH);
  SetMapMode(target.dc(), MM_TEXT);
  EXPECT_EQ(pictureDifference(placed(Picture{}, 0, 0, 240, 220, kFillRgb), target.picture()), "");
}

// The WMF file played by the platform (placeable header skipped, window
// extent = bounding box, viewport = the bitmap) gives the BMP's pixels.
TEST(Metafile, WmfPlayedByGdiEqualsTheBmp) {
  for (const auto& look : kLooks) {
    SCOPED_TRACE(std::string(look.message) + " border " + std::to_string(look.border));
    setUp(look);
    const Picture bmp = bmpPicture("wmf");
    const std::string path = outDir() + "play.wmf";
    ASSERT_EQ(dll().saveAsWmf(path.c_str()), -1);
    std::string file;
    ASSERT_TRUE(readFile(path, file));
    ASSERT_GT(file.size(), 22u + 18u);
    uint32_t key = 0;
    std::memcpy(&key, file.data(), 4);
    EXPECT_EQ(key, 0x9AC6CDD7u);
    int16_t box[4];
    std::memcpy(box, file.data() + 6, sizeof box);
    EXPECT_EQ(box[2], look.width);
    EXPECT_EQ(box[3], look.height);
    HMETAFILE metafile =
        SetMetaFileBitsEx(static_cast<UINT>(file.size() - 22), reinterpret_cast<const BYTE*>(file.data() + 22));
    ASSERT_NE(metafile, nullptr);
    MemoryDC target(look.width, look.height);
    target.fill(kFill);
    SetMapMode(target.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(target.dc(), box[2] - box[0], box[3] - box[1], nullptr);
    SetViewportExtEx(target.dc(), look.width, look.height, nullptr);
    EXPECT_TRUE(PlayMetaFile(target.dc(), metafile));
    DeleteMetaFile(metafile);
    EXPECT_EQ(pictureDifference(bmp, target.picture()), "");
  }
}

// At 4 bits per pixel the file's colour table and pixel indices are those
// of the platform's conversion of the same drawing (QRRender into a
// display-compatible bitmap, then GetDIBits to a 16-colour DIB).
TEST(Bitmap, FourBitFileEqualsThePlatformConversion) {
  struct Colours {
    int back[3], bar[3];
  } const pairs[] = {
      {{255, 255, 255}, {0, 0, 1}},     {{255, 255, 0}, {255, 0, 0}},    {{200, 100, 50}, {128, 128, 128}},
      {{0, 0, 128}, {192, 192, 192}},   {{255, 255, 254}, {0, 0, 0}},    {{64, 200, 220}, {130, 20, 140}},
      {{250, 250, 250}, {100, 100, 100}},
  };
  for (const auto& c : pairs) {
    SCOPED_TRACE(std::to_string(c.back[0]) + "," + std::to_string(c.back[1]) + "," + std::to_string(c.back[2]) +
                 " / " + std::to_string(c.bar[0]) + "," + std::to_string(c.bar[1]) + "," + std::to_string(c.bar[2]));
    const Api& api = dll();
    setUp({"FOUR BIT", 1, 1, 210, 190});
    api.setBackColor(c.back[0], c.back[1], c.back[2]);
    api.setBarColor(c.bar[0], c.bar[1], c.bar[2]);
    const std::string path = outDir() + "four.bmp";
    ASSERT_EQ(api.saveAsBmp(path.c_str()), -1);
    std::string file;
    ASSERT_TRUE(readFile(path, file));
    ASSERT_GE(file.size(), 118u);
    ASSERT_EQ(file[28], 4) << "bits per pixel";

    MemoryDC drawing(210, 190);
    api.render(drawing.dc(), 0, 0);
    const std::string platform = drawing.dibBits(4);
    const std::string fileTable = file.substr(54, 64), platformTable = platform.substr(40, 64);
    EXPECT_TRUE(fileTable == platformTable) << "colour table";
    const std::string fileRows = file.substr(118), platformRows = platform.substr(40 + 64);
    ASSERT_EQ(fileRows.size(), platformRows.size());
    size_t differing = 0;
    for (size_t i = 0; i < fileRows.size(); ++i) differing += fileRows[i] != platformRows[i];
    EXPECT_EQ(differing, 0u) << "bytes of the pixel rows differ";
  }
}

}  // namespace
}  // namespace tesserine_wine
