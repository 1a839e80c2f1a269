// Tesserine.dll as a caller sees it: the exports by name, the calling
// convention, the version resource, and the same results as the native
// library for the same settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/wine/api.h"
#include "tests/wine/cases.h"
#include "tests/wine/harness.h"
#include "tests/wine/stack_check.h"

namespace tesserine_wine {
namespace {

TEST(DllExports, FourteenNamesBindUndecorated) {
  HMODULE module = dllModule();
  ASSERT_NE(module, nullptr);
#define TESSERINE_WINE_CHECK_NAME(name, member, bytes)                                    \
  EXPECT_NE(GetProcAddress(module, #name), nullptr) << #name;                             \
  EXPECT_EQ(GetProcAddress(module, #name "@" #bytes), nullptr) << #name "@" #bytes;       \
  EXPECT_EQ(GetProcAddress(module, "_" #name "@" #bytes), nullptr) << "_" #name "@" #bytes;
  TESSERINE_WINE_EXPORTS(TESSERINE_WINE_CHECK_NAME)
#undef TESSERINE_WINE_CHECK_NAME
  EXPECT_NO_THROW(dll());
}

TEST(DllExports, VersionResourceNamesTheModule) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(dllModule(), path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  char* name = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\OriginalFilename",
                             reinterpret_cast<void**>(&name), &length));
  EXPECT_STREQ(name, "Tesserine.dll");
}

#if defined(__i386__)

const void* address(const char* name) { return reinterpret_cast<const void*>(GetProcAddress(dllModule(), name)); }

TEST(StackBalance, EveryExportLeavesEspAsFound) {
  dll();
  MemoryDC target(120, 120);
  const std::string bmp = outDir() + "stack.bmp", wmf = outDir() + "stack.wmf";
  int width = -1, height = -1;
  short rows = -1, columns = -1;
  unsigned int length = 0;
  std::string buffer(177 * 177, '\0');
  const char* message = "STACK";
  struct Call {
    const char* name;
    ArgWords args;
  } calls[] = {
      {"QRSetDefault", ArgWords()},
      {"QRSetSize", ArgWords().word(120).word(120)},
      {"QRSetMessage", ArgWords().pointer(message)},
      {"QRConfigure", ArgWords().word(2).word(1).word(0)},
      {"QRAppearance", ArgWords().real(0.07).word(1).word(2)},
      {"QRSetBackColor", ArgWords().word(255).word(255).word(255)},
      {"QRSetBarColor", ArgWords().word(0).word(0).word(0)},
      {"QRRender", ArgWords().pointer(target.dc()).word(0).word(0)},
      {"QRSaveAsBMP", ArgWords().pointer(bmp.c_str())},
      {"QRSaveAsWMF", ArgWords().pointer(wmf.c_str())},
      {"QRCopyToClipboard", ArgWords()},
      {"QRGetActualSize", ArgWords().word(0xFFFFFFFFu).word(0).pointer(&width).pointer(&height)},
      {"QRGetActualRC", ArgWords().pointer(&rows).pointer(&columns)},
      {"QRGetPatternData", ArgWords().pointer(buffer.data()).pointer(&length).pointer(&rows).pointer(&columns)},
  };
  ASSERT_EQ(std::size(calls), 14u);
  for (const auto& call : calls) {
    SCOPED_TRACE(call.name);
    const void* function = address(call.name);
    ASSERT_NE(function, nullptr);
    const CheckedCall result = callChecked(function, call.args);
    EXPECT_EQ(result.espDifference, 0) << call.args.bytes() << " argument bytes";
    EXPECT_TRUE(result.registersKept);
    const std::string name = call.name;
    if (name == "QRSaveAsBMP" || name == "QRSaveAsWMF") {
      EXPECT_EQ(static_cast<int16_t>(result.result), -1);
    }
  }
  // The calls did their work: version 2 (25 modules) at 3 pixels a module.
  EXPECT_EQ(width, 75);
  EXPECT_EQ(height, 75);
  EXPECT_EQ(rows, 25);
  EXPECT_EQ(columns, 25);
  EXPECT_TRUE(fileExists(bmp));
  EXPECT_TRUE(fileExists(wmf));
}

TEST(StackBalance, CatchesACdeclFunctionCalledAsStdcall) {
  std::string dir = selfPath();
  dir.erase(dir.find_last_of('\\') + 1);
  HMODULE fixture = LoadLibraryA((dir + "stack_fixture.dll").c_str());
  ASSERT_NE(fixture, nullptr);
  const auto* cdeclAdd = reinterpret_cast<const void*>(GetProcAddress(fixture, "FixtureCdeclAdd"));
  const auto* stdcallAdd = reinterpret_cast<const void*>(GetProcAddress(fixture, "FixtureStdcallAdd"));
  ASSERT_NE(cdeclAdd, nullptr);
  ASSERT_NE(stdcallAdd, nullptr);
  const CheckedCall wrong = callChecked(cdeclAdd, ArgWords().word(2).word(3));
  EXPECT_EQ(wrong.espDifference, -8) << "the two argument words are left on the stack";
  EXPECT_EQ(static_cast<uint32_t>(wrong.result), 5u);
  const CheckedCall right = callChecked(stdcallAdd, ArgWords().word(2).word(3));
  EXPECT_EQ(right.espDifference, 0);
  EXPECT_EQ(static_cast<uint32_t>(right.result), 5u);
  FreeLibrary(fixture);
}

#endif  // __i386__

// Every case of cases.h gives the same pattern text and the same BMP file
// bytes through the DLL as through the native library.
TEST(NativeIdentity, PatternTextAndBmpBytesMatchTheNativeLibrary) {
  const std::string native = nativeDir();
  if (native.empty()) GTEST_SKIP() << "TESSERINE_NATIVE_DIR not set";
  const Api& api = dll();
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    applyCase(api, c);
    std::string expected;
    ASSERT_TRUE(readFile(native + c.name + ".pat", expected)) << "native reference missing";
    const std::string pattern = api.pattern();
    EXPECT_FALSE(pattern.empty());
    EXPECT_TRUE(pattern == expected) << "pattern text differs from the native library's";
    const std::string path = outDir() + c.name + ".bmp";
    ASSERT_EQ(api.saveAsBmp(path.c_str()), -1);
    std::string ours;
    ASSERT_TRUE(readFile(path, ours));
    ASSERT_TRUE(readFile(native + c.name + ".bmp", expected)) << "native reference missing";
    EXPECT_EQ(ours.size(), expected.size());
    EXPECT_TRUE(ours == expected) << "BMP bytes differ from the native library's";
  }
}

}  // namespace
}  // namespace tesserine_wine
