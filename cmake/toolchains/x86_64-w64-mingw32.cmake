# 64-bit Windows with the MinGW-w64 cross compiler from Debian; the tests run
# under Wine, set up first as start_wine in tools/wine.sh does (README,
# "Platforms", has the commands by hand).
#   cmake -S . -B build-mingw --toolchain cmake/toolchains/x86_64-w64-mingw32.cmake
set(cross_triple x86_64-w64-mingw32)
# The 64-bit loader itself: the `wine` launcher would look for a 32-bit Wine
# first, which may not be installed.
set(cross_emulator /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
