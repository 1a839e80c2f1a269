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
// Test hook: the resolution the display reports (96 x 96 until changed).
// Not reachable through any export, file or environment variable.
void setDisplayResolution(int32_t dpiX, int32_t dpiY);

// Test hooks of the clipboard, which without Windows is a store of this
// process: what it holds, format by format in the order they were put; a
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
