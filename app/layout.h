// The main window's layout: the window, its pictures and every control with
// its place, look and initial content. Positions are in pixels relative to
// the parent's client area. A run time creates the window from this table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "app/addresses.h"
#include "app/controls.h"

namespace tesserine::app {

enum class ControlKind {
  kPictureBox,        // shows a picture; no border
  kTransparentLabel,  // one line of text on its parent's picture, no background
  kComboBox,          // drop-down list with editable text
  kEditBox,           // multi-line, word wrap, Enter starts a line, no scroll bars, no length limit
  kGroupBox,          // frame with a caption
};

// The pictures among the program's resources.
enum class Picture {
  kNone,
  kWindowBackground,   // 320 x 480 JPEG
  kPanelBackground,    // 320 x 480 JPEG
  kGenerateButton,     // 124 x 38 JPEG
  kSaveButton,         // 124 x 37 JPEG
  kPlaceholderSymbol,  // 500 x 500 1-bit BMP of 32,062 bytes
};

enum class PictureFit {
  kOwnSize,  // drawn at its own size from the top-left corner
  kStretch,  // stretched to the box
};

enum class Pointer { kStandard, kHand };

enum class Font {
  kDefault,       // the system's default GUI font
  kLargeChinese,  // 24 pixels high, GB2312 character set, the system's default face
};

struct Rgb {
  uint8_t red, green, blue;
};

struct ControlLayout {
  Control id;
  ControlKind kind;
  std::optional<Control> parent;  // none: the window itself
  int left, top, width, height;
  std::string_view text;  // caption, or initial text of an edit or combo box
  std::optional<Rgb> textColour;
  std::optional<Rgb> backColour;  // none: the control's standard background
  Font font;
  Pointer pointer;
  Picture picture;
  PictureFit fit;
  std::span<const std::string_view> listItems;  // initial list of a combo box
};

struct WindowLayout {
  std::string_view caption;
  int outerWidth, outerHeight;  // fixed; the window opens centred on the screen
  Picture background;           // drawn at its own size from the top-left corner
};

constexpr WindowLayout kMainWindow{"岚石二维码生成器", 321, 507, Picture::kWindowBackground};

inline constexpr std::array<std::string_view, 4> kEcLevelItems{"L(5%)", "M(15%)", "Q(25%)", "H(30%)"};

// In creation order: a parent comes before its children.
inline constexpr std::array<ControlLayout, kControlCount> kControls{{
    {Control::图片框2, ControlKind::kPictureBox, std::nullopt, 0, 8, 320, 480, {}, std::nullopt, std::nullopt,
     Font::kDefault, Pointer::kStandard, Picture::kPanelBackground, PictureFit::kOwnSize, {}},
    {Control::透明标签3, ControlKind::kTransparentLabel, Control::图片框2, 256, 0, 48, 24, "官方网站",
     Rgb{255, 0, 0}, std::nullopt, Font::kDefault, Pointer::kHand, Picture::kNone, PictureFit::kOwnSize, {}},
    {Control::透明标签2, ControlKind::kTransparentLabel, Control::图片框2, 272, 432, 32, 32, {}, std::nullopt,
     std::nullopt, Font::kDefault, Pointer::kHand, Picture::kNone, PictureFit::kOwnSize, {}},
    {Control::透明标签1, ControlKind::kTransparentLabel, Control::图片框2, 152, 0, 96, 24, "二维码扫描器下载",
     Rgb{40, 61, 202}, std::nullopt, Font::kDefault, Pointer::kHand, Picture::kNone, PictureFit::kOwnSize, {}},
    {Control::图片框4, ControlKind::kPictureBox, Control::图片框2, 96, 400, 128, 40, {}, std::nullopt,
     std::nullopt, Font::kDefault, Pointer::kHand, Picture::kSaveButton, PictureFit::kStretch, {}},
    {Control::图片框3, ControlKind::kPictureBox, Control::图片框2, 96, 320, 128, 32, {}, std::nullopt,
     std::nullopt, Font::kDefault, Pointer::kHand, Picture::kGenerateButton, PictureFit::kStretch, {}},
    {Control::组合框_版本, ControlKind::kComboBox, Control::图片框2, 8, 0, 136, 20, "自动", Rgb{0, 128, 0},
     Rgb{0, 96, 192}, Font::kDefault, Pointer::kHand, Picture::kNone, PictureFit::kOwnSize, {}},
    {Control::编辑框1, ControlKind::kEditBox, Control::图片框2, 0, 248, 312, 56, kHomePageSite, Rgb{255, 255, 255},
     Rgb{0, 136, 255}, Font::kLargeChinese, Pointer::kStandard, Picture::kNone, PictureFit::kOwnSize, {}},
    {Control::图片框1, ControlKind::kPictureBox, Control::图片框2, 120, 136, 80, 80, {}, std::nullopt,
     std::nullopt, Font::kDefault, Pointer::kHand, Picture::kPlaceholderSymbol, PictureFit::kStretch, {}},
    {Control::分组框1, ControlKind::kGroupBox, std::nullopt, 408, 72, 296, 120, "版本选择", std::nullopt,
     std::nullopt, Font::kDefault, Pointer::kStandard, Picture::kNone, PictureFit::kOwnSize, {}},
    {Control::分组框2, ControlKind::kGroupBox, std::nullopt, 528, 112, 184, 72, "纠错级别", std::nullopt,
     std::nullopt, Font::kDefault, Pointer::kStandard, Picture::kNone, PictureFit::kOwnSize, {}},
    {Control::组合框_纠错, ControlKind::kComboBox, Control::分组框2, 24, 32, 140, 20, "L(5%)", Rgb{0, 0, 0},
     Rgb{255, 255, 255}, Font::kDefault, Pointer::kStandard, Picture::kNone, PictureFit::kOwnSize,
     kEcLevelItems},
}};

constexpr const ControlLayout& layoutOf(Control c) { return kControls[static_cast<size_t>(c)]; }

constexpr bool layoutIsInControlOrder() {
  for (size_t i = 0; i < kControls.size(); ++i)
    if (static_cast<size_t>(kControls[i].id) != i) return false;
  return true;
}
static_assert(layoutIsInControlOrder(), "kControls is indexed by Control");

}  // namespace tesserine::app
