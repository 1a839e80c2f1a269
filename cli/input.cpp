#include "input.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform.h"

namespace tesserine::cli {
namespace {

void readStream(std::FILE* stream, const std::string& name, InputText& text) {
  char chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
    if (text.bytes.size() < kKeptBytes) text.bytes.append(chunk, std::min(got, kKeptBytes - text.bytes.size()));
    text.length += got;
  }
  if (std::ferror(stream)) text.error = "cannot read " + name + ": " + std::strerror(errno);
}

}  // namespace

InputText readInputText(const Options& options) {
  InputText text;
  if (options.source == TextSource::Argument) {
    text.length = options.text.size();
    text.bytes = options.text.substr(0, kKeptBytes);
    return text;
  }
  if (options.source == TextSource::StandardInput || options.inputPath == "-") {
    readStream(stdin, "standard input", text);
    return text;
  }
  std::FILE* file = platform::openForReading(options.inputPath);
  if (file == nullptr) {
    text.error = "cannot open '" + options.inputPath + "': " + std::strerror(errno);
    return text;
  }
  readStream(file, "'" + options.inputPath + "'", text);
  std::fclose(file);
  return text;
}

}  // namespace tesserine::cli
