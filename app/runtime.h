// The GUI run time of the generator: the narrow set of operations the
// application's logic needs of the system. The logic (generator.h) uses
// nothing else, so it runs against the Win32 implementation
// (runtime_win32.cpp) and against a stand-in in the unit tests.
//
// Texts are UTF-8 inside the application; an implementation converts them
// at its boundary. Only two kinds of text leave the program as bytes of the
// system's ANSI code page: the edit box's text and file paths handed to the
// engine, which is an ANSI module.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"

namespace tesserine::app {

using Text = std::string;      // UTF-8
using AnsiText = std::string;  // bytes in the system's ANSI code page, no NUL inside
using Bytes = std::vector<uint8_t>;

// The concatenation of the parts ("join texts").
Text join(std::initializer_list<std::string_view> parts);

// One argument of an engine call, as the engine's C declaration has it.
struct EngineArg {
  enum class Kind { kInt, kDouble, kText };
  Kind kind = Kind::kInt;
  int32_t integer = 0;
  double real = 0.0;
  const char* text = nullptr;  // NUL-terminated ANSI bytes, alive for the call

  static EngineArg of(int32_t v) { return {Kind::kInt, v, 0.0, nullptr}; }
  static EngineArg of(double v) { return {Kind::kDouble, 0, v, nullptr}; }
  static EngineArg of(const char* v) { return {Kind::kText, 0, 0.0, v}; }
};

// An engine export bound by name: the module file it comes from, the
// export's name and, once found, its address (0 until then).
struct EngineFunction {
  const char* moduleFile;
  const char* exportName;
  uintptr_t address = 0;
};

// What the window reports to the application.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // Creation of the window and all its controls is complete (the window is
  // not shown yet).
  virtual void windowCreated() = 0;
  // The left mouse button went down on the control.
  virtual void leftButtonDown(Control control) = 0;
};

class Runtime {
 public:
  virtual ~Runtime() = default;

  // ---- Files ---------------------------------------------------------------
  // The directory of the program's own file, without a trailing separator
  // ("C:" for a program at the root of drive C). It is also the process's
  // current directory, so a path starting with a backslash names the root of
  // the drive that holds the program.
  virtual Text programDirectory() = 0;
  // Creates or truncates the file and writes the bytes. False when the file
  // cannot be created or written; an empty path writes nothing and fails.
  virtual bool writeFile(const Text& path, std::span<const uint8_t> bytes) = 0;
  // The whole file, or no bytes when it cannot be read.
  virtual Bytes readFile(const Text& path) = 0;
  // The path as an ANSI program names it (the engine opens files by ANSI
  // names). Where the path has characters outside the ANSI code page, an
  // equivalent spelling of it that has none, if the system has one.
  virtual AnsiText ansiPath(const Text& path) = 0;

  // ---- Controls ------------------------------------------------------------
  // Keeps a copy of the bytes and shows the image they encode (BMP or JPEG);
  // no bytes, or bytes that encode no image, show nothing.
  virtual void setPicture(Control box, Bytes bytes) = 0;
  // Exactly the bytes last set, unchanged (at first the box's initial picture).
  virtual Bytes picture(Control box) = 0;
  // The edit box's current text in the system's ANSI code page (characters
  // the code page lacks become its default character).
  virtual AnsiText editText(Control edit) = 0;
  // The selected list item from 0, or -1 when none is selected.
  virtual int selectedIndex(Control combo) = 0;
  // Appends the text to the combo box's list.
  virtual void addListItem(Control combo, const Text& item) = 0;
  // Draws the standard controls with flat one-pixel frames in the colour of
  // variant 1 to 3 (variant 3: red 198, green 197, blue 215).
  virtual void enableThemedDrawing(int variant) = 0;

  // ---- Dialogs and the shell -----------------------------------------------
  // The system's modal folder-choice dialog (an edit field for typing a path,
  // file-system folders only, owned by the active window). The chosen
  // folder's full path, or empty text when the user cancels.
  virtual Text chooseFolder(const Text& title) = 0;
  // Asks the shell to open the file with its associated program (operation
  // "open", normal window). Failures are ignored.
  virtual void shellOpen(const Text& path) = 0;
  // Asks the shell to open the address in the default browser. Failures are
  // ignored.
  virtual void openWebAddress(const Text& address) = 0;

  // ---- Window and message loop ---------------------------------------------
  // Creates the main window and its controls from the layout (layout.h),
  // centred on the screen, calls events.windowCreated() as soon as creation
  // is complete, then shows the window. From then on the left-button events
  // go to `events`, which must outlive the message loop.
  virtual void createMainWindow(WindowEvents& events) = 0;
  // Runs until the window is closed; returns the program's exit code.
  virtual int runMessageLoop() = 0;

  // ---- The engine ----------------------------------------------------------
  // The engine module carried inside the program, unchanged.
  virtual Bytes carriedEngineModule() = 0;
  // Loads the module and finds the export by its name; returns its address.
  // The module is taken only from the program directory, by its full path.
  // When the module cannot be loaded or lacks the export, shows a fatal
  // error naming the module file and the export and ends the program with
  // exit code -1 (it does not return).
  virtual uintptr_t bindEngineFunction(const char* moduleFile, const char* exportName) = 0;
  // Calls the bound function with the standard calling convention (the
  // callee removes its arguments) and returns what it left in the result
  // register. A call that leaves the stack unbalanced is fatal like a
  // missing export.
  virtual uint32_t callEngineFunction(const EngineFunction& function, std::span<const EngineArg> args) = 0;
};

}  // namespace tesserine::app
