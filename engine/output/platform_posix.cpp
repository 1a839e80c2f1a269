// The platform layer without Windows: a settable display resolution and POSIX files.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "engine/output/platform.h"

namespace tesserine::platform {

namespace {

std::atomic<int32_t> gDisplayX{96}, gDisplayY{96};

bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

int32_t displayResolution(Axis axis) { return axis == Axis::kWidth ? gDisplayX.load() : gDisplayY.load(); }

void setDisplayResolution(int32_t dpiX, int32_t dpiY) {
  gDisplayX = dpiX < 0 ? 0 : dpiX;
  gDisplayY = dpiY < 0 ? 0 : dpiY;
}

void deleteFile(const char* path) {
  if (path != nullptr) ::unlink(path);
}

bool writeNewFile(const char* path, std::initializer_list<std::span<const uint8_t>> parts) {
  if (path == nullptr) return false;
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  for (const auto& part : parts) {
    if (!writeAll(fd, part.data(), part.size())) {
      ok = false;
      break;
    }
  }
  if (::close(fd) != 0) ok = false;
  if (!ok) ::unlink(path);
  return ok;
}

}  // namespace tesserine::platform
