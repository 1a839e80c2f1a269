# Cross toolchain: i686 Windows through mingw-w64 (Debian's g++-mingw-w64-i686).
# The posix thread model gives the C++ threading library; everything is linked
# statically so the programs import only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TESSERINE_MINGW_TRIPLE i686-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TESSERINE_MINGW_TRIPLE}-gcc-posix ${TESSERINE_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TESSERINE_MINGW_TRIPLE}-g++-posix ${TESSERINE_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TESSERINE_MINGW_TRIPLE}-windres REQUIRED)
find_program(CMAKE_DLLTOOL NAMES ${TESSERINE_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(TESSERINE_OBJDUMP NAMES ${TESSERINE_MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSERINE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests built for Windows run under Wine.
find_program(TESSERINE_WINE NAMES wine)
if(TESSERINE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSERINE_WINE})
endif()
