// The exported entry points: each takes the engine lock and hands over to
// the internal function that does the work.
#include "engine/exports/tesserine.h"

#include "engine/encoder/settings.h"
#include "engine/exports/engine_lock.h"
#include "engine/output/metafile.h"
#include "engine/output/pattern_data.h"

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

void TESSERINE_CALL QRGetActualRC(short* rows, short* columns) {
  EngineLock lock;
  tesserine::getActualRC(theEngine().settings, rows, columns);
}

short TESSERINE_CALL QRGetPatternData(char* buffer, unsigned int* length, short* rows, short* columns) {
  EngineLock lock;
  return tesserine::getPatternData(theEngine().settings, buffer, length, rows, columns);
}

short TESSERINE_CALL QRSaveAsWMF(const char* path) {
  EngineLock lock;
  return tesserine::saveAsWmf(theEngine().settings, path);
}

short TESSERINE_CALL QRCopyToClipboard(void) {
  EngineLock lock;
  return tesserine::copyToClipboard(theEngine().settings);
}

}  // extern "C"
