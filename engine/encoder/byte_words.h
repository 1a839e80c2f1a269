// Eight bytes of a module plane as one 64-bit word, whatever the byte order
// of the machine: byte i of memory in bits 8i to 8i + 7.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace tesserine {

inline uint64_t load8(const uint8_t* p) {
  uint64_t x = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&x, p, 8);
  } else {
    for (int i = 0; i < 8; ++i) x |= static_cast<uint64_t>(p[i]) << (8 * i);
  }
  return x;
}

inline void store8(char* p, uint64_t x) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &x, 8);
  } else {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((x >> (8 * i)) & 0xFF);
  }
}

}  // namespace tesserine
