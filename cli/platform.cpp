#include "platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace tesserine::cli::platform {

void useBinaryStandardStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

#ifdef _WIN32
namespace {

// A console shows UTF-8 bytes only when its code page says so; writing wide
// characters shows them whatever the code page, and changes no setting of
// the console.
bool writeConsoleText(HANDLE console, std::string_view bytes) {
  if (bytes.empty()) return true;
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (wideLength <= 0) return false;
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), wideLength);
  const wchar_t* p = wide.data();
  DWORD left = static_cast<DWORD>(wide.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(console, p, left, &written, nullptr) || written == 0) return false;
    p += written;
    left -= written;
  }
  return true;
}

}  // namespace
#endif

bool writeStandardOutput(std::string_view bytes, bool utf8Text) {
#ifdef _WIN32
  if (utf8Text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode)) {
      std::fflush(stdout);
      return writeConsoleText(out, bytes);
    }
  }
#else
  (void)utf8Text;
#endif
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) return false;
  return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

}  // namespace tesserine::cli::platform
