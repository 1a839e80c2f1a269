// Shared pieces of the Windows tests: Tesserine.dll loaded and bound by
// name, files, pictures read back from BMP files and from GDI bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/wine/api.h"

namespace tesserine_wine {

// Tesserine.dll from the test program's own directory, loaded once with
// LoadLibrary and bound by name with GetProcAddress.
HMODULE dllModule();
const Api& dll();

// The directory the tests write into (TESSERINE_WINE_OUT, else a folder in
// the temporary directory), ending in a backslash; and the directory of the
// native library's reference files (TESSERINE_NATIVE_DIR), empty when unset.
std::string outDir();
std::string nativeDir();
// This program's path, for starting it again as a helper process.
std::string selfPath();

bool readFile(const std::string& path, std::string& bytes);
bool fileExists(const std::string& path);

// A picture as 0x00RRGGBB pixels, rows from the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Picture&) const = default;
};

// The pixels of a BMP file (1, 4, 8, 24 or 32 bits, uncompressed); false when
// the bytes are not such a file.
bool decodeBmp(const std::string& bytes, Picture& out);

// Where two pictures differ: empty when they are equal, else the size
// mismatch or the number of differing pixels and the first of them.
std::string pictureDifference(const Picture& expected, const Picture& actual);

// A bitmap compatible with the display, selected into a memory DC
// compatible with the display, as the platform makes pictures.
class MemoryDC {
 public:
  MemoryDC(int width, int height);
  ~MemoryDC();
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void fill(COLORREF colour);
  // The bitmap read back through GetDIBits as 32-bit pixels.
  Picture picture() const;
  // The bitmap through GetDIBits at the given depth: the BITMAPINFOHEADER,
  // the colour table and the rows, as the platform converts them.
  std::string dibBits(int bitsPerPixel) const;

 private:
  // GetDIBits wants the bitmap out of any DC.
  template <typename F>
  void withBitmapDeselected(F f) const;
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// The process's ANSI bytes of a UTF-16 text (WideCharToMultiByte, CP_ACP).
std::string ansiBytes(const wchar_t* text);

// This program started again with the arguments (a helper mode, see
// main.cpp) as a second process. One still running at destruction is ended.
class ChildProcess {
 public:
  explicit ChildProcess(const std::string& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return process_.hProcess != nullptr; }
  // Its exit code; -1 when it was not started or has not ended in time.
  int wait(DWORD timeoutMs = 20000);

 private:
  PROCESS_INFORMATION process_{};
};

// Runs the helper to its end and returns its exit code (-1 as above).
int runSelf(const std::string& arguments, DWORD timeoutMs = 20000);

}  // namespace tesserine_wine
