# 32-bit Arm Linux with the hard-float ABI (Debian armhf), whose `long double`
# is a plain double, with Debian's cross compiler; the tests run under
# user-mode QEMU.
#   cmake -S . -B build-armhf --toolchain cmake/toolchains/arm-linux-gnueabihf.cmake
set(cross_triple arm-linux-gnueabihf)
set(cross_emulator qemu-arm -L /usr/arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
