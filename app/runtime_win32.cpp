#include "app/runtime_win32.h"

#include <commctrl.h>
#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>
#include <shlobj.h>
#include <shellapi.h>

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/fonts_win32.h"
#include "app/layout.h"
#include "app/resources/resource_ids.h"

// Calls `function` with the standard calling convention: pushes the `count`
// 32-bit words right to left (words[0] ends up nearest the return address),
// calls, and stores in *leftOnStack how many bytes the callee left on the
// stack (0 when it removed exactly its arguments; negative when it removed
// more). Returns EAX. The stack pointer is restored either way, so the
// caller survives a callee of the wrong convention long enough to report it.
extern "C" uint32_t tesserineCallStdcall(const void* function, const uint32_t* words, uint32_t count,
                                         int32_t* leftOnStack);

asm(R"(
    .text
    .globl _tesserineCallStdcall
    .def _tesserineCallStdcall; .scl 2; .type 32; .endef
_tesserineCallStdcall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, %ebx          # where the callee must leave the stack
    movl 12(%ebp), %esi      # words
    movl 16(%ebp), %ecx      # count
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl %ebx, %ecx
    subl %esp, %ecx          # bytes the callee left behind
    movl %ebx, %esp
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace tesserine::app {
namespace {

// ---- Text conversions --------------------------------------------------------

std::wstring wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

Text utf8(std::wstring_view w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  Text out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// The text in the ANSI code page; *lossless is false when some character
// had to become the code page's default character.
AnsiText ansi(std::wstring_view w, bool* lossless = nullptr) {
  if (lossless) *lossless = true;
  if (w.empty()) return {};
  BOOL usedDefault = FALSE;
  const DWORD flags = lossless ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL* used = lossless ? &usedDefault : nullptr;
  const int n =
      WideCharToMultiByte(CP_ACP, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, used);
  AnsiText out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, used);
  if (lossless) *lossless = !usedDefault;
  return out;
}

COLORREF colourOf(Rgb c) { return RGB(c.red, c.green, c.blue); }

// ---- Pictures ----------------------------------------------------------------

// A decoded picture: the bitmap OLE made of the bytes (BMP or JPEG).
class Image {
 public:
  Image() = default;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  ~Image() { reset(); }

  void decode(const Bytes& bytes) {
    reset();
    if (bytes.empty()) return;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
      GlobalFree(block);
      return;
    }
    IPicture* picture = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
      SHORT type = PICTYPE_NONE;
      OLE_HANDLE handle = 0;
      BITMAP info{};
      if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle)) &&
          GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof info, &info)) {
        picture_ = picture;
        bitmap_ = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
        width_ = info.bmWidth;
        height_ = info.bmHeight;
      } else {
        picture->Release();
      }
    }
    stream->Release();
  }

  bool empty() const { return bitmap_ == nullptr; }

  // At its own size from (x, y), or stretched to `box`.
  void draw(HDC dc, const RECT& box, PictureFit fit) const {
    if (!bitmap_) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap_);
    if (fit == PictureFit::kStretch) {
      const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, width_, height_,
                 SRCCOPY);
      SetStretchBltMode(dc, oldMode);
    } else {
      BitBlt(dc, box.left, box.top, width_, height_, source, 0, 0, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
  }

 private:
  void reset() {
    if (picture_) picture_->Release();
    picture_ = nullptr;
    bitmap_ = nullptr;
  }

  IPicture* picture_ = nullptr;  // owns bitmap_
  HBITMAP bitmap_ = nullptr;
  LONG width_ = 0, height_ = 0;
};

// ---- The run time --------------------------------------------------------------

constexpr wchar_t kWindowClass[] = L"TesserineGeneratorWindow";
constexpr wchar_t kPictureBoxClass[] = L"TesserinePictureBox";
constexpr wchar_t kLabelClass[] = L"TesserineTransparentLabel";
constexpr int kFirstControlId = 3000;  // clear of the ids inside combo boxes (1000, 1001)
constexpr int kDropListHeight = 240;  // of the combo boxes' lists

// Frame colours of the themed drawing variants 1 to 3.
constexpr std::array<COLORREF, 3> kThemeFrameColours{RGB(127, 157, 185), RGB(165, 172, 178), RGB(198, 197, 215)};

struct ControlState {
  HWND hwnd = nullptr;
  Bytes pictureBytes;
  Image image;
  HBRUSH backBrush = nullptr;
  WNDPROC standardProc = nullptr;  // the control class's own procedure, when subclassed for theming
};

class Win32Runtime;
Win32Runtime* gRuntime = nullptr;

class Win32Runtime final : public Runtime {
 public:
  explicit Win32Runtime(HINSTANCE instance) : instance_(instance) {
    gRuntime = this;
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&icc);
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n < path.size()) {
        path.resize(n);
        break;
      }
      path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    programDirectory_ = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    // "C:" alone would name drive C's current directory, not its root.
    SetCurrentDirectoryW((programDirectory_ + L"\\").c_str());
  }

  ~Win32Runtime() override {
    for (ControlState& c : controls_)
      if (c.backBrush) DeleteObject(c.backBrush);
    for (HFONT f : {labelFont_, largeFont_})
      if (f) DeleteObject(f);
    if (frameBrush_) DeleteObject(frameBrush_);
    gRuntime = nullptr;
  }

  // ---- Files ----

  Text programDirectory() override { return utf8(programDirectory_); }

  bool writeFile(const Text& path, std::span<const uint8_t> bytes) override {
    if (path.empty()) return false;
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
      ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
      done += written;
    }
    return CloseHandle(file) && ok;
  }

  Bytes readFile(const Text& path) override {
    if (path.empty()) return {};
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    Bytes out;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart < (1LL << 30)) {
      out.resize(static_cast<size_t>(size.QuadPart));
      size_t done = 0;
      while (done < out.size()) {
        DWORD got = 0;
        if (!ReadFile(file, out.data() + done, static_cast<DWORD>(out.size() - done), &got, nullptr) || got == 0)
          break;
        done += got;
      }
      out.resize(done);
    }
    CloseHandle(file);
    return out;
  }

  AnsiText ansiPath(const Text& path) override {
    const std::wstring w = wide(path);
    bool lossless = false;
    AnsiText out = ansi(w, &lossless);
    if (lossless) return out;
    // Spell the directory by its short name, which the system keeps in the
    // ANSI range; the file name itself is the application's own (ASCII).
    const size_t slash = w.find_last_of(L'\\');
    if (slash == std::wstring::npos) return out;
    const std::wstring dir = w.substr(0, slash);
    std::wstring shortDir(MAX_PATH, L'\0');
    const DWORD n = GetShortPathNameW((dir + L"\\").c_str(), shortDir.data(), static_cast<DWORD>(shortDir.size()));
    if (n == 0 || n >= shortDir.size()) return out;
    shortDir.resize(n);
    if (!shortDir.empty() && shortDir.back() == L'\\') shortDir.pop_back();
    AnsiText shortened = ansi(shortDir + w.substr(slash), &lossless);
    return lossless ? shortened : out;
  }

  // ---- Controls ----

  void setPicture(Control box, Bytes bytes) override {
    ControlState& c = state(box);
    c.pictureBytes = std::move(bytes);
    c.image.decode(c.pictureBytes);
    if (c.hwnd) InvalidateRect(c.hwnd, nullptr, FALSE);
  }

  Bytes picture(Control box) override { return state(box).pictureBytes; }

  AnsiText editText(Control edit) override { return ansi(windowText(state(edit).hwnd)); }

  int selectedIndex(Control combo) override {
    const LRESULT i = SendMessageW(state(combo).hwnd, CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? -1 : static_cast<int>(i);
  }

  void addListItem(Control combo, const Text& item) override {
    SendMessageW(state(combo).hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
  }

  void enableThemedDrawing(int variant) override {
    if (variant < 1 || variant > static_cast<int>(kThemeFrameColours.size())) return;
    if (frameBrush_) DeleteObject(frameBrush_);
    frameBrush_ = CreateSolidBrush(kThemeFrameColours[static_cast<size_t>(variant - 1)]);
    for (const ControlLayout& l : kControls) {
      if (l.kind != ControlKind::kComboBox && l.kind != ControlKind::kEditBox) continue;
      ControlState& c = state(l.id);
      if (!c.standardProc)
        c.standardProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&themedControlProc)));
      SetWindowPos(c.hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
      RedrawWindow(c.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }

  // ---- Dialogs and the shell ----

  Text chooseFolder(const Text& title) override {
    const std::wstring wtitle = wide(title);
    BROWSEINFOW info{};
    info.hwndOwner = GetActiveWindow();
    info.lpszTitle = wtitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return {};
    std::wstring path(MAX_PATH, L'\0');
    const bool ok = SHGetPathFromIDListW(chosen, path.data());
    CoTaskMemFree(chosen);
    if (!ok) return {};
    path.resize(wcslen(path.c_str()));
    return utf8(path);
  }

  void shellOpen(const Text& path) override {
    ShellExecuteW(window_, L"open", wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

  void openWebAddress(const Text& address) override {
    ShellExecuteW(window_, L"open", wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

  // ---- Window and message loop ----

  void createMainWindow(WindowEvents& events) override {
    events_ = &events;
    registerClasses();
    makeFonts();
    windowBackground_.decode(resourceBytes(pictureResource(kMainWindow.background)));

    const int width = kMainWindow.outerWidth, height = kMainWindow.outerHeight;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExW(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE, kWindowClass, wide(kMainWindow.caption).c_str(),
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                              nullptr, instance_, nullptr);
    // The class icons, given to the window as well, where the system's task
    // list and other programs ask for them.
    SendMessageW(window_, WM_SETICON, ICON_BIG,
                 static_cast<LPARAM>(GetClassLongPtrW(window_, GCLP_HICON)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL,
                 static_cast<LPARAM>(GetClassLongPtrW(window_, GCLP_HICONSM)));
    for (const ControlLayout& l : kControls) createControl(l);
    events.windowCreated();
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
  }

  int runMessageLoop() override {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
  }

  // ---- The engine ----

  Bytes carriedEngineModule() override { return resourceBytes(IDR_ENGINE_MODULE); }

  uintptr_t bindEngineFunction(const char* moduleFile, const char* exportName) override {
    const std::wstring file = wide(moduleFile);
    const bool absolute = file.size() > 2 && (file[1] == L':' || (file[0] == L'\\' && file[1] == L'\\'));
    const std::wstring path = absolute ? file : programDirectory_ + L"\\" + file;
    HMODULE& module = modules_[path];
    // Only this file: no fall-back to the system's search order, which could
    // find a module of the same name elsewhere.
    if (!module) module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
      fatal(L"无法加载引擎模块文件 “" + path + L"”（需要其中的函数 “" + wide(exportName) + L"”）。");
    const FARPROC address = GetProcAddress(module, exportName);
    if (!address)
      fatal(L"在引擎模块文件 “" + path + L"” 中找不到函数 “" + wide(exportName) + L"”。");
    return reinterpret_cast<uintptr_t>(address);
  }

  uint32_t callEngineFunction(const EngineFunction& function, std::span<const EngineArg> args) override {
    std::vector<uint32_t> words;
    for (const EngineArg& a : args) {
      switch (a.kind) {
        case EngineArg::Kind::kInt:
          words.push_back(static_cast<uint32_t>(a.integer));
          break;
        case EngineArg::Kind::kDouble: {
          uint32_t halves[2];
          std::memcpy(halves, &a.real, sizeof halves);
          words.push_back(halves[0]);
          words.push_back(halves[1]);
          break;
        }
        case EngineArg::Kind::kText:
          words.push_back(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(a.text)));
          break;
      }
    }
    int32_t leftOnStack = 0;
    const uint32_t result = tesserineCallStdcall(reinterpret_cast<const void*>(function.address), words.data(),
                                                 static_cast<uint32_t>(words.size()), &leftOnStack);
    if (leftOnStack != 0)
      fatal(L"调用引擎模块文件 “" + wide(function.moduleFile) + L"” 的函数 “" + wide(function.exportName) +
            L"” 后堆栈不平衡（" + std::to_wstring(leftOnStack) + L" 字节），该函数不是标准调用约定。");
    return result;
  }

 private:
  ControlState& state(Control c) { return controls_[static_cast<size_t>(c)]; }

  static std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  [[noreturn]] void fatal(const std::wstring& message) {
    MessageBoxW(window_, message.c_str(), wide(kMainWindow.caption).c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
  }

  Bytes resourceBytes(int id) {
    if (id == 0) return {};
    HRSRC info = FindResourceW(instance_, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!info) return {};
    HGLOBAL loaded = LoadResource(instance_, info);
    const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
    if (!data) return {};
    return Bytes(data, data + SizeofResource(instance_, info));
  }

  static int pictureResource(Picture p) {
    switch (p) {
      case Picture::kWindowBackground:
        return IDR_WINDOW_BACKGROUND;
      case Picture::kPanelBackground:
        return IDR_PANEL_BACKGROUND;
      case Picture::kGenerateButton:
        return IDR_GENERATE_BUTTON;
      case Picture::kSaveButton:
        return IDR_SAVE_BUTTON;
      case Picture::kPlaceholderSymbol:
        return IDR_PLACEHOLDER_SYMBOL;
      case Picture::kNone:
        break;
    }
    return 0;
  }

  void registerClasses() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);

    wc.lpfnWndProc = &mainWindowProc;
    wc.lpszClassName = kWindowClass;
    wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_GENERATOR));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_GENERATOR), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    RegisterClassExW(&wc);

    wc.hIcon = wc.hIconSm = nullptr;
    wc.lpfnWndProc = &pictureBoxProc;
    wc.lpszClassName = kPictureBoxClass;
    RegisterClassExW(&wc);

    wc.lpfnWndProc = &labelProc;
    wc.lpszClassName = kLabelClass;
    RegisterClassExW(&wc);
  }

  void makeFonts() {
    const LOGFONTW caption = captionLogFont(), large = largeLogFont();
    labelFont_ = CreateFontIndirectW(&caption);
    largeFont_ = CreateFontIndirectW(&large);
  }

  HFONT fontOf(Font f) const { return f == Font::kLargeChinese ? largeFont_ : labelFont_; }

  void createControl(const ControlLayout& l) {
    ControlState& c = state(l.id);
    HWND parent = l.parent ? state(*l.parent).hwnd : window_;
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(l.id)));
    const std::wstring text = wide(l.text);
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (l.kind) {
      case ControlKind::kPictureBox:
        c.hwnd = CreateWindowExW(0, kPictureBoxClass, L"", child | WS_CLIPCHILDREN, l.left, l.top, l.width, l.height,
                                 parent, id, instance_, nullptr);
        break;
      case ControlKind::kTransparentLabel:
        c.hwnd = CreateWindowExW(0, kLabelClass, text.c_str(), child, l.left, l.top, l.width, l.height, parent, id,
                                 instance_, nullptr);
        break;
      case ControlKind::kComboBox:
        c.hwnd = CreateWindowExW(0, WC_COMBOBOXW, L"", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, l.left, l.top,
                                 l.width, l.height + kDropListHeight, parent, id, instance_, nullptr);
        break;
      case ControlKind::kEditBox:
        c.hwnd = CreateWindowExW(0, WC_EDITW, L"",
                                 child | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
                                 l.left, l.top, l.width, l.height, parent, id, instance_, nullptr);
        SendMessageW(c.hwnd, EM_SETLIMITTEXT, 0, 0);  // the system's maximum
        break;
      case ControlKind::kGroupBox:
        c.hwnd = CreateWindowExW(0, WC_BUTTONW, text.c_str(), child | BS_GROUPBOX, l.left, l.top, l.width, l.height,
                                 parent, id, instance_, nullptr);
        break;
    }
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(l.font)), FALSE);
    if (l.backColour) c.backBrush = CreateSolidBrush(colourOf(*l.backColour));
    if (l.kind == ControlKind::kComboBox) {
      for (std::string_view item : l.listItems)
        SendMessageW(c.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
      fitComboHeight(c.hwnd, l.height);
    }
    if (l.kind == ControlKind::kComboBox || l.kind == ControlKind::kEditBox) SetWindowTextW(c.hwnd, text.c_str());
    if (l.picture != Picture::kNone) setPicture(l.id, resourceBytes(pictureResource(l.picture)));
  }

  // Makes the closed combo box `height` pixels high. Steps the height of its
  // text field by what is still off rather than trusting CB_GETITEMHEIGHT to
  // read back what CB_SETITEMHEIGHT took (systems differ by a border there).
  static void fitComboHeight(HWND combo, int height) {
    LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (field == CB_ERR) return;
    for (int attempt = 0; attempt < 4; ++attempt) {
      RECT r;
      GetWindowRect(combo, &r);
      const int off = height - (r.bottom - r.top);
      if (off == 0 || field + off < 1) return;
      field += off;
      SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
  }

  // The control a window belongs to: itself, or the control it is a part of
  // (the edit field and list of a combo box).
  bool controlOf(HWND hwnd, Control* out) {
    for (HWND h = hwnd; h && h != window_; h = GetParent(h)) {
      for (const ControlLayout& l : kControls) {
        const ControlState& c = state(l.id);
        if (c.hwnd == h) {
          *out = l.id;
          return true;
        }
        if (l.kind == ControlKind::kComboBox && c.hwnd) {
          COMBOBOXINFO info{};
          info.cbSize = sizeof info;
          if (GetComboBoxInfo(c.hwnd, &info) && (info.hwndItem == h || info.hwndList == h)) {
            *out = l.id;
            return true;
          }
        }
      }
    }
    return false;
  }

  // WM_CTLCOLOR* for a part of one of our controls: its colours, if it has its own.
  LRESULT controlColours(HDC dc, HWND part, bool* handled) {
    Control c;
    *handled = false;
    if (!controlOf(part, &c)) return 0;
    const ControlLayout& l = layoutOf(c);
    const ControlState& s = state(c);
    if (!s.backBrush) return 0;
    *handled = true;
    if (l.textColour) SetTextColor(dc, colourOf(*l.textColour));
    SetBkColor(dc, colourOf(*l.backColour));
    return reinterpret_cast<LRESULT>(s.backBrush);
  }

  // Shared by our own windows: colours of the standard controls inside them
  // and the hand pointer over the active areas.
  bool commonMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORSTATIC: {
        bool handled = false;
        *result = controlColours(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), &handled);
        return handled;
      }
      case WM_SETCURSOR: {
        Control c;
        if (LOWORD(lp) == HTCLIENT && controlOf(reinterpret_cast<HWND>(wp), &c) &&
            layoutOf(c).pointer == Pointer::kHand) {
          SetCursor(LoadCursorW(nullptr, IDC_HAND));
          *result = TRUE;
          return true;
        }
        return false;
      }
      default:
        return false;
    }
  }

  void leftButtonDown(HWND hwnd) {
    Control c;
    if (events_ && controlOf(hwnd, &c)) events_->leftButtonDown(c);
  }

  // Draws the picture box's picture (or its empty background) into dc.
  void paintPictureBox(HWND hwnd, HDC dc) {
    Control c;
    RECT box;
    GetClientRect(hwnd, &box);
    if (!controlOf(hwnd, &c)) return;
    const ControlState& s = state(c);
    if (s.image.empty() || layoutOf(c).fit == PictureFit::kOwnSize) FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    s.image.draw(dc, box, layoutOf(c).fit);
  }

  static LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Win32Runtime& rt = *gRuntime;
    LRESULT result = 0;
    if (rt.commonMessage(msg, wp, lp, &result)) return result;
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        rt.windowBackground_.draw(dc, client, PictureFit::kOwnSize);
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
  }

  static LRESULT CALLBACK pictureBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Win32Runtime& rt = *gRuntime;
    LRESULT result = 0;
    if (rt.commonMessage(msg, wp, lp, &result)) return result;
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        rt.paintPictureBox(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_PRINTCLIENT:
        rt.paintPictureBox(hwnd, reinterpret_cast<HDC>(wp));
        return 0;
      case WM_LBUTTONDOWN:
        rt.leftButtonDown(hwnd);
        return 0;
      default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
  }

  static LRESULT CALLBACK labelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Win32Runtime& rt = *gRuntime;
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        // No background of its own: the parent's picture shows through.
        HWND parent = GetParent(hwnd);
        POINT at{0, 0};
        MapWindowPoints(hwnd, parent, &at, 1);
        POINT old;
        SetViewportOrgEx(dc, -at.x, -at.y, &old);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
        Control c;
        if (rt.controlOf(hwnd, &c)) {
          const ControlLayout& l = layoutOf(c);
          const std::wstring caption = windowText(hwnd);
          RECT box;
          GetClientRect(hwnd, &box);
          SetBkMode(dc, TRANSPARENT);
          if (l.textColour) SetTextColor(dc, colourOf(*l.textColour));
          HGDIOBJ oldFont = SelectObject(dc, rt.fontOf(l.font));
          DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
          SelectObject(dc, oldFont);
        }
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_LBUTTONDOWN:
        rt.leftButtonDown(hwnd);
        return 0;
      default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
  }

  // Edit and combo boxes under themed drawing: their own painting, then a
  // flat one-pixel frame in the theme's colour over their outer edge, where
  // the system draws a border or a sunken edge (inside or outside the client
  // area, depending on the system); the pixel within it takes the control's
  // background colour, flattening a two-pixel edge.
  static LRESULT CALLBACK themedControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Win32Runtime& rt = *gRuntime;
    Control c{};
    const bool known = rt.controlOf(hwnd, &c);
    WNDPROC standard = known ? rt.state(c).standardProc : nullptr;
    if (!standard) return DefWindowProcW(hwnd, msg, wp, lp);
    const LRESULT result = CallWindowProcW(standard, hwnd, msg, wp, lp);
    if ((msg == WM_PAINT || msg == WM_NCPAINT) && rt.frameBrush_) {
      HDC dc = GetWindowDC(hwnd);
      RECT r;
      GetWindowRect(hwnd, &r);
      OffsetRect(&r, -r.left, -r.top);
      FrameRect(dc, &r, rt.frameBrush_);
      if (layoutOf(c).kind == ControlKind::kComboBox) {
        InflateRect(&r, -1, -1);
        const ControlState& s = rt.state(c);
        FrameRect(dc, &r, s.backBrush ? s.backBrush : GetSysColorBrush(COLOR_WINDOW));
      }
      ReleaseDC(hwnd, dc);
    }
    return result;
  }

  HINSTANCE instance_;
  std::wstring programDirectory_;
  HWND window_ = nullptr;
  WindowEvents* events_ = nullptr;
  std::array<ControlState, kControlCount> controls_;
  Image windowBackground_;
  HFONT labelFont_ = nullptr;
  HFONT largeFont_ = nullptr;
  HBRUSH frameBrush_ = nullptr;
  std::map<std::wstring, HMODULE> modules_;
};

}  // namespace

std::unique_ptr<Runtime> makeWin32Runtime(HINSTANCE instance) { return std::make_unique<Win32Runtime>(instance); }

}  // namespace tesserine::app
