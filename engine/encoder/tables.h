// Constant tables of QR code model 2: symbol sizes, codeword capacities and
// the error-correction block structure of every version and level.
//
// Contract: versions are 1 to 40 and levels (EcLevel) 0 = L, 1 = M, 2 = Q,
// 3 = H. Callers pass only those; the lookups do not check.
#pragma once

#include <cstdint>

namespace tesserine {

constexpr int kMinVersion = 1;
constexpr int kMaxVersion = 40;
constexpr int kLevelCount = 4;

enum EcLevel : int { kLevelL = 0, kLevelM = 1, kLevelQ = 2, kLevelH = 3 };

// VersionTable: modules on a side, 17 + 4 * version.
constexpr int32_t symbolSize(int version) { return 17 + 4 * version; }

// VersionTable: total codewords (data and error correction) per version.
inline constexpr int32_t kTotalCodewords[kMaxVersion + 1] = {
    // version 0 (unused), then 1 to 40
    0,
    26,   44,   70,   100,  134,  172,  196,  242,  292,  346,
    404,  466,  532,  581,  655,  733,  815,  901,  991,  1085,
    1156, 1258, 1364, 1474, 1588, 1706, 1828, 1921, 2051, 2185,
    2323, 2465, 2611, 2761, 2876, 3034, 3196, 3362, 3532, 3706,
};

constexpr int32_t totalCodewords(int version) { return kTotalCodewords[version]; }

// One EcBlockTable record. A group-2 block holds one data codeword (and so
// one codeword) more than a group-1 block; every block has the same number of
// error-correction codewords.
struct EcBlockRecord {
  int32_t ecCodewords;          // all blocks together
  int32_t group1Blocks;         // at least 1
  int32_t group1Codewords;      // data + error correction per group-1 block
  int32_t group1DataCodewords;  // data per group-1 block
  int32_t group2Blocks;         // 0 where the symbol has one group

  constexpr int32_t ecPerBlock() const { return group1Codewords - group1DataCodewords; }
  constexpr int32_t blockCount() const { return group1Blocks + group2Blocks; }
};

// EcBlockTable: record (version - 1) * 4 + level.
inline constexpr EcBlockRecord kEcBlockTable[kMaxVersion * kLevelCount] = {
    // ecCodewords, group1Blocks, group1Codewords, group1DataCodewords, group2Blocks
    // version 1: L, M, Q, H
    {7, 1, 26, 19, 0}, {10, 1, 26, 16, 0}, {13, 1, 26, 13, 0}, {17, 1, 26, 9, 0},
    // version 2
    {10, 1, 44, 34, 0}, {16, 1, 44, 28, 0}, {22, 1, 44, 22, 0}, {28, 1, 44, 16, 0},
    // version 3
    {15, 1, 70, 55, 0}, {26, 1, 70, 44, 0}, {36, 2, 35, 17, 0}, {44, 2, 35, 13, 0},
    // version 4
    {20, 1, 100, 80, 0}, {36, 2, 50, 32, 0}, {52, 2, 50, 24, 0}, {64, 4, 25, 9, 0},
    // version 5
    {26, 1, 134, 108, 0}, {48, 2, 67, 43, 0}, {72, 2, 33, 15, 2}, {88, 2, 33, 11, 2},
    // version 6
    {36, 2, 86, 68, 0}, {64, 4, 43, 27, 0}, {96, 4, 43, 19, 0}, {112, 4, 43, 15, 0},
    // version 7
    {40, 2, 98, 78, 0}, {72, 4, 49, 31, 0}, {108, 2, 32, 14, 4}, {130, 4, 39, 13, 1},
    // version 8
    {48, 2, 121, 97, 0}, {88, 2, 60, 38, 2}, {132, 4, 40, 18, 2}, {156, 4, 40, 14, 2},
    // version 9
    {60, 2, 146, 116, 0}, {110, 3, 58, 36, 2}, {160, 4, 36, 16, 4}, {192, 4, 36, 12, 4},
    // version 10
    {72, 2, 86, 68, 2}, {130, 4, 69, 43, 1}, {192, 6, 43, 19, 2}, {224, 6, 43, 15, 2},
    // version 11
    {80, 4, 101, 81, 0}, {150, 1, 80, 50, 4}, {224, 4, 50, 22, 4}, {264, 3, 36, 12, 8},
    // version 12
    {96, 2, 116, 92, 2}, {176, 6, 58, 36, 2}, {260, 4, 46, 20, 6}, {308, 7, 42, 14, 4},
    // version 13
    {104, 4, 133, 107, 0}, {198, 8, 59, 37, 1}, {288, 8, 44, 20, 4}, {352, 12, 33, 11, 4},
    // version 14
    {120, 3, 145, 115, 1}, {216, 4, 64, 40, 5}, {320, 11, 36, 16, 5}, {384, 11, 36, 12, 5},
    // version 15
    {132, 5, 109, 87, 1}, {240, 5, 65, 41, 5}, {360, 5, 54, 24, 7}, {432, 11, 36, 12, 7},
    // version 16
    {144, 5, 122, 98, 1}, {280, 7, 73, 45, 3}, {408, 15, 43, 19, 2}, {480, 3, 45, 15, 13},
    // version 17
    {168, 1, 135, 107, 5}, {308, 10, 74, 46, 1}, {448, 1, 50, 22, 15}, {532, 2, 42, 14, 17},
    // version 18
    {180, 5, 150, 120, 1}, {338, 9, 69, 43, 4}, {504, 17, 50, 22, 1}, {588, 2, 42, 14, 19},
    // version 19
    {196, 3, 141, 113, 4}, {364, 3, 70, 44, 11}, {546, 17, 47, 21, 4}, {650, 9, 39, 13, 16},
    // version 20
    {224, 3, 135, 107, 5}, {416, 3, 67, 41, 13}, {600, 15, 54, 24, 5}, {700, 15, 43, 15, 10},
    // version 21
    {224, 4, 144, 116, 4}, {442, 17, 68, 42, 0}, {644, 17, 50, 22, 6}, {750, 19, 46, 16, 6},
    // version 22
    {252, 2, 139, 111, 7}, {476, 17, 74, 46, 0}, {690, 7, 54, 24, 16}, {816, 34, 37, 13, 0},
    // version 23
    {270, 4, 151, 121, 5}, {504, 4, 75, 47, 14}, {750, 11, 54, 24, 14}, {900, 16, 45, 15, 14},
    // version 24
    {300, 6, 147, 117, 4}, {560, 6, 73, 45, 14}, {810, 11, 54, 24, 16}, {960, 30, 46, 16, 2},
    // version 25
    {312, 8, 132, 106, 4}, {588, 8, 75, 47, 13}, {870, 7, 54, 24, 22}, {1050, 22, 45, 15, 13},
    // version 26
    {336, 10, 142, 114, 2}, {644, 19, 74, 46, 4}, {952, 28, 50, 22, 6}, {1110, 33, 46, 16, 4},
    // version 27
    {360, 8, 152, 122, 4}, {700, 22, 73, 45, 3}, {1020, 8, 53, 23, 26}, {1200, 12, 45, 15, 28},
    // version 28
    {390, 3, 147, 117, 10}, {728, 3, 73, 45, 23}, {1050, 4, 54, 24, 31}, {1260, 11, 45, 15, 31},
    // version 29
    {420, 7, 146, 116, 7}, {784, 21, 73, 45, 7}, {1140, 1, 53, 23, 37}, {1350, 19, 45, 15, 26},
    // version 30
    {450, 5, 145, 115, 10}, {812, 19, 75, 47, 10}, {1200, 15, 54, 24, 25}, {1440, 23, 45, 15, 25},
    // version 31
    {480, 13, 145, 115, 3}, {868, 2, 74, 46, 29}, {1290, 42, 54, 24, 1}, {1530, 23, 45, 15, 28},
    // version 32
    {510, 17, 145, 115, 0}, {924, 10, 74, 46, 23}, {1350, 10, 54, 24, 35}, {1620, 19, 45, 15, 35},
    // version 33
    {540, 17, 145, 115, 1}, {980, 14, 74, 46, 21}, {1440, 29, 54, 24, 19}, {1710, 11, 45, 15, 46},
    // version 34
    {570, 13, 145, 115, 6}, {1036, 14, 74, 46, 23}, {1530, 44, 54, 24, 7}, {1800, 59, 46, 16, 1},
    // version 35
    {570, 12, 151, 121, 7}, {1064, 12, 75, 47, 26}, {1590, 39, 54, 24, 14}, {1890, 22, 45, 15, 41},
    // version 36
    {600, 6, 151, 121, 14}, {1120, 6, 75, 47, 34}, {1680, 46, 54, 24, 10}, {1980, 2, 45, 15, 64},
    // version 37
    {630, 17, 152, 122, 4}, {1204, 29, 74, 46, 14}, {1770, 49, 54, 24, 10}, {2100, 24, 45, 15, 46},
    // version 38
    {660, 4, 152, 122, 18}, {1260, 13, 74, 46, 32}, {1860, 48, 54, 24, 14}, {2220, 42, 45, 15, 32},
    // version 39
    {720, 20, 147, 117, 4}, {1316, 40, 75, 47, 7}, {1950, 43, 54, 24, 22}, {2310, 10, 45, 15, 67},
    // version 40
    {750, 19, 148, 118, 6}, {1372, 18, 75, 47, 31}, {2040, 34, 54, 24, 34}, {2430, 20, 45, 15, 61},
};

constexpr const EcBlockRecord& ecBlockRecord(int version, int level) {
  return kEcBlockTable[(version - 1) * kLevelCount + level];
}

// ec(v, l): error-correction codewords of the whole symbol.
constexpr int32_t ecCodewords(int version, int level) { return ecBlockRecord(version, level).ecCodewords; }

// Data capacity in codewords: total(v) - ec(v, l), 9 (1-H) to 2956 (40-L).
constexpr int32_t dataCapacityCodewords(int version, int level) {
  return totalCodewords(version) - ecCodewords(version, level);
}

}  // namespace tesserine
