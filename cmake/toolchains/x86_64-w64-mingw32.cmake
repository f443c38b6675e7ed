# 64-bit Windows with the MinGW-w64 cross compiler from Debian; the tests run
# under Wine. Wine wants a prefix of its own, made once before the tests:
#   export WINEPREFIX=$PWD/build-mingw/wineprefix WINEDEBUG=-all
#   cmake -S . -B build-mingw --toolchain cmake/toolchains/x86_64-w64-mingw32.cmake
#   cmake --build build-mingw && wineboot -i && ctest --test-dir build-mingw
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The POSIX thread model: with the win32 one, GCC 12's libstdc++ has no
# std::mutex, which GoogleTest needs. The program itself uses no threads.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The 64-bit loader itself: the `wine` launcher would look for a 32-bit Wine
# first, which is not installed.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
