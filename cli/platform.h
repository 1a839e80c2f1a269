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

}  // namespace tesserine::cli::platform
