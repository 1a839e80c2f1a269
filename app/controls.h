// The controls of the main window, named as the window's designer named them.
#pragma once

namespace tesserine::app {

enum class Control : int {
  图片框2,       // panel covering the window: the background picture, parent of the active areas
  透明标签3,     // link: official site
  透明标签2,     // link over the information icon: home page
  透明标签1,     // link: scanner download
  图片框4,       // button picture: save
  图片框3,       // button picture: generate
  组合框_版本,   // version list
  编辑框1,       // the text to encode
  图片框1,       // the symbol picture
  分组框1,       // group box "版本选择", outside the client area
  分组框2,       // group box "纠错级别", outside the client area
  组合框_纠错,   // error-correction list, inside 分组框2
};

constexpr int kControlCount = static_cast<int>(Control::组合框_纠错) + 1;

}  // namespace tesserine::app
