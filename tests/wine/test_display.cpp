// The display's resolution (LogPixels) sets the module size of the file
// outputs and the measurement of QRGetActualSize.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/wine/harness.h"

namespace tesserine_wine {
namespace {

int displayDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;  // inclusive
};

Box darkBox(const Picture& p) {
  Box b;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (p.at(x, y) == 0) {
        if (b.left < 0 || x < b.left) b.left = x;
        if (b.right < x) b.right = x;
        if (b.top < 0) b.top = y;
        b.bottom = y;
      }
  return b;
}

// The generator application's settings on a version-1 symbol: 0.2 cm,
// upright, 500 x 500.
TEST(Display, ModuleSizeAndMarginsFollowLogPixels) {
  struct Expected {
    int dpi, moduleSize, left, top, right, bottom;  // margins
  } const table[] = {
      {96, 8, 166, 166, 166, 166},
      {120, 9, 155, 156, 156, 155},  // the odd unit above the symbol and right of it
  };
  const int dpi = displayDpi();
  // The test script sets the resolution it configured, so that a setting
  // that did not take is a failure rather than a skip.
  char wanted[16];
  if (GetEnvironmentVariableA("TESSERINE_EXPECT_DPI", wanted, sizeof wanted) > 0) {
    ASSERT_EQ(dpi, std::atoi(wanted));
  }
  const Expected* e = nullptr;
  for (const auto& row : table)
    if (row.dpi == dpi) e = &row;
  if (e == nullptr) GTEST_SKIP() << "display at " << dpi << " dpi";
  SCOPED_TRACE(dpi);

  const Api& api = dll();
  api.setMessage("HELLO");
  api.setBackColor(255, 255, 255);
  api.setBarColor(0, 0, 0);
  api.configure(0, 1, 5);
  api.appearance(0.2, 1, 0);
  api.setSize(500, 500);
  const std::string path = outDir() + "dpi" + std::to_string(dpi) + ".bmp";
  ASSERT_EQ(api.saveAsBmp(path.c_str()), -1);
  std::string bytes;
  Picture p;
  ASSERT_TRUE(readFile(path, bytes));
  ASSERT_TRUE(decodeBmp(bytes, p));
  const Box box = darkBox(p);
  EXPECT_EQ(box.left, e->left);
  EXPECT_EQ(box.top, e->top);
  EXPECT_EQ(499 - box.right, e->right);
  EXPECT_EQ(499 - box.bottom, e->bottom);
  EXPECT_EQ(box.right - box.left + 1, 21 * e->moduleSize);

  int width = -1, height = -1;
  api.getActualSize(-1, nullptr, &width, &height);
  EXPECT_EQ(width, 21 * e->moduleSize);
  EXPECT_EQ(height, 21 * e->moduleSize);
  // Only the low 16 bits select the display.
  width = height = -1;
  api.getActualSize(0x7FFFFFFF, nullptr, &width, &height);
  EXPECT_EQ(width, 21 * e->moduleSize);

  // A memory DC compatible with the display has the display's resolution.
  MemoryDC memory(10, 10);
  width = height = -1;
  api.getActualSize(0, memory.dc(), &width, &height);
  EXPECT_EQ(width, 21 * e->moduleSize);
  EXPECT_EQ(height, 21 * e->moduleSize);

  // Version 2 at the application's settings.
  api.configure(2, 1, 5);
  api.getActualSize(-1, nullptr, &width, &height);
  EXPECT_EQ(width, 25 * e->moduleSize);
  // A message that fits no version measures 0 x 0.
  const std::string tooLong(7090, '1');
  api.setMessage(tooLong.c_str());
  api.getActualSize(0, memory.dc(), &width, &height);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

}  // namespace
}  // namespace tesserine_wine
