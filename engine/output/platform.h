// The platform layer: everything the outputs need of the system beyond the
// drawing itself. On Windows it calls the real display, files and clipboard;
// elsewhere the display is a setting, files are POSIX files and the
// clipboard is a store of this process.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "engine/output/canvas.h"

namespace tesserine::platform {

// The display's logical dots per inch along its width or height.
int32_t displayResolution(Axis axis);

// Deletes the file, ignoring any failure.
void deleteFile(const char* path);

// Creates (or truncates) the file and writes the parts one after another.
// Every write is checked: on any failure the partial file is deleted and
// the result is false. A null path fails.
bool writeNewFile(const char* path, std::initializer_list<std::span<const uint8_t>> parts);

// The clipboard format of an enhanced metafile (CF_ENHMETAFILE).
constexpr uint32_t kClipboardEnhMetafile = 14;

// Opens the clipboard, empties it, hands it the enhanced metafile whose
// bytes are `emf` in the format CF_ENHMETAFILE, and closes it; from then on
// the clipboard owns the picture. False, with the clipboard unchanged, when
// the clipboard cannot be opened (another program holds it open) or the
// bytes cannot be made into a picture.
bool putEnhancedMetafileOnClipboard(std::vector<uint8_t> emf);

#ifndef _WIN32
// The resolution the stand-in display reports (96 x 96 until changed),
// negative values read as 0. Set by QRSetDisplayResolution and by the tests;
// no file or environment variable reaches it.
void setDisplayResolution(int32_t dpiX, int32_t dpiY);

// Opens the clipboard and copies out its item of the given format. False,
// `out` untouched, when the clipboard cannot be opened (another program
// holds it) or holds nothing in that format.
bool readClipboard(uint32_t format, std::vector<uint8_t>& out);

// Test hooks of the clipboard, which without Windows is a store of this
// process (QRGetClipboardData reads it back through readClipboard): what it holds, format by format in the order they were put; a
// way to fill it as another program would; and holding it open as another
// program would, so that opening it fails until released.
struct ClipboardItem {
  uint32_t format;
  std::vector<uint8_t> bytes;
};
std::vector<ClipboardItem> clipboardContents();
void setClipboardContents(std::vector<ClipboardItem> items);
void setClipboardHeldByAnother(bool held);
#endif

}  // namespace tesserine::platform
