// The engine as it is when the library is loaded, before any setter: every
// setting zero, so the empty message encodes as a version-1 symbol. (Its own
// executable, so no other test has touched the process-wide state.)
#include <gtest/gtest.h>

#include "engine/encoder/settings.h"
#include "engine/exports/tesserine.h"
#include "symbol_helpers.h"

TEST(InitialState, EverySettingStartsAtZero) {
  const tesserine::EncoderSettings& s = tesserine::theEngine().settings;
  EXPECT_STREQ(s.message, "");
  EXPECT_FALSE(s.messageTooLong);
  EXPECT_EQ(s.requestedVersion, 0);
  EXPECT_EQ(s.ecLevel, 0);
  EXPECT_EQ(s.maskSetting, 0);
  EXPECT_EQ(s.outputWidth, 0);
  EXPECT_EQ(s.outputHeight, 0);
  EXPECT_EQ(s.barColor, 0u);
  EXPECT_EQ(s.backColor, 0u);  // black on black
  EXPECT_EQ(s.moduleWidthCm, 0.0f);
  EXPECT_EQ(s.orientation, 0);
  EXPECT_EQ(s.borderStyle, 0);
  EXPECT_EQ(s.backColorDepth, 0);
  EXPECT_EQ(s.barColorDepth, 0);

  short rows = 0, columns = 0;
  QRGetActualRC(&rows, &columns);
  EXPECT_EQ(rows, 21);
  EXPECT_EQ(columns, 21);
  testkit::EncodedSymbol empty;
  ASSERT_TRUE(testkit::encode("", 0, 0, 0, empty));
  EXPECT_EQ(testkit::patternThroughExports(), testkit::expectedPatternText(empty.matrix));
}
