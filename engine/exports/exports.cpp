// The exported entry points: each takes the engine lock and hands over to
// the internal function that does the work.
#include "engine/exports/tesserine.h"

#include "engine/encoder/settings.h"
#include "engine/exports/engine_lock.h"
#include "engine/output/bitmap.h"
#include "engine/output/metafile.h"
#include "engine/output/pattern_data.h"
#include "engine/output/platform.h"
#include "engine/output/render.h"
#ifndef _WIN32
#include "engine/output/device_context_posix.h"
#endif

using tesserine::EngineLock;
using tesserine::theEngine;

extern "C" {

void TESSERINE_CALL QRSetDefault(void) {
  EngineLock lock;
  tesserine::setDefault(theEngine().settings);
}

void TESSERINE_CALL QRSetSize(int width, int height) {
  EngineLock lock;
  tesserine::setSize(theEngine().settings, width, height);
}

void TESSERINE_CALL QRSetMessage(const char* text) {
  EngineLock lock;
  tesserine::setMessage(theEngine().settings, text);
}

void TESSERINE_CALL QRConfigure(int version, int level, int mask) {
  EngineLock lock;
  tesserine::configure(theEngine().settings, version, level, mask);
}

void TESSERINE_CALL QRAppearance(double moduleWidthCm, int orientation, int borderStyle) {
  EngineLock lock;
  tesserine::setAppearance(theEngine().settings, moduleWidthCm, orientation, borderStyle);
}

void TESSERINE_CALL QRSetBackColor(int red, int green, int blue) {
  EngineLock lock;
  tesserine::setBackColor(theEngine().settings, red, green, blue);
}

void TESSERINE_CALL QRSetBarColor(int red, int green, int blue) {
  EngineLock lock;
  tesserine::setBarColor(theEngine().settings, red, green, blue);
}

void TESSERINE_CALL QRRender(TesserineDC dc, int x, int y) {
  EngineLock lock;
  tesserine::render(theEngine().settings, dc, x, y);
}

short TESSERINE_CALL QRSaveAsBMP(const char* path) {
  EngineLock lock;
  return tesserine::saveAsBmp(theEngine().settings, path);
}

void TESSERINE_CALL QRGetActualSize(int useDisplay, TesserineDC dc, int* width, int* height) {
  EngineLock lock;
  tesserine::getActualSize(theEngine().settings, useDisplay, dc, width, height);
}

void TESSERINE_CALL QRGetActualRC(short* rows, short* columns) {
  EngineLock lock;
  tesserine::getActualRC(theEngine().settings, rows, columns);
}

short TESSERINE_CALL QRGetPatternData(char* buffer, unsigned int* length, short* rows, short* columns) {
  EngineLock lock;
  return tesserine::getPatternData(theEngine().settings, buffer, length, rows, columns);
}

#ifndef _WIN32
TesserineDC TESSERINE_CALL QRCreateDC(int width, int height, int dpiX, int dpiY) {
  EngineLock lock;
  return tesserine::createDC(width, height, dpiX, dpiY);
}

void TESSERINE_CALL QRDeleteDC(TesserineDC dc) {
  EngineLock lock;
  tesserine::deleteDC(dc);
}

unsigned int TESSERINE_CALL QRGetDCPixel(TesserineDC dc, int x, int y) {
  EngineLock lock;
  return tesserine::dcPixel(dc, x, y);
}

void TESSERINE_CALL QRSetDCPen(TesserineDC dc, unsigned int colour) {
  EngineLock lock;
  tesserine::setDCPen(dc, colour);
}

int TESSERINE_CALL QRSetDCMapMode(TesserineDC dc, int mode) {
  EngineLock lock;
  return tesserine::setDCMapMode(dc, mode);
}

void TESSERINE_CALL QRSetDCWindowOrg(TesserineDC dc, int x, int y) {
  EngineLock lock;
  tesserine::setDCWindowOrg(dc, x, y);
}

void TESSERINE_CALL QRSetDisplayResolution(int dpiX, int dpiY) {
  EngineLock lock;
  tesserine::platform::setDisplayResolution(dpiX, dpiY);
}

short TESSERINE_CALL QRGetClipboardData(unsigned char* buffer, unsigned int* length) {
  EngineLock lock;
  return tesserine::getClipboardData(buffer, length);
}
#endif

short TESSERINE_CALL QRSaveAsWMF(const char* path) {
  EngineLock lock;
  return tesserine::saveAsWmf(theEngine().settings, path);
}

short TESSERINE_CALL QRCopyToClipboard(void) {
  EngineLock lock;
  return tesserine::copyToClipboard(theEngine().settings);
}

}  // extern "C"
