// Helper of the generator's end-to-end test, run under Wine next to it.
// Texts travel as hex of their UTF-8 bytes so that no code page stands
// between the shell script and the program.
//
//   windows                   one line per generator window: hwnd pid outer
//                             rect, client origin on screen and client size,
//                             visible or hidden, style, extended style (hex)
//   controls HWND             one line per control: index parent-index (-1: the
//                             window) class x y w h visible text-hex (x, y
//                             relative to the parent; indexes of Control)
//   close HWND                posts WM_CLOSE
//   clipboard HEX             puts the text on the clipboard (CF_UNICODETEXT)
//   messagebox MS             waits up to MS for the generator's message box,
//                             prints its text as hex, presses OK
//   dialog MS ok|cancel       waits up to MS for another dialog of a generator
//                             (the folder choice), prints its hwnd and the
//                             text of its static controls as hex, presses the button
//   record LOG ARG...         appends the arguments (hex, tab-separated) to LOG
//   fonts                     face and missing-glyph counts of the caption fonts
//   desktop                   the desktop folder (hex)
//   acp                       the ANSI code page
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/fonts_win32.h"
#include "app/layout.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TesserineGeneratorWindow";

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring fromUtf8(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), out.data(), n);
  return out;
}

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out.empty() ? "-" : out;
}

std::string unhex(const std::wstring& h) {
  std::string out;
  for (size_t i = 0; i + 1 < h.size(); i += 2) out += (char)std::wcstoul(h.substr(i, 2).c_str(), nullptr, 16);
  return out;
}

// WM_GETTEXT rather than GetWindowText, which does not ask a window of
// another process for its text.
std::wstring textOf(HWND h) {
  std::wstring t(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
  t.resize(SendMessageW(h, WM_GETTEXT, t.size(), reinterpret_cast<LPARAM>(t.data())));
  return t;
}

std::wstring classOf(HWND h) {
  wchar_t name[128];
  return GetClassNameW(h, name, 128) ? name : L"";
}

BOOL CALLBACK listWindow(HWND h, LPARAM) {
  if (classOf(h) != kWindowClass) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT r, c;
  GetWindowRect(h, &r);
  GetClientRect(h, &c);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  std::printf("%lu %lu %ld %ld %ld %ld %ld %ld %ld %ld %s %08lx %08lx\n", (unsigned long)(UINT_PTR)h, pid, r.left,
              r.top, r.right - r.left, r.bottom - r.top, origin.x, origin.y, c.right, c.bottom,
              IsWindowVisible(h) ? "visible" : "hidden", (unsigned long)GetWindowLongW(h, GWL_STYLE),
              (unsigned long)GetWindowLongW(h, GWL_EXSTYLE));
  return TRUE;
}

BOOL CALLBACK listControl(HWND h, LPARAM) {
  const int id = GetDlgCtrlID(h) - 3000;  // the generator numbers its controls from 3000
  HWND parent = GetParent(h);
  if (id < 0 || classOf(parent) == L"ComboBox") return TRUE;  // parts of controls
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const int parentId = classOf(parent) == kWindowClass ? -1 : GetDlgCtrlID(parent) - 3000;
  std::printf("%d %d %s %ld %ld %ld %ld %d %s\n", id, parentId, utf8(classOf(h)).c_str(), r.left, r.top,
              r.right - r.left, r.bottom - r.top, IsWindowVisible(h) ? 1 : 0, hex(utf8(textOf(h))).c_str());
  return TRUE;
}

struct Found {
  HWND dialog = nullptr;
  std::wstring text;
};

BOOL CALLBACK findStatic(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  if (_wcsicmp(classOf(h).c_str(), L"Static") == 0) {
    const std::wstring t = textOf(h);
    if (!t.empty()) f->text = t;
  }
  return TRUE;
}

BOOL CALLBACK findOtherDialog(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  HWND owner = GetWindow(h, GW_OWNER);
  if (classOf(h) == L"#32770" && IsWindowVisible(h) && owner && classOf(owner) == kWindowClass) {
    f->dialog = h;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK allStatics(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  if (_wcsicmp(classOf(h).c_str(), L"Static") == 0) {
    const std::wstring t = textOf(h);
    if (!t.empty()) f->text += t + L"\n";
  }
  return TRUE;
}

BOOL CALLBACK findMessageBox(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  if (classOf(h) == L"#32770" && utf8(textOf(h)) == tesserine::app::kMainWindow.caption) {
    f->dialog = h;
    return FALSE;
  }
  return TRUE;
}

int missingGlyphs(HDC dc, const std::wstring& text) {
  std::vector<WORD> glyphs(text.size());
  GetGlyphIndicesW(dc, text.c_str(), (int)text.size(), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  int missing = 0;
  for (WORD g : glyphs) missing += g == 0xFFFF;
  return missing;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring command = argv[1];
  if (command == L"windows") {
    EnumWindows(listWindow, 0);
  } else if (command == L"controls" && argc == 3) {
    HWND h = (HWND)(UINT_PTR)std::wcstoul(argv[2], nullptr, 10);
    EnumChildWindows(h, listControl, 0);
  } else if (command == L"close" && argc == 3) {
    PostMessageW((HWND)(UINT_PTR)std::wcstoul(argv[2], nullptr, 10), WM_CLOSE, 0, 0);
  } else if (command == L"clipboard" && argc == 3) {
    const std::wstring text = fromUtf8(unhex(argv[2]));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr)) return 1;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
  } else if (command == L"messagebox" && argc == 3) {
    const DWORD deadline = GetTickCount() + std::wcstoul(argv[2], nullptr, 10);
    Found f;
    while (!f.dialog && GetTickCount() < deadline) {
      EnumWindows(findMessageBox, reinterpret_cast<LPARAM>(&f));
      if (!f.dialog) Sleep(100);
    }
    if (!f.dialog) return 1;
    EnumChildWindows(f.dialog, findStatic, reinterpret_cast<LPARAM>(&f));
    std::printf("%s\n", hex(utf8(f.text)).c_str());
    PostMessageW(f.dialog, WM_COMMAND, IDOK, 0);
  } else if (command == L"dialog" && argc == 4) {
    const DWORD deadline = GetTickCount() + std::wcstoul(argv[2], nullptr, 10);
    Found f;
    while (!f.dialog && GetTickCount() < deadline) {
      EnumWindows(findOtherDialog, reinterpret_cast<LPARAM>(&f));
      if (!f.dialog) Sleep(100);
    }
    if (!f.dialog) return 1;
    Sleep(300);  // let it finish its start-up (the folder tree fills after showing)
    EnumChildWindows(f.dialog, allStatics, reinterpret_cast<LPARAM>(&f));
    std::printf("%lu %s\n", (unsigned long)(UINT_PTR)f.dialog, hex(utf8(f.text)).c_str());
    PostMessageW(f.dialog, WM_COMMAND, std::wstring(argv[3]) == L"ok" ? IDOK : IDCANCEL, 0);
  } else if (command == L"record" && argc >= 3) {
    FILE* log = _wfopen(argv[2], L"ab");
    if (!log) return 1;
    for (int i = 3; i < argc; ++i) std::fprintf(log, "%s%s", i > 3 ? "\t" : "", hex(utf8(argv[i])).c_str());
    std::fprintf(log, "\n");
    std::fclose(log);
  } else if (command == L"fonts") {
    HDC dc = CreateCompatibleDC(nullptr);
    const LOGFONTW specs[] = {tesserine::app::captionLogFont(), tesserine::app::largeLogFont()};
    const wchar_t* names[] = {L"caption", L"large"};
    std::wstring all;
    for (const auto& l : tesserine::app::kControls) all += fromUtf8(std::string(l.text));
    for (int i = 0; i < 2; ++i) {
      HFONT font = CreateFontIndirectW(&specs[i]);
      HGDIOBJ old = SelectObject(dc, font);
      wchar_t face[LF_FACESIZE];
      GetTextFaceW(dc, LF_FACESIZE, face);
      std::printf("%s %s %d %d\n", utf8(names[i]).c_str(), hex(utf8(face)).c_str(), GetTextCharset(dc),
                  missingGlyphs(dc, all));
      SelectObject(dc, old);
      DeleteObject(font);
    }
    DeleteDC(dc);
  } else if (command == L"desktop") {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path))) return 1;
    std::printf("%s\n", hex(utf8(path)).c_str());
  } else if (command == L"acp") {
    std::printf("%u\n", GetACP());
  } else {
    return 2;
  }
  return 0;
}
