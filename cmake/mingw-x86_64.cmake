# Cross toolchain: x86_64 Windows through mingw-w64 (Debian's g++-mingw-w64-x86-64).
# The posix thread model gives the C++ threading library; everything is linked
# statically so the programs import only system DLLs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSERINE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
