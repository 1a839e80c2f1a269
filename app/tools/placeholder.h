// The text of the placeholder symbol shown before the first generate action:
// 17 bytes, a version 1 symbol at level L.
#pragma once

namespace tesserine::app {

inline constexpr const char* kPlaceholderText = "tesserine.example";

}  // namespace tesserine::app
