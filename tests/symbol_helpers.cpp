#include "symbol_helpers.h"

#include <cmath>
#include <stdexcept>

#include "engine/encoder/settings.h"
#include "engine/encoder/tables.h"
#include "engine/exports/tesserine.h"

namespace testkit {

const char kAlphanumericSet[46] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

tesserine::EncoderSettings settingsFor(const std::string& message, int version, int level, int maskSetting) {
  tesserine::EncoderSettings s;
  tesserine::setDefault(s);
  tesserine::setMessage(s, message.c_str());
  tesserine::configure(s, version, level, maskSetting);
  return s;
}

bool encode(const std::string& message, int version, int level, int maskSetting, EncodedSymbol& out) {
  const tesserine::EncoderSettings s = settingsFor(message, version, level, maskSetting);
  return tesserine::encodeSymbol(s, out);
}

std::vector<std::string> rowsOf(const ModuleMatrix& m) {
  std::vector<std::string> rows;
  for (int r = 0; r < m.size(); ++r) {
    std::string row;
    for (int c = 0; c < m.size(); ++c) row += m.module(r, c) ? '1' : '0';
    rows.push_back(row);
  }
  return rows;
}

ModuleMatrix matrixFromRows(const std::vector<std::string>& rows, const std::vector<std::string>& functionRows) {
  const int n = static_cast<int>(rows.size());
  ModuleMatrix m(n);
  for (int r = 0; r < n; ++r) {
    if (static_cast<int>(rows[r].size()) != n) throw std::invalid_argument("matrix rows must be square");
    for (int c = 0; c < n; ++c) {
      m.module(r, c) = rows[r][c] == '1';
      m.dataModule(r, c) = functionRows.empty() ? 1 : functionRows[r][c] != '1';
    }
  }
  return m;
}

std::string expectedPatternText(const ModuleMatrix& m) {
  const int n = m.size();
  std::string text(static_cast<size_t>(n) * n, '?');
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) text[static_cast<size_t>(c) * n + (n - 1 - r)] = m.module(r, c) ? '1' : '0';
  return text;
}

std::string patternThroughExports() {
  unsigned int length = 0;
  short rows = -1, columns = -1;
  if (QRGetPatternData(nullptr, &length, &rows, &columns) != 0) return std::string();
  std::string text(length, '\0');
  unsigned int capacity = length;
  if (QRGetPatternData(text.data(), &capacity, &rows, &columns) != -1)
    throw std::runtime_error("pattern data refused a buffer of the size it asked for");
  return text;
}

ModuleMatrix matrixFromPatternText(const std::string& text) {
  const int n = static_cast<int>(std::lround(std::sqrt(static_cast<double>(text.size()))));
  if (static_cast<size_t>(n) * n != text.size()) throw std::invalid_argument("pattern text is not square");
  ModuleMatrix m(n);
  for (int c = 0; c < n; ++c)
    for (int r = 0; r < n; ++r) m.module(r, c) = text[static_cast<size_t>(c) * n + (n - 1 - r)] == '1';
  return m;
}

int capacityBits(int version, int level) { return 8 * tesserine::dataCapacityCodewords(version, level); }

namespace {

// Character count widths, versions 1-9, 10-26, 27-40.
int countBits(DataMode mode, int version) {
  const int band = version <= 9 ? 0 : version <= 26 ? 1 : 2;
  static const int numeric[3] = {10, 12, 14}, alnum[3] = {9, 11, 13}, byte[3] = {8, 16, 16};
  switch (mode) {
    case DataMode::kNumeric: return numeric[band];
    case DataMode::kAlphanumeric: return alnum[band];
    default: return byte[band];
  }
}

int64_t dataBits(DataMode mode, int64_t n) {
  switch (mode) {
    case DataMode::kNumeric: return 10 * (n / 3) + (n % 3 == 0 ? 0 : n % 3 == 1 ? 4 : 7);
    case DataMode::kAlphanumeric: return 11 * (n / 2) + 6 * (n % 2);
    default: return 8 * n;
  }
}

}  // namespace

size_t maxLength(DataMode mode, int version, int level) {
  const int64_t room = capacityBits(version, level) - 4 - countBits(mode, version);
  int64_t n = 0;
  while (dataBits(mode, n + 1) <= room) ++n;
  return static_cast<size_t>(n);
}

std::string randomMessage(std::mt19937& rng, DataMode mode, size_t length, bool asciiOnly) {
  std::string s(length, '0');
  if (length == 0) return s;
  std::uniform_int_distribution<int> digit(0, 9), alnum(0, 44), byte(1, 255), ascii(0x20, 0x7E);
  std::uniform_int_distribution<size_t> position(0, length - 1);
  switch (mode) {
    case DataMode::kNumeric:
      for (auto& ch : s) ch = static_cast<char>('0' + digit(rng));
      break;
    case DataMode::kAlphanumeric:
      for (auto& ch : s) ch = kAlphanumericSet[alnum(rng)];
      s[position(rng)] = kAlphanumericSet[10 + alnum(rng) % 35];  // a non-digit
      break;
    case DataMode::kByte: {
      for (auto& ch : s) ch = static_cast<char>(asciiOnly ? ascii(rng) : byte(rng));
      // one byte outside the alphanumeric set: a lower-case letter, or a high byte
      const char outside = asciiOnly || digit(rng) < 5 ? static_cast<char>('a' + digit(rng))
                                                       : static_cast<char>(0x80 + byte(rng) % 128);
      s[position(rng)] = outside;
      break;
    }
  }
  return s;
}

const char* modeName(DataMode mode) {
  switch (mode) {
    case DataMode::kNumeric: return "numeric";
    case DataMode::kAlphanumeric: return "alphanumeric";
    default: return "byte";
  }
}

}  // namespace testkit
