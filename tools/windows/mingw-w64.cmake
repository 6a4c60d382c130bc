# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/windows/mingw-w64.cmake
# Programs are linked statically, so each .exe runs without the compiler's
# DLLs beside it. Where Wine is installed, tests run under it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Libraries and packages for Windows only: the compiler's own, and any prefix
# given with -DCMAKE_FIND_ROOT_PATH (a Qt for MinGW, for example).
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

if(EXISTS /usr/lib/wine/wine64)
  set(LANQI_WINE /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all ${LANQI_WINE})
endif()
