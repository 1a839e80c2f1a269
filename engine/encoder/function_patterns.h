// The module matrix and its function patterns: finder patterns with their
// separators, timing patterns, alignment patterns, the dark module, format
// information and version information.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesserine {

// ModuleMatrix: N x N modules in two planes, row 0 at the top and column 0 at
// the left of the symbol in its standard reading position. Both planes hold
// only 0 and 1.
class ModuleMatrix {
 public:
  ModuleMatrix() = default;
  explicit ModuleMatrix(int size)
      : size_(size),
        modules_(static_cast<size_t>(size) * size, 0),
        dataModules_(static_cast<size_t>(size) * size, 0) {}

  int size() const { return size_; }
  // 1 dark, 0 light
  uint8_t& module(int r, int c) { return modules_[index(r, c)]; }
  uint8_t module(int r, int c) const { return modules_[index(r, c)]; }
  // 1 data (or remainder) module, subject to masking; 0 function module
  uint8_t& dataModule(int r, int c) { return dataModules_[index(r, c)]; }
  uint8_t dataModule(int r, int c) const { return dataModules_[index(r, c)]; }

  // Row-major planes, N * N bytes each.
  uint8_t* modules() { return modules_.data(); }
  const uint8_t* modules() const { return modules_.data(); }
  uint8_t* dataModules() { return dataModules_.data(); }
  const uint8_t* dataModules() const { return dataModules_.data(); }

 private:
  size_t index(int r, int c) const { return static_cast<size_t>(r) * size_ + c; }
  int size_ = 0;
  std::vector<uint8_t> modules_;
  std::vector<uint8_t> dataModules_;
};

// Alignment pattern centre coordinates of a version (1..40): count is the
// number of patterns of the version, coordinates its up to seven centres.
struct AlignmentRow {
  int32_t count;
  int32_t coordinates[7];
};
const AlignmentRow& alignmentPositions(int version);
// Number of coordinates in use: the integer square root of count + 3.
int alignmentCoordinateCount(int version);

// The 18-bit version information code of a version 7..40, bit 0 least significant.
uint32_t versionInformation(int version);

// The 15 format bits F0..F14 for a level (0..3) and mask (0..7), F0 in bit 14.
uint16_t formatBits(int level, int mask);

// Clears `m` (which must be N x N for `version`) and lays every function
// pattern, the format information for (level, mask) and, from version 7 on,
// the version information, marking them as function modules.
void layFunctionPatterns(ModuleMatrix& m, int version, int level, int mask);

// Writes the format information for (level, mask) and the dark module over a
// matrix that already holds the other function patterns.
void writeFormatInformation(ModuleMatrix& m, int level, int mask);

}  // namespace tesserine
