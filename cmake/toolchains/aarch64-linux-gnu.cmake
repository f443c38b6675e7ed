# 64-bit Arm Linux, whose `long double` is a 113-bit quadruple, with Debian's
# cross compiler; the tests run under user-mode QEMU.
#   cmake -S . -B build-aarch64 --toolchain cmake/toolchains/aarch64-linux-gnu.cmake
set(cross_triple aarch64-linux-gnu)
set(cross_emulator qemu-aarch64 -L /usr/aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
