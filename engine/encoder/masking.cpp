#include "engine/encoder/masking.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "engine/encoder/byte_words.h"
#include "engine/encoder/placement.h"
#include "engine/encoder/tables.h"

namespace tesserine {

namespace {

// One line (row or column) of up to 64 W modules, bit p = module p. The
// scoring is built for W = 1, 2 and 3 words, so that the smaller symbols pay
// for the words they use only.
template <int W>
struct Line {
  uint64_t w[W];
};

template <int W>
Line<W> operator&(const Line<W>& a, const Line<W>& b) {
  Line<W> r;
  for (int i = 0; i < W; ++i) r.w[i] = a.w[i] & b.w[i];
  return r;
}
template <int W>
Line<W> operator^(const Line<W>& a, const Line<W>& b) {
  Line<W> r;
  for (int i = 0; i < W; ++i) r.w[i] = a.w[i] ^ b.w[i];
  return r;
}
template <int W>
Line<W> operator~(const Line<W>& a) {
  Line<W> r;
  for (int i = 0; i < W; ++i) r.w[i] = ~a.w[i];
  return r;
}

// result bit p = a bit p + k (0 < k < 64)
template <int W>
Line<W> shr(const Line<W>& a, int k) {
  Line<W> r;
  for (int i = 0; i < W; ++i) r.w[i] = (a.w[i] >> k) | (i + 1 < W ? a.w[i + 1] << (64 - k) : 0);
  return r;
}
// result bit p = a bit p - 1
template <int W>
Line<W> shl1(const Line<W>& a) {
  Line<W> r;
  for (int i = 0; i < W; ++i) r.w[i] = (a.w[i] << 1) | (i > 0 ? a.w[i - 1] >> 63 : 0);
  return r;
}

// Counted in the register rather than through std::popcount: without a
// population-count instruction in the target's baseline, the compiler calls a
// library routine per word, which costs more than this.
constexpr int popcount64(uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ull);
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

template <int W>
int popcount(const Line<W>& a) {
  int count = 0;
  for (int i = 0; i < W; ++i) count += popcount64(a.w[i]);
  return count;
}

// Bits 0 .. count-1 set.
template <int W>
Line<W> firstBits(int count) {
  Line<W> l{};
  for (int i = 0; i < W; ++i) {
    const int lo = 64 * i;
    if (count >= lo + 64) l.w[i] = ~0ull;
    else if (count > lo) l.w[i] = (1ull << (count - lo)) - 1;
  }
  return l;
}

template <int W>
bool testBit(const Line<W>& a, int p) {
  return (a.w[p >> 6] >> (p & 63)) & 1;
}
template <int W>
void assignBit(Line<W>& a, int p, bool v) {
  const uint64_t bit = 1ull << (p & 63);
  a.w[p >> 6] = v ? (a.w[p >> 6] | bit) : (a.w[p >> 6] & ~bit);
}

// Number of consecutive set bits of `a` from bit p on.
template <int W>
int onesFrom(const Line<W>& a, int p) {
  int count = 0;
  int word = p >> 6, off = p & 63;
  while (word < W) {
    const uint64_t x = ~(a.w[word] >> off);  // zeros where a has ones
    const int run = x == 0 ? 64 - off : std::min(std::countr_zero(x), 64 - off);
    count += run;
    if (run < 64 - off) break;
    ++word;
    off = 0;
  }
  return count;
}

// S1 and S3 of one line.
template <int W>
uint32_t lineRunsAndFinders(const Line<W>& b, const Line<W>& valid1, const Line<W>& valid7, uint32_t& s3) {
  const Line<W> eq1 = ~(b ^ shr(b, 1)) & valid1;  // bit p: module p equals module p + 1
  const Line<W> six = eq1 & shr(eq1, 1) & shr(eq1, 2) & shr(eq1, 3) & shr(eq1, 4);  // p .. p+5 equal
  const Line<W> starts = ~shl1(eq1);  // bit p: a run starts at p
  const Line<W> finder = b & ~shr(b, 1) & shr(b, 2) & shr(b, 3) & shr(b, 4) & ~shr(b, 5) & shr(b, 6) & valid7;
  s3 += 40u * popcount(finder);
  return static_cast<uint32_t>(popcount(six) + 3 * popcount(six & starts));
}

// Packed rows and columns of a matrix state.
template <int W>
struct Packed {
  static constexpr int kLines = 64 * W < 177 ? 64 * W : 177;
  int n = 0;
  Line<W> rows[kLines];
  Line<W> cols[kLines];
};

struct BlockIndex {
  // best[t][b]: the largest right column of a listed block with top t and
  // bottom >= b; -1 when there is none. Only b > t is ever asked for (every
  // block is at least two rows high), so only those entries are kept.
  int16_t best[177][177];
  Line<3> tops{};  // tops that have a listed block
  int n = 0;

  void reset(int size) {
    for (int t = 0; t < size; ++t)
      if (testBit(tops, t)) std::fill_n(best[t], size, int16_t{-1});
    tops = Line<3>{};
    n = size;
  }
  void init(int size) {
    n = size;
    for (int t = 0; t < size; ++t) std::fill_n(best[t], size, int16_t{-1});
    tops = Line<3>{};
  }
  // Every listed block has its left column at or before the anchor's, so a
  // block (r0, c0)-(r1, c1) is contained when one listed block has top <= r0,
  // bottom >= r1 and right >= c1.
  bool contains(int r0, int r1, int c1) const {
    for (int i = 0; i < 3 && 64 * i <= r0; ++i) {
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

template <int W>
uint32_t scoreBlocks(const Packed<W>& p, const std::vector<Anchor>& anchors, BlockIndex& index) {
  const int n = p.n;
  const Line<W> valid = firstBits<W>(n), valid1 = firstBits<W>(n - 1);
  // square[r] bit c: the 2 x 2 modules from (r, c) are of one colour, the
  // least any block needs; anchors without it are passed over at once.
  Line<W> square[Packed<W>::kLines];
  for (int r = 0; r + 1 < n; ++r) {
    const Line<W>& a = p.rows[r];
    const Line<W>& b = p.rows[r + 1];
    square[r] = ~(a ^ shr(a, 1)) & ~(b ^ shr(b, 1)) & ~(a ^ b) & valid1;
  }
  uint32_t s2 = 0;
  int16_t width[177];
  for (const Anchor& a : anchors) {
    const int r0 = a.r, c0 = a.c;
    if (r0 + 1 >= n || !testBit(square[r0], c0)) continue;
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

template <int W>
PenaltyScore scorePacked(const Packed<W>& p, const std::vector<Anchor>& anchors, BlockIndex& index) {
  const int n = p.n;
  const Line<W> valid1 = firstBits<W>(n - 1), valid7 = firstBits<W>(n - 6);
  PenaltyScore s;
  uint32_t s3 = 0;
  int dark = 0;
  for (int c = 0; c < n; ++c) s.s1 += lineRunsAndFinders(p.cols[c], valid1, valid7, s3);
  for (int r = 0; r < n; ++r) {
    s.s1 += lineRunsAndFinders(p.rows[r], valid1, valid7, s3);
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

// Packs a plane of 0 and 1 bytes: each row eight bytes at a time (with byte i
// in bits 8i .. 8i + 7, the multiply gathers the low bits of the eight bytes
// into the top byte, byte i's in bit 56 + i), then the columns as the
// transpose of the rows, 64 x 64 bits at a time.
template <int W>
void pack(const uint8_t* plane, Packed<W>& p) {
  const int n = p.n;
  for (int r = 0; r < n; ++r) {
    const uint8_t* row = plane + static_cast<size_t>(r) * n;
    Line<W> l{};
    int c = 0;
    for (; c + 8 <= n; c += 8) {
      const uint64_t x = load8(row + c);
      l.w[c >> 6] |= ((x * 0x0102040810204080ull) >> 56) << (c & 63);
    }
    for (; c < n; ++c) l.w[c >> 6] |= static_cast<uint64_t>(row[c]) << (c & 63);
    p.rows[r] = l;
  }
  uint64_t a[64];
  for (int rb = 0; rb < W; ++rb)
    for (int cb = 0; cb < W; ++cb) {
      for (int i = 0; i < 64; ++i) a[i] = 64 * rb + i < n ? p.rows[64 * rb + i].w[cb] : 0;
      transpose64(a);
      for (int i = 0; i < 64 && 64 * cb + i < n; ++i) p.cols[64 * cb + i].w[rb] = a[i];
    }
}

// The function modules of a packed data plane, column by column, each column
// from the top.
template <int W>
std::vector<Anchor> functionAnchors(const Packed<W>& data) {
  std::vector<Anchor> anchors;
  const int n = data.n;
  const Line<W> valid = firstBits<W>(n);
  for (int c = 0; c < n; ++c) {
    const Line<W> function = ~data.cols[c] & valid;
    for (int i = 0; i < W; ++i)
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

// The mask patterns as lines of the largest width: rows repeat every 12,
// columns every 6, so row r of pattern m is rows[m][r % 12] and column c is
// cols[m][c % 6].
constexpr int kRowPeriod = 12, kColPeriod = 6;

struct PatternLines {
  Line<3> rows[8][kRowPeriod];
  Line<3> cols[8][kColPeriod];
};

constexpr PatternLines makePatternLines() {
  PatternLines t{};
  for (int m = 0; m < 8; ++m) {
    for (int i = 0; i < kRowPeriod; ++i)
      for (int j = 0; j < 192; ++j)
        if (maskCondition(m, i, j % kColPeriod)) t.rows[m][i].w[j >> 6] |= 1ull << (j & 63);
    for (int j = 0; j < kColPeriod; ++j)
      for (int i = 0; i < 192; ++i)
        if (maskCondition(m, i % kRowPeriod, j)) t.cols[m][j].w[i >> 6] |= 1ull << (i & 63);
  }
  return t;
}

constexpr PatternLines kPatternLines = makePatternLines();

template <int W>
Line<W> firstWords(const Line<3>& a) {
  Line<W> r;
  for (int i = 0; i < W; ++i) r.w[i] = a.w[i];
  return r;
}

template <int W>
PenaltyScore scoreMatrix(const ModuleMatrix& m) {
  auto p = std::make_unique_for_overwrite<Packed<W>>();
  auto data = std::make_unique_for_overwrite<Packed<W>>();
  auto index = std::make_unique_for_overwrite<BlockIndex>();
  p->n = data->n = m.size();
  pack(m.modules(), *p);
  pack(m.dataModules(), *data);
  index->init(m.size());
  return scorePacked(*p, functionAnchors(*data), *index);
}

// The automatic choice over a matrix that holds the function patterns and
// the placed codewords: scores each pattern on a packed copy, then finishes
// the matrix with the pattern of lowest score.
template <int W>
int chooseScored(ModuleMatrix& m, int level, std::array<uint32_t, 8>* scores) {
  const int n = m.size();
  // Only the arrays' first n entries are used, each written before it is
  // read, so the storage is not cleared.
  auto base = std::make_unique_for_overwrite<Packed<W>>();
  auto data = std::make_unique_for_overwrite<Packed<W>>();
  auto work = std::make_unique_for_overwrite<Packed<W>>();
  auto index = std::make_unique_for_overwrite<BlockIndex>();
  index->init(n);
  base->n = data->n = work->n = n;
  pack(m.modules(), *base);
  pack(m.dataModules(), *data);
  const std::vector<Anchor> anchors = functionAnchors(*data);
  Cell cells[30];
  formatCells(n, cells);

  int best = 0;
  uint32_t bestScore = 0;
  for (int mask = 0; mask < 8; ++mask) {
    // Data lines hold no bits beyond the symbol, so the patterns need no trimming.
    Line<W> rowPattern[kRowPeriod], colPattern[kColPeriod];
    for (int i = 0; i < kRowPeriod; ++i) rowPattern[i] = firstWords<W>(kPatternLines.rows[mask][i]);
    for (int j = 0; j < kColPeriod; ++j) colPattern[j] = firstWords<W>(kPatternLines.cols[mask][j]);
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

}  // namespace

PenaltyScore scoreParts(const ModuleMatrix& m) {
  if (m.size() <= 64) return scoreMatrix<1>(m);
  if (m.size() <= 128) return scoreMatrix<2>(m);
  return scoreMatrix<3>(m);
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
  layFunctionPatterns(m, version, level, 0);
  placeCodewords(m, stream.data(), stream.size());
  if (m.size() <= 64) return chooseScored<1>(m, level, scores);
  if (m.size() <= 128) return chooseScored<2>(m, level, scores);
  return chooseScored<3>(m, level, scores);
}

}  // namespace tesserine
