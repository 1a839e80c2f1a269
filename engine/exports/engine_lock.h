// The one process-wide lock that serializes every export.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>
#endif

namespace tesserine {

class EngineLock {
 public:
  EngineLock() { lock(); }
  ~EngineLock() { unlock(); }
  EngineLock(const EngineLock&) = delete;
  EngineLock& operator=(const EngineLock&) = delete;

 private:
#ifdef _WIN32
  static SRWLOCK& handle() {
    static SRWLOCK l = SRWLOCK_INIT;
    return l;
  }
  static void lock() { AcquireSRWLockExclusive(&handle()); }
  static void unlock() { ReleaseSRWLockExclusive(&handle()); }
#else
  static std::mutex& handle() {
    static std::mutex m;
    return m;
  }
  static void lock() { handle().lock(); }
  static void unlock() { handle().unlock(); }
#endif
};

}  // namespace tesserine
