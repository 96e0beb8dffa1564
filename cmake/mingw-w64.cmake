# Cross build for 64-bit Windows with the MinGW-w64 tool chain (posix threads model), run
# under wine:  cmake -S . -B build-windows -G Ninja \
#                -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTRILANE_CORE_ONLY=ON \
#                -DTRILANE_HOST_WORDS_GEN=<words generator built for this machine>
# scripts/windows-check does all of it. Everything is linked statically, so the programs
# need no DLL beside them, neither on a Windows machine nor under wine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRILANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRILANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRILANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRILANE_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${TRILANE_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TRILANE_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers and libraries come from the MinGW tree only; the build machine's programs
# (python, sh) are still found on the usual path.
set(CMAKE_FIND_ROOT_PATH /usr/${TRILANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest runs every test program through wine. WINEPREFIX and WINEDEBUG come from the
# environment (scripts/windows-check keeps a private prefix under the build tree).
# wine64 itself rather than the wine wrapper, which asks for the 32-bit half it does not need.
find_program(TRILANE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TRILANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TRILANE_WINE})
endif()
