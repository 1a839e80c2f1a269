// QRCopyToClipboard seen from a second process: the enhanced metafile it
// leaves is the only format on the clipboard and plays to the BMP's pixels;
// a clipboard held open elsewhere makes it fail and stay unchanged.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "tests/wine/harness.h"

namespace tesserine_wine {
namespace {

bool putText(const char* text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const size_t size = std::strlen(text) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(block), text, size);
  GlobalUnlock(block);
  const bool ok = SetClipboardData(CF_TEXT, block) != nullptr;
  CloseClipboard();
  return ok;
}

std::string clipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "(clipboard not open)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void setUp(int border, int width, int height) {
  const Api& api = dll();
  api.setMessage("CLIPBOARD 42");
  api.setBackColor(255, 255, 255);
  api.setBarColor(0, 0, 0);
  api.configure(0, 0, 0);
  api.appearance(0.2, 1, border);
  api.setSize(width, height);
}

TEST(Clipboard, SecondProcessPlaysTheEnhancedMetafileToTheBmpPixels) {
  struct {
    int border, width, height;
  } const looks[] = {{0, 260, 240}, {1, 300, 300}, {2, 233, 251}};
  for (const auto& look : looks) {
    SCOPED_TRACE(look.border);
    ASSERT_TRUE(putText("earlier text"));
    setUp(look.border, look.width, look.height);
    const std::string bmpPath = outDir() + "clip-expected.bmp";
    ASSERT_EQ(dll().saveAsBmp(bmpPath.c_str()), -1);
    ASSERT_EQ(dll().copyToClipboard(), -1);

    const std::string played = outDir() + "clip-played.bmp";
    DeleteFileA(played.c_str());
    ASSERT_EQ(runSelf("clip-read \"" + played + "\" " + std::to_string(look.width) + " " +
                      std::to_string(look.height)),
              0);
    // Only this call's picture: CF_ENHMETAFILE, with at most the metafile
    // picture the platform offers in its place; the earlier text is gone.
    std::string formats;
    ASSERT_TRUE(readFile(played + ".formats", formats));
    std::istringstream lines(formats);
    bool enhanced = false;
    for (unsigned format; lines >> format;) {
      if (format == CF_ENHMETAFILE) enhanced = true;
      else EXPECT_EQ(format, static_cast<unsigned>(CF_METAFILEPICT)) << "unexpected clipboard format";
    }
    EXPECT_TRUE(enhanced);

    std::string bytes;
    Picture expected, actual;
    ASSERT_TRUE(readFile(bmpPath, bytes));
    ASSERT_TRUE(decodeBmp(bytes, expected));
    ASSERT_TRUE(readFile(played, bytes));
    ASSERT_TRUE(decodeBmp(bytes, actual));
    EXPECT_EQ(pictureDifference(expected, actual), "");
  }
}

TEST(Clipboard, HeldOpenByAnotherProcessGivesZeroAndLeavesItUnchanged) {
  ASSERT_TRUE(putText("kept text"));
  setUp(0, 200, 200);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "TesserineClipHoldReady");
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "TesserineClipHoldRelease");
  ASSERT_NE(ready, nullptr);
  ASSERT_NE(release, nullptr);
  {
    ChildProcess holder("clip-hold TesserineClipHoldReady TesserineClipHoldRelease");
    ASSERT_TRUE(holder.started());
    ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(dll().copyToClipboard(), 0);
    SetEvent(release);
    EXPECT_EQ(holder.wait(), 0);
  }
  CloseHandle(ready);
  CloseHandle(release);
  EXPECT_EQ(clipboardText(), "kept text");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  CloseClipboard();
  // Free again, the call succeeds.
  EXPECT_EQ(dll().copyToClipboard(), -1);
}

}  // namespace
}  // namespace tesserine_wine
