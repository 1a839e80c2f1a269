// Text in the system's ANSI code page goes into the symbol byte for byte: a
// program in code page 936 hands over GBK bytes, which come back out of the
// symbol unchanged (the Wine test script decodes the BMP written here with
// zbar and ZXing and compares the bytes).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/wine/harness.h"

namespace tesserine_wine {
namespace {

TEST(CodePage936, ChineseTextTravelsAsItsGbkBytes) {
  if (GetACP() != 936) GTEST_SKIP() << "code page " << GetACP();
  const std::string bytes = ansiBytes(L"中文二维码测试 QR");
  ASSERT_EQ(bytes, "\xD6\xD0\xCE\xC4\xB6\xFE\xCE\xAC\xC2\xEB\xB2\xE2\xCA\xD4 QR");

  const Api& api = dll();
  api.setMessage(bytes.c_str());
  api.setBackColor(255, 255, 255);
  api.setBarColor(0, 0, 0);
  api.configure(0, 1, 5);
  api.appearance(0.2, 1, 0);
  api.setSize(500, 500);
  short rows = 0, columns = 0;
  api.getActualRC(&rows, &columns);
  // 17 bytes in byte mode: 4 + 8 + 136 bits, version 1 at level M holds 128
  // data bits, version 2 holds 224.
  EXPECT_EQ(rows, 25);
  ASSERT_EQ(api.saveAsBmp((outDir() + "gbk.bmp").c_str()), -1);
  FILE* f = std::fopen((outDir() + "gbk.bytes").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  EXPECT_EQ(std::fclose(f), 0);
}

}  // namespace
}  // namespace tesserine_wine
