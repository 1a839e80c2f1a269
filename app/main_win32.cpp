// The generator program's entry point on Windows.
#include <windows.h>

#include "app/generator.h"
#include "app/runtime_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  auto runtime = tesserine::app::makeWin32Runtime(instance);
  return tesserine::app::runApplication(*runtime);
}
