# Cross toolchain: i686 Windows through mingw-w64 (Debian's g++-mingw-w64-i686).
# The posix thread model gives the C++ threading library; everything is linked
# statically so the programs import only system DLLs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSERINE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
