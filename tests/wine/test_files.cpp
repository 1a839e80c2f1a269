// The file outputs through the Win32 file functions: an existing file is
// replaced, a file that cannot be created gives 0 and leaves nothing behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/harness.h"

namespace tesserine_wine {
namespace {

using Save = short(TESSERINE_CALL*)(const char*);

void setUp() {
  const Api& api = dll();
  api.setMessage("FILES");
  api.setBackColor(255, 255, 255);
  api.setBarColor(0, 0, 0);
  api.configure(0, 0, 0);
  api.appearance(0.2, 1, 0);
  api.setSize(120, 100);
}

struct Output {
  const char* name;
  Save save;
  const char* extension;
};

std::vector<Output> outputs() { return {{"BMP", dll().saveAsBmp, ".bmp"}, {"WMF", dll().saveAsWmf, ".wmf"}}; }

bool writeText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

TEST(Files, AnExistingFileIsReplacedWhole) {
  setUp();
  for (const auto& out : outputs()) {
    SCOPED_TRACE(out.name);
    const std::string path = outDir() + "replaced" + out.extension;
    ASSERT_TRUE(writeText(path, std::string(300000, 'x')));
    ASSERT_EQ(out.save(path.c_str()), -1);
    std::string bytes;
    ASSERT_TRUE(readFile(path, bytes));
    EXPECT_LT(bytes.size(), 300000u);
    EXPECT_EQ(bytes.find(std::string(16, 'x')), std::string::npos);
  }
}

TEST(Files, AFolderThatDoesNotExistGivesZeroAndNoFile) {
  setUp();
  for (const auto& out : outputs()) {
    SCOPED_TRACE(out.name);
    const std::string path = outDir() + "no such folder\\a" + out.extension;
    EXPECT_EQ(out.save(path.c_str()), 0);
    EXPECT_FALSE(fileExists(path));
  }
}

// A file another program holds open without sharing can be neither deleted
// nor created: the result is 0 and that program's file is left as it was.
TEST(Files, AFileHeldOpenWithoutSharingGivesZeroAndStaysIntact) {
  setUp();
  for (const auto& out : outputs()) {
    SCOPED_TRACE(out.name);
    const std::string path = outDir() + "held" + out.extension;
    ASSERT_TRUE(writeText(path, "held by another program"));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(out.save(path.c_str()), 0);
    CloseHandle(held);
    std::string bytes;
    ASSERT_TRUE(readFile(path, bytes));
    EXPECT_EQ(bytes, "held by another program");
  }
}

TEST(Files, ANullPathGivesZero) {
  setUp();
  for (const auto& out : outputs()) {
    SCOPED_TRACE(out.name);
    EXPECT_EQ(out.save(nullptr), 0);
  }
}

}  // namespace
}  // namespace tesserine_wine
