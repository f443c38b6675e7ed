# 32-bit Windows (x87 `long double`) with the MinGW-w64 cross compiler from
# Debian; the tests run under 32-bit Wine (wine32:i386), where the machine's
# kernel runs 32-bit x86 code. See .ci/stages/mingw32.sh for the Wine set-up.
#   cmake -S . -B build-mingw32 --toolchain cmake/toolchains/i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The POSIX thread model, as for 64-bit Windows: GoogleTest needs std::mutex.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The 32-bit loader itself.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
