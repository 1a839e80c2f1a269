/* Calls the DLL through its import library and tesserine.h, as a C program
 * linked with Tesserine.lib does. Prints rows, columns and QRSaveAsBMP's
 * result. */
#include <stdio.h>

#include "tesserine.h"

int main(void) {
  short rows = 0, columns = 0;
  QRSetDefault();
  QRSetMessage("IMPORT LIBRARY");
  QRConfigure(2, 0, 0);
  QRGetActualRC(&rows, &columns);
  printf("%d %d %d\n", rows, columns, QRSaveAsBMP("import_library_caller.bmp"));
  return 0;
}
