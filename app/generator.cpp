#include "app/generator.h"

#include <string>

#include "app/addresses.h"

namespace tesserine::app {

Text join(std::initializer_list<std::string_view> parts) {
  Text out;
  for (std::string_view p : parts) out.append(p);
  return out;
}

Text versionListItem(int index) {
  if (index == 0) return "自动";
  const std::string side = std::to_string(17 + 4 * index);
  return join({"规格_", std::to_string(index), "   ", side, "×", side});
}

Generator::Generator(Runtime& runtime) : runtime_(runtime), engine_(runtime) {}

void Generator::windowCreated() {
  runtime_.enableThemedDrawing(3);
  fillVersionList();
  deployEngineModule();
}

void Generator::leftButtonDown(Control control) {
  switch (control) {
    case Control::图片框3:
      generateSymbol();
      break;
    case Control::图片框4:
      saveSymbolCopy();
      break;
    case Control::图片框1:
      openSymbolImage();
      break;
    case Control::透明标签3:
      runtime_.openWebAddress(Text(kOfficialSiteAddress));
      break;
    case Control::透明标签1:
      runtime_.openWebAddress(Text(kScannerDownloadAddress));
      break;
    case Control::透明标签2:
      runtime_.openWebAddress(Text(kHomePageAddress));
      break;
    default:
      break;
  }
}

void Generator::fillVersionList() {
  for (int i = 0; i <= 40; ++i) runtime_.addListItem(Control::组合框_版本, versionListItem(i));
}

void Generator::deployEngineModule() {
  const Bytes module = runtime_.carriedEngineModule();
  runtime_.writeFile(join({runtime_.programDirectory(), kEngineModuleFileName}), module);
}

void Generator::applySettings() {
  engine_.setMessage(runtime_.editText(Control::编辑框1));
  engine_.setBackColor(255, 255, 255);
  engine_.setBarColor(0, 0, 0);
  const int version = runtime_.selectedIndex(Control::组合框_版本);
  const int level = runtime_.selectedIndex(Control::组合框_纠错);
  engine_.configure(version, level, kFixedMaskSetting);
  engine_.appearance(kModuleWidthCm, kOrientationUpright, kNoBorder);
}

void Generator::generateSymbol() {
  applySettings();
  engine_.setSize(kSymbolSize, kSymbolSize);
  const Text directory = runtime_.programDirectory();
  const Text bitmapPath = join({directory, kBitmapFileName});
  engine_.saveAsBMP(runtime_.ansiPath(bitmapPath));
  runtime_.setPicture(Control::图片框1, runtime_.readFile(bitmapPath));
  writeSymbolCopy(directory);
  runtime_.openWebAddress(Text(kHomePageAddress));
}

void Generator::saveSymbolCopy() {
  writeSymbolCopy(runtime_.programDirectory());
  const Text folder = runtime_.chooseFolder(Text(kSaveFolderTitle));
  // A cancelled dialog gives no folder: there is nothing to save into (the
  // bare file name would land at the root of the program's drive).
  if (!folder.empty()) writeSymbolCopy(folder);
  runtime_.openWebAddress(Text(kAfterSaveAddress));
}

void Generator::openSymbolImage() { runtime_.shellOpen(join({runtime_.programDirectory(), kSymbolCopyName})); }

void Generator::writeSymbolCopy(const Text& directory) {
  const Bytes picture = runtime_.picture(Control::图片框1);
  if (picture.empty()) return;
  runtime_.writeFile(join({directory, kSymbolCopyName}), picture);
}

int runApplication(Runtime& runtime) {
  Generator generator(runtime);
  runtime.createMainWindow(generator);
  return runtime.runMessageLoop();
}

}  // namespace tesserine::app
