#include "reference_penalty.h"

#include <cstdlib>

#include "engine/encoder/placement.h"
#include "engine/encoder/tables.h"

namespace testkit {

using tesserine::ModuleMatrix;

namespace {

// S1 of one line given by a reader of its i-th module.
template <typename At>
uint32_t runsOfLine(int n, At at) {
  uint32_t score = 0;
  int i = 0;
  while (i < n) {
    int j = i;
    while (j < n && at(j) == at(i)) ++j;
    const int length = j - i;
    if (length >= 6) score += static_cast<uint32_t>(length - 2);
    i = j;
  }
  return score;
}

template <typename At>
uint32_t findersOfLine(int n, At at) {
  static const int kFinderLike[7] = {1, 0, 1, 1, 1, 0, 1};
  uint32_t score = 0;
  int i = 0;
  while (i + 7 <= n) {
    bool match = true;
    for (int k = 0; k < 7; ++k)
      if (at(i + k) != kFinderLike[k]) match = false;
    if (match) {
      score += 40;
      i += 4;
    } else {
      i += 1;
    }
  }
  return score;
}

struct Rect {
  int top, left, bottom, right;
};

bool allOfColour(const ModuleMatrix& m, int r0, int c0, int r1, int c1, int v) {
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c)
      if (m.module(r, c) != v) return false;
  return true;
}

}  // namespace

uint32_t literalS1(const ModuleMatrix& m) {
  const int n = m.size();
  uint32_t s = 0;
  for (int c = 0; c < n; ++c) s += runsOfLine(n, [&](int r) { return int{m.module(r, c)}; });
  for (int r = 0; r < n; ++r) s += runsOfLine(n, [&](int c) { return int{m.module(r, c)}; });
  return s;
}

uint32_t literalS2(const ModuleMatrix& m) {
  const int n = m.size();
  std::vector<Rect> listed;  // most recently listed last; searched from the back
  uint32_t s = 0;
  for (int c0 = 0; c0 < n; ++c0)
    for (int r0 = 0; r0 < n; ++r0) {
      if (m.dataModule(r0, c0) != 0) continue;
      const int v = m.module(r0, c0);
      for (int r1 = n - 1; r1 >= r0 + 1; --r1)
        for (int c1 = n - 1; c1 >= c0 + 1; --c1) {
          if (!allOfColour(m, r0, c0, r1, c1, v)) continue;
          bool contained = false;
          for (auto it = listed.rbegin(); it != listed.rend(); ++it)
            if (it->top <= r0 && it->left <= c0 && it->bottom >= r1 && it->right >= c1) {
              contained = true;
              break;
            }
          if (!contained) {
            listed.push_back({r0, c0, r1, c1});
            s += 3u * static_cast<uint32_t>(r1 - r0) * static_cast<uint32_t>(c1 - c0);
          }
          break;  // smaller c1 are not tried for this r1
        }
    }
  return s;
}

uint32_t literalS3(const ModuleMatrix& m) {
  const int n = m.size();
  uint32_t s = 0;
  for (int c = 0; c < n; ++c) s += findersOfLine(n, [&](int r) { return int{m.module(r, c)}; });
  for (int r = 0; r < n; ++r) s += findersOfLine(n, [&](int c) { return int{m.module(r, c)}; });
  return s;
}

uint32_t literalS4(const ModuleMatrix& m) {
  const int n = m.size();
  const long long total = static_cast<long long>(n) * n;
  long long dark = 0;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) dark += m.module(r, c);
  for (int k = 0; k <= 10; ++k)
    if (std::llabs(20 * dark - 10 * total) <= k * total) return 10u * static_cast<uint32_t>(k);
  return 100;  // not reached: the deviation never exceeds 10 T
}

LiteralScore literalScore(const ModuleMatrix& m) {
  LiteralScore s;
  s.s1 = literalS1(m);
  s.s2 = literalS2(m);
  s.s3 = literalS3(m);
  s.s4 = literalS4(m);
  return s;
}

ModuleMatrix buildWithMask(int version, int level, int mask, const std::vector<uint16_t>& stream) {
  ModuleMatrix m(tesserine::symbolSize(version));
  tesserine::layFunctionPatterns(m, version, level, mask);
  tesserine::placeCodewords(m, stream.data(), stream.size());
  tesserine::applyMask(m, mask);
  return m;
}

LiteralChoice literalChooseMask(int version, int level, const std::vector<uint16_t>& stream) {
  LiteralChoice choice;
  uint32_t kept = 0;
  for (int mask = 0; mask < 8; ++mask) {
    const uint32_t s = literalScore(buildWithMask(version, level, mask, stream)).total();
    choice.scores[mask] = s;
    if (mask == 0 || s < kept) {
      kept = s;
      choice.mask = mask;
    }
  }
  choice.matrix = buildWithMask(version, level, choice.mask, stream);
  return choice;
}

}  // namespace testkit
