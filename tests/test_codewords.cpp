// Codeword blocks and interleaving: the worked streams, and the order of the
// interleaving for every record against a position map built here.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/encoder/codewords.h"
#include "engine/encoder/data_encoding.h"
#include "engine/encoder/reed_solomon.h"
#include "engine/encoder/tables.h"

using namespace tesserine;

namespace {

std::vector<uint16_t> dataOf(const std::string& message, int version, int level) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(message.data());
  return buildDataCodewords(bytes, message.size(), decideDataMode(bytes, message.size()), version, level);
}

std::vector<uint16_t> hex(std::initializer_list<int> values) { return std::vector<uint16_t>(values.begin(), values.end()); }

// What sits at one stream position: data codeword `index` (store order), or
// error-correction codeword `index` of block `block`.
struct Slot {
  bool data;
  int block, index;
};

// The interleaving order, position by position: round m of data codewords
// over all blocks, then the extra codeword of each group-2 block, then round
// e of error-correction codewords over all blocks.
std::vector<Slot> streamOrder(int version, int level) {
  const EcBlockRecord& r = ecBlockRecord(version, level);
  const int blocks = r.group1Blocks + r.group2Blocks, k = r.group1DataCodewords, n = r.ecPerBlock();
  auto firstData = [&](int j) { return j < r.group1Blocks ? j * k : r.group1Blocks * k + (j - r.group1Blocks) * (k + 1); };
  std::vector<Slot> order;
  for (int m = 0; m < k; ++m)
    for (int j = 0; j < blocks; ++j) order.push_back({true, j, firstData(j) + m});
  for (int j = r.group1Blocks; j < blocks; ++j) order.push_back({true, j, firstData(j) + k});
  for (int e = 0; e < n; ++e)
    for (int j = 0; j < blocks; ++j) order.push_back({false, j, e});
  return order;
}

// Error-correction codewords of each block, in the order they are sent.
std::vector<std::vector<uint16_t>> blockEc(int version, int level, const std::vector<uint16_t>& data) {
  const EcBlockRecord& r = ecBlockRecord(version, level);
  const int n = r.ecPerBlock();
  std::vector<std::vector<uint16_t>> out;
  size_t next = 0;
  for (int j = 0; j < r.group1Blocks + r.group2Blocks; ++j) {
    const int k = r.group1DataCodewords + (j < r.group1Blocks ? 0 : 1);
    std::vector<uint16_t> buffer(k + n);
    for (int m = 0; m < k; ++m) buffer[n + k - 1 - m] = data[next++];
    computeBlockEc(buffer.data(), k, n);
    std::vector<uint16_t> ec;
    for (int i = n - 1; i >= 0; --i) ec.push_back(buffer[i]);
    out.push_back(ec);
  }
  return out;
}

}  // namespace

TEST(CodewordStream, SingleBlockWorkedExamples) {
  EXPECT_EQ(buildCodewordStream(1, kLevelM, dataOf("01234567", 1, kLevelM)),
            hex({0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC,
                 0x11, 0xEC, 0x11, 0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55}));
  EXPECT_EQ(buildCodewordStream(1, kLevelQ, dataOf("HELLO WORLD", 1, kLevelQ)),
            hex({0x20, 0x5B, 0x0B, 0x78, 0xD1, 0x72, 0xDC, 0x4D, 0x43, 0x40, 0xEC, 0x11, 0xEC,
                 0xA8, 0x48, 0x16, 0x52, 0xD9, 0x36, 0x9C, 0x00, 0x2E, 0x0F, 0xB4, 0x7A, 0x10}));
}

TEST(CodewordStream, FourBlocksOfVersion5Q) {
  const std::string fox = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG";
  std::vector<uint16_t> data = hex({0x21, 0x5D, 0x2A, 0x53, 0x52, 0xC1, 0x9B, 0x3A, 0x84, 0x15, 0x16,
                                    0x21, 0x7A, 0xBB, 0xBE, 0x2D, 0xD5, 0xFB, 0xD1, 0x08, 0xAE, 0xA4,
                                    0x73, 0x8B, 0x0B, 0xCD, 0x27, 0x97, 0x0F, 0x26, 0x14, 0x00});
  for (int i = 0; i < 15; ++i) data.insert(data.end(), {0xEC, 0x11});
  ASSERT_EQ(data.size(), 62u);
  ASSERT_EQ(chooseVersion(1, DataMode::kAlphanumeric, fox.size(), kLevelQ), 3);  // fits 3-Q; 5 is requested
  EXPECT_EQ(dataOf(fox, 5, kLevelQ), data);
  const std::vector<uint16_t> expected = hex({
      0x21, 0x2D, 0x14, 0xEC, 0x5D, 0xD5, 0x00, 0x11, 0x2A, 0xFB, 0xEC, 0xEC, 0x53, 0xD1, 0x11, 0x11, 0x52, 0x08,
      0xEC, 0xEC, 0xC1, 0xAE, 0x11, 0x11, 0x9B, 0xA4, 0xEC, 0xEC, 0x3A, 0x73, 0x11, 0x11, 0x84, 0x8B, 0xEC, 0xEC,
      0x15, 0x0B, 0x11, 0x11, 0x16, 0xCD, 0xEC, 0xEC, 0x21, 0x27, 0x11, 0x11, 0x7A, 0x97, 0xEC, 0xEC, 0xBB, 0x0F,
      0x11, 0x11, 0xBE, 0x26, 0xEC, 0xEC, 0x11, 0x11, 0x8A, 0x44, 0xB2, 0xFD, 0x1E, 0x7B, 0x3F, 0xD0, 0x9A, 0x1C,
      0x32, 0xD0, 0x69, 0xA6, 0x98, 0xDE, 0x2B, 0xC0, 0x8E, 0x94, 0xF3, 0x6B, 0x72, 0x25, 0x3A, 0xE3, 0x11, 0x8D,
      0xD3, 0x54, 0xC3, 0x82, 0xC8, 0x0C, 0x45, 0xE3, 0x05, 0x95, 0x52, 0x30, 0x15, 0xE0, 0x12, 0xB6, 0xB1, 0x83,
      0xCC, 0xF1, 0x38, 0xFD, 0xD7, 0x67, 0xDE, 0x2E, 0x2D, 0xFD, 0xFE, 0xC5, 0x9B, 0x25, 0x73, 0xE7, 0x97, 0x0D,
      0xCB, 0x7B, 0x63, 0xAB, 0x71, 0x9E, 0xBC, 0x10});
  ASSERT_EQ(expected.size(), 134u);
  EXPECT_EQ(buildCodewordStream(5, kLevelQ, data), expected);
}

TEST(CodewordStream, DataOrderOf5QAnd7H) {
  // Data codewords numbered by their store position show the order.
  auto numbered = [](int count) {
    std::vector<uint16_t> d(count);
    for (int i = 0; i < count; ++i) d[i] = static_cast<uint16_t>(i);
    return d;
  };
  const std::vector<uint16_t> q5 = buildCodewordStream(5, kLevelQ, numbered(62));
  ASSERT_EQ(q5.size(), 134u);
  EXPECT_EQ(std::vector<uint16_t>(q5.begin(), q5.begin() + 12), hex({0, 15, 30, 46, 1, 16, 31, 47, 2, 17, 32, 48}));
  // the data part ends ..., 14, 29, 44, 60, then the group-2 extras 45, 61
  EXPECT_EQ(std::vector<uint16_t>(q5.begin() + 56, q5.begin() + 62), hex({14, 29, 44, 60, 45, 61}));

  const std::vector<uint16_t> h7 = buildCodewordStream(7, kLevelH, numbered(66));
  ASSERT_EQ(h7.size(), 196u);
  EXPECT_EQ(std::vector<uint16_t>(h7.begin(), h7.begin() + 10), hex({0, 13, 26, 39, 52, 1, 14, 27, 40, 53}));
  EXPECT_EQ(std::vector<uint16_t>(h7.begin() + 60, h7.begin() + 66), hex({12, 25, 38, 51, 64, 65}));
}

TEST(CodewordStream, StructureOf40HAnd22H) {
  std::mt19937 rng(40);
  std::uniform_int_distribution<int> byte(0, 255);
  for (auto [version, level, rounds, extras] : {std::tuple{40, kLevelH, 15, 61}, std::tuple{22, kLevelH, 13, 0}}) {
    SCOPED_TRACE(version);
    const EcBlockRecord& r = ecBlockRecord(version, level);
    const int blocks = r.blockCount();
    std::vector<uint16_t> data(dataCapacityCodewords(version, level));
    for (auto& d : data) d = static_cast<uint16_t>(byte(rng));
    const std::vector<uint16_t> stream = buildCodewordStream(version, level, data);
    const auto ec = blockEc(version, level, data);
    ASSERT_EQ(stream.size(), static_cast<size_t>(totalCodewords(version)));
    const int dataPart = rounds * blocks + extras;
    EXPECT_EQ(dataPart, static_cast<int>(data.size()));
    // the data part: round m, block j
    for (int m = 0; m < rounds; ++m)
      for (int j = 0; j < blocks; ++j) {
        const int first = j < r.group1Blocks ? j * r.group1DataCodewords
                                             : r.group1Blocks * r.group1DataCodewords +
                                                   (j - r.group1Blocks) * (r.group1DataCodewords + 1);
        ASSERT_EQ(stream[m * blocks + j], data[first + m]) << "round " << m << " block " << j;
      }
    // the extras are the last data codewords of the group-2 blocks
    for (int x = 0; x < extras; ++x) {
      const int block = r.group1Blocks + x;
      const int last = r.group1Blocks * r.group1DataCodewords + (x + 1) * (r.group1DataCodewords + 1) - 1;
      ASSERT_EQ(stream[rounds * blocks + x], data[last]) << "block " << block;
    }
    // then 30 (40-H) or 24 (22-H) rounds of error correction over all blocks
    const int n = r.ecPerBlock();
    EXPECT_EQ(dataPart + n * blocks, totalCodewords(version));
    for (int e = 0; e < n; ++e)
      for (int j = 0; j < blocks; ++j) ASSERT_EQ(stream[dataPart + e * blocks + j], ec[j][e]) << e << " " << j;
  }
}

TEST(CodewordStream, EveryRecordInterleavesInTheStandardOrder) {
  std::mt19937 rng(160);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int v = 1; v <= 40; ++v)
    for (int l = 0; l < 4; ++l) {
      SCOPED_TRACE(testing::Message() << "version " << v << " level " << l);
      std::vector<uint16_t> data(dataCapacityCodewords(v, l));
      for (auto& d : data) d = static_cast<uint16_t>(byte(rng));
      const std::vector<uint16_t> stream = buildCodewordStream(v, l, data);
      const std::vector<Slot> order = streamOrder(v, l);
      const auto ec = blockEc(v, l, data);
      ASSERT_EQ(stream.size(), static_cast<size_t>(totalCodewords(v)));
      ASSERT_EQ(order.size(), stream.size());
      for (size_t p = 0; p < order.size(); ++p) {
        const Slot& s = order[p];
        const uint16_t expected = s.data ? data[s.index] : ec[s.block][s.index];
        ASSERT_EQ(stream[p], expected) << "position " << p;
      }
    }
}
