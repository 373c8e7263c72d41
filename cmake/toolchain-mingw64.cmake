# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler (the posix thread
# model, which std::thread needs):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Libraries and headers of the target only (with the header-only libraries that
# scripts/build-windows links into deps/ of the build folder); programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${CMAKE_BINARY_DIR}/deps)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe that needs no DLL beside it: the C++ runtime and the threads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Runs the tests' and tools' .exe files under Wine when there is one.
find_program(CORVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(CORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVANE_WINE})
endif()
