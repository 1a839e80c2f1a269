// QRSaveAsBMP: the file layout at 1 and 4 bits per pixel, the application's
// file pixel for pixel, colour mapping, the failures that leave no file, and
// decoder round trips of the files written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/encoder/encode_symbol.h"
#include "engine/encoder/settings.h"
#include "engine/exports/tesserine.h"
#include "engine/output/bitmap.h"
#include "engine/output/platform.h"
#include "tests/support/bmp_reader.h"

namespace tesserine {
namespace {

using testing::Bmp;
using testing::fileExists;
using testing::readBmp;

class BitmapFile : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setDisplayResolution(96, 96);
    char dir[] = "/tmp/tesserine-bmp-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    dir_ = dir;
    path_ = dir_ + "/a.bmp";
  }
  void TearDown() override {
    platform::setDisplayResolution(96, 96);
    std::system(("rm -rf " + testing::quoted(dir_)).c_str());
  }

  // The generator application's settings.
  static void appSettings(const char* message, int version) {
    QRSetMessage(message);
    QRSetBackColor(255, 255, 255);
    QRSetBarColor(0, 0, 0);
    QRConfigure(version, 0, 5);
    QRAppearance(0.2, 1, 0);
    QRSetSize(500, 500);
  }

  static EncodedSymbol encoded() {
    EncodedSymbol symbol;
    EXPECT_TRUE(encodeSymbol(theEngine().settings, symbol));
    return symbol;
  }

  void writeJunk() const { std::ofstream(path_) << "old contents"; }

  std::string dir_, path_;
};

// Both decoders read the message bytes from the file.
void expectDecodes(const std::string& path, const std::string& message) {
  EXPECT_EQ(testing::zbarDecode(path), message) << "zbar, " << path;
  EXPECT_EQ(testing::zxingDecode(path), message) << "ZXing, " << path;
}

TEST_F(BitmapFile, ApplicationFileIsExactPixelForPixel) {
  for (int version : {1, 2, 11, 12, 40}) {
    SCOPED_TRACE(version);
    appSettings("HELLO 123", version);
    ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
    const Bmp bmp = readBmp(path_);
    ASSERT_TRUE(bmp.valid);
    EXPECT_EQ(bmp.bytes.size(), 32062u);
    EXPECT_EQ(bmp.fileSize, 32062u);
    EXPECT_EQ(bmp.pixelOffset, 62u);
    EXPECT_EQ(bmp.infoSize, 40u);
    EXPECT_EQ(bmp.width, 500);
    EXPECT_EQ(bmp.height, 500);
    EXPECT_EQ(bmp.planes, 1u);
    EXPECT_EQ(bmp.depth, 1u);
    EXPECT_EQ(bmp.compression, 0u);
    EXPECT_EQ(bmp.imageSize, 32000u);
    EXPECT_EQ(bmp.xPelsPerMeter + bmp.yPelsPerMeter + bmp.coloursUsed + bmp.importantColours, 0u);
    EXPECT_EQ(bmp.palette, (std::vector<uint32_t>{0x000000, 0xFFFFFF}));
    EXPECT_EQ(bmp.stride, 64u);
    EXPECT_TRUE(bmp.paddingIsZero());
    const EncodedSymbol symbol = encoded();
    const int n = symbol.size();
    ASSERT_EQ(n, 17 + 4 * version);
    const int margin = 250 - 4 * n;
    int mismatches = 0;
    for (int y = 0; y < 500; ++y)
      for (int x = 0; x < 500; ++x) {
        const int dy = y - margin, dx = x - margin;
        const bool inside = dy >= 0 && dx >= 0 && dy / 8 < n && dx / 8 < n;
        const int want = inside && symbol.matrix.module(dy / 8, dx / 8) ? 0 : 1;
        if (bmp.index(x, y) != want && ++mismatches < 5) ADD_FAILURE() << "pixel " << x << "," << y;
      }
    EXPECT_EQ(mismatches, 0);
    if (margin >= 32) expectDecodes(path_, "HELLO 123");
  }
}

TEST_F(BitmapFile, OddRoomAt120DpiPutsTheExtraUnitAboveTheSymbol) {
  platform::setDisplayResolution(120, 120);
  appSettings("12", 1);
  ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
  const Bmp bmp = readBmp(path_);
  ASSERT_TRUE(bmp.valid);
  int left = 500, right = -1, top = 500, bottom = -1;
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 500; ++x)
      if (bmp.index(x, y) == 0) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  // 21 modules of 9: 155 on the left and the bottom, 156 on the right and the top.
  EXPECT_EQ(left, 155);
  EXPECT_EQ(499 - right, 156);
  EXPECT_EQ(top, 156);
  EXPECT_EQ(499 - bottom, 155);
  expectDecodes(path_, "12");
}

TEST_F(BitmapFile, StrideAndSizesAtBothDepths) {
  const struct {
    int width, height, barBlue;
    uint32_t depth, stride, imageSize, fileSize, offset;
  } cases[] = {
      {500, 500, 0, 1, 64, 32000, 32062, 62},       {32, 7, 0, 1, 4, 28, 90, 62},
      {33, 7, 0, 1, 8, 56, 118, 62},                {1, 1, 0, 1, 4, 4, 66, 62},
      {500, 500, 1, 4, 252, 126000, 126118, 118},   {33, 3, 1, 4, 20, 60, 178, 118},
      {8, 2, 1, 4, 4, 8, 126, 118},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " depth " << c.depth);
    appSettings("12", 0);
    QRSetBarColor(0, 0, c.barBlue);
    QRSetSize(c.width, c.height);
    ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
    const Bmp bmp = readBmp(path_);
    ASSERT_TRUE(bmp.valid);
    EXPECT_EQ(bmp.depth, c.depth);
    EXPECT_EQ(bmp.stride, c.stride);
    EXPECT_EQ(bmp.imageSize, c.imageSize);
    EXPECT_EQ(bmp.fileSize, c.fileSize);
    EXPECT_EQ(bmp.bytes.size(), c.fileSize);
    EXPECT_EQ(bmp.pixelOffset, c.offset);
    EXPECT_EQ(bmp.palette.size(), c.depth == 1 ? 2u : 16u);
    EXPECT_TRUE(bmp.paddingIsZero());
    if (c.width == 500) expectDecodes(path_, "12");
  }
}

TEST_F(BitmapFile, FourBitTableIsTheStandardSixteenColours) {
  appSettings("12", 0);
  QRSetBarColor(0, 0, 1);
  ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
  const Bmp bmp = readBmp(path_);
  ASSERT_TRUE(bmp.valid);
  // Entries as stored: blue, green, red, 0.
  const uint8_t table[16][3] = {
      {0x00, 0x00, 0x00}, {0x00, 0x00, 0x80}, {0x00, 0x80, 0x00}, {0x00, 0x80, 0x80},
      {0x80, 0x00, 0x00}, {0x80, 0x00, 0x80}, {0x80, 0x80, 0x00}, {0x80, 0x80, 0x80},
      {0xC0, 0xC0, 0xC0}, {0x00, 0x00, 0xFF}, {0x00, 0xFF, 0x00}, {0x00, 0xFF, 0xFF},
      {0xFF, 0x00, 0x00}, {0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0x00}, {0xFF, 0xFF, 0xFF},
  };
  for (int i = 0; i < 16; ++i) {
    const size_t at = 54 + 4 * i;
    EXPECT_EQ(bmp.bytes[at], table[i][0]) << i;      // blue
    EXPECT_EQ(bmp.bytes[at + 1], table[i][1]) << i;  // green
    EXPECT_EQ(bmp.bytes[at + 2], table[i][2]) << i;  // red
    EXPECT_EQ(bmp.bytes[at + 3], 0) << i;
  }
  expectDecodes(path_, "12");
}

TEST(NearestColour, LeastSquaredDistanceLowerIndexOnTies) {
  const struct {
    uint32_t colour;  // 0x00BBGGRR
    int expected;
  } cases[] = {
      {0x000000, 0},  {0x010000, 0},  {0xFFFFFF, 15}, {0xFEFFFF, 15}, {0x0A0AC8, 9},  // (200, 10, 10): red
      {0x000040, 0},   // (64, 0, 0): as far from black as from dark red
      {0xA0A0A0, 7},   // (160, 160, 160): as far from grey as from silver
      {0x606060, 7},   {0xC0C0C0, 8}, {0x00FFFF, 11}, {0x7F0000, 4}, {0x800000, 4}, {0xFF00FF, 13},
  };
  for (const auto& c : cases) EXPECT_EQ(nearestColourIndex(c.colour, kBmpPalette16, 16), c.expected) << std::hex << c.colour;
  EXPECT_EQ(nearestColourIndex(0x808080, kBmpPalette2, 2), 1);
  EXPECT_EQ(nearestColourIndex(0x7F7F7F, kBmpPalette2, 2), 0);
}

TEST_F(BitmapFile, FourBitPixelsMapToTheirNearestEntries) {
  appSettings("12", 1);
  QRSetBackColor(200, 10, 10);  // red, 9
  QRSetBarColor(0, 0, 100);     // navy, 4
  QRAppearance(0.2, 1, 2);      // the default black pen draws the border
  ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
  const Bmp bmp = readBmp(path_);
  ASSERT_TRUE(bmp.valid);
  EXPECT_EQ(bmp.depth, 4u);
  EXPECT_EQ(bmp.index(0, 0), 0);      // border
  EXPECT_EQ(bmp.index(499, 250), 0);  // border
  EXPECT_EQ(bmp.index(1, 1), 9);      // background
  EXPECT_EQ(bmp.index(166, 166), 4);  // module (0, 0)
  EXPECT_EQ(bmp.index(174, 174), 9);  // module (1, 1), light
  EXPECT_TRUE(bmp.paddingIsZero());
  expectDecodes(path_, "12");
}

TEST_F(BitmapFile, ColoursFromQRSetDefaultAloneGiveFourBits) {
  // The depth hints start at 0 and QRSetDefault leaves them alone: a
  // process that only ever called QRSetDefault writes 4 bits. A child
  // process starts from the state the library is loaded with.
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    QRSetDefault();
    const bool ok = QRSaveAsBMP(path_.c_str()) == -1;
    const Bmp bmp = readBmp(path_);
    ::_exit(ok && bmp.valid && bmp.depth == 4 && bmp.width == 500 && bmp.height == 300 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  // The same in this process: bars once not black, then QRSetDefault.
  QRSetBarColor(0, 0, 1);
  QRSetBackColor(255, 255, 255);
  QRSetDefault();
  QRAppearance(0.1, 1, 0);
  ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
  const Bmp bmp = readBmp(path_);
  ASSERT_TRUE(bmp.valid);
  EXPECT_EQ(bmp.depth, 4u);
  EXPECT_EQ(bmp.fileSize, 118u + 252u * 300u);
  expectDecodes(path_, "12");
}

TEST_F(BitmapFile, ExistingFileIsReplaced) {
  writeJunk();
  appSettings("12", 0);
  ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
  EXPECT_EQ(testing::readFile(path_).size(), 32062u);
  expectDecodes(path_, "12");
}

TEST_F(BitmapFile, FailuresLeaveNoFileAndTheOldOneDeleted) {
  const std::string tooLong(7090, '7');
  const struct {
    const char* name;
    int width, height;
    const char* message;
  } cases[] = {
      {"message fits no version", 500, 500, tooLong.c_str()},
      {"negative width", -5, 7, "12"},
      {"negative height", 7, -5, "12"},
      {"both negative", -500, -500, "12"},
      {"over the pixel limit", 8193, 8192, "12"},
      {"product overflows 32 bits", 100000, 100000, "12"},
      {"largest sizes", INT32_MAX, INT32_MAX, "12"},
      {"largest width", INT32_MAX, 1, "12"},
      {"smallest sizes", INT32_MIN, INT32_MIN, "12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeJunk();
    appSettings(c.message, 0);
    QRSetSize(c.width, c.height);
    EXPECT_EQ(QRSaveAsBMP(path_.c_str()), 0);
    EXPECT_FALSE(fileExists(path_));
  }
}

TEST_F(BitmapFile, UnwritablePathsGiveZero) {
  appSettings("12", 0);
  EXPECT_EQ(QRSaveAsBMP((dir_ + "/missing/a.bmp").c_str()), 0);
  EXPECT_FALSE(fileExists(dir_ + "/missing/a.bmp"));
  EXPECT_EQ(QRSaveAsBMP(dir_.c_str()), 0);  // a folder
  EXPECT_EQ(QRSaveAsBMP(nullptr), 0);
  EXPECT_EQ(QRSaveAsBMP(""), 0);
}

TEST_F(BitmapFile, WriteThatFailsPartWayLeavesNoFile) {
  // Under a file size limit (its signal ignored) the write stops short.
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{20000, 20000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
    appSettings("12", 0);
    if (QRSaveAsBMP(path_.c_str()) != 0) ::_exit(3);
    if (fileExists(path_)) ::_exit(4);
    QRSetSize(100, 100);  // 1,662 bytes fit
    if (QRSaveAsBMP(path_.c_str()) != -1) ::_exit(5);
    if (testing::readFile(path_).size() != 1662) ::_exit(6);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(BitmapFile, DecodesInEveryOrientationAtBothDepths) {
  // 4 pixels per module (0.1 cm at 96 dpi) and a quiet zone of 4 modules.
  const struct {
    const char* message;
    int version;
  } messages[] = {
      {"01234567890123456789", 0},
      {"TESSERINE QR $%*+-./:", 3},
      {"bytes: \x01\x7F\xC3\xA9\xFF end", 7},
  };
  for (const auto& m : messages)
    for (int orientation = 0; orientation < 4; ++orientation)
      for (bool fourBits : {false, true}) {
        SCOPED_TRACE(::testing::Message() << m.message << " orientation " << orientation << " 4-bit " << fourBits);
        appSettings(m.message, m.version);
        if (fourBits) {
          QRSetBackColor(255, 255, 200);
          QRSetBarColor(0, 0, 128);
        }
        QRAppearance(0.1, orientation, orientation % 3);
        EncodedSymbol symbol = encoded();
        const int side = (symbol.size() + 8) * 4 + 1;  // odd: uneven margins
        QRSetSize(side, side + 2);
        ASSERT_EQ(QRSaveAsBMP(path_.c_str()), -1);
        ASSERT_EQ(readBmp(path_).depth, fourBits ? 4u : 1u);
        expectDecodes(path_, m.message);
      }
}

}  // namespace
}  // namespace tesserine
