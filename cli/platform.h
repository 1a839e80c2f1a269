// The few system calls the tool needs, kept apart so that the rest is plain
// standard C++ on every platform.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tesserine::cli::platform {

// Puts standard input and output in binary mode (no newline or end-of-file
// translation; a no-op where there is none). Call before any I/O.
void useBinaryStandardStreams();

// Writes all bytes and flushes; false on any failure. A UTF-8 text bound
// for a console that does not take UTF-8 bytes is written as characters.
bool writeStandardOutput(std::string_view bytes, bool utf8Text);

// Opens a file for reading bytes; null on failure (errno set).
std::FILE* openForReading(const std::string& path);

// Creates or replaces the file and writes all bytes. On failure the partial
// file is removed and `why` says what went wrong.
bool writeNewFile(const std::string& path, std::string_view bytes, std::string& why);

// The whole file's bytes; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& bytes);

// Why a file cannot be created at `path`, found by trying to create it (the
// engine says only that it failed). Removes what the try created. Empty
// when it can be created after all.
std::string whyNotWritable(const std::string& path);

// A directory of this process's own in the system's temporary directory,
// for the engine to write a file into that is then copied elsewhere; made
// private (mode 0700 where there are modes), so that no other user can put
// a file or link in the engine's way. Removed, with the one file named by
// file(), when the object goes.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  bool made() const { return !directory_.empty(); }
  // The path of the file `name` inside the directory.
  const std::string& file(const std::string& name);
  std::string error;  // for the user, when the directory could not be made

 private:
  std::string directory_;
  std::string file_;
};

// The enhanced metafile the engine last put on the clipboard, as the bytes
// of an EMF file: on Windows the system clipboard's CF_ENHMETAFILE, elsewhere
// the engine's own clipboard store (QRGetClipboardData). False when there is
// none or the clipboard cannot be opened.
bool readClipboardPicture(std::string& bytes);

}  // namespace tesserine::cli::platform
