// The query exports at their edges: texts too long for the store, null
// pointers, buffers of exactly the size needed and one byte less.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "engine/encoder/settings.h"
#include "engine/exports/tesserine.h"
#include "symbol_helpers.h"

namespace {

struct Rc {
  short rows = -7, columns = -7;
};

Rc actualRC() {
  Rc rc;
  QRGetActualRC(&rc.rows, &rc.columns);
  return rc;
}

// A text on the heap with nothing readable after its NUL, so ASan sees any
// read past it.
std::unique_ptr<char[]> heapText(size_t length, char fill) {
  std::unique_ptr<char[]> p(new char[length + 1]);
  std::memset(p.get(), fill, length);
  p[length] = '\0';
  return p;
}

}  // namespace

TEST(MessageStore, TextsTooLongForTheStoreMakeTheNextOutputFail) {
  for (size_t length : {8000u, 8001u, 20000u, 100000u}) {
    SCOPED_TRACE(length);
    QRSetDefault();
    const auto text = heapText(length, '5');
    QRSetMessage(text.get());
    const Rc rc = actualRC();
    EXPECT_EQ(rc.rows, 0);
    EXPECT_EQ(rc.columns, 0);
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    unsigned int len = sizeof buffer;
    short rows = -7, columns = -7;
    EXPECT_EQ(QRGetPatternData(buffer, &len, &rows, &columns), -1);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(columns, 0);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x'));
    // a valid message afterwards encodes again
    QRSetMessage("12");
    EXPECT_EQ(actualRC().rows, 21);
  }
}

TEST(MessageStore, SevenThousandNineHundredNinetyNineBytesAreStoredAndFailLikeAnyLongText) {
  QRSetDefault();
  const auto text = heapText(7999, '3');
  QRSetMessage(text.get());
  EXPECT_EQ(std::strlen(tesserine::theEngine().settings.message), 7999u);
  EXPECT_FALSE(tesserine::theEngine().settings.messageTooLong);
  EXPECT_EQ(std::memcmp(tesserine::theEngine().settings.message, text.get(), 8000), 0);
  // 7,999 digits are more than version 40 holds (7,089)
  const Rc rc = actualRC();
  EXPECT_EQ(rc.rows, 0);
  EXPECT_EQ(rc.columns, 0);
  // the longest text that does fit, at the same store
  const auto fits = heapText(7089, '3');
  QRSetMessage(fits.get());
  EXPECT_EQ(actualRC().rows, 177);
}

TEST(MessageStore, NullTextIsTheEmptyText) {
  QRSetDefault();
  QRSetMessage(nullptr);
  EXPECT_STREQ(tesserine::theEngine().settings.message, "");
  const Rc rc = actualRC();
  EXPECT_EQ(rc.rows, 21);
  EXPECT_EQ(rc.columns, 21);
  const std::string viaNull = testkit::patternThroughExports();
  QRSetMessage("");
  EXPECT_EQ(testkit::patternThroughExports(), viaNull);
}

TEST(ActualRC, SizesOfFittingAndUnfitMessages) {
  QRSetDefault();
  QRSetMessage(std::string(7089, '9').c_str());
  Rc rc = actualRC();
  EXPECT_EQ(rc.rows, 177);
  EXPECT_EQ(rc.columns, 177);
  QRSetMessage(std::string(7090, '9').c_str());
  rc = actualRC();
  EXPECT_EQ(rc.rows, 0);
  EXPECT_EQ(rc.columns, 0);
  QRSetMessage("12");
  QRConfigure(13, 0, 0);
  EXPECT_EQ(actualRC().rows, 17 + 4 * 13);
  // null pointers are not written and do not crash
  QRGetActualRC(nullptr, nullptr);
  short rows = 0;
  QRGetActualRC(&rows, nullptr);
  EXPECT_EQ(rows, 69);
}

TEST(PatternData, ExactCapacityAndOneByteLess) {
  for (int version : {1, 2, 40}) {
    SCOPED_TRACE(version);
    QRSetDefault();
    QRConfigure(version, 1, 0);
    const int n = 17 + 4 * version;
    const unsigned needed = static_cast<unsigned>(n * n);
    std::string buffer(needed + 64, '#');

    unsigned int len = needed - 1;
    short rows = -7, columns = -7;
    EXPECT_EQ(QRGetPatternData(buffer.data(), &len, &rows, &columns), 0);
    EXPECT_EQ(len, needed);
    EXPECT_EQ(rows, n);
    EXPECT_EQ(columns, n);
    EXPECT_EQ(buffer, std::string(needed + 64, '#'));  // untouched

    len = needed;
    rows = columns = -7;
    EXPECT_EQ(QRGetPatternData(buffer.data(), &len, &rows, &columns), -1);
    EXPECT_EQ(len, needed);  // not written on success
    EXPECT_EQ(rows, -7);
    EXPECT_EQ(columns, -7);
    EXPECT_EQ(buffer.substr(needed), std::string(64, '#'));  // nothing beyond N * N
    EXPECT_EQ(buffer.find_first_not_of("01"), needed);

    // a larger capacity fills the same bytes only
    std::string big(needed + 64, '#');
    len = static_cast<unsigned>(big.size());
    EXPECT_EQ(QRGetPatternData(big.data(), &len, &rows, &columns), -1);
    EXPECT_EQ(big, buffer);
    EXPECT_EQ(len, needed + 64);

    // the pattern is the module plane, column by column from the bottom
    testkit::EncodedSymbol s;
    ASSERT_TRUE(testkit::encode("12", version, 1, 0, s));
    EXPECT_EQ(buffer.substr(0, needed), testkit::expectedPatternText(s.matrix));
  }
  QRSetDefault();
  unsigned int len = 0;
  short rows = 0, columns = 0;
  EXPECT_EQ(QRGetPatternData(nullptr, &len, &rows, &columns), 0);
  EXPECT_EQ(len, 441u);
  QRConfigure(40, 0, 0);
  len = 0;
  EXPECT_EQ(QRGetPatternData(nullptr, &len, &rows, &columns), 0);
  EXPECT_EQ(len, 31329u);
  EXPECT_EQ(rows, 177);
}

TEST(PatternData, FirstColumnShape) {
  // column 0 from the bottom: seven dark (bottom-left finder), the separator,
  // data or format modules, the separator, seven dark (top-left finder)
  for (int version : {1, 7, 40}) {
    QRSetDefault();
    QRSetMessage("FIRST COLUMN");
    QRConfigure(version, 2, 0);
    const std::string text = testkit::patternThroughExports();
    const size_t n = 17 + 4 * version;
    ASSERT_EQ(text.size(), n * n);
    const std::string column0 = text.substr(0, n);
    EXPECT_EQ(column0.substr(0, 8), "11111110") << version;
    EXPECT_EQ(column0.substr(n - 8), "01111111") << version;
  }
}

TEST(PatternData, NullPointers) {
  QRSetDefault();
  QRSetMessage("NULLS");
  short rows = -7, columns = -7;
  unsigned int len = 5000;
  char buffer[441];
  // a null length is a capacity of 0: too small, N reported where it can be
  EXPECT_EQ(QRGetPatternData(buffer, nullptr, &rows, &columns), 0);
  EXPECT_EQ(rows, 21);
  EXPECT_EQ(columns, 21);
  // null rows and columns: the length still reports
  len = 0;
  EXPECT_EQ(QRGetPatternData(nullptr, &len, nullptr, nullptr), 0);
  EXPECT_EQ(len, 441u);
  EXPECT_EQ(QRGetPatternData(buffer, &len, nullptr, nullptr), -1);
  // a null buffer with a large capacity is refused, not written
  len = 5000;
  EXPECT_EQ(QRGetPatternData(nullptr, &len, &rows, &columns), 0);
  EXPECT_EQ(len, 441u);
  // everything null, and an unfit message with null out-pointers
  EXPECT_EQ(QRGetPatternData(nullptr, nullptr, nullptr, nullptr), 0);
  QRSetMessage(std::string(7090, '1').c_str());
  EXPECT_EQ(QRGetPatternData(nullptr, nullptr, nullptr, nullptr), -1);
  len = 100;
  EXPECT_EQ(QRGetPatternData(buffer, &len, nullptr, nullptr), -1);
  EXPECT_EQ(len, 0u);
}

TEST(PatternData, RepeatedCallsGiveTheSameSymbol) {
  QRSetDefault();
  QRSetMessage("REPEAT 123");
  QRConfigure(0, 3, 0);
  const std::string first = testkit::patternThroughExports();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(testkit::patternThroughExports(), first);
}
