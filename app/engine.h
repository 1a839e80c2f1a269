// The engine exports the application calls, bound by name at their first
// call and kept for the rest of the run. Arguments and results are those of
// the engine's declarations (engine/exports/tesserine.h).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "app/runtime.h"

namespace tesserine::app {

// The name of the engine module file in the program directory.
inline constexpr const char* kEngineModuleFile = "Tesserine.dll";

class Engine {
 public:
  explicit Engine(Runtime& runtime);

  void setSize(int32_t width, int32_t height);
  int16_t saveAsBMP(const AnsiText& path);
  void setMessage(const AnsiText& text);
  void setBackColor(int32_t red, int32_t green, int32_t blue);
  void setBarColor(int32_t red, int32_t green, int32_t blue);
  void configure(int32_t version, int32_t level, int32_t mask);
  void appearance(double moduleWidthCm, int32_t orientation, int32_t borderStyle);

 private:
  // The bindings in the order the application knows them.
  enum Entry { kSetSize, kSaveAsBMP, kSetMessage, kSetBackColor, kSetBarColor, kConfigure, kAppearance };

  uint32_t call(Entry entry, std::initializer_list<EngineArg> args);

  Runtime& runtime_;
  std::array<EngineFunction, 7> functions_;
};

}  // namespace tesserine::app
