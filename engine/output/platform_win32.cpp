// The platform layer on Windows: the display's resolution through GDI, files
// through the Win32 file functions and the system clipboard.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "engine/output/platform.h"

namespace tesserine::platform {

namespace {

bool writeAll(HANDLE file, const uint8_t* data, size_t size) {
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

int32_t displayResolution(Axis axis) {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 0;
  const int32_t dpi = GetDeviceCaps(screen, axis == Axis::kWidth ? LOGPIXELSX : LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

void deleteFile(const char* path) {
  if (path != nullptr) DeleteFileA(path);
}

bool writeNewFile(const char* path, std::initializer_list<std::span<const uint8_t>> parts) {
  if (path == nullptr) return false;
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  for (const auto& part : parts) {
    if (!writeAll(file, part.data(), part.size())) {
      ok = false;
      break;
    }
  }
  if (!CloseHandle(file)) ok = false;
  if (!ok) DeleteFileA(path);
  return ok;
}

bool putEnhancedMetafileOnClipboard(std::vector<uint8_t> emf) {
  HENHMETAFILE picture = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  if (picture == nullptr) return false;
  // The desktop window owns the clipboard, as no window of the caller's is
  // known here. A clipboard held open by another program is the failure.
  if (!OpenClipboard(GetDesktopWindow())) {
    DeleteEnhMetaFile(picture);
    return false;
  }
  EmptyClipboard();
  // From here on the clipboard owns the picture; one it refuses is ours to
  // delete.
  const bool placed = SetClipboardData(CF_ENHMETAFILE, picture) != nullptr;
  if (!placed) DeleteEnhMetaFile(picture);
  CloseClipboard();
  return placed;
}

}  // namespace tesserine::platform
