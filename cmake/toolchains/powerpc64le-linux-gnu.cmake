# 64-bit POWER Linux, little-endian (Debian ppc64el), whose `long double` is a
# double-double (106 bits), with Debian's cross compiler; the tests run under
# user-mode QEMU.
#   cmake -S . -B build-ppc64el --toolchain cmake/toolchains/powerpc64le-linux-gnu.cmake
set(cross_triple powerpc64le-linux-gnu)
set(cross_emulator qemu-ppc64le -L /usr/powerpc64le-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
