// A run time for the generator's logic on a POSIX system that calls the
// engine's exports in-process (tesserine_static) and keeps real files in a
// directory. No window: controls are plain values, the dialogs answer what
// the caller set and the shell calls are only recorded. Used to make the
// placeholder picture with the application's own settings and to check a
// whole generate action against the real engine.
//
// Paths keep the application's backslashes up to here and become POSIX
// paths (slashes) where they reach the file system or the engine.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/runtime.h"
#include "engine/exports/tesserine.h"

namespace tesserine::app {

class NativeEngineRuntime : public Runtime {
 public:
  explicit NativeEngineRuntime(Text directory) : directory_(std::move(directory)) {}

  AnsiText editBoxText;
  int versionSelection = -1;
  int levelSelection = -1;
  Text folderAnswer;
  std::vector<Text> webAddresses;
  std::vector<Text> shellOpens;

  static std::string posixPath(const Text& path) {
    std::string p = path;
    for (char& c : p)
      if (c == '\\') c = '/';
    return p;
  }

  Text programDirectory() override { return directory_; }

  bool writeFile(const Text& path, std::span<const uint8_t> bytes) override {
    if (path.empty()) return false;
    std::ofstream out(posixPath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
  }

  Bytes readFile(const Text& path) override {
    std::ifstream in(posixPath(path), std::ios::binary);
    if (!in) return {};
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  AnsiText ansiPath(const Text& path) override { return posixPath(path); }

  void setPicture(Control box, Bytes bytes) override { pictures_[box] = std::move(bytes); }
  Bytes picture(Control box) override { return pictures_[box]; }
  AnsiText editText(Control) override { return editBoxText; }
  int selectedIndex(Control combo) override {
    return combo == Control::组合框_版本 ? versionSelection : combo == Control::组合框_纠错 ? levelSelection : -1;
  }
  void addListItem(Control, const Text&) override {}
  void enableThemedDrawing(int) override {}
  Text chooseFolder(const Text&) override { return folderAnswer; }
  void shellOpen(const Text& path) override { shellOpens.push_back(path); }
  void openWebAddress(const Text& address) override { webAddresses.push_back(address); }
  void createMainWindow(WindowEvents& events) override { events.windowCreated(); }
  int runMessageLoop() override { return 0; }
  Bytes carriedEngineModule() override { return {}; }

  uintptr_t bindEngineFunction(const char*, const char* exportName) override {
    for (size_t i = 0; i < std::size(kExports); ++i)
      if (std::string(exportName) == kExports[i]) return i + 1;
    throw std::runtime_error(std::string("no such export: ") + exportName);
  }

  // Calls the export with the arguments, which must be of the kinds its
  // declaration takes.
  uint32_t callEngineFunction(const EngineFunction& f, std::span<const EngineArg> args) override {
    using K = EngineArg::Kind;
    const std::string name = f.exportName;
    auto need = [&](std::initializer_list<K> kinds) {
      bool ok = args.size() == kinds.size();
      size_t i = 0;
      for (K k : kinds) ok = ok && args[i++].kind == k;
      if (!ok) throw std::runtime_error("wrong arguments for " + name);
    };
    if (name == "QRSetSize") {
      need({K::kInt, K::kInt});
      QRSetSize(args[0].integer, args[1].integer);
    } else if (name == "QRSaveAsBMP") {
      need({K::kText});
      return static_cast<uint16_t>(QRSaveAsBMP(args[0].text));
    } else if (name == "QRSetMessage") {
      need({K::kText});
      QRSetMessage(args[0].text);
    } else if (name == "QRSetBackColor") {
      need({K::kInt, K::kInt, K::kInt});
      QRSetBackColor(args[0].integer, args[1].integer, args[2].integer);
    } else if (name == "QRSetBarColor") {
      need({K::kInt, K::kInt, K::kInt});
      QRSetBarColor(args[0].integer, args[1].integer, args[2].integer);
    } else if (name == "QRConfigure") {
      need({K::kInt, K::kInt, K::kInt});
      QRConfigure(args[0].integer, args[1].integer, args[2].integer);
    } else if (name == "QRAppearance") {
      need({K::kDouble, K::kInt, K::kInt});
      QRAppearance(args[0].real, args[1].integer, args[2].integer);
    } else {
      throw std::runtime_error("not an export of the application: " + name);
    }
    return 0;
  }

 private:
  static constexpr const char* kExports[] = {"QRSetSize",      "QRSaveAsBMP", "QRSetMessage", "QRSetBackColor",
                                             "QRSetBarColor",  "QRConfigure", "QRAppearance"};
  Text directory_;
  std::map<Control, Bytes> pictures_;
};

}  // namespace tesserine::app
