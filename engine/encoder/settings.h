// The engine's settings and the setters that change them.
//
// Contract: setters never fail and report nothing; an out-of-range argument is
// replaced by its default. Setters compute nothing, so their order does not
// matter. Several integer arguments count only through their low 16 bits,
// read as unsigned.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tesserine {

// 7,999 message bytes plus the terminating NUL.
constexpr size_t kMessageStore = 8000;

struct EncoderSettings {
  char message[kMessageStore] = {};  // NUL-terminated bytes in the caller's code page
  // Set when the last text given to setMessage did not fit the store: the
  // message is then left empty and every encoding fails until the next
  // setMessage, as a text that long cannot fit any symbol anyway.
  bool messageTooLong = false;
  uint16_t requestedVersion = 0;  // 0 automatic, 1 to 40 a lower bound
  uint16_t ecLevel = 0;           // EcLevel 0 = L, 1 = M, 2 = Q, 3 = H
  uint16_t maskSetting = 0;       // MaskSetting: 0 automatic, 1 to 8 pattern 0 to 7
  int32_t outputWidth = 0;
  int32_t outputHeight = 0;
  uint32_t barColor = 0;   // 0x00BBGGRR
  uint32_t backColor = 0;  // 0x00BBGGRR
  float moduleWidthCm = 0.0f;
  uint16_t orientation = 0;  // 0 to 3
  uint16_t borderStyle = 0;  // 0 none, 1 dashed, 2 solid
  int32_t backColorDepth = 0;  // 1 when the background is pure white, 4 otherwise
  int32_t barColorDepth = 0;   // 1 when the bars are pure black, 4 otherwise
};

// Copies the text up to and including its NUL. A null text sets the empty
// text. A text of more than 7,999 bytes is not copied (not even a prefix):
// the message becomes empty and messageTooLong is set.
void setMessage(EncoderSettings& s, const char* text);
void configure(EncoderSettings& s, int32_t version, int32_t level, int32_t mask);
void setAppearance(EncoderSettings& s, double moduleWidthCm, int32_t orientation, int32_t borderStyle);
void setSize(EncoderSettings& s, int32_t width, int32_t height);
void setBackColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue);
void setBarColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue);
// Message "12", automatic version and mask, level L, 500 x 300, black on
// white, 0.07 cm, upright, no border. Leaves the depth hints unchanged.
void setDefault(EncoderSettings& s);

// QrEngine: the one process-wide engine object, alive while the module is
// loaded. Its settings start at zero (empty message, black on black, zero
// size and module width). The products of an encoding are not kept here:
// each output owns its encoding (see encode_symbol.h) and releases it.
struct QrEngine {
  EncoderSettings settings;
};

QrEngine& theEngine();

}  // namespace tesserine
