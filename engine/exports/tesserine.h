/*
 * Tesserine: QR code symbol engine (model 2, versions 1 to 40, levels L, M,
 * Q and H; numeric, alphanumeric and byte mode).
 *
 * The engine is a flat set of functions over one process-wide state: set what
 * you need with the setters, then call one output. Every output encodes the
 * current message afresh; setters compute nothing, so their order does not
 * matter. Every call is serialized by one process-wide lock, so calls from
 * several threads are safe (each output sees the settings of one moment).
 *
 * Conventions
 *  - Calling convention: __stdcall on 32-bit Windows (the callee removes its
 *    arguments), the platform's only convention elsewhere. Exported by these
 *    undecorated names with C linkage.
 *  - Setters never fail: an out-of-range argument takes its default (0 for
 *    automatic or the first level, 500 and 300 for sizes, 0.07 for the module
 *    width, 0 for a colour component). Arguments marked "low 16" count only
 *    through their low 16 bits, read as unsigned.
 *  - Results: a 16-bit truth value, -1 (0xFFFF) for success and 0 for
 *    failure, where a function reports one.
 *  - Texts are NUL-terminated bytes in the caller's code page; the engine
 *    never converts character sets (non-digit, non-alphanumeric text is
 *    encoded byte for byte in byte mode).
 *  - Colours are 0x00BBGGRR. Sizes are in the target's logical units
 *    (pixels for bitmaps).
 *  - Nothing an output creates outlives it, except the picture it hands to
 *    the clipboard, which the clipboard owns.
 *
 * State when the library is loaded: empty message, automatic version and
 * mask, level L, size 0 x 0, black on black, module width 0. Call
 * QRSetDefault, or the setters, before drawing.
 */
#ifndef TESSERINE_H
#define TESSERINE_H

#ifdef _WIN32
#include <windows.h>
typedef HDC TesserineDC;
#else
/* A device context of the engine's own raster surface (see QRCreateDC). */
typedef struct TesserineDeviceContext* TesserineDC;
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define TESSERINE_CALL __stdcall
#else
#define TESSERINE_CALL
#endif

#if defined(TESSERINE_BUILDING)
#if defined(_WIN32)
#define TESSERINE_API
#else
#define TESSERINE_API __attribute__((visibility("default")))
#endif
#else
#define TESSERINE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Setters ------------------------------------------------------------ */

/* Message "12", automatic version and mask, level L, 500 x 300, black bars
 * on white, module width 0.07 cm, orientation 0, no border. Leaves the depth
 * hints of QRSetBackColor and QRSetBarColor as they were, so a caller that
 * sets its colours only through QRSetDefault gets 4-bit BMP files. */
TESSERINE_API void TESSERINE_CALL QRSetDefault(void);

/* Output area in logical units. A width of 0 is stored as 500 and a height
 * of 0 as 300; every other value is stored unchanged. */
TESSERINE_API void TESSERINE_CALL QRSetSize(int width, int height);

/* The text to encode, up to 7,999 bytes plus its NUL. NULL sets the empty
 * text. A longer text is refused whole (no prefix is kept): the message is
 * marked too long and every output fails until the next QRSetMessage. */
TESSERINE_API void TESSERINE_CALL QRSetMessage(const char* text);

/* version (low 16): 0 automatic, 1..40 the smallest version to use (raised
 * as far as the message needs); above 40 means 0.
 * level (low 16): 0 L, 1 M, 2 Q, 3 H; above 3 means 0.
 * mask (low 16): 0 automatic (lowest penalty, lower pattern on ties),
 * 1..8 pattern 0..7; above 8 means 0. So -1 gives 0 in all three. */
TESSERINE_API void TESSERINE_CALL QRConfigure(int version, int level, int mask);

/* moduleWidthCm: module width in centimetres, kept in single precision when
 * > 0, else 0.07. orientation (low 16): 0 a quarter turn clockwise,
 * 1 upright, 2 a quarter turn anticlockwise, 3 half a turn; above 3 means 0.
 * borderStyle (low 16): 0 none, 1 dashed, 2 solid; above 2 means 0. */
TESSERINE_API void TESSERINE_CALL QRAppearance(double moduleWidthCm, int orientation, int borderStyle);

/* Colour components (low 16 each; above 255 means 0). Pure white background
 * and pure black bars give 1-bit BMP files, any other colours 4-bit ones. */
TESSERINE_API void TESSERINE_CALL QRSetBackColor(int red, int green, int blue);
TESSERINE_API void TESSERINE_CALL QRSetBarColor(int red, int green, int blue);

/* ---- Outputs ------------------------------------------------------------ */

/* Draws the symbol, centred in the output area, into dc with the area's
 * top-left corner at (x, y) (low 16 each, unsigned). The mapping mode is
 * MM_TEXT during the call and restored after it; the window origin shifts
 * the drawing; the border uses the pen selected in dc. The module size comes
 * from dc's resolution (its height's for orientations 0 and 2, its width's
 * for 1 and 3), so a dc without one draws the background only. Draws nothing
 * when the message fits no version. */
TESSERINE_API void TESSERINE_CALL QRRender(TesserineDC dc, int x, int y);

/* Writes the output area as an uncompressed bottom-up BMP file (1 bit per
 * pixel for black on white, else 4). An existing file of that name is
 * always deleted first. -1 when written; 0 (and no file) when the message
 * fits no version, the size is not drawable (a width or height that is not
 * positive, or more than 67,108,864 pixels in all), or the file cannot be
 * written completely. */
TESSERINE_API short TESSERINE_CALL QRSaveAsBMP(const char* path);

/* Writes a placeable WMF file of the drawing. Same results as QRSaveAsBMP. */
TESSERINE_API short TESSERINE_CALL QRSaveAsWMF(const char* path);

/* Puts an enhanced metafile of the drawing on the clipboard, in place of
 * everything it held. -1 when done; 0, with the clipboard unchanged, when it
 * cannot be opened, the message fits no version or the size is not drawable
 * (a width or height that is not positive). */
TESSERINE_API short TESSERINE_CALL QRCopyToClipboard(void);

/* Drawn size of the symbol alone (no margin) in logical units of the display
 * (useDisplay low 16 = 0xFFFF) or of dc, from the resolution QRRender would
 * use. 0 x 0 when the message fits no version or the device has no
 * resolution. Null pointers are not written. */
TESSERINE_API void TESSERINE_CALL QRGetActualSize(int useDisplay, TesserineDC dc, int* width, int* height);

/* Modules on a side (21..177), 0 when the message fits no version. Null
 * pointers are not written. */
TESSERINE_API void TESSERINE_CALL QRGetActualRC(short* rows, short* columns);

/* The symbol as N * N bytes '1' (dark) and '0' (light), no NUL: columns left
 * to right, each from its bottom row up (byte c * N + (N - 1 - r) is row r,
 * column c). *length holds the capacity of buffer on entry.
 *  - 0: the buffer is too small (a null length counts as a capacity of 0,
 *    a null buffer as too small); *length, *rows and *columns now hold
 *    N * N, N and N, and buffer is untouched.
 *  - -1: the buffer holds the pattern and the out-values are untouched; or
 *    the message fits no version and the three out-values are 0.
 * Null out-pointers are never written. Ask with a capacity of 0 first, then
 * call again with a buffer of the size reported. */
TESSERINE_API short TESSERINE_CALL QRGetPatternData(char* buffer, unsigned int* length, short* rows,
                                                    short* columns);

#ifndef _WIN32
/* ---- Device contexts without GDI ----------------------------------------
 * Where there is no GDI, QRRender and QRGetActualSize work on the engine's
 * own device contexts: a raster surface of 24-bit pixels with a resolution,
 * a mapping mode (numbered as on Windows: MM_TEXT = 1 ... MM_ANISOTROPIC =
 * 8; only MM_TEXT is ever drawn under, as QRRender forces it), a window
 * origin (logical point (x, y) is pixel (x - orgX, y - orgY)) and a pen of
 * one pixel that draws the border. Drawing is clipped to the surface. */

/* A white surface of width x height pixels (at most 8192 x 8192 pixels in
 * all) reporting dpiX and dpiY dots per inch (negative values read as 0; 0
 * is a device without a resolution, on which QRRender draws with a module
 * size of 0), MM_TEXT, window origin (0, 0), black pen. NULL when the size
 * is not positive or too large, or memory runs out. */
TESSERINE_API TesserineDC TESSERINE_CALL QRCreateDC(int width, int height, int dpiX, int dpiY);

/* Releases a context made by QRCreateDC; NULL is ignored. */
TESSERINE_API void TESSERINE_CALL QRDeleteDC(TesserineDC dc);

/* Pixel (x, y), counted from the top-left, as 0x00BBGGRR; 0xFFFFFFFF outside
 * the surface or for a NULL context. */
TESSERINE_API unsigned int TESSERINE_CALL QRGetDCPixel(TesserineDC dc, int x, int y);

/* The pen's colour, 0x00BBGGRR (the high byte is ignored). */
TESSERINE_API void TESSERINE_CALL QRSetDCPen(TesserineDC dc, unsigned int colour);

/* Sets the mapping mode (1 to 8) and returns the previous one; returns 0 and
 * changes nothing for another value or a NULL context. */
TESSERINE_API int TESSERINE_CALL QRSetDCMapMode(TesserineDC dc, int mode);

/* Sets the window origin: the logical point that maps to pixel (0, 0). */
TESSERINE_API void TESSERINE_CALL QRSetDCWindowOrg(TesserineDC dc, int x, int y);

/* ---- The stand-in display and clipboard ----------------------------------
 * Where there is no window system the engine stands in for the display and
 * the clipboard itself. */

/* The resolution of the stand-in display in dots per inch, 96 x 96 when the
 * library is loaded; negative values read as 0. The BMP, WMF and clipboard
 * outputs draw their modules for it (the width's for orientations 0 and 2,
 * the height's for 1 and 3), WMF files state its width's value as their
 * units per inch, and QRGetActualSize measures for it when asked for the
 * display. At 0 the modules have no size and only the background is drawn.
 * On Windows the display is the real one and has its own resolution. */
TESSERINE_API void TESSERINE_CALL QRSetDisplayResolution(int dpiX, int dpiY);

/* The stand-in clipboard is a store of this process: this reads back the
 * enhanced metafile QRCopyToClipboard put there (the bytes of an EMF file).
 * *length holds the capacity of buffer on entry.
 *  - -1: buffer holds the picture, *length its size in bytes.
 *  - 0: the buffer is null or too small; *length now holds the size needed
 *    and buffer is untouched. Or the clipboard holds no enhanced metafile:
 *    *length is now 0.
 * A null length gives 0 and writes nothing. Ask with a capacity of 0 first,
 * then call again with a buffer of the size reported. On Windows read the
 * system clipboard's CF_ENHMETAFILE instead (GetClipboardData and
 * GetEnhMetaFileBits). */
TESSERINE_API short TESSERINE_CALL QRGetClipboardData(unsigned char* buffer, unsigned int* length);
#endif

#ifdef __cplusplus
}
#endif

#endif /* TESSERINE_H */
