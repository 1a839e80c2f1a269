// Module-for-module comparison with Nayuki's qrcodegen, an independent
// encoder: one segment in the same mode, the same level, the same version
// range and the same fixed mask must give the same matrix.
#include <gtest/gtest.h>

#include <qrcodegen.hpp>
#include <random>
#include <string>
#include <vector>

#include "engine/encoder/codewords.h"
#include "engine/encoder/masking.h"
#include "engine/encoder/tables.h"
#include "symbol_helpers.h"

using namespace tesserine;
using qrcodegen::QrCode;
using qrcodegen::QrSegment;

namespace {

const QrCode::Ecc kEcc[4] = {QrCode::Ecc::LOW, QrCode::Ecc::MEDIUM, QrCode::Ecc::QUARTILE, QrCode::Ecc::HIGH};

int firstDifference(const ModuleMatrix& m, const QrCode& q) {
  for (int r = 0; r < m.size(); ++r)
    for (int c = 0; c < m.size(); ++c)
      if (m.module(r, c) != (q.getModule(c, r) ? 1 : 0)) return r * m.size() + c;
  return -1;
}

QrSegment segmentOf(const std::string& text, DataMode mode) {
  switch (mode) {
    case DataMode::kNumeric: return QrSegment::makeNumeric(text.c_str());
    case DataMode::kAlphanumeric: return QrSegment::makeAlphanumeric(text.c_str());
    default: return QrSegment::makeBytes(std::vector<uint8_t>(text.begin(), text.end()));
  }
}

}  // namespace

TEST(QrcodegenOracle, EveryVersionAndLevelFromTheSameDataCodewords) {
  // qrcodegen's low-level constructor takes exactly the data capacity of
  // (version, level) and adds its own error correction and interleaving, so
  // this checks all 160 block records, the capacities, function patterns,
  // placement and masking.
  std::mt19937 rng(160);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int v = 1; v <= 40; ++v)
    for (int l = 0; l < 4; ++l) {
      SCOPED_TRACE(testing::Message() << "version " << v << " level " << l);
      std::vector<uint8_t> data(dataCapacityCodewords(v, l));
      for (auto& d : data) d = static_cast<uint8_t>(byte(rng));
      const int mask = (v + l) % 8;
      std::unique_ptr<QrCode> q;
      ASSERT_NO_THROW(q = std::make_unique<QrCode>(v, kEcc[l], data, mask));
      // one codeword more or less is not the capacity qrcodegen knows
      std::vector<uint8_t> more = data;
      more.push_back(0);
      EXPECT_THROW(QrCode(v, kEcc[l], more, mask), std::invalid_argument);

      const std::vector<uint16_t> stream = buildCodewordStream(v, l, std::vector<uint16_t>(data.begin(), data.end()));
      ModuleMatrix m(symbolSize(v));
      chooseMask(m, v, l, mask + 1, stream);
      ASSERT_EQ(q->getSize(), m.size());
      EXPECT_EQ(firstDifference(m, *q), -1);
    }
}

TEST(QrcodegenOracle, RandomMessagesOfEveryModeLevelAndVersion) {
  std::mt19937 rng(18004);
  const DataMode modes[3] = {DataMode::kNumeric, DataMode::kAlphanumeric, DataMode::kByte};
  int cases = 0, nearCapacity = 0, highVersions = 0;
  for (int i = 0; i < 360; ++i) {
    const DataMode mode = modes[i % 3];
    const int level = (i / 3) % 4;
    const int target = 1 + static_cast<int>(rng() % 40);
    const size_t longest = testkit::maxLength(mode, target, level);
    // a third of the cases at the very capacity of the target version, the
    // rest anywhere up to it
    size_t length = longest;
    if ((i / 12) % 3 != 0) length = std::uniform_int_distribution<size_t>(0, longest)(rng);
    if (i % 17 == 0 && length > 0) length -= 1;
    const std::string text = testkit::randomMessage(rng, mode, length);
    const int requested = (i % 5 == 0) ? static_cast<int>(1 + rng() % target) : 0;
    const int maskSetting = 1 + static_cast<int>(rng() % 8);

    SCOPED_TRACE(testing::Message() << testkit::modeName(mode) << " length " << length << " level " << level
                                    << " requested " << requested << " mask " << maskSetting - 1);
    EncodedSymbol s;
    ASSERT_TRUE(testkit::encode(text, requested, level, maskSetting, s));
    ASSERT_EQ(s.dataMode, length == 0 ? DataMode::kNumeric : mode);
    const QrCode q = QrCode::encodeSegments({segmentOf(text, s.dataMode)}, kEcc[level], requested == 0 ? 1 : requested,
                                            40, maskSetting - 1, false);
    ASSERT_EQ(s.version, q.getVersion());
    ASSERT_EQ(s.maskInUse, q.getMask());
    ASSERT_EQ(firstDifference(s.matrix, q), -1);
    ++cases;
    if (length == longest) ++nearCapacity;
    if (s.version >= 30) ++highVersions;
  }
  EXPECT_EQ(cases, 360);
  EXPECT_GE(nearCapacity, 100);
  EXPECT_GE(highVersions, 40);
}

TEST(QrcodegenOracle, LargestSymbols) {
  // version 40 at every level, filled to the last character in each mode
  std::mt19937 rng(40);
  for (int level = 0; level < 4; ++level)
    for (DataMode mode : {DataMode::kNumeric, DataMode::kAlphanumeric, DataMode::kByte}) {
      const std::string text = testkit::randomMessage(rng, mode, testkit::maxLength(mode, 40, level));
      const int mask = static_cast<int>(rng() % 8);
      EncodedSymbol s;
      ASSERT_TRUE(testkit::encode(text, 0, level, mask + 1, s));
      const QrCode q = QrCode::encodeSegments({segmentOf(text, mode)}, kEcc[level], 1, 40, mask, false);
      EXPECT_EQ(s.version, 40);
      EXPECT_EQ(q.getVersion(), 40);
      EXPECT_EQ(firstDifference(s.matrix, q), -1) << testkit::modeName(mode) << " level " << level;
      // one character more fits nothing, in either encoder
      const std::string over = text + (mode == DataMode::kByte ? "a" : "1");
      EXPECT_FALSE(testkit::encode(over, 0, level, mask + 1, s));
      EXPECT_THROW(QrCode::encodeSegments({segmentOf(over, mode)}, kEcc[level], 1, 40, mask, false),
                   qrcodegen::data_too_long);
    }
}
