// The fonts of the generator's controls on Win32, shared with the end-to-end
// test helper that checks them.
#pragma once

#include <windows.h>

namespace tesserine::app {

// Captions, combo boxes and group boxes: the system's default GUI font in
// size and weight, with the Chinese character set, so that the system picks
// a face that has the captions' characters (on a Chinese system the same
// face as the default GUI font).
inline LOGFONTW captionLogFont() {
  LOGFONTW lf{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfCharSet = GB2312_CHARSET;
  lf.lfFaceName[0] = L'\0';
  return lf;
}

// The edit box: 24 pixels high, Chinese character set, the default face.
inline LOGFONTW largeLogFont() {
  LOGFONTW lf{};
  lf.lfHeight = 24;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = GB2312_CHARSET;
  return lf;
}

}  // namespace tesserine::app
