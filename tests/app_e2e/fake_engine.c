/* A stand-in engine module for the generator's end-to-end tests. It writes
 * every call with its arguments to "engine-calls.log" next to itself and
 * makes a small 1-bit BMP in QRSaveAsBMP, so the tests can see exactly what
 * arrives through the generator's calling thunk. Built in three kinds:
 *   (default)                 all seven exports, standard calling convention
 *   FAKE_CDECL_SET_SIZE       QRSetSize leaves its arguments on the stack
 *   FAKE_WITHOUT_APPEARANCE   no QRAppearance export */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static char gLogPath[MAX_PATH];

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    DWORD n = GetModuleFileNameA(self, gLogPath, MAX_PATH - 20);
    char* slash = strrchr(gLogPath, '\\');
    if (n == 0 || slash == NULL) return FALSE;
    strcpy(slash + 1, "engine-calls.log");
  }
  return TRUE;
}

static void record(const char* format, ...) {
  FILE* f = fopen(gLogPath, "ab");
  va_list args;
  if (!f) return;
  va_start(args, format);
  vfprintf(f, format, args);
  va_end(args);
  fputc('\n', f);
  fclose(f);
}

static void recordText(const char* name, const char* text) {
  char hex[2 * 256 + 1];
  size_t i;
  for (i = 0; text[i] != '\0' && i < 256; ++i) sprintf(hex + 2 * i, "%02x", (unsigned char)text[i]);
  hex[2 * i] = '\0';
  record("%s %s", name, hex);
}

#ifdef FAKE_CDECL_SET_SIZE
__declspec(dllexport) void __cdecl QRSetSize(int width, int height) { record("QRSetSize %d %d", width, height); }
#else
__declspec(dllexport) void __stdcall QRSetSize(int width, int height) { record("QRSetSize %d %d", width, height); }
#endif

__declspec(dllexport) void __stdcall QRSetMessage(const char* text) { recordText("QRSetMessage", text); }

__declspec(dllexport) void __stdcall QRSetBackColor(int r, int g, int b) { record("QRSetBackColor %d %d %d", r, g, b); }

__declspec(dllexport) void __stdcall QRSetBarColor(int r, int g, int b) { record("QRSetBarColor %d %d %d", r, g, b); }

__declspec(dllexport) void __stdcall QRConfigure(int version, int level, int mask) {
  record("QRConfigure %d %d %d", version, level, mask);
}

#ifndef FAKE_WITHOUT_APPEARANCE
__declspec(dllexport) void __stdcall QRAppearance(double width, int orientation, int border) {
  record("QRAppearance %.17g %d %d", width, orientation, border);
}
#endif

/* An 8 x 8 1-bit BMP, black and white squares. */
__declspec(dllexport) short __stdcall QRSaveAsBMP(const char* path) {
  unsigned char file[62 + 32] = {'B', 'M', 94, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0,
                                 1, 0, 1, 0, 0, 0, 0, 0, 32, 0, 0, 0};
  HANDLE h;
  DWORD written;
  int row;
  recordText("QRSaveAsBMP", path);
  file[58] = file[59] = file[60] = 255; /* entry 1 white */
  for (row = 0; row < 8; ++row) file[62 + 4 * row] = (row & 2) ? 0xCC : 0x33;
  h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return 0;
  WriteFile(h, file, sizeof file, &written, NULL);
  CloseHandle(h);
  return -1;
}
