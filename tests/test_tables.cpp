// Version and error-correction tables: lookups, the telling records, and the
// invariants every record must satisfy. (The block structure of all 160
// records is also checked against Nayuki's qrcodegen in the oracle test.)
#include <gtest/gtest.h>

#include <set>

#include "engine/encoder/tables.h"

using namespace tesserine;

namespace {

// Data modules of a version: the whole symbol minus the function patterns,
// worked out from the layout (finders, separators and format areas 3 x 64 +
// 2 x 15 + 1 dark module, timing 2 (N - 16), alignment patterns 25 each less
// their overlap with the timing patterns, version information 2 x 18).
int dataModulesByLayout(int v) {
  const int n = 17 + 4 * v;
  int function = 3 * 64 + 31 + 2 * (n - 16);
  if (v >= 2) {
    const int k = v / 7 + 2;                  // coordinates per axis
    const int patterns = k * k - 3;           // minus the three under finder patterns
    const int onTiming = 2 * (k - 2);         // patterns centred on row 6 or column 6
    function += 25 * patterns - 5 * onTiming;  // each of those shares 5 timing modules
  }
  if (v >= 7) function += 36;
  return n * n - function;
}

}  // namespace

TEST(VersionTable, SymbolSizesAndTotalCodewordsAgreeWithTheModuleCount) {
  for (int v = 1; v <= 40; ++v) {
    SCOPED_TRACE(v);
    EXPECT_EQ(symbolSize(v), 17 + 4 * v);
    // The capacity formula of the standard ...
    const int a = v / 7 + 2;
    int modules = (16 * v + 128) * v + 64;
    if (v >= 2) modules -= (25 * a - 10) * a - 55;
    if (v >= 7) modules -= 36;
    EXPECT_EQ(totalCodewords(v), modules / 8);
    // ... and an independent count of the layout.
    EXPECT_EQ(dataModulesByLayout(v), modules);
  }
  EXPECT_EQ(symbolSize(1), 21);
  EXPECT_EQ(symbolSize(40), 177);
  const std::pair<int, int> telling[] = {{1, 26}, {2, 44}, {7, 196}, {14, 581}, {21, 1156}, {40, 3706}};
  for (auto [v, total] : telling) EXPECT_EQ(totalCodewords(v), total) << "version " << v;
}

TEST(EcBlockTable, TellingRecords) {
  struct Row {
    int version, level;
    EcBlockRecord rec;
  };
  const Row rows[] = {
      {1, kLevelL, {7, 1, 26, 19, 0}},         {1, kLevelM, {10, 1, 26, 16, 0}},
      {1, kLevelQ, {13, 1, 26, 13, 0}},        {1, kLevelH, {17, 1, 26, 9, 0}},
      {3, kLevelQ, {36, 2, 35, 17, 0}},        {5, kLevelQ, {72, 2, 33, 15, 2}},
      {7, kLevelH, {130, 4, 39, 13, 1}},       {22, kLevelH, {816, 34, 37, 13, 0}},
      {40, kLevelL, {750, 19, 148, 118, 6}},   {40, kLevelH, {2430, 20, 45, 15, 61}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "version " << row.version << " level " << row.level);
    const EcBlockRecord& rec = ecBlockRecord(row.version, row.level);
    EXPECT_EQ(rec.ecCodewords, row.rec.ecCodewords);
    EXPECT_EQ(rec.group1Blocks, row.rec.group1Blocks);
    EXPECT_EQ(rec.group1Codewords, row.rec.group1Codewords);
    EXPECT_EQ(rec.group1DataCodewords, row.rec.group1DataCodewords);
    EXPECT_EQ(rec.group2Blocks, row.rec.group2Blocks);
    // the record number is (v - 1) * 4 + l
    EXPECT_EQ(&rec, &kEcBlockTable[(row.version - 1) * 4 + row.level]);
  }
}

TEST(EcBlockTable, EdgeCasesOfCapacity) {
  // Version 1 at each level, index 0 being L (19 data codewords), 3 being H (9).
  const int dataBits[4] = {152, 128, 104, 72};
  const int dataWords[4] = {19, 16, 13, 9};
  for (int l = 0; l < 4; ++l) {
    EXPECT_EQ(8 * dataCapacityCodewords(1, l), dataBits[l]);
    EXPECT_EQ(ecBlockRecord(1, l).group1DataCodewords, dataWords[l]);
    EXPECT_EQ(ecBlockRecord(1, l).blockCount(), 1);
  }
  // 5-Q: two blocks of 15 then two of 16, 18 error-correction codewords each.
  const EcBlockRecord& q5 = ecBlockRecord(5, kLevelQ);
  EXPECT_EQ(q5.ecPerBlock(), 18);
  EXPECT_EQ(q5.group1Blocks * q5.group1DataCodewords + q5.group2Blocks * (q5.group1DataCodewords + 1), 62);
  EXPECT_EQ(dataCapacityCodewords(5, kLevelQ), 62);
  // 40-H: 20 x 15 then 61 x 16 data codewords, 30 error correction each.
  const EcBlockRecord& h40 = ecBlockRecord(40, kLevelH);
  EXPECT_EQ(h40.ecPerBlock(), 30);
  EXPECT_EQ(dataCapacityCodewords(40, kLevelH), 1276);
  EXPECT_EQ(ecCodewords(40, kLevelH), 2430);
  // Extremes of the data capacity.
  EXPECT_EQ(dataCapacityCodewords(1, kLevelH), 9);
  EXPECT_EQ(dataCapacityCodewords(40, kLevelL), 2956);
  int smallest = 1 << 30, largest = 0;
  for (int v = 1; v <= 40; ++v)
    for (int l = 0; l < 4; ++l) {
      smallest = std::min(smallest, dataCapacityCodewords(v, l));
      largest = std::max(largest, dataCapacityCodewords(v, l));
    }
  EXPECT_EQ(smallest, 9);
  EXPECT_EQ(largest, 2956);
}

TEST(EcBlockTable, InvariantsHoldForAll160Records) {
  const std::set<int> allowedEcPerBlock = {7, 10, 13, 15, 16, 17, 18, 20, 22, 24, 26, 28, 30};
  for (int v = 1; v <= 40; ++v)
    for (int l = 0; l < 4; ++l) {
      SCOPED_TRACE(testing::Message() << "version " << v << " level " << l);
      const EcBlockRecord& r = ecBlockRecord(v, l);
      const int ecPerBlock = r.group1Codewords - r.group1DataCodewords;
      EXPECT_GE(r.group1Blocks, 1);
      EXPECT_GE(r.group2Blocks, 0);
      EXPECT_EQ(r.ecCodewords, (r.group1Blocks + r.group2Blocks) * ecPerBlock);
      EXPECT_EQ(r.group1Blocks * r.group1Codewords + r.group2Blocks * (r.group1Codewords + 1), totalCodewords(v));
      EXPECT_TRUE(allowedEcPerBlock.count(ecPerBlock)) << ecPerBlock;
      EXPECT_GT(r.group1DataCodewords, 0);
      // more protection at each higher level
      if (l > 0) {
        EXPECT_GT(r.ecCodewords, ecBlockRecord(v, l - 1).ecCodewords);
      }
      // the capacity grows with the version
      if (v > 1) {
        EXPECT_GT(dataCapacityCodewords(v, l), dataCapacityCodewords(v - 1, l));
      }
    }
}
