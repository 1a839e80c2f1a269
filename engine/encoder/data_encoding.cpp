#include "engine/encoder/data_encoding.h"

#include <array>

#include "engine/encoder/tables.h"

namespace tesserine {

namespace {

// Alphanumeric value of each byte, -1 outside the set.
constexpr auto kAlnum = [] {
  std::array<int8_t, 256> t{};
  for (auto& v : t) v = -1;
  for (int d = 0; d < 10; ++d) t['0' + d] = static_cast<int8_t>(d);
  for (int l = 0; l < 26; ++l) t['A' + l] = static_cast<int8_t>(10 + l);
  const char* rest = " $%*+-./:";
  for (int i = 0; rest[i] != '\0'; ++i) t[static_cast<uint8_t>(rest[i])] = static_cast<int8_t>(36 + i);
  return t;
}();

bool isDigit(uint8_t b) { return b >= '0' && b <= '9'; }

}  // namespace

int alnumValue(uint8_t byte) { return kAlnum[byte]; }

DataMode decideDataMode(const uint8_t* message, size_t length) {
  bool numeric = true;
  for (size_t i = 0; i < length; ++i) {
    if (kAlnum[message[i]] < 0) return DataMode::kByte;
    if (!isDigit(message[i])) numeric = false;
  }
  return numeric ? DataMode::kNumeric : DataMode::kAlphanumeric;
}

int countIndicatorBits(int version, DataMode mode) {
  // versions:            1-9  10-26  27-40
  static constexpr int kNumeric[3] = {10, 12, 14};
  static constexpr int kAlphanumeric[3] = {9, 11, 13};
  static constexpr int kByte[3] = {8, 16, 16};
  const int band = version <= 9 ? 0 : version <= 26 ? 1 : 2;
  switch (mode) {
    case DataMode::kNumeric: return kNumeric[band];
    case DataMode::kAlphanumeric: return kAlphanumeric[band];
    case DataMode::kByte: break;
  }
  return kByte[band];
}

int32_t neededBits(int version, DataMode mode, size_t length) {
  const int64_t n = static_cast<int64_t>(length);
  int64_t data = 0;
  switch (mode) {
    case DataMode::kNumeric: data = 10 * (n / 3) + (n % 3 == 1 ? 4 : n % 3 == 2 ? 7 : 0); break;
    case DataMode::kAlphanumeric: data = 11 * (n / 2) + (n % 2 ? 6 : 0); break;
    case DataMode::kByte: data = 8 * n; break;
  }
  const int64_t total = 4 + countIndicatorBits(version, mode) + data;
  return total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
}

int chooseVersion(int startVersion, DataMode mode, size_t length, int level) {
  int v = startVersion;
  while (v <= kMaxVersion && 8 * dataCapacityCodewords(v, level) < neededBits(v, mode, length)) ++v;
  return v;
}

void BitText::appendBits(uint32_t value, int width) {
  char digits[32];
  for (int i = 0; i < width; ++i) digits[i] = ((value >> (width - 1 - i)) & 1u) ? '1' : '0';
  bits_.append(digits, static_cast<size_t>(width));
}

uint32_t BitText::readBits(size_t start, int count) const {
  uint32_t v = 0;
  for (int i = 0; i < count; ++i) v = (v << 1) | (bits_[start + i] == '1' ? 1u : 0u);
  return v;
}

void buildBitText(BitText& bits, const uint8_t* message, size_t length, DataMode mode, int version, int level) {
  bits.clear();
  bits.appendBits(static_cast<uint32_t>(mode), 4);
  bits.appendBits(static_cast<uint32_t>(length), countIndicatorBits(version, mode));
  size_t i = 0;
  switch (mode) {
    case DataMode::kNumeric:
      for (; i + 3 <= length; i += 3)
        bits.appendBits((message[i] - '0') * 100u + (message[i + 1] - '0') * 10u + (message[i + 2] - '0'), 10);
      if (length - i == 2) bits.appendBits((message[i] - '0') * 10u + (message[i + 1] - '0'), 7);
      if (length - i == 1) bits.appendBits(message[i] - '0', 4);
      break;
    case DataMode::kAlphanumeric:
      for (; i + 2 <= length; i += 2)
        bits.appendBits(45u * alnumValue(message[i]) + alnumValue(message[i + 1]), 11);
      if (length - i == 1) bits.appendBits(alnumValue(message[i]), 6);
      break;
    case DataMode::kByte:
      for (; i < length; ++i) bits.appendBits(message[i], 8);
      break;
  }
  const int64_t room = 8 * static_cast<int64_t>(dataCapacityCodewords(version, level)) - bits.size();
  if (room >= 4) bits.appendBits(0, 4);
  else if (room > 0) bits.appendBits(0, static_cast<int>(room));
}

std::vector<uint16_t> buildDataCodewords(const uint8_t* message, size_t length, DataMode mode, int version,
                                         int level) {
  BitText bits;
  buildBitText(bits, message, length, mode, version, level);
  const size_t capacity = static_cast<size_t>(dataCapacityCodewords(version, level));
  std::vector<uint16_t> codewords;
  codewords.reserve(capacity);
  const size_t whole = bits.size() / 8;
  // Eight characters at a time: '0' and '1' differ only in bit 0; with
  // character i in byte i of x, the multiply moves its bit 0 to bit 63 - i,
  // so the top byte reads the eight characters first to last from its most
  // significant bit.
  const auto* text = reinterpret_cast<const uint8_t*>(bits.text().data());
  for (size_t c = 0; c < whole; ++c) {
    uint64_t x = 0;
    for (int i = 0; i < 8; ++i) x |= static_cast<uint64_t>(text[8 * c + i]) << (8 * i);
    codewords.push_back(static_cast<uint16_t>(((x & 0x0101010101010101ull) * 0x8040201008040201ull) >> 56));
  }
  if (const int rest = static_cast<int>(bits.size() % 8); rest != 0)
    codewords.push_back(static_cast<uint16_t>(bits.readBits(8 * whole, rest) << (8 - rest)));
  for (bool high = true; codewords.size() < capacity; high = !high) codewords.push_back(high ? 0xEC : 0x11);
  return codewords;
}

}  // namespace tesserine
