// Data encoding and version choice: one mode for the whole message, the
// smallest version at or above the working version that holds it, the data
// bit stream, its codewords and the pad codewords.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tesserine {

// DataMode: the value is also the 4-bit mode indicator.
enum class DataMode : int { kNumeric = 1, kAlphanumeric = 2, kByte = 4 };

// Numeric when every byte is a digit (the empty message too), alphanumeric
// when every byte is one of the 45 characters of the QR alphanumeric set,
// byte otherwise.
DataMode decideDataMode(const uint8_t* message, size_t length);

// Width of the character count indicator for a version 1..40.
int countIndicatorBits(int version, DataMode mode);

// Bits needed without the terminator: mode indicator, count and data.
int32_t neededBits(int version, DataMode mode, size_t length);

// Raises startVersion (1..40) until the message fits the data capacity at
// `level`; returns the version, or 41 when even version 40 is too small.
int chooseVersion(int startVersion, DataMode mode, size_t length, int level);

// Value 0..44 of a byte of the alphanumeric set; -1 for any other byte.
int alnumValue(uint8_t byte);

// BitText: the data bit stream as a text of '0' and '1', most significant
// bit first.
class BitText {
 public:
  void clear() { bits_.clear(); }
  // Appends the `width` lowest bits of `value` (width 0..32).
  void appendBits(uint32_t value, int width);
  // The number formed by `count` (0..32) characters from `start`.
  uint32_t readBits(size_t start, int count) const;
  size_t size() const { return bits_.size(); }
  const std::string& text() const { return bits_; }

 private:
  std::string bits_;
};

// Writes the bit stream (mode, count, data, terminator) for a message that
// fits `version` at `level`.
void buildBitText(BitText& bits, const uint8_t* message, size_t length, DataMode mode, int version, int level);

// The data codewords cut from the stream, padded with 0xEC, 0x11 to the data
// capacity of (version, level): total(v) - ec(v, l) entries, each 0..255.
std::vector<uint16_t> buildDataCodewords(const uint8_t* message, size_t length, DataMode mode, int version,
                                         int level);

}  // namespace tesserine
