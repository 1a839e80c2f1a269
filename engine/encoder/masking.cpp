#include "engine/encoder/masking.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "engine/encoder/placement.h"
#include "engine/encoder/tables.h"

namespace tesserine {

namespace {

// One line (row or column) of up to 192 modules, bit p = module p.
constexpr int kWords = 3;
struct Line {
  uint64_t w[kWords];
};

Line operator&(const Line& a, const Line& b) { return {{a.w[0] & b.w[0], a.w[1] & b.w[1], a.w[2] & b.w[2]}}; }
Line operator^(const Line& a, const Line& b) { return {{a.w[0] ^ b.w[0], a.w[1] ^ b.w[1], a.w[2] ^ b.w[2]}}; }
Line operator~(const Line& a) { return {{~a.w[0], ~a.w[1], ~a.w[2]}}; }

// result bit p = a bit p + k (0 < k < 64)
Line shr(const Line& a, int k) {
  return {{(a.w[0] >> k) | (a.w[1] << (64 - k)), (a.w[1] >> k) | (a.w[2] << (64 - k)), a.w[2] >> k}};
}
// result bit p = a bit p - 1
Line shl1(const Line& a) { return {{a.w[0] << 1, (a.w[1] << 1) | (a.w[0] >> 63), (a.w[2] << 1) | (a.w[1] >> 63)}}; }

// Counted in the register rather than through std::popcount: without a
// population-count instruction in the target's baseline, the compiler calls a
// library routine per word, which costs more than this.
constexpr int popcount64(uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ull);
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

int popcount(const Line& a) { return popcount64(a.w[0]) + popcount64(a.w[1]) + popcount64(a.w[2]); }

// Bits 0 .. count-1 set.
Line firstBits(int count) {
  Line l{};
  for (int i = 0; i < kWords; ++i) {
    const int lo = 64 * i;
    if (count >= lo + 64) l.w[i] = ~0ull;
    else if (count > lo) l.w[i] = (1ull << (count - lo)) - 1;
  }
  return l;
}

bool testBit(const Line& a, int p) { return (a.w[p >> 6] >> (p & 63)) & 1; }
void assignBit(Line& a, int p, bool v) {
  const uint64_t bit = 1ull << (p & 63);
  a.w[p >> 6] = v ? (a.w[p >> 6] | bit) : (a.w[p >> 6] & ~bit);
}

// Number of consecutive set bits of `a` from bit p on.
int onesFrom(const Line& a, int p) {
  int count = 0;
  int word = p >> 6, off = p & 63;
  while (word < kWords) {
    const uint64_t x = ~(a.w[word] >> off);  // zeros where a has ones
    const int run = x == 0 ? 64 - off : std::min(std::countr_zero(x), 64 - off);
    count += run;
    if (run < 64 - off) break;
    ++word;
    off = 0;
  }
  return count;
}

// S1 and S3 of one line of n modules.
uint32_t lineRunsAndFinders(const Line& b, int n, const Line& valid1, const Line& valid7, uint32_t& s3) {
  const Line eq1 = ~(b ^ shr(b, 1)) & valid1;  // bit p: module p equals module p + 1
  const Line six = eq1 & shr(eq1, 1) & shr(eq1, 2) & shr(eq1, 3) & shr(eq1, 4);  // p .. p+5 equal
  const Line starts = ~shl1(eq1);  // bit p: a run starts at p
  const Line finder = b & ~shr(b, 1) & shr(b, 2) & shr(b, 3) & shr(b, 4) & ~shr(b, 5) & shr(b, 6) & valid7;
  s3 += 40u * popcount(finder);
  (void)n;
  return static_cast<uint32_t>(popcount(six) + 3 * popcount(six & starts));
}

// Packed rows and columns of a matrix state, plus what S2 needs.
struct Packed {
  int n = 0;
  Line rows[177];
  Line cols[177];
};

struct BlockIndex {
  // best[t][b]: the largest right column of a listed block with top t and
  // bottom >= b; -1 when there is none. Only b > t is ever asked for (every
  // block is at least two rows high), so only those entries are kept.
  int16_t best[177][177];
  Line tops{};  // tops that have a listed block
  int n = 0;

  void reset(int size) {
    for (int t = 0; t < size; ++t)
      if (testBit(tops, t)) std::fill_n(best[t], size, int16_t{-1});
    tops = Line{};
    n = size;
  }
  void init(int size) {
    n = size;
    for (int t = 0; t < size; ++t) std::fill_n(best[t], size, int16_t{-1});
    tops = Line{};
  }
  // Every listed block has its left column at or before the anchor's, so a
  // block (r0, c0)-(r1, c1) is contained when one listed block has top <= r0,
  // bottom >= r1 and right >= c1.
  bool contains(int r0, int r1, int c1) const {
    for (int i = 0; i < kWords && 64 * i <= r0; ++i) {
      uint64_t set = tops.w[i];
      while (set) {
        const int t = 64 * i + std::countr_zero(set);
        if (t > r0) break;
        if (best[t][r1] >= c1) return true;
        set &= set - 1;
      }
    }
    return false;
  }
  void add(int r0, int r1, int c1) {
    assignBit(tops, r0, true);
    for (int b = r1; b > r0 && best[r0][b] < c1; --b) best[r0][b] = static_cast<int16_t>(c1);
  }
};

struct Anchor {
  uint8_t r, c;
};

uint32_t scoreBlocks(const Packed& p, const std::vector<Anchor>& anchors, BlockIndex& index) {
  const int n = p.n;
  const Line valid = firstBits(n);
  uint32_t s2 = 0;
  int16_t width[177];
  for (const Anchor& a : anchors) {
    const int r0 = a.r, c0 = a.c;
    const bool v = testBit(p.rows[r0], c0);
    auto run = [&](int r) { return onesFrom(v ? p.rows[r] : (~p.rows[r] & valid), c0); };
    int m = run(r0);
    int last = r0;
    for (int r = r0 + 1; r < n; ++r) {
      m = std::min(m, run(r));
      if (m < 2) break;
      width[r] = static_cast<int16_t>(m);
      last = r;
    }
    for (int r1 = last; r1 > r0; --r1) {
      const int c1 = c0 + width[r1] - 1;
      if (index.contains(r0, r1, c1)) continue;
      index.add(r0, r1, c1);
      s2 += 3u * static_cast<uint32_t>(r1 - r0) * static_cast<uint32_t>(c1 - c0);
    }
  }
  return s2;
}

PenaltyScore scorePacked(const Packed& p, const std::vector<Anchor>& anchors, BlockIndex& index) {
  const int n = p.n;
  const Line valid1 = firstBits(n - 1), valid7 = firstBits(n - 6);
  PenaltyScore s;
  uint32_t s3 = 0;
  int dark = 0;
  for (int c = 0; c < n; ++c) s.s1 += lineRunsAndFinders(p.cols[c], n, valid1, valid7, s3);
  for (int r = 0; r < n; ++r) {
    s.s1 += lineRunsAndFinders(p.rows[r], n, valid1, valid7, s3);
    dark += popcount(p.rows[r]);
  }
  index.reset(n);
  s.s2 = scoreBlocks(p, anchors, index);
  s.s3 = s3;
  const int64_t total = static_cast<int64_t>(n) * n;
  int64_t dev = 20 * static_cast<int64_t>(dark) - 10 * total;
  if (dev < 0) dev = -dev;
  s.s4 = 10u * static_cast<uint32_t>((dev + total - 1) / total);
  return s;
}

// Transposes a 64 x 64 bit block in place: bit j of a[i] trades places with
// bit i of a[j].
void transpose64(uint64_t a[64]) {
  uint64_t mask = 0x00000000FFFFFFFFull;
  for (int j = 32; j != 0; j >>= 1, mask ^= mask << j)
    for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
      const uint64_t t = ((a[k] >> j) ^ a[k | j]) & mask;
      a[k] ^= t << j;
      a[k | j] ^= t;
    }
}

// Packs a plane of 0 and 1 bytes: each row eight bytes at a time (a multiply
// gathers the low bits of eight bytes into one byte), then the columns as the
// transpose of the rows, 64 x 64 bits at a time.
void pack(const uint8_t* plane, int n, Line* rows, Line* cols) {
  for (int r = 0; r < n; ++r) {
    const uint8_t* row = plane + static_cast<size_t>(r) * n;
    Line l{};
    int c = 0;
    for (; c + 8 <= n; c += 8) {
      uint64_t x;
      std::memcpy(&x, row + c, 8);
      l.w[c >> 6] |= ((x * 0x0102040810204080ull) >> 56) << (c & 63);
    }
    for (; c < n; ++c) l.w[c >> 6] |= static_cast<uint64_t>(row[c]) << (c & 63);
    rows[r] = l;
  }
  const int blocks = (n + 63) / 64;
  uint64_t a[64];
  for (int rb = 0; rb < blocks; ++rb)
    for (int cb = 0; cb < blocks; ++cb) {
      for (int i = 0; i < 64; ++i) a[i] = 64 * rb + i < n ? rows[64 * rb + i].w[cb] : 0;
      transpose64(a);
      for (int i = 0; i < 64 && 64 * cb + i < n; ++i) cols[64 * cb + i].w[rb] = a[i];
    }
  for (int c = 0; c < n; ++c)
    for (int w = blocks; w < kWords; ++w) cols[c].w[w] = 0;
}

// The function modules of a packed data plane, column by column, each column
// from the top.
std::vector<Anchor> functionAnchors(const Packed& data) {
  std::vector<Anchor> anchors;
  const int n = data.n;
  const Line valid = firstBits(n);
  for (int c = 0; c < n; ++c) {
    const Line function = ~data.cols[c] & valid;
    for (int i = 0; i < kWords; ++i)
      for (uint64_t set = function.w[i]; set; set &= set - 1)
        anchors.push_back({static_cast<uint8_t>(64 * i + std::countr_zero(set)), static_cast<uint8_t>(c)});
  }
  return anchors;
}

// Cells of the format information (both copies), in F0..F14 order per copy.
struct Cell {
  int r, c;
};

void formatCells(int n, Cell out[30]) {
  int k = 0;
  for (int i = 0; i <= 5; ++i) out[k++] = {8, i};
  out[k++] = {8, 7};
  out[k++] = {8, 8};
  out[k++] = {7, 8};
  for (int i = 9; i <= 14; ++i) out[k++] = {14 - i, 8};
  for (int i = 0; i <= 6; ++i) out[k++] = {n - 1 - i, 8};
  for (int i = 7; i <= 14; ++i) out[k++] = {8, n - 15 + i};
}

// The mask patterns as lines: rows repeat every 12, columns every 6, so row
// r of pattern m is kRowPatterns[m][r % 12] and column c is
// kColPatterns[m][c % 6], each as wide as the largest symbol.
constexpr int kRowPeriod = 12, kColPeriod = 6;

struct PatternLines {
  Line rows[8][kRowPeriod];
  Line cols[8][kColPeriod];
};

constexpr PatternLines makePatternLines() {
  PatternLines t{};
  for (int m = 0; m < 8; ++m) {
    for (int i = 0; i < kRowPeriod; ++i)
      for (int j = 0; j < 64 * kWords; ++j)
        if (maskCondition(m, i, j % kColPeriod)) t.rows[m][i].w[j >> 6] |= 1ull << (j & 63);
    for (int j = 0; j < kColPeriod; ++j)
      for (int i = 0; i < 64 * kWords; ++i)
        if (maskCondition(m, i % kRowPeriod, j)) t.cols[m][j].w[i >> 6] |= 1ull << (i & 63);
  }
  return t;
}

constexpr PatternLines kPatternLines = makePatternLines();

}  // namespace

PenaltyScore scoreParts(const ModuleMatrix& m) {
  auto p = std::make_unique<Packed>();
  auto data = std::make_unique<Packed>();
  auto index = std::make_unique<BlockIndex>();
  p->n = data->n = m.size();
  pack(m.modules(), m.size(), p->rows, p->cols);
  pack(m.dataModules(), m.size(), data->rows, data->cols);
  index->init(m.size());
  return scorePacked(*p, functionAnchors(*data), *index);
}

uint32_t scoreSymbol(const ModuleMatrix& m) { return scoreParts(m).total(); }

int chooseMask(ModuleMatrix& m, int version, int level, int maskSetting, const std::vector<uint16_t>& stream,
               std::array<uint32_t, 8>* scores) {
  if (maskSetting >= 1 && maskSetting <= 8) {
    const int mask = maskSetting - 1;
    layFunctionPatterns(m, version, level, mask);
    placeCodewords(m, stream.data(), stream.size());
    applyMask(m, mask);
    return mask;
  }

  // The function patterns and the placed codewords do not depend on the
  // mask; only the format information and the masking do. Build once, then
  // score each pattern on a packed copy.
  const int n = m.size();
  layFunctionPatterns(m, version, level, 0);
  placeCodewords(m, stream.data(), stream.size());

  auto base = std::make_unique<Packed>();
  auto data = std::make_unique<Packed>();
  auto work = std::make_unique<Packed>();
  auto index = std::make_unique<BlockIndex>();
  index->init(n);
  base->n = data->n = work->n = n;
  pack(m.modules(), n, base->rows, base->cols);
  pack(m.dataModules(), n, data->rows, data->cols);
  const std::vector<Anchor> anchors = functionAnchors(*data);
  Cell cells[30];
  formatCells(n, cells);

  int best = 0;
  uint32_t bestScore = 0;
  for (int mask = 0; mask < 8; ++mask) {
    // Data lines hold no bits beyond the symbol, so the patterns need no trimming.
    const Line* rowPattern = kPatternLines.rows[mask];
    const Line* colPattern = kPatternLines.cols[mask];
    for (int r = 0; r < n; ++r) work->rows[r] = base->rows[r] ^ (data->rows[r] & rowPattern[r % kRowPeriod]);
    for (int c = 0; c < n; ++c) work->cols[c] = base->cols[c] ^ (data->cols[c] & colPattern[c % kColPeriod]);
    const uint16_t f = formatBits(level, mask);
    for (int k = 0; k < 30; ++k) {
      const bool bit = (f >> (14 - k % 15)) & 1;
      assignBit(work->rows[cells[k].r], cells[k].c, bit);
      assignBit(work->cols[cells[k].c], cells[k].r, bit);
    }
    const uint32_t s = scorePacked(*work, anchors, *index).total();
    if (scores) (*scores)[mask] = s;
    if (mask == 0 || s < bestScore) {
      best = mask;
      bestScore = s;
    }
  }
  writeFormatInformation(m, level, best);
  applyMask(m, best);
  return best;
}

}  // namespace tesserine
