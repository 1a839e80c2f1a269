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

#ifndef _WIN32
// Test hook: the resolution the display reports (96 x 96 until changed).
// Not reachable through any export, file or environment variable.
void setDisplayResolution(int32_t dpiX, int32_t dpiY);
#endif

}  // namespace tesserine::platform
