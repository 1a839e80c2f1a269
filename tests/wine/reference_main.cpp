// Writes, for every case of cases.h, what the native library makes of it:
// CASE.pat (the pattern text) and CASE.bmp (QRSaveAsBMP). The Wine tests
// compare the DLL's files with these.
//   tesserine_wine_reference LIBRARY OUTDIR
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "tests/wine/api.h"
#include "tests/wine/cases.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LIBRARY OUTDIR\n", argv[0]);
    return 2;
  }
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  tesserine_wine::Api api;
  const auto missing = api.bind([&](const char* n) { return dlsym(library, n); });
  for (const auto& name : missing) std::fprintf(stderr, "missing export %s\n", name.c_str());
  if (!missing.empty()) return 1;
  const std::string dir = argv[2];
  for (const auto& c : tesserine_wine::kCases) {
    tesserine_wine::applyCase(api, c);
    const std::string pattern = api.pattern();
    FILE* f = std::fopen((dir + "/" + c.name + ".pat").c_str(), "wb");
    if (f == nullptr || std::fwrite(pattern.data(), 1, pattern.size(), f) != pattern.size() || std::fclose(f) != 0) {
      std::fprintf(stderr, "cannot write %s.pat\n", c.name);
      return 1;
    }
    if (api.saveAsBmp((dir + "/" + c.name + ".bmp").c_str()) != -1) {
      std::fprintf(stderr, "QRSaveAsBMP failed for %s\n", c.name);
      return 1;
    }
  }
  return 0;
}
