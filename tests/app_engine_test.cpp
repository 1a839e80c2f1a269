// Generate actions of the application's logic against the real engine
// (in-process), with real files: the bitmap and its copy, what decoders read
// from them, and the committed placeholder picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/generator.h"
#include "app/tools/native_engine_runtime.h"
#include "app/tools/placeholder.h"
#include "tests/support/bmp_reader.h"

namespace tesserine::app {
namespace {

namespace fs = std::filesystem;

class AppEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tesserine-app-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string bitmapPath() const { return dir_ + "/a.bmp"; }
  std::string copyPath() const { return dir_ + "/已生成二维码.jpg"; }

  std::string dir_;
};

// First dark pixel on the diagonal: the symbol's margin.
int margin(const tesserine::testing::Bmp& b) {
  for (int i = 0; i < b.width && i < b.height; ++i)
    if (b.index(i, i) == 0) return i;
  return -1;
}

TEST_F(AppEngineTest, GenerateWritesABitmapAndAnIdenticalCopyThatDecodeToTheTypedBytes) {
  struct Case {
    std::string text;
    int versionIndex, levelIndex;
    int expectedMargin;  // 250 - 4 * (17 + 4 * version) at 8 pixels per module
  };
  const Case cases[] = {
      {"Hello, world", -1, -1, 166},             // automatic: version 1
      {"\xD6\xD0\xCE\xC4 QR \xB6\xFE\xCE\xAC\xC2\xEB", -1, 3, 150},  // GBK bytes, level H: version 2
      {"0123456789", 7, 1, 70},                  // at least version 7
      {"https://www.tesserine.example", 0, -1, 150},
  };
  for (const Case& c : cases) {
    NativeEngineRuntime rt(dir_);
    rt.editBoxText = c.text;
    rt.versionSelection = c.versionIndex;
    rt.levelSelection = c.levelIndex;
    Generator g(rt);
    g.generateSymbol();

    const auto bitmap = tesserine::testing::readFile(bitmapPath());
    ASSERT_EQ(bitmap.size(), 32062u) << c.text;
    EXPECT_EQ(tesserine::testing::readFile(copyPath()), bitmap);
    EXPECT_EQ(rt.picture(Control::图片框1), bitmap);
    const auto bmp = tesserine::testing::parseBmp(bitmap);
    ASSERT_TRUE(bmp.valid);
    EXPECT_EQ(bmp.depth, 1u);
    EXPECT_EQ(margin(bmp), c.expectedMargin) << c.text;
    EXPECT_EQ(tesserine::testing::zbarDecode(bitmapPath()), c.text);
    EXPECT_EQ(tesserine::testing::zxingDecode(bitmapPath()), c.text);
    EXPECT_EQ(rt.webAddresses.size(), 1u);
  }
}

TEST_F(AppEngineTest, ATextThatFitsNoSymbolLeavesNoBitmapAndKeepsTheEarlierCopy) {
  NativeEngineRuntime rt(dir_);
  rt.editBoxText = "first";
  Generator g(rt);
  g.generateSymbol();
  const auto earlier = tesserine::testing::readFile(copyPath());
  ASSERT_EQ(earlier.size(), 32062u);

  rt.editBoxText = std::string(7090, '7');  // more digits than version 40 holds
  g.generateSymbol();
  EXPECT_FALSE(fs::exists(bitmapPath()));
  EXPECT_TRUE(rt.picture(Control::图片框1).empty());
  EXPECT_EQ(tesserine::testing::readFile(copyPath()), earlier);
}

TEST_F(AppEngineTest, ThePlaceholderIsTheEnginesVersionOneSymbolWithTheApplicationsSettings) {
  const auto committed = tesserine::testing::readFile(TESSERINE_APP_RESOURCES "/placeholder.bmp");
  ASSERT_EQ(committed.size(), 32062u);
  const auto bmp = tesserine::testing::parseBmp(committed);
  ASSERT_TRUE(bmp.valid);
  EXPECT_EQ(bmp.width, 500);
  EXPECT_EQ(bmp.height, 500);
  EXPECT_EQ(bmp.depth, 1u);
  EXPECT_EQ(margin(bmp), 166);  // version 1

  NativeEngineRuntime rt(dir_);
  rt.editBoxText = kPlaceholderText;
  Generator g(rt);
  g.generateSymbol();
  EXPECT_EQ(tesserine::testing::readFile(bitmapPath()), committed)
      << "app/resources/make-artwork.sh redraws the placeholder";
  EXPECT_EQ(tesserine::testing::zbarDecode(TESSERINE_APP_RESOURCES "/placeholder.bmp"), kPlaceholderText);
}

TEST_F(AppEngineTest, SaveWritesTheShownPictureIntoTheChosenFolder) {
  NativeEngineRuntime rt(dir_);
  rt.editBoxText = "saved";
  Generator g(rt);
  g.generateSymbol();
  fs::create_directory(dir_ + "/chosen");
  rt.folderAnswer = dir_ + "/chosen";
  g.saveSymbolCopy();
  EXPECT_EQ(tesserine::testing::readFile(dir_ + "/chosen/已生成二维码.jpg"), tesserine::testing::readFile(bitmapPath()));
  EXPECT_EQ(tesserine::testing::zbarDecode(dir_ + "/chosen/已生成二维码.jpg"), "saved");
}

}  // namespace
}  // namespace tesserine::app
