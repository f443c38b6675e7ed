# 32-bit Windows (x87 `long double`) with the MinGW-w64 cross compiler from
# Debian; the tests run under 32-bit Wine (wine32:i386), where the machine's
# kernel runs 32-bit x86 code, set up first as start_wine in tools/wine.sh does
# (README, "Platforms", has the commands by hand).
#   cmake -S . -B build-mingw32 --toolchain cmake/toolchains/i686-w64-mingw32.cmake
set(cross_triple i686-w64-mingw32)
set(cross_emulator /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
