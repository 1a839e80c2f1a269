#include "platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tesserine.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
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

bool writeNewFile(const std::string& path, std::string_view bytes, std::string& why) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    why = std::strerror(errno);
    return false;
  }
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (!ok) why = std::strerror(errno);
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    why = std::strerror(errno);
  }
  if (!ok) std::remove(path.c_str());
  return ok;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
  std::FILE* file = openForReading(path);
  if (file == nullptr) return false;
  bytes.clear();
  char chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

std::string whyNotWritable(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return std::strerror(errno);
  std::fclose(file);
  std::remove(path.c_str());
  return {};
}

ScratchDirectory::ScratchDirectory() {
#ifdef _WIN32
  char base[MAX_PATH + 1];
  char name[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof base, base);
  // GetTempFileNameA makes a unique empty file; a directory takes its name.
  if (length == 0 || length > MAX_PATH || GetTempFileNameA(base, "tsr", 0, name) == 0) {
    error = "cannot find the temporary directory";
    return;
  }
  DeleteFileA(name);
  if (!CreateDirectoryA(name, nullptr)) {
    error = std::string("cannot make a directory in '") + base + "'";
    return;
  }
  directory_ = name;
#else
  const char* base = std::getenv("TMPDIR");
  if (base == nullptr || *base == '\0') base = "/tmp";
  std::string pattern = std::string(base) + "/tesserine-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {  // mode 0700
    error = "cannot make a directory in '" + std::string(base) + "': " + std::strerror(errno);
    return;
  }
  directory_ = pattern;
#endif
}

ScratchDirectory::~ScratchDirectory() {
  if (directory_.empty()) return;
  if (!file_.empty()) std::remove(file_.c_str());
#ifdef _WIN32
  RemoveDirectoryA(directory_.c_str());
#else
  ::rmdir(directory_.c_str());
#endif
}

const std::string& ScratchDirectory::file(const std::string& name) {
  file_ = directory_ + "/" + name;
  return file_;
}

bool readClipboardPicture(std::string& bytes) {
#ifdef _WIN32
  // Another program may hold the clipboard open for a moment.
  bool opened = false;
  for (int attempt = 0; attempt < 20 && !(opened = OpenClipboard(nullptr)); ++attempt) Sleep(25);
  if (!opened) return false;
  bool ok = false;
  if (HANDLE handle = GetClipboardData(CF_ENHMETAFILE)) {
    const HENHMETAFILE picture = static_cast<HENHMETAFILE>(handle);
    const UINT size = GetEnhMetaFileBits(picture, 0, nullptr);
    if (size > 0) {
      bytes.assign(size, '\0');
      ok = GetEnhMetaFileBits(picture, size, reinterpret_cast<BYTE*>(bytes.data())) == size;
    }
  }
  CloseClipboard();
  return ok;
#else
  unsigned int length = 0;
  QRGetClipboardData(nullptr, &length);
  if (length == 0) return false;
  bytes.assign(length, '\0');
  if (QRGetClipboardData(reinterpret_cast<unsigned char*>(bytes.data()), &length) != -1) return false;
  bytes.resize(length);
  return true;
#endif
}

}  // namespace tesserine::cli::platform
