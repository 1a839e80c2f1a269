// The fourteen exports bound by name at run time (GetProcAddress on Windows,
// dlsym elsewhere), as a caller of the DLL binds them.
#pragma once

#include <string>
#include <vector>

#include "engine/exports/tesserine.h"

namespace tesserine_wine {

// X(export name, member name, argument bytes on 32-bit Windows)
#define TESSERINE_WINE_EXPORTS(X)         \
  X(QRSetDefault, setDefault, 0)          \
  X(QRSetSize, setSize, 8)                \
  X(QRSetMessage, setMessage, 4)          \
  X(QRConfigure, configure, 12)           \
  X(QRAppearance, appearance, 16)         \
  X(QRSetBackColor, setBackColor, 12)     \
  X(QRSetBarColor, setBarColor, 12)       \
  X(QRRender, render, 12)                 \
  X(QRSaveAsBMP, saveAsBmp, 4)            \
  X(QRSaveAsWMF, saveAsWmf, 4)            \
  X(QRCopyToClipboard, copyToClipboard, 0) \
  X(QRGetActualSize, getActualSize, 16)   \
  X(QRGetActualRC, getActualRC, 8)        \
  X(QRGetPatternData, getPatternData, 16)

struct Api {
#define TESSERINE_WINE_MEMBER(name, member, bytes) decltype(&::name) member = nullptr;
  TESSERINE_WINE_EXPORTS(TESSERINE_WINE_MEMBER)
#undef TESSERINE_WINE_MEMBER

  // Binds every export through lookup(name) -> void*; returns the names it
  // could not find.
  template <typename Lookup>
  std::vector<std::string> bind(Lookup lookup) {
    std::vector<std::string> missing;
#define TESSERINE_WINE_BIND(name, member, bytes)                  \
  member = reinterpret_cast<decltype(&::name)>(lookup(#name));    \
  if (member == nullptr) missing.push_back(#name);
    TESSERINE_WINE_EXPORTS(TESSERINE_WINE_BIND)
#undef TESSERINE_WINE_BIND
    return missing;
  }

  // The pattern text of the current settings: N * N bytes, or empty when the
  // message fits no version.
  std::string pattern() const {
    unsigned int length = 0;
    short rows = 0, columns = 0;
    getPatternData(nullptr, &length, &rows, &columns);
    std::string text(length, '\0');
    if (length == 0) return text;
    getPatternData(text.data(), &length, &rows, &columns);
    return text;
  }
};

}  // namespace tesserine_wine
