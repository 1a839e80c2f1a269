// The generator application: start-up, the engine module's deployment and
// the actions behind the window's active areas. Everything it does goes
// through the GUI run time (runtime.h) and the engine's exports (engine.h);
// it keeps no state of its own between actions beyond the engine bindings.
//
// Results of engine calls, file writes, the folder dialog and the shell are
// not reported to the user.
#pragma once

#include <string_view>

#include "app/engine.h"
#include "app/runtime.h"

namespace tesserine::app {

// File names, joined to a directory text.
inline constexpr std::string_view kBitmapFileName = "\\a.bmp";
inline constexpr std::string_view kSymbolCopyName = "\\已生成二维码.jpg";
inline constexpr std::string_view kEngineModuleFileName = "\\Tesserine.dll";
inline constexpr std::string_view kSaveFolderTitle = "欲保存的文件夹";

// Fixed settings of every symbol.
inline constexpr int kFixedMaskSetting = 5;        // mask pattern 4
inline constexpr double kModuleWidthCm = 0.2;
inline constexpr int kOrientationUpright = 1;
inline constexpr int kNoBorder = 0;
inline constexpr int kSymbolSize = 500;            // pixels, both ways

// Item `index` (0 to 40) of the version list: "自动", then for version n
// "规格_n   s×s" with s = 17 + 4n, the side in modules.
Text versionListItem(int index);

class Generator : public WindowEvents {
 public:
  explicit Generator(Runtime& runtime);

  // Themed drawing variant 3, fillVersionList, deployEngineModule.
  void windowCreated() override;
  // 图片框3 generate, 图片框4 save, 图片框1 open the image, 透明标签3 the
  // official site, 透明标签1 the scanner download, 透明标签2 the home page.
  void leftButtonDown(Control control) override;

  // Appends the 41 items of the version list; the selection and the shown
  // text ("自动", nothing selected) stay as they are.
  void fillVersionList();
  // Writes the carried engine module to the program directory as
  // "Tesserine.dll". A failed write (another running copy has the module
  // loaded) is ignored: the file already there is used.
  void deployEngineModule();
  // Message (the edit box's ANSI text), white background, black bars, the
  // two list indexes with mask setting 5, module width 0.2 cm upright with
  // no border.
  void applySettings();
  // applySettings, a 500 x 500 area, "a.bmp" in the program directory
  // written by the engine, shown in 图片框1 and copied to
  // "已生成二维码.jpg" there; then the home page.
  void generateSymbol();
  // Copies the shown picture to "已生成二维码.jpg" in the program
  // directory and in a folder the user chooses; then the after-save page.
  void saveSymbolCopy();
  // Opens "已生成二维码.jpg" of the program directory in its viewer.
  void openSymbolImage();

 private:
  // Writes the picture of 图片框1 to the directory. No picture (the engine
  // made no bitmap) writes nothing, so an earlier copy is not replaced by
  // an empty file.
  void writeSymbolCopy(const Text& directory);

  Runtime& runtime_;
  Engine engine_;
};

// Start of the program: the window, the window-created steps, the message
// loop. Returns the exit code (0 once the window is closed).
int runApplication(Runtime& runtime);

}  // namespace tesserine::app
