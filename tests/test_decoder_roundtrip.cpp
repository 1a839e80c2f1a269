// Decoder round trips: the pattern text from the exports, drawn with a quiet
// zone of four modules at three or more pixels a module, must read back as
// the very bytes of the message in zbar and in ZXing.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "decoders.h"
#include "engine/exports/tesserine.h"
#include "symbol_helpers.h"

namespace {

std::string printable(const std::string& s) {
  std::string out;
  for (unsigned char ch : s.substr(0, 40)) {
    if (ch >= 0x20 && ch < 0x7F) out += static_cast<char>(ch);
    else {
      char buf[8];
      snprintf(buf, sizeof buf, "\\x%02X", ch);
      out += buf;
    }
  }
  return s.size() > 40 ? out + "..." : out;
}

struct Trip {
  std::string text;
  int version, level, mask;  // QRConfigure values
  int scale = 3;
};

void roundTrip(const Trip& t) {
  SCOPED_TRACE(testing::Message() << "\"" << printable(t.text) << "\" (" << t.text.size() << " bytes) version "
                                  << t.version << " level " << t.level << " mask setting " << t.mask);
  QRSetDefault();
  QRSetMessage(t.text.c_str());
  QRConfigure(t.version, t.level, t.mask);
  const std::string pattern = testkit::patternThroughExports();
  ASSERT_FALSE(pattern.empty());
  const testkit::GrayImage image = testkit::drawPatternText(pattern, t.scale);
  const auto zxing = testkit::decodeWithZxing(image);
  ASSERT_TRUE(zxing.has_value()) << "ZXing found no symbol";
  EXPECT_EQ(*zxing, t.text) << "ZXing";
  const auto zbar = testkit::decodeWithZbar(image);
  ASSERT_TRUE(zbar.has_value()) << "zbar found no symbol";
  EXPECT_EQ(*zbar, t.text) << "zbar";
}

}  // namespace

TEST(DecoderRoundTrip, WorkedMessages) {
  const Trip trips[] = {
      {"12", 0, 0, 0},
      {"01234567", 0, 1, 0},
      {"AC-42", 0, 1, 0},
      {"HELLO WORLD", 0, 2, 0},
      {"THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG", 5, 2, 0},
      {"Tesserine: https://example.org/?q=1&x=%20", 0, 3, 5},
      {std::string(7089, '7'), 0, 0, 5},
      {"\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7", 0, 1, 5},  // double-byte code page text, byte for byte
      {"\x80\x81\xFE\xFF raw bytes", 3, 3, 0},
  };
  for (const Trip& t : trips) roundTrip(t);
}

TEST(DecoderRoundTrip, RandomMessagesOfEveryModeAndLevel) {
  std::mt19937 rng(2718);
  const testkit::DataMode modes[3] = {testkit::DataMode::kNumeric, testkit::DataMode::kAlphanumeric,
                                      testkit::DataMode::kByte};
  for (int i = 0; i < 96; ++i) {
    const testkit::DataMode mode = modes[i % 3];
    const int level = (i / 3) % 4;
    // mostly small and middle versions, every twelfth one large
    const int target = i % 12 == 11 ? 30 + static_cast<int>(rng() % 11) : 1 + static_cast<int>(rng() % 20);
    const size_t longest = testkit::maxLength(mode, target, level);
    const size_t length = std::uniform_int_distribution<size_t>(longest / 2 + 1, longest)(rng);
    Trip t{testkit::randomMessage(rng, mode, length), i % 4 == 0 ? target : 0, level,
           static_cast<int>(rng() % 9), 3 + static_cast<int>(rng() % 3)};
    roundTrip(t);
    if (HasFailure()) return;
  }
}

TEST(DecoderRoundTrip, Version40AtEveryLevel) {
  std::mt19937 rng(40);
  for (int level = 0; level < 4; ++level) {
    const testkit::DataMode mode = level % 2 ? testkit::DataMode::kByte : testkit::DataMode::kAlphanumeric;
    roundTrip({testkit::randomMessage(rng, mode, testkit::maxLength(mode, 40, level)), 0, level, 0});
  }
  // a short message raised to version 40 by the requested version
  roundTrip({"a short text in a large symbol", 40, 3, 0});
}
