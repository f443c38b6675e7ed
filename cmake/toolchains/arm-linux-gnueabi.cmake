# 32-bit Arm Linux with the soft-float ABI (Debian armel), whose `long double`
# is a plain double, with Debian's cross compiler; the tests run under
# user-mode QEMU.
#   cmake -S . -B build-armel --toolchain cmake/toolchains/arm-linux-gnueabi.cmake
set(cross_triple arm-linux-gnueabi)
set(cross_emulator qemu-arm -L /usr/arm-linux-gnueabi)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
