#include "tests/wine/harness.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tesserine_wine {

namespace {

std::string directoryOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string environment(const char* name) {
  char value[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

uint32_t le32(const std::string& b, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

uint16_t le16(const std::string& b, size_t at) {
  uint16_t v = 0;
  std::memcpy(&v, b.data() + at, 2);
  return v;
}

}  // namespace

std::string selfPath() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

HMODULE dllModule() {
  static HMODULE module = LoadLibraryA((directoryOf(selfPath()) + "Tesserine.dll").c_str());
  return module;
}

const Api& dll() {
  static const Api api = [] {
    Api a;
    if (dllModule() == nullptr) throw std::runtime_error("Tesserine.dll not loaded");
    const auto missing =
        a.bind([](const char* name) { return reinterpret_cast<void*>(GetProcAddress(dllModule(), name)); });
    if (!missing.empty()) throw std::runtime_error("Tesserine.dll lacks " + missing.front());
    return a;
  }();
  return api;
}

std::string outDir() {
  static const std::string dir = [] {
    std::string d = environment("TESSERINE_WINE_OUT");
    if (d.empty()) {
      char temp[MAX_PATH];
      GetTempPathA(MAX_PATH, temp);
      d = std::string(temp) + "tesserine-wine";
    }
    if (d.back() != '\\') d += '\\';
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
  }();
  return dir;
}

std::string nativeDir() {
  std::string d = environment("TESSERINE_NATIVE_DIR");
  if (!d.empty() && d.back() != '\\') d += '\\';
  return d;
}

bool readFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return true;
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool decodeBmp(const std::string& b, Picture& out) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
  const uint32_t offset = le32(b, 10), headerSize = le32(b, 14);
  const int32_t width = static_cast<int32_t>(le32(b, 18));
  const int32_t rawHeight = static_cast<int32_t>(le32(b, 22));
  const uint16_t bits = le16(b, 28);
  if (headerSize < 40 || le32(b, 30) != 0 || width <= 0 || rawHeight == 0) return false;
  const bool bottomUp = rawHeight > 0;
  const int32_t height = bottomUp ? rawHeight : -rawHeight;
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) & ~size_t{31}) / 8;
  if (offset + stride * height > b.size()) return false;
  std::vector<uint32_t> table;
  if (bits <= 8) {
    const uint32_t used = le32(b, 46);
    const uint32_t count = used != 0 ? used : 1u << bits;
    for (uint32_t i = 0; i < count; ++i) table.push_back(le32(b, 14 + headerSize + 4 * i) & 0xFFFFFF);
  }
  out.width = width;
  out.height = height;
  out.pixels.assign(static_cast<size_t>(width) * height, 0);
  for (int32_t y = 0; y < height; ++y) {
    const size_t row = offset + stride * static_cast<size_t>(bottomUp ? height - 1 - y : y);
    for (int32_t x = 0; x < width; ++x) {
      uint32_t v = 0;
      const auto byte = [&](size_t i) { return static_cast<uint8_t>(b[row + i]); };
      switch (bits) {
        case 1: v = table.at((byte(x / 8) >> (7 - x % 8)) & 1); break;
        case 4: v = table.at((byte(x / 2) >> (x % 2 == 0 ? 4 : 0)) & 15); break;
        case 8: v = table.at(byte(x)); break;
        case 24: v = byte(3 * x) | byte(3 * x + 1) << 8 | byte(3 * x + 2) << 16; break;
        case 32: v = le32(b, row + 4 * x) & 0xFFFFFF; break;
        default: return false;
      }
      out.pixels[static_cast<size_t>(y) * width + x] = v;
    }
  }
  return true;
}

std::string pictureDifference(const Picture& e, const Picture& a) {
  char text[200];
  if (e.width != a.width || e.height != a.height) {
    std::snprintf(text, sizeof text, "size %dx%d, expected %dx%d", a.width, a.height, e.width, e.height);
    return text;
  }
  size_t count = 0, first = 0;
  for (size_t i = 0; i < e.pixels.size(); ++i)
    if (e.pixels[i] != a.pixels[i] && count++ == 0) first = i;
  if (count == 0) return {};
  std::snprintf(text, sizeof text, "%zu pixels differ, first at (%zu, %zu): %06X, expected %06X", count,
                first % e.width, first / e.width, a.pixels[first], e.pixels[first]);
  return text;
}

MemoryDC::MemoryDC(int width, int height) : width_(width), height_(height) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (dc_ == nullptr || bitmap_ == nullptr) throw std::runtime_error("no memory DC");
  previous_ = SelectObject(dc_, bitmap_);
}

MemoryDC::~MemoryDC() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void MemoryDC::fill(COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT all{0, 0, width_, height_};
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

template <typename F>
void MemoryDC::withBitmapDeselected(F f) const {
  SelectObject(dc_, previous_);
  HDC screen = GetDC(nullptr);
  f(screen);
  ReleaseDC(nullptr, screen);
  SelectObject(dc_, bitmap_);
}

Picture MemoryDC::picture() const {
  Picture p;
  p.width = width_;
  p.height = height_;
  p.pixels.assign(static_cast<size_t>(width_) * height_, 0);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  withBitmapDeselected([&](HDC screen) {
    GetDIBits(screen, bitmap_, 0, height_, p.pixels.data(), &info, DIB_RGB_COLORS);
  });
  for (auto& v : p.pixels) v &= 0xFFFFFF;
  return p;
}

std::string MemoryDC::dibBits(int bitsPerPixel) const {
  const size_t stride = ((static_cast<size_t>(width_) * bitsPerPixel + 31) & ~size_t{31}) / 8;
  const size_t colours = bitsPerPixel <= 8 ? size_t{1} << bitsPerPixel : 0;
  std::string block(sizeof(BITMAPINFOHEADER) + 4 * colours + stride * height_, '\0');
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width_;
  header->biHeight = height_;
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(bitsPerPixel);
  header->biCompression = BI_RGB;
  header->biSizeImage = static_cast<DWORD>(stride * height_);
  withBitmapDeselected([&](HDC screen) {
    GetDIBits(screen, bitmap_, 0, height_, block.data() + sizeof(BITMAPINFOHEADER) + 4 * colours,
              reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS);
  });
  return block;
}

std::string ansiBytes(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(n > 0 ? n : 0, '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), n, nullptr, nullptr);
  if (!bytes.empty()) bytes.pop_back();  // the NUL
  return bytes;
}

ChildProcess::ChildProcess(const std::string& arguments) {
  std::string command = "\"";
  command += selfPath();
  command += "\" ";
  command += arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
    process_ = {};
}

ChildProcess::~ChildProcess() {
  if (!started()) return;
  if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

int ChildProcess::wait(DWORD timeoutMs) {
  if (!started() || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

int runSelf(const std::string& arguments, DWORD timeoutMs) { return ChildProcess(arguments).wait(timeoutMs); }

}  // namespace tesserine_wine
