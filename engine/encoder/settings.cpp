#include "engine/encoder/settings.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace tesserine {

namespace {

uint16_t low16(int32_t v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF); }

uint16_t bounded(int32_t v, uint16_t max) {
  const uint16_t u = low16(v);
  return u <= max ? u : 0;
}

uint32_t colorComponent(int32_t v) { return bounded(v, 255); }

uint32_t colorValue(int32_t red, int32_t green, int32_t blue) {
  return colorComponent(red) + 256u * colorComponent(green) + 65536u * colorComponent(blue);
}

}  // namespace

void setMessage(EncoderSettings& s, const char* text) {
  if (text == nullptr) text = "";
  const size_t n = strnlen(text, kMessageStore);
  if (n >= kMessageStore) {
    s.message[0] = '\0';
    s.messageTooLong = true;
    return;
  }
  std::memcpy(s.message, text, n + 1);
  s.messageTooLong = false;
}

void configure(EncoderSettings& s, int32_t version, int32_t level, int32_t mask) {
  s.requestedVersion = bounded(version, 40);
  s.ecLevel = bounded(level, 3);
  s.maskSetting = bounded(mask, 8);
}

void setAppearance(EncoderSettings& s, double moduleWidthCm, int32_t orientation, int32_t borderStyle) {
  // NaN fails the comparison and takes the default too; a width beyond the
  // single-precision range is kept as the largest one.
  // A width so small that it rounds to zero is out of range as well.
  if (!(moduleWidthCm > 0.0)) s.moduleWidthCm = 0.07f;
  else if (moduleWidthCm > FLT_MAX) s.moduleWidthCm = FLT_MAX;
  else s.moduleWidthCm = static_cast<float>(moduleWidthCm);
  if (s.moduleWidthCm == 0.0f) s.moduleWidthCm = 0.07f;
  s.orientation = bounded(orientation, 3);
  s.borderStyle = bounded(borderStyle, 2);
}

void setSize(EncoderSettings& s, int32_t width, int32_t height) {
  s.outputWidth = width == 0 ? 500 : width;
  s.outputHeight = height == 0 ? 300 : height;
}

void setBackColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue) {
  s.backColor = colorValue(red, green, blue);
  s.backColorDepth = s.backColor == 0x00FFFFFFu ? 1 : 4;
}

void setBarColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue) {
  s.barColor = colorValue(red, green, blue);
  s.barColorDepth = s.barColor == 0 ? 1 : 4;
}

void setDefault(EncoderSettings& s) {
  setMessage(s, "12");
  s.requestedVersion = 0;
  s.ecLevel = 0;
  s.maskSetting = 0;
  s.orientation = 0;
  s.borderStyle = 0;
  s.outputWidth = 500;
  s.outputHeight = 300;
  s.barColor = 0;
  s.backColor = 0x00FFFFFF;
  s.moduleWidthCm = 0.07f;
}

QrEngine& theEngine() {
  static QrEngine engine;
  return engine;
}

}  // namespace tesserine
