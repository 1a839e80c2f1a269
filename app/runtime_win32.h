// The GUI run time on Win32: windows and controls of user32, pictures decoded
// by OLE, the shell's folder dialog and ShellExecute, the engine module
// loaded from the program directory and called through a stack check.
#pragma once

#include <windows.h>

#include <memory>

#include "app/runtime.h"

namespace tesserine::app {

// One per process (the window procedures find it through a process-wide
// pointer). Makes the program directory the current directory.
std::unique_ptr<Runtime> makeWin32Runtime(HINSTANCE instance);

}  // namespace tesserine::app
