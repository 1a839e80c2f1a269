// The Windows test program. Without helper arguments it runs the tests; the
// clipboard tests start it again as a second process in one of these modes:
//   clip-read PATH W H
//                    reads the clipboard: its formats into PATH.formats (one
//                    number a line) and, when it holds CF_ENHMETAFILE, the
//                    picture played into a W x H display-compatible bitmap
//                    (magenta before playing) as a 32-bit BMP file PATH. Exit 0, or 3 without an enhanced
//                    metafile, 4 when the clipboard cannot be opened.
//   clip-hold READY RELEASE
//                    opens the clipboard, sets the named event READY and
//                    keeps the clipboard open until the named event RELEASE
//                    is set (10 s at most). Exit 0, or 4.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/wine/harness.h"

namespace {

using tesserine_wine::MemoryDC;

bool openClipboardPatiently() {
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(50);
  }
  return false;
}

bool writeBmp32(const std::string& path, const tesserine_wine::Picture& p) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = p.width;
  info.biHeight = -p.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const DWORD imageSize = static_cast<DWORD>(p.pixels.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + imageSize;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1 &&
            std::fwrite(p.pixels.data(), 4, p.pixels.size(), f) == p.pixels.size();
  return std::fclose(f) == 0 && ok;
}

int clipRead(const std::string& path, int width, int height) {
  if (!openClipboardPatiently()) return 4;
  std::string formats;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
    formats += std::to_string(format) + "\n";
  if (FILE* f = std::fopen((path + ".formats").c_str(), "wb")) {
    std::fwrite(formats.data(), 1, formats.size(), f);
    std::fclose(f);
  }
  auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  int code = 3;
  if (picture != nullptr) {
    // Play at one logical unit per pixel: the picture frame (0.01 mm)
    // converted back to pixels of the reference device.
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(picture, sizeof header, &header);
    const double pxPerFrameX = header.szlDevice.cx / (header.szlMillimeters.cx * 100.0);
    const double pxPerFrameY = header.szlDevice.cy / (header.szlMillimeters.cy * 100.0);
    const RECT frame{static_cast<LONG>(std::lround(header.rclFrame.left * pxPerFrameX)),
                     static_cast<LONG>(std::lround(header.rclFrame.top * pxPerFrameY)),
                     static_cast<LONG>(std::lround(header.rclFrame.right * pxPerFrameX)),
                     static_cast<LONG>(std::lround(header.rclFrame.bottom * pxPerFrameY))};
    if (width > 0 && height > 0 && width <= 8192 && height <= 8192) {
      MemoryDC target(width, height);
      target.fill(RGB(255, 0, 255));
      PlayEnhMetaFile(target.dc(), picture, &frame);
      code = writeBmp32(path, target.picture()) ? 0 : 5;
    } else {
      code = 6;
    }
  }
  CloseClipboard();
  return code;
}

int clipHold(const char* ready, const char* release) {
  HANDLE readyEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
  HANDLE releaseEvent = OpenEventA(SYNCHRONIZE, FALSE, release);
  if (readyEvent == nullptr || releaseEvent == nullptr || !OpenClipboard(nullptr)) return 4;
  SetEvent(readyEvent);
  WaitForSingleObject(releaseEvent, 10000);
  CloseClipboard();
  CloseHandle(readyEvent);
  CloseHandle(releaseEvent);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "clip-read") == 0)
    return clipRead(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (argc == 4 && std::strcmp(argv[1], "clip-hold") == 0) return clipHold(argv[2], argv[3]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
