// make_placeholder OUT.bmp: the placeholder symbol of the generator's symbol
// picture, made the way a generate action makes a symbol (the application's
// logic and settings, this engine, a display of 96 dots per inch) from the
// text kPlaceholderText. Run by app/resources/make-artwork.sh.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/generator.h"
#include "app/tools/native_engine_runtime.h"
#include "app/tools/placeholder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
    return 2;
  }
  char pattern[] = "/tmp/tesserine-placeholder-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string dir = pattern;
  tesserine::app::NativeEngineRuntime runtime(dir);
  runtime.editBoxText = tesserine::app::kPlaceholderText;
  tesserine::app::Generator generator(runtime);
  generator.generateSymbol();
  const tesserine::app::Bytes bitmap = runtime.picture(tesserine::app::Control::图片框1);
  std::filesystem::remove_all(dir);
  if (bitmap.size() != 32062) {
    std::fprintf(stderr, "unexpected bitmap of %zu bytes\n", bitmap.size());
    return 1;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bitmap.data()), static_cast<std::streamsize>(bitmap.size()));
  return out.flush() ? 0 : 1;
}
