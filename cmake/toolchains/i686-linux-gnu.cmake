# 32-bit x86 Linux (x87 floating point), with Debian's cross compiler; the
# tests run under user-mode QEMU.
#   cmake -S . -B build-i686 --toolchain cmake/toolchains/i686-linux-gnu.cmake
set(cross_triple i686-linux-gnu)
set(cross_emulator qemu-i386 -L /usr/i686-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
