# 64-bit MIPS Linux, little-endian, n64 ABI (Debian mips64el), whose `long
# double` is a 113-bit quadruple, with Debian's cross compiler; the tests run
# under user-mode QEMU.
#   cmake -S . -B build-mips64el --toolchain cmake/toolchains/mips64el-linux-gnuabi64.cmake
set(cross_triple mips64el-linux-gnuabi64)
set(cross_emulator qemu-mips64el -L /usr/mips64el-linux-gnuabi64)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
