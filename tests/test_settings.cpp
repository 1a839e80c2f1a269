// The setter exports: each call against a known starting state, checking
// every field, so a setter that touches a field it does not own shows too.
#include <gtest/gtest.h>

#include <cmath>
#include <cfloat>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "engine/encoder/settings.h"
#include "engine/exports/tesserine.h"

using tesserine::EncoderSettings;
using tesserine::theEngine;

namespace {

// A starting state unlike any default, with depth hints no setter produces.
EncoderSettings distinctive() {
  EncoderSettings s;
  std::strcpy(s.message, "before");
  s.requestedVersion = 7;
  s.ecLevel = 2;
  s.maskSetting = 3;
  s.outputWidth = 123;
  s.outputHeight = 456;
  s.barColor = 0x00112233;
  s.backColor = 0x00445566;
  s.moduleWidthCm = 1.5f;
  s.orientation = 2;
  s.borderStyle = 1;
  s.backColorDepth = 9;
  s.barColorDepth = 9;
  return s;
}

void expectSettings(const EncoderSettings& got, const EncoderSettings& want) {
  EXPECT_STREQ(got.message, want.message);
  EXPECT_EQ(got.messageTooLong, want.messageTooLong);
  EXPECT_EQ(got.requestedVersion, want.requestedVersion);
  EXPECT_EQ(got.ecLevel, want.ecLevel);
  EXPECT_EQ(got.maskSetting, want.maskSetting);
  EXPECT_EQ(got.outputWidth, want.outputWidth);
  EXPECT_EQ(got.outputHeight, want.outputHeight);
  EXPECT_EQ(got.barColor, want.barColor);
  EXPECT_EQ(got.backColor, want.backColor);
  EXPECT_EQ(got.moduleWidthCm, want.moduleWidthCm);  // exact: the float nearest to the value given
  EXPECT_EQ(got.orientation, want.orientation);
  EXPECT_EQ(got.borderStyle, want.borderStyle);
  EXPECT_EQ(got.backColorDepth, want.backColorDepth);
  EXPECT_EQ(got.barColorDepth, want.barColorDepth);
}

}  // namespace

TEST(Setters, EachCallChangesExactlyItsFields) {
  struct Case {
    const char* call;
    std::function<void()> run;
    std::function<void(EncoderSettings&)> expect;  // applied to the starting state
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"QRConfigure(-1, -1, -1)", [] { QRConfigure(-1, -1, -1); },
       [](EncoderSettings& s) { s.requestedVersion = 0, s.ecLevel = 0, s.maskSetting = 0; }},
      {"QRConfigure(41, 4, 9)", [] { QRConfigure(41, 4, 9); },
       [](EncoderSettings& s) { s.requestedVersion = 0, s.ecLevel = 0, s.maskSetting = 0; }},
      {"QRConfigure(40, 3, 8)", [] { QRConfigure(40, 3, 8); },
       [](EncoderSettings& s) { s.requestedVersion = 40, s.ecLevel = 3, s.maskSetting = 8; }},
      {"QRConfigure(0, 0, 0)", [] { QRConfigure(0, 0, 0); },
       [](EncoderSettings& s) { s.requestedVersion = 0, s.ecLevel = 0, s.maskSetting = 0; }},
      {"QRConfigure with high bits (low 16 count)", [] { QRConfigure(0x10005, 0x70001, -65534); },
       [](EncoderSettings& s) { s.requestedVersion = 5, s.ecLevel = 1, s.maskSetting = 2; }},
      {"QRSetSize(0, 0)", [] { QRSetSize(0, 0); }, [](EncoderSettings& s) { s.outputWidth = 500, s.outputHeight = 300; }},
      {"QRSetSize(-5, 7)", [] { QRSetSize(-5, 7); }, [](EncoderSettings& s) { s.outputWidth = -5, s.outputHeight = 7; }},
      {"QRSetSize(640, 0)", [] { QRSetSize(640, 0); }, [](EncoderSettings& s) { s.outputWidth = 640, s.outputHeight = 300; }},
      {"QRSetBackColor(255, 255, 255)", [] { QRSetBackColor(255, 255, 255); },
       [](EncoderSettings& s) { s.backColor = 0x00FFFFFF, s.backColorDepth = 1; }},
      {"QRSetBackColor(255, 255, 254)", [] { QRSetBackColor(255, 255, 254); },
       [](EncoderSettings& s) { s.backColor = 0x00FEFFFF, s.backColorDepth = 4; }},
      {"QRSetBackColor(0x100FF, 255, 255) (low 16)", [] { QRSetBackColor(0x100FF, 255, 255); },
       [](EncoderSettings& s) { s.backColor = 0x00FFFFFF, s.backColorDepth = 1; }},
      {"QRSetBackColor(256, 255, 255)", [] { QRSetBackColor(256, 255, 255); },
       [](EncoderSettings& s) { s.backColor = 0x00FFFF00, s.backColorDepth = 4; }},
      {"QRSetBarColor(256, 0, 0)", [] { QRSetBarColor(256, 0, 0); },
       [](EncoderSettings& s) { s.barColor = 0, s.barColorDepth = 1; }},
      {"QRSetBarColor(300, 0, 0)", [] { QRSetBarColor(300, 0, 0); },
       [](EncoderSettings& s) { s.barColor = 0, s.barColorDepth = 1; }},
      {"QRSetBarColor(-1, 0, 0)", [] { QRSetBarColor(-1, 0, 0); },
       [](EncoderSettings& s) { s.barColor = 0, s.barColorDepth = 1; }},
      {"QRSetBarColor(1, 2, 3)", [] { QRSetBarColor(1, 2, 3); },
       [](EncoderSettings& s) { s.barColor = 0x00030201, s.barColorDepth = 4; }},
      {"QRSetBarColor(0, 0, 255)", [] { QRSetBarColor(0, 0, 255); },
       [](EncoderSettings& s) { s.barColor = 0x00FF0000, s.barColorDepth = 4; }},
      {"QRAppearance(0.0, 4, 3)", [] { QRAppearance(0.0, 4, 3); },
       [](EncoderSettings& s) { s.moduleWidthCm = 0.07f, s.orientation = 0, s.borderStyle = 0; }},
      {"QRAppearance(0.2, 1, 0)", [] { QRAppearance(0.2, 1, 0); },
       [](EncoderSettings& s) { s.moduleWidthCm = 0.2f, s.orientation = 1, s.borderStyle = 0; }},
      {"QRAppearance(NaN, 3, 2)", [nan] { QRAppearance(nan, 3, 2); },
       [](EncoderSettings& s) { s.moduleWidthCm = 0.07f, s.orientation = 3, s.borderStyle = 2; }},
      {"QRAppearance(-1.0, 0x10001, 0x20002) (low 16)", [] { QRAppearance(-1.0, 0x10001, 0x20002); },
       [](EncoderSettings& s) { s.moduleWidthCm = 0.07f, s.orientation = 1, s.borderStyle = 2; }},
      {"QRAppearance(-0.0, -1, -1)", [] { QRAppearance(-0.0, -1, -1); },
       [](EncoderSettings& s) { s.moduleWidthCm = 0.07f, s.orientation = 0, s.borderStyle = 0; }},
      // Widths outside single precision: too small to be nonzero takes the
      // default, too large keeps the largest float.
      {"QRAppearance(1e-300, 1, 0)", [] { QRAppearance(1e-300, 1, 0); },
       [](EncoderSettings& s) { s.moduleWidthCm = 0.07f, s.orientation = 1, s.borderStyle = 0; }},
      {"QRAppearance(1e300, 1, 0)", [] { QRAppearance(1e300, 1, 0); },
       [](EncoderSettings& s) { s.moduleWidthCm = FLT_MAX, s.orientation = 1, s.borderStyle = 0; }},
      {"QRSetMessage(\"hello\")", [] { QRSetMessage("hello"); }, [](EncoderSettings& s) { std::strcpy(s.message, "hello"); }},
      {"QRSetMessage(\"\")", [] { QRSetMessage(""); }, [](EncoderSettings& s) { s.message[0] = '\0'; }},
      {"QRSetDefault()", [] { QRSetDefault(); },
       [](EncoderSettings& s) {
         std::strcpy(s.message, "12");
         s.requestedVersion = s.ecLevel = s.maskSetting = 0;
         s.orientation = s.borderStyle = 0;
         s.outputWidth = 500, s.outputHeight = 300;
         s.barColor = 0, s.backColor = 0x00FFFFFF;
         s.moduleWidthCm = 0.07f;
         // the depth hints stay as they were (9 here)
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    theEngine().settings = distinctive();
    c.run();
    EncoderSettings want = distinctive();
    c.expect(want);
    expectSettings(theEngine().settings, want);
  }
}

TEST(Setters, DefaultMessageEncodesAtOnce) {
  QRSetMessage("something else entirely, in byte mode");
  QRConfigure(9, 3, 2);
  QRSetDefault();
  short rows = 0, columns = 0;
  QRGetActualRC(&rows, &columns);
  EXPECT_EQ(rows, 21);
  EXPECT_EQ(columns, 21);
  // the same symbol as "12" at automatic version, L, automatic mask
  QRSetMessage("12");
  QRConfigure(0, 0, 0);
  unsigned int len = 0;
  EXPECT_EQ(QRGetPatternData(nullptr, &len, &rows, &columns), 0);
  std::string viaMessage(len, '\0');
  EXPECT_EQ(QRGetPatternData(viaMessage.data(), &len, &rows, &columns), -1);
  QRSetDefault();
  std::string viaDefault(len, '\0');
  EXPECT_EQ(QRGetPatternData(viaDefault.data(), &len, &rows, &columns), -1);
  EXPECT_EQ(viaDefault, viaMessage);
}

TEST(Setters, SetterOrderDoesNotMatter) {
  auto pattern = [] {
    unsigned int len = 0;
    short r = 0, c = 0;
    QRGetPatternData(nullptr, &len, &r, &c);
    std::string p(len, '\0');
    QRGetPatternData(p.data(), &len, &r, &c);
    return p;
  };
  QRSetDefault();
  QRSetMessage("ORDER");
  QRConfigure(3, 2, 4);
  QRAppearance(0.5, 2, 1);
  QRSetSize(100, 200);
  const std::string first = pattern();
  QRSetDefault();
  QRSetSize(100, 200);
  QRAppearance(0.5, 2, 1);
  QRConfigure(3, 2, 4);
  QRSetMessage("ORDER");
  EXPECT_EQ(pattern(), first);
  // and neither orientation nor border style changes the pattern
  QRAppearance(0.07, 0, 2);
  EXPECT_EQ(pattern(), first);
}
