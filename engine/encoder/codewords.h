// Codeword blocks and interleaving: splits the padded data codewords into the
// error-correction blocks of (version, level), computes each block's
// error-correction codewords and interleaves both into the CodewordStream.
#pragma once

#include <cstdint>
#include <vector>

namespace tesserine {

// `data` holds exactly total(v) - ec(v, l) codewords. Returns the stream of
// total(v) codewords: data interleaved block by block (group-2 blocks' extra
// codeword last), then the error-correction codewords interleaved likewise.
std::vector<uint16_t> buildCodewordStream(int version, int level, const std::vector<uint16_t>& data);

}  // namespace tesserine
