# 64-bit RISC-V Linux (Debian riscv64), whose `long double` is a 113-bit
# quadruple, with Debian's cross compiler; the tests run under user-mode QEMU.
#   cmake -S . -B build-riscv64 --toolchain cmake/toolchains/riscv64-linux-gnu.cmake
set(cross_triple riscv64-linux-gnu)
set(cross_emulator qemu-riscv64 -L /usr/riscv64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
