// Data encoding and version choice: mode decision, count widths, and the
// data codewords of the cases worth knowing by heart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/encoder/data_encoding.h"
#include "engine/encoder/tables.h"
#include "symbol_helpers.h"

using namespace tesserine;

namespace {

struct Encoded {
  DataMode mode;
  int version;  // 41 when nothing fits
  std::vector<uint16_t> codewords;
};

Encoded encodeData(const std::string& message, int level, int requested = 0) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(message.data());
  Encoded e;
  e.mode = decideDataMode(bytes, message.size());
  e.version = chooseVersion(requested == 0 ? 1 : requested, e.mode, message.size(), level);
  if (e.version <= kMaxVersion) e.codewords = buildDataCodewords(bytes, message.size(), e.mode, e.version, level);
  return e;
}

std::vector<uint16_t> withPads(std::vector<uint16_t> head, size_t capacity) {
  for (bool high = true; head.size() < capacity; high = !high) head.push_back(high ? 0xEC : 0x11);
  return head;
}

}  // namespace

TEST(DataMode, DecidedFromEveryByte) {
  struct Case {
    std::string message;
    DataMode mode;
  };
  const Case cases[] = {
      {"", DataMode::kNumeric},
      {"0123456789", DataMode::kNumeric},
      {"A1", DataMode::kAlphanumeric},  // a digit after a letter stays alphanumeric
      {"1A", DataMode::kAlphanumeric},
      {"HELLO WORLD", DataMode::kAlphanumeric},
      {" $%*+-./:", DataMode::kAlphanumeric},
      {"a", DataMode::kByte},
      {"HELLO WORLd", DataMode::kByte},
      {"12,3", DataMode::kByte},
      {"\x80", DataMode::kByte},
      {"ABC\xff", DataMode::kByte},
      {"#", DataMode::kByte},
      {"@", DataMode::kByte},
      {"[", DataMode::kByte},
  };
  for (const Case& c : cases) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(c.message.data());
    EXPECT_EQ(decideDataMode(bytes, c.message.size()), c.mode) << '"' << c.message << '"';
  }
  // every byte value against the alphanumeric table
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const bool digit = b >= '0' && b <= '9';
    const bool alnum = std::string(testkit::kAlphanumericSet).find(static_cast<char>(b)) != std::string::npos;
    const DataMode expected = digit ? DataMode::kNumeric : alnum ? DataMode::kAlphanumeric : DataMode::kByte;
    EXPECT_EQ(decideDataMode(reinterpret_cast<const uint8_t*>(one.data()), 1), expected) << b;
    EXPECT_EQ(alnumValue(static_cast<uint8_t>(b)),
              alnum ? static_cast<int>(std::string(testkit::kAlphanumericSet).find(static_cast<char>(b))) : -1)
        << b;
  }
}

TEST(CountIndicator, WidthsAtTheBandEdges) {
  struct Row {
    int version, numeric, alnum, byte;
  };
  const Row rows[] = {{1, 10, 9, 8},    {9, 10, 9, 8},    {10, 12, 11, 16}, {26, 12, 11, 16},
                      {27, 14, 13, 16}, {40, 14, 13, 16}};
  for (const Row& r : rows) {
    EXPECT_EQ(countIndicatorBits(r.version, DataMode::kNumeric), r.numeric) << r.version;
    EXPECT_EQ(countIndicatorBits(r.version, DataMode::kAlphanumeric), r.alnum) << r.version;
    EXPECT_EQ(countIndicatorBits(r.version, DataMode::kByte), r.byte) << r.version;
  }
}

TEST(DataCodewords, WorkedCases) {
  struct Case {
    const char* name;
    std::string message;
    int level;
    DataMode mode;
    int version;
    std::vector<uint16_t> head;  // followed by EC 11 pads to the capacity
  };
  const Case cases[] = {
      {"empty, L", "", kLevelL, DataMode::kNumeric, 1, {0x10, 0x00, 0x00}},
      {"12, L", "12", kLevelL, DataMode::kNumeric, 1, {0x10, 0x08, 0x60, 0x00}},
      {"01234567, M", "01234567", kLevelM, DataMode::kNumeric, 1, {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80}},
      {"AC-42, M", "AC-42", kLevelM, DataMode::kAlphanumeric, 1, {0x20, 0x29, 0xCE, 0xE7, 0x21, 0x00}},
      {"HELLO WORLD, Q", "HELLO WORLD", kLevelQ, DataMode::kAlphanumeric, 1,
       {0x20, 0x5B, 0x0B, 0x78, 0xD1, 0x72, 0xDC, 0x4D, 0x43, 0x40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Encoded e = encodeData(c.message, c.level);
    EXPECT_EQ(e.mode, c.mode);
    ASSERT_EQ(e.version, c.version);
    EXPECT_EQ(e.codewords, withPads(c.head, dataCapacityCodewords(c.version, c.level)));
  }
  // spelled out in full: eight pairs of pads after the empty message, and
  // the odd pad count of HELLO WORLD ending on EC
  EXPECT_EQ(encodeData("", kLevelL).codewords.size(), 19u);
  EXPECT_EQ(encodeData("HELLO WORLD", kLevelQ).codewords,
            (std::vector<uint16_t>{0x20, 0x5B, 0x0B, 0x78, 0xD1, 0x72, 0xDC, 0x4D, 0x43, 0x40, 0xEC, 0x11, 0xEC}));
  // the empty message needs version 1 at every level
  for (int l = 0; l < 4; ++l) EXPECT_EQ(encodeData("", l).version, 1) << l;
}

TEST(DataCodewords, StreamsThatFillTheCapacityExactly) {
  // 34 digits at M: 4 + 10 + 11 x 10 + 4 = 128 bits, version 1, no terminator;
  // all ones make the last codeword 0xF1, its last bit from the last digit.
  const Encoded d34 = encodeData(std::string(34, '1'), kLevelM);
  ASSERT_EQ(d34.version, 1);
  ASSERT_EQ(d34.codewords.size(), 16u);
  EXPECT_EQ(d34.codewords[15], 0xF1);
  EXPECT_EQ(d34.codewords[0], 0x10);  // 0001 then the count 34 = 0000100010
  EXPECT_EQ(d34.codewords[1], 0x88);
  // 35 digits: the final pair counts 7 bits, 131 > 128
  EXPECT_EQ(encodeData(std::string(35, '1'), kLevelM).version, 2);

  // 17 lower-case letters at L: 4 + 8 + 136 + 4 terminator = 152 bits.
  const Encoded b17 = encodeData(std::string(17, 'a'), kLevelL);
  EXPECT_EQ(b17.mode, DataMode::kByte);
  ASSERT_EQ(b17.version, 1);
  std::vector<uint16_t> expected = {0x41, 0x16};  // 0100 00010001 0110...
  for (int i = 0; i < 16; ++i) expected.push_back(0x16);
  expected.push_back(0x10);  // the last half letter and the terminator
  EXPECT_EQ(b17.codewords, expected);
  EXPECT_EQ(encodeData(std::string(18, 'a'), kLevelL).version, 2);

  // 7,089 digits fill version 40 at L to the last bit: no terminator, no pad.
  const std::string digits7089(7089, '7');
  const Encoded big = encodeData(digits7089, kLevelL);
  ASSERT_EQ(big.version, 40);
  ASSERT_EQ(big.codewords.size(), 2956u);
  // 4 + 14 + 2363 x 10 = 23,648 bits: the last codeword ends the last group
  // "777" = 1100001001, whose low eight bits are 00001001
  EXPECT_EQ(big.codewords.back(), 0x09);
  for (int l = 0; l < 4; ++l) EXPECT_EQ(encodeData(std::string(7090, '7'), l).version, 41) << l;
}

TEST(DataCodewords, RequestedVersionIsALowerBound) {
  struct Case {
    std::string message;
    int level, requested, version;
  };
  const Case cases[] = {
      {"12", kLevelL, 5, 5},
      {"12", kLevelH, 40, 40},
      {std::string(18, 'a'), kLevelL, 1, 2},
      {std::string(17, 'a'), kLevelL, 1, 1},
      {std::string(18, 'a'), kLevelL, 2, 2},
      {std::string(7089, '1'), kLevelL, 39, 40},
      {std::string(7090, '1'), kLevelL, 40, 41},
      // 232 data codewords at 9-L hold 4 + 8 + 230 x 8 bits
      {std::string(230, 'a'), kLevelL, 1, 9},
      {std::string(231, 'a'), kLevelL, 1, 10},
  };
  for (const Case& c : cases) {
    const Encoded e = encodeData(c.message, c.level, c.requested);
    EXPECT_EQ(e.version, c.version) << c.message.size() << " bytes, level " << c.level << ", from version "
                                    << c.requested;
    if (e.version <= 40) {
      EXPECT_EQ(e.codewords.size(), static_cast<size_t>(dataCapacityCodewords(e.version, c.level)));
    }
  }
  // With the pad codewords of a larger version than needed: "12" at 5-L.
  EXPECT_EQ(encodeData("12", kLevelL, 5).codewords,
            withPads({0x10, 0x08, 0x60, 0x00}, dataCapacityCodewords(5, kLevelL)));
}

TEST(DataCodewords, TerminatorShortenedWhenFewerThanFourBitsRemain) {
  // numeric at 1-M (128 bits): 33 digits take 4 + 10 + 110 = 124 bits and
  // the four terminator bits end the capacity exactly.
  const Encoded d33 = encodeData(std::string(33, '9'), kLevelM);
  ASSERT_EQ(d33.version, 1);
  EXPECT_EQ(d33.codewords.size(), 16u);
  // last codeword: the low 4 bits of the last group "999" (1111100111), then
  // the terminator
  EXPECT_EQ(d33.codewords[15], 0x70);
  // alphanumeric at 1-Q (104 bits): 17 characters = 4 + 9 + 88 + 6 = 107 > 104;
  // 16 characters = 4 + 9 + 88 = 101 bits: three terminator bits end it.
  const Encoded a16 = encodeData("ABCDEFGHIJKLMNOP", kLevelQ);
  ASSERT_EQ(a16.version, 1);
  ASSERT_EQ(a16.codewords.size(), 13u);
  // the last pair "OP" = 45 x 24 + 25 = 1105 = 10001010001, its last 5 bits
  // in the last codeword followed by three zeros
  EXPECT_EQ(a16.codewords[12], (1105 & 0x1F) << 3);
}

TEST(BitText, AppendAndReadBack) {
  BitText bits;
  bits.appendBits(0x5, 4);
  bits.appendBits(0, 3);
  bits.appendBits(0xFFFFFFFFu, 32);
  bits.appendBits(1, 1);
  EXPECT_EQ(bits.text(), "0101000" + std::string(32, '1') + "1");
  EXPECT_EQ(bits.readBits(0, 4), 5u);
  EXPECT_EQ(bits.readBits(1, 3), 5u);
  EXPECT_EQ(bits.readBits(7, 32), 0xFFFFFFFFu);
  EXPECT_EQ(bits.readBits(3, 0), 0u);
  bits.clear();
  EXPECT_EQ(bits.size(), 0u);
}

TEST(VersionChoice, CapacityBoundaryOfEveryVersionLevelAndMode) {
  // The longest message of each mode that fits version v stays at v; one
  // character more moves on. The lengths are worked out independently from
  // the capacity and each mode's bit counts (with that version's count width).
  for (DataMode mode : {DataMode::kNumeric, DataMode::kAlphanumeric, DataMode::kByte})
    for (int l = 0; l < 4; ++l)
      for (int v = 1; v <= 40; ++v) {
        const size_t longest = testkit::maxLength(mode, v, l);
        ASSERT_EQ(chooseVersion(v, mode, longest, l), v) << testkit::modeName(mode) << " v" << v << " l" << l;
        ASSERT_GT(chooseVersion(v, mode, longest + 1, l), v) << testkit::modeName(mode) << " v" << v << " l" << l;
        ASSERT_LE(chooseVersion(1, mode, longest, l), v);
      }
  // The largest messages of all: 7,089 digits, 4,296 alphanumeric
  // characters, 2,953 bytes at 40-L.
  EXPECT_EQ(testkit::maxLength(DataMode::kNumeric, 40, kLevelL), 7089u);
  EXPECT_EQ(testkit::maxLength(DataMode::kAlphanumeric, 40, kLevelL), 4296u);
  EXPECT_EQ(testkit::maxLength(DataMode::kByte, 40, kLevelL), 2953u);
  EXPECT_EQ(testkit::maxLength(DataMode::kByte, 40, kLevelH), 1273u);
}
