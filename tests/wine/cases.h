// Settings cases run the same way through Tesserine.dll under Wine and
// through the native libtesserine.so, so that their pattern texts and BMP
// files can be compared byte for byte. Both sides apply a case with the same
// setter calls (see applyCase) and name their files after the case.
#pragma once

#include <cstdint>

namespace tesserine_wine {

struct Case {
  const char* name;
  const char* message;
  int version, level, mask;   // QRConfigure
  double moduleWidthCm;       // QRAppearance
  int orientation, border;
  int width, height;          // QRSetSize
  int back[3], bar[3];        // QRSetBackColor, QRSetBarColor
};

inline constexpr Case kCases[] = {
    // The generator application's call: upright, 0.2 cm, 500 x 500, mask 4.
    {"app", "https://tesserine.example/?2wmsc", 0, 1, 5, 0.2, 1, 0, 500, 500, {255, 255, 255}, {0, 0, 0}},
    {"numeric", "31415926535897932384626433832795028841971693993751", 0, 0, 0, 0.2, 0, 0, 500, 500,
     {255, 255, 255}, {0, 0, 0}},
    {"alnum_q", "TESSERINE QR $%*+-./: 0123456789", 0, 2, 0, 0.2, 2, 1, 500, 500, {255, 255, 255}, {0, 0, 0}},
    {"bytes_h", "caf\xC3\xA9 \xD6\xD0\xCE\xC4 \x01\x7F\xFF", 0, 3, 0, 0.2, 3, 2, 500, 500, {255, 255, 255},
     {0, 0, 0}},
    // Version raised past the request; the symbol overhangs the area.
    {"overhang_v12", "HELLO", 12, 0, 3, 0.2, 1, 2, 500, 500, {255, 255, 255}, {0, 0, 0}},
    // Odd, narrow area: stride 8 bytes at 1 bit, dashed border on an odd size.
    {"narrow", "12", 1, 0, 1, 0.07, 0, 1, 33, 91, {255, 255, 255}, {0, 0, 0}},
    // Colours other than pure black on white: 4-bit files.
    {"colour_red", "Red on yellow", 0, 1, 0, 0.2, 1, 1, 300, 260, {255, 255, 0}, {255, 0, 0}},
    {"colour_near_black", "0123", 0, 0, 0, 0.15, 1, 0, 200, 200, {255, 255, 255}, {0, 0, 1}},
    {"colour_mid", "grey", 2, 1, 7, 0.1, 0, 2, 150, 170, {200, 100, 50}, {128, 128, 128}},
    // Version 40 at level H, automatic mask, at module size 1.
    {"v40", "Version forty", 40, 3, 0, 0.03, 1, 0, 200, 200, {255, 255, 255}, {0, 0, 0}},
};

// The setter calls of a case, the same through either binding.
template <typename Api>
void applyCase(const Api& api, const Case& c) {
  api.setMessage(c.message);
  api.setBackColor(c.back[0], c.back[1], c.back[2]);
  api.setBarColor(c.bar[0], c.bar[1], c.bar[2]);
  api.configure(c.version, c.level, c.mask);
  api.appearance(c.moduleWidthCm, c.orientation, c.border);
  api.setSize(c.width, c.height);
}

}  // namespace tesserine_wine
