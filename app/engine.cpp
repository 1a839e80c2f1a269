#include "app/engine.h"

namespace tesserine::app {

Engine::Engine(Runtime& runtime)
    : runtime_(runtime),
      functions_{{{kEngineModuleFile, "QRSetSize"},
                  {kEngineModuleFile, "QRSaveAsBMP"},
                  {kEngineModuleFile, "QRSetMessage"},
                  {kEngineModuleFile, "QRSetBackColor"},
                  {kEngineModuleFile, "QRSetBarColor"},
                  {kEngineModuleFile, "QRConfigure"},
                  {kEngineModuleFile, "QRAppearance"}}} {}

uint32_t Engine::call(Entry entry, std::initializer_list<EngineArg> args) {
  EngineFunction& f = functions_[entry];
  if (f.address == 0) f.address = runtime_.bindEngineFunction(f.moduleFile, f.exportName);
  return runtime_.callEngineFunction(f, std::span<const EngineArg>(args.begin(), args.size()));
}

void Engine::setSize(int32_t width, int32_t height) { call(kSetSize, {EngineArg::of(width), EngineArg::of(height)}); }

int16_t Engine::saveAsBMP(const AnsiText& path) {
  // A 16-bit result: the low half of the result register.
  return static_cast<int16_t>(call(kSaveAsBMP, {EngineArg::of(path.c_str())}) & 0xFFFFu);
}

void Engine::setMessage(const AnsiText& text) { call(kSetMessage, {EngineArg::of(text.c_str())}); }

void Engine::setBackColor(int32_t red, int32_t green, int32_t blue) {
  call(kSetBackColor, {EngineArg::of(red), EngineArg::of(green), EngineArg::of(blue)});
}

void Engine::setBarColor(int32_t red, int32_t green, int32_t blue) {
  call(kSetBarColor, {EngineArg::of(red), EngineArg::of(green), EngineArg::of(blue)});
}

void Engine::configure(int32_t version, int32_t level, int32_t mask) {
  call(kConfigure, {EngineArg::of(version), EngineArg::of(level), EngineArg::of(mask)});
}

void Engine::appearance(double moduleWidthCm, int32_t orientation, int32_t borderStyle) {
  call(kAppearance, {EngineArg::of(moduleWidthCm), EngineArg::of(orientation), EngineArg::of(borderStyle)});
}

}  // namespace tesserine::app
