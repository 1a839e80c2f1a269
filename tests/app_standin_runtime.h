// A stand-in GUI run time for the generator's logic: files live in a map,
// controls are plain values, the dialogs answer what the test set, and
// every operation that matters is written to one ordered log. Engine calls
// are recorded with their typed arguments; QRSaveAsBMP "writes" the bitmap
// the test chose.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "app/runtime.h"

namespace tesserine::app::testing {

using Arg = std::variant<int32_t, double, std::string>;

struct EngineCall {
  std::string exportName;
  std::vector<Arg> args;
};

class StandInRuntime : public Runtime {
 public:
  // ---- What the test sets up ----
  Text directory = "C:\\程序\\岚石";
  std::map<Text, Bytes> files;       // the file system
  std::set<Text> unwritable;         // paths whose writes fail
  AnsiText editBoxText = "https://www.tesserine.example";
  int versionSelection = -1;
  int levelSelection = -1;
  Text folderAnswer;                 // empty: the user cancels
  Bytes carriedModule{'M', 'Z', 0x90, 0x00, 0x03};
  Bytes placeholder{'B', 'M', 'p', 'l', 'a', 'c', 'e'};
  Bytes engineBitmap{'B', 'M', 's', 'y', 'm'};  // what QRSaveAsBMP writes
  bool engineWritesBitmap = true;
  std::vector<Control> clicks;       // delivered by runMessageLoop
  int exitCode = 0;

  // ---- What the test reads back ----
  std::vector<std::string> log;      // every operation in order
  std::vector<EngineCall> engineCalls;
  std::vector<std::string> bindings;  // "module!export", in binding order
  std::vector<std::pair<Text, Bytes>> writes;
  std::vector<Text> webAddresses;
  std::vector<Text> shellOpens;
  std::vector<Text> folderTitles;
  std::map<Control, std::vector<Text>> listItems;
  std::map<Control, Bytes> pictures;
  int themedVariant = 0;
  WindowEvents* events = nullptr;

  std::vector<std::string> engineCallNames() const {
    std::vector<std::string> names;
    for (const auto& c : engineCalls) names.push_back(c.exportName);
    return names;
  }

  // ---- Runtime ----
  Text programDirectory() override { return directory; }

  bool writeFile(const Text& path, std::span<const uint8_t> bytes) override {
    log.push_back("write " + path);
    if (path.empty() || unwritable.count(path)) return false;
    files[path] = Bytes(bytes.begin(), bytes.end());
    writes.emplace_back(path, files[path]);
    return true;
  }

  Bytes readFile(const Text& path) override {
    log.push_back("read " + path);
    auto it = files.find(path);
    return it == files.end() ? Bytes{} : it->second;
  }

  AnsiText ansiPath(const Text& path) override { return path; }

  void setPicture(Control box, Bytes bytes) override {
    log.push_back("picture " + std::to_string(static_cast<int>(box)));
    pictures[box] = std::move(bytes);
  }

  Bytes picture(Control box) override { return pictures[box]; }

  AnsiText editText(Control edit) override {
    log.push_back("edit text " + std::to_string(static_cast<int>(edit)));
    return edit == Control::编辑框1 ? editBoxText : AnsiText{};
  }

  int selectedIndex(Control combo) override {
    log.push_back("selection " + std::to_string(static_cast<int>(combo)));
    if (combo == Control::组合框_版本) return versionSelection;
    if (combo == Control::组合框_纠错) return levelSelection;
    return -1;
  }

  void addListItem(Control combo, const Text& item) override { listItems[combo].push_back(item); }

  void enableThemedDrawing(int variant) override {
    log.push_back("themed " + std::to_string(variant));
    themedVariant = variant;
  }

  Text chooseFolder(const Text& title) override {
    log.push_back("folder dialog");
    folderTitles.push_back(title);
    return folderAnswer;
  }

  void shellOpen(const Text& path) override {
    log.push_back("shell open " + path);
    shellOpens.push_back(path);
  }

  void openWebAddress(const Text& address) override {
    log.push_back("web " + address);
    webAddresses.push_back(address);
  }

  void createMainWindow(WindowEvents& e) override {
    log.push_back("create window");
    events = &e;
    pictures[Control::图片框1] = placeholder;
    e.windowCreated();
    log.push_back("show window");
  }

  int runMessageLoop() override {
    log.push_back("message loop");
    for (Control c : clicks) events->leftButtonDown(c);
    return exitCode;
  }

  Bytes carriedEngineModule() override { return carriedModule; }

  uintptr_t bindEngineFunction(const char* moduleFile, const char* exportName) override {
    const std::string name = std::string(moduleFile) + "!" + exportName;
    log.push_back("bind " + name);
    bindings.push_back(name);
    return bindings.size();  // any address other than 0
  }

  uint32_t callEngineFunction(const EngineFunction& f, std::span<const EngineArg> args) override {
    EngineCall call{f.exportName, {}};
    for (const EngineArg& a : args) {
      switch (a.kind) {
        case EngineArg::Kind::kInt:
          call.args.emplace_back(a.integer);
          break;
        case EngineArg::Kind::kDouble:
          call.args.emplace_back(a.real);
          break;
        case EngineArg::Kind::kText:
          call.args.emplace_back(std::string(a.text));
          break;
      }
    }
    log.push_back("call " + call.exportName);
    engineCalls.push_back(call);
    if (call.exportName == "QRSaveAsBMP") {
      const std::string path = std::get<std::string>(call.args.at(0));
      files.erase(path);  // the engine deletes the old file first
      if (engineWritesBitmap) files[path] = engineBitmap;
      return engineWritesBitmap ? 0xFFFFu : 0u;
    }
    return 0;
  }
};

}  // namespace tesserine::app::testing
