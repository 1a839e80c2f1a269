// Reads the BMP files the engine writes (uncompressed, 1 or 4 bits per
// pixel, bottom-up) and runs the decoders on them, for the output tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tesserine::testing {

inline std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

inline uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (uint32_t{b[at + 1]} << 8); }
inline uint32_t le32(const std::vector<uint8_t>& b, size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }

struct Bmp {
  std::vector<uint8_t> bytes;
  // Header fields, in file order.
  uint32_t fileSize = 0, pixelOffset = 0, infoSize = 0;
  int32_t width = 0, height = 0;
  uint32_t planes = 0, depth = 0, compression = 0, imageSize = 0;
  uint32_t xPelsPerMeter = 0, yPelsPerMeter = 0, coloursUsed = 0, importantColours = 0;
  std::vector<uint32_t> palette;  // 0x00BBGGRR
  uint32_t stride = 0;
  bool valid = false;

  // Colour-table index of pixel (x, y), y from the top of the picture.
  int index(int x, int y) const {
    const size_t row = pixelOffset + size_t{stride} * static_cast<size_t>(height - 1 - y);
    if (depth == 1) return (bytes[row + x / 8] >> (7 - x % 8)) & 1;
    return (bytes[row + x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
  }
  uint32_t colour(int x, int y) const { return palette[index(x, y)]; }

  // True when every bit after the last pixel of each row is zero.
  bool paddingIsZero() const {
    const size_t used = size_t{depth} * static_cast<size_t>(width);
    for (int y = 0; y < height; ++y) {
      const size_t row = pixelOffset + size_t{stride} * y;
      for (size_t bit = used; bit < size_t{stride} * 8; ++bit)
        if ((bytes[row + bit / 8] >> (7 - bit % 8)) & 1) return false;
    }
    return true;
  }
};

// Parses the headers; `valid` is false when the file is not a complete BMP
// of the engine's kind.
inline Bmp parseBmp(std::vector<uint8_t> bytes) {
  Bmp b;
  b.bytes = std::move(bytes);
  const auto& v = b.bytes;
  if (v.size() < 54 || v[0] != 'B' || v[1] != 'M' || le16(v, 6) != 0 || le16(v, 8) != 0) return b;
  b.fileSize = le32(v, 2);
  b.pixelOffset = le32(v, 10);
  b.infoSize = le32(v, 14);
  b.width = static_cast<int32_t>(le32(v, 18));
  b.height = static_cast<int32_t>(le32(v, 22));
  b.planes = le16(v, 26);
  b.depth = le16(v, 28);
  b.compression = le32(v, 30);
  b.imageSize = le32(v, 34);
  b.xPelsPerMeter = le32(v, 38);
  b.yPelsPerMeter = le32(v, 42);
  b.coloursUsed = le32(v, 46);
  b.importantColours = le32(v, 50);
  if (b.depth != 1 && b.depth != 4) return b;
  const size_t colours = size_t{1} << b.depth;
  if (v.size() < 54 + 4 * colours) return b;
  for (size_t i = 0; i < colours; ++i) {
    const size_t at = 54 + 4 * i;
    b.palette.push_back(v[at + 2] | (uint32_t{v[at + 1]} << 8) | (uint32_t{v[at]} << 16));
  }
  if (b.width <= 0 || b.height <= 0) return b;
  b.stride = ((b.depth * static_cast<uint32_t>(b.width) + 31) / 32) * 4;
  b.valid = v.size() == b.fileSize && b.pixelOffset + uint64_t{b.stride} * b.height <= v.size();
  return b;
}

inline Bmp readBmp(const std::string& path) { return parseBmp(readFile(path)); }

// Standard output of a command, bytes as they come.
inline std::string capture(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

inline std::string quoted(const std::string& path) {
  std::string q = "'";
  for (char c : path) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The message bytes zbar reads from the image file; empty when it finds
// nothing or is not installed.
inline std::string zbarDecode(const std::string& path) {
  const std::string tool = TESSERINE_ZBARIMG;
  if (tool.empty()) return {};
  std::string out = capture(tool + " -q --raw -Sbinary --nodbus " + quoted(path) + " 2>/dev/null");
  return out;
}

// The message bytes ZXing reads from the image file.
inline std::string zxingDecode(const std::string& path) {
  const std::string tool = TESSERINE_ZXINGREADER;
  if (tool.empty()) return {};
  return capture(tool + " -format QRCode -bytes " + quoted(path) + " 2>/dev/null");
}

}  // namespace tesserine::testing
