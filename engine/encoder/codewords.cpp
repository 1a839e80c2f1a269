#include "engine/encoder/codewords.h"

#include <cstddef>

#include "engine/encoder/reed_solomon.h"
#include "engine/encoder/tables.h"

namespace tesserine {

std::vector<uint16_t> buildCodewordStream(int version, int level, const std::vector<uint16_t>& data) {
  const EcBlockRecord& rec = ecBlockRecord(version, level);
  const int b1 = rec.group1Blocks, b2 = rec.group2Blocks, blocks = b1 + b2;
  const int c = rec.group1Codewords, k = rec.group1DataCodewords, n = rec.ecPerBlock();

  // Block list: one buffer per block, laid out as the Reed-Solomon stage
  // expects (error correction low, data above it in reverse order). Block j
  // starts at j * (c + 1); a group-1 block leaves its last entry unused.
  const int stride = c + 1;
  std::vector<uint16_t> buffers(static_cast<size_t>(blocks) * stride, 0);
  size_t next = 0;
  for (int j = 0; j < blocks; ++j) {
    const int kj = j < b1 ? k : k + 1;
    uint16_t* block = &buffers[static_cast<size_t>(j) * stride];
    for (int m = 0; m < kj; ++m) block[n + kj - 1 - m] = data[next++];
    computeBlockEc(block, kj, n);
  }

  std::vector<uint16_t> stream;
  stream.reserve(static_cast<size_t>(totalCodewords(version)));
  for (int m = 0; m < k; ++m)
    for (int j = 0; j < blocks; ++j) {
      const int kj = j < b1 ? k : k + 1;
      stream.push_back(buffers[static_cast<size_t>(j) * stride + n + kj - 1 - m]);
    }
  for (int j = b1; j < blocks; ++j) stream.push_back(buffers[static_cast<size_t>(j) * stride + n]);
  for (int e = 0; e < n; ++e)
    for (int j = 0; j < blocks; ++j) stream.push_back(buffers[static_cast<size_t>(j) * stride + n - 1 - e]);
  return stream;
}

}  // namespace tesserine
