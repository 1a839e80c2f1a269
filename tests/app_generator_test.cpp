// The generator's logic against the stand-in run time: start-up, the engine
// calls of a generate action, the copies of the picture, the folder dialog
// and the web addresses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/addresses.h"
#include "app/generator.h"
#include "app/layout.h"
#include "tests/app_standin_runtime.h"

namespace tesserine::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Arg;
using testing::StandInRuntime;

class GeneratorTest : public ::testing::Test {
 protected:
  void start() {
    generator_ = std::make_unique<Generator>(rt_);
    rt_.createMainWindow(*generator_);
    rt_.log.clear();
    rt_.writes.clear();
  }
  void click(Control c) { rt_.events->leftButtonDown(c); }

  Text dir() const { return rt_.directory; }
  Text copyIn(const Text& d) const { return d + "\\已生成二维码.jpg"; }

  StandInRuntime rt_;
  std::unique_ptr<Generator> generator_;
};

TEST_F(GeneratorTest, WindowCreationThemesFillsTheListThenDeploysTheModule) {
  rt_.files[dir() + "\\Tesserine.dll"] = Bytes{'o', 'l', 'd'};
  EXPECT_EQ(runApplication(rt_), 0);
  EXPECT_EQ(rt_.themedVariant, 3);
  ASSERT_EQ(rt_.listItems[Control::组合框_版本].size(), 41u);
  EXPECT_THAT(rt_.listItems[Control::组合框_纠错], IsEmpty());  // the runtime's layout fills that one
  EXPECT_EQ(rt_.files[dir() + "\\Tesserine.dll"], rt_.carriedModule);
  EXPECT_THAT(rt_.log, ElementsAre("create window", "themed 3", "write " + dir() + "\\Tesserine.dll", "show window",
                                   "message loop"));
  EXPECT_THAT(rt_.engineCalls, IsEmpty());  // the engine is loaded at the first generate action
}

TEST_F(GeneratorTest, AFailedModuleWriteIsIgnoredAndTheOldFileStays) {
  const Text module = dir() + "\\Tesserine.dll";
  rt_.files[module] = Bytes{'i', 'n', ' ', 'u', 's', 'e'};
  rt_.unwritable.insert(module);
  rt_.clicks = {Control::图片框3};
  EXPECT_EQ(runApplication(rt_), 0);
  EXPECT_EQ(rt_.files[module], (Bytes{'i', 'n', ' ', 'u', 's', 'e'}));
  EXPECT_EQ(rt_.files[copyIn(dir())], rt_.engineBitmap);  // and the program goes on working
}

TEST(VersionList, FortyOneItemsAutomaticThenEachVersionWithItsSide) {
  StandInRuntime rt;
  Generator g(rt);
  g.fillVersionList();
  const auto& items = rt.listItems[Control::组合框_版本];
  ASSERT_EQ(items.size(), 41u);
  EXPECT_EQ(items[0], "自动");
  EXPECT_EQ(items[1], "规格_1   21×21");
  EXPECT_EQ(items[7], "规格_7   45×45");
  EXPECT_EQ(items[10], "规格_10   57×57");
  EXPECT_EQ(items[40], "规格_40   177×177");
  for (int n = 1; n <= 40; ++n) {
    const std::string s = std::to_string(17 + 4 * n);
    EXPECT_EQ(items[n], "规格_" + std::to_string(n) + "   " + s + "\xC3\x97" + s) << n;
  }
  EXPECT_THAT(rt.log, IsEmpty());  // no selection read or changed
}

TEST_F(GeneratorTest, GenerateCallsTheEngineInOrderThenShowsCopiesAndOpensTheHomePage) {
  start();
  rt_.editBoxText = "Hello";
  click(Control::图片框3);

  const Text bitmap = dir() + "\\a.bmp";
  ASSERT_EQ(rt_.engineCalls.size(), 7u);
  const std::vector<std::pair<std::string, std::vector<Arg>>> expected{
      {"QRSetMessage", {std::string("Hello")}},
      {"QRSetBackColor", {255, 255, 255}},
      {"QRSetBarColor", {0, 0, 0}},
      {"QRConfigure", {-1, -1, 5}},
      {"QRAppearance", {0.2, 1, 0}},
      {"QRSetSize", {500, 500}},
      {"QRSaveAsBMP", {bitmap}},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rt_.engineCalls[i].exportName, expected[i].first) << i;
    EXPECT_EQ(rt_.engineCalls[i].args, expected[i].second) << expected[i].first;
  }
  // The double travels as a double (QRAppearance takes 16 bytes of arguments).
  EXPECT_TRUE(std::holds_alternative<double>(rt_.engineCalls[4].args[0]));

  EXPECT_EQ(rt_.pictures[Control::图片框1], rt_.engineBitmap);
  EXPECT_EQ(rt_.files[copyIn(dir())], rt_.engineBitmap);
  EXPECT_THAT(rt_.webAddresses, ElementsAre(std::string(kHomePageAddress)));

  // Settings first (the text, then the two lists in this order), the bitmap,
  // the picture, its copy, and the browser last.
  EXPECT_THAT(rt_.log,
              ElementsAre("edit text 7", "bind Tesserine.dll!QRSetMessage", "call QRSetMessage",
                          "bind Tesserine.dll!QRSetBackColor", "call QRSetBackColor",
                          "bind Tesserine.dll!QRSetBarColor", "call QRSetBarColor", "selection 6", "selection 11",
                          "bind Tesserine.dll!QRConfigure", "call QRConfigure", "bind Tesserine.dll!QRAppearance",
                          "call QRAppearance", "bind Tesserine.dll!QRSetSize", "call QRSetSize",
                          "bind Tesserine.dll!QRSaveAsBMP", "call QRSaveAsBMP", "read " + bitmap, "picture 8",
                          "write " + copyIn(dir()), "web " + std::string(kHomePageAddress)));
}

TEST_F(GeneratorTest, ListSelectionsGoToQRConfigureUnchangedWithMaskSettingFive) {
  start();
  struct Case {
    int version, level;
  };
  const Case cases[] = {{-1, -1}, {0, -1}, {-1, 2}, {7, 1}, {40, 3}, {1, 0}};
  for (const Case& c : cases) {
    rt_.engineCalls.clear();
    rt_.versionSelection = c.version;
    rt_.levelSelection = c.level;
    click(Control::图片框3);
    ASSERT_EQ(rt_.engineCalls.size(), 7u);
    EXPECT_EQ(rt_.engineCalls[3].exportName, "QRConfigure");
    EXPECT_EQ(rt_.engineCalls[3].args, (std::vector<Arg>{c.version, c.level, 5})) << c.version << "," << c.level;
  }
}

TEST_F(GeneratorTest, EachExportIsBoundOnceAtItsFirstCall) {
  start();
  EXPECT_THAT(rt_.bindings, IsEmpty());
  click(Control::图片框3);
  click(Control::图片框3);
  click(Control::图片框3);
  EXPECT_THAT(rt_.bindings, ElementsAre("Tesserine.dll!QRSetMessage", "Tesserine.dll!QRSetBackColor",
                                        "Tesserine.dll!QRSetBarColor", "Tesserine.dll!QRConfigure",
                                        "Tesserine.dll!QRAppearance", "Tesserine.dll!QRSetSize",
                                        "Tesserine.dll!QRSaveAsBMP"));
  EXPECT_EQ(rt_.engineCalls.size(), 21u);
}

TEST_F(GeneratorTest, TheEditBoxBytesReachTheEngineUnchanged) {
  start();
  const AnsiText texts[] = {"", "\xD6\xD0\xCE\xC4", "line one\r\nline two", "0123456789"};
  for (const AnsiText& t : texts) {
    rt_.engineCalls.clear();
    rt_.editBoxText = t;
    click(Control::图片框3);
    ASSERT_FALSE(rt_.engineCalls.empty());
    EXPECT_EQ(rt_.engineCalls[0].args, std::vector<Arg>{t});
  }
}

TEST_F(GeneratorTest, ASecondGenerateReplacesPictureAndCopy) {
  start();
  click(Control::图片框3);
  rt_.engineBitmap = Bytes{'B', 'M', 'n', 'e', 'w'};
  click(Control::图片框3);
  EXPECT_EQ(rt_.pictures[Control::图片框1], rt_.engineBitmap);
  EXPECT_EQ(rt_.files[copyIn(dir())], rt_.engineBitmap);
}

TEST_F(GeneratorTest, NoBitmapFromTheEngineClearsThePictureAndKeepsTheEarlierCopy) {
  start();
  click(Control::图片框3);
  const Bytes earlier = rt_.files[copyIn(dir())];
  rt_.engineWritesBitmap = false;  // a text that fits no symbol
  rt_.writes.clear();
  rt_.webAddresses.clear();
  click(Control::图片框3);
  EXPECT_THAT(rt_.pictures[Control::图片框1], IsEmpty());
  EXPECT_THAT(rt_.writes, IsEmpty());
  EXPECT_EQ(rt_.files[copyIn(dir())], earlier);
  EXPECT_THAT(rt_.webAddresses, ElementsAre(std::string(kHomePageAddress)));
  // Saving then has nothing to write either, and still opens its page.
  rt_.folderAnswer = "D:\\saved";
  click(Control::图片框4);
  EXPECT_THAT(rt_.writes, IsEmpty());
  EXPECT_EQ(rt_.webAddresses.back(), kAfterSaveAddress);
}

TEST_F(GeneratorTest, SaveBeforeAnyGenerateWritesThePlaceholderToBothPlaces) {
  start();
  rt_.folderAnswer = "D:\\照片";
  click(Control::图片框4);
  ASSERT_EQ(rt_.writes.size(), 2u);
  EXPECT_EQ(rt_.writes[0].first, copyIn(dir()));
  EXPECT_EQ(rt_.writes[1].first, copyIn("D:\\照片"));
  EXPECT_EQ(rt_.writes[0].second, rt_.placeholder);
  EXPECT_EQ(rt_.writes[1].second, rt_.placeholder);
  EXPECT_THAT(rt_.folderTitles, ElementsAre("欲保存的文件夹"));
  EXPECT_THAT(rt_.log, ElementsAre("write " + copyIn(dir()), "folder dialog", "write " + copyIn("D:\\照片"),
                                   "web " + std::string(kAfterSaveAddress)));
  EXPECT_THAT(rt_.engineCalls, IsEmpty());
}

TEST_F(GeneratorTest, SaveAfterGenerateWritesTheGeneratedBitmap) {
  start();
  click(Control::图片框3);
  rt_.writes.clear();
  rt_.folderAnswer = "E:\\out";
  click(Control::图片框4);
  ASSERT_EQ(rt_.writes.size(), 2u);
  EXPECT_EQ(rt_.writes[0].second, rt_.engineBitmap);
  EXPECT_EQ(rt_.writes[1].second, rt_.engineBitmap);
}

TEST_F(GeneratorTest, CancellingTheFolderDialogWritesNoCopyAtTheDriveRoot) {
  start();
  rt_.folderAnswer = "";
  click(Control::图片框4);
  EXPECT_THAT(rt_.log, ElementsAre("write " + copyIn(dir()), "folder dialog", "web " + std::string(kAfterSaveAddress)));
  EXPECT_EQ(rt_.files.count("\\已生成二维码.jpg"), 0u);
}

TEST_F(GeneratorTest, ADriveRootFolderGivesADoubledSeparator) {
  start();
  rt_.folderAnswer = "D:\\";
  click(Control::图片框4);
  ASSERT_EQ(rt_.writes.size(), 2u);
  EXPECT_EQ(rt_.writes[1].first, "D:\\\\已生成二维码.jpg");
}

TEST_F(GeneratorTest, AFailedWriteDoesNotStopTheSave) {
  start();
  rt_.folderAnswer = "F:\\read-only";
  rt_.unwritable.insert(copyIn(dir()));
  rt_.unwritable.insert(copyIn("F:\\read-only"));
  click(Control::图片框4);
  EXPECT_THAT(rt_.webAddresses, ElementsAre(std::string(kAfterSaveAddress)));
}

TEST_F(GeneratorTest, AProgramAtADriveRootUsesTheBareDriveAsItsDirectory) {
  rt_.directory = "C:";
  rt_.clicks = {Control::图片框3, Control::图片框1};
  runApplication(rt_);
  EXPECT_EQ(rt_.files["C:\\Tesserine.dll"], rt_.carriedModule);
  EXPECT_EQ(std::get<std::string>(rt_.engineCalls.back().args[0]), "C:\\a.bmp");
  EXPECT_EQ(rt_.files["C:\\已生成二维码.jpg"], rt_.engineBitmap);
  EXPECT_THAT(rt_.shellOpens, ElementsAre("C:\\已生成二维码.jpg"));
}

TEST_F(GeneratorTest, ClickingTheSymbolOpensTheCopyAndNothingElse) {
  start();
  click(Control::图片框1);
  EXPECT_THAT(rt_.log, ElementsAre("shell open " + copyIn(dir())));
}

TEST_F(GeneratorTest, EveryActionOpensItsAddress) {
  struct Case {
    Control control;
    std::string_view address;
  };
  const Case cases[] = {
      {Control::透明标签3, kOfficialSiteAddress},    {Control::透明标签1, kScannerDownloadAddress},
      {Control::透明标签2, kHomePageAddress},        {Control::图片框3, kHomePageAddress},
      {Control::图片框4, kAfterSaveAddress},
  };
  for (const Case& c : cases) {
    StandInRuntime rt;
    rt.folderAnswer = "D:\\x";
    rt.clicks = {c.control};
    runApplication(rt);
    EXPECT_THAT(rt.webAddresses, ElementsAre(std::string(c.address))) << static_cast<int>(c.control);
  }
  EXPECT_TRUE(std::string_view(kHomePageAddress).ends_with("/?2wmsc"));
  EXPECT_TRUE(std::string_view(kOfficialSiteAddress).ends_with("/?2wmsc"));
  EXPECT_TRUE(std::string_view(kAfterSaveAddress).ends_with("/?2wmsc"));
  EXPECT_TRUE(std::string_view(kScannerDownloadAddress).ends_with(".apk"));
  // The edit box starts with the home page's scheme and host only.
  EXPECT_EQ(layoutOf(Control::编辑框1).text, kHomePageSite);
  EXPECT_EQ(std::string(kHomePageSite) + "/?2wmsc", kHomePageAddress);
}

TEST_F(GeneratorTest, ThePassiveControlsDoNothing) {
  start();
  for (Control c : {Control::图片框2, Control::组合框_版本, Control::编辑框1, Control::分组框1, Control::分组框2,
                    Control::组合框_纠错})
    click(c);
  EXPECT_THAT(rt_.log, IsEmpty());
}

}  // namespace
}  // namespace tesserine::app
