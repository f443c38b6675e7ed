# IBM Z Linux (Debian s390x), big-endian, whose `long double` is a 113-bit
# quadruple, with Debian's cross compiler; the tests run under user-mode QEMU.
#   cmake -S . -B build-s390x --toolchain cmake/toolchains/s390x-linux-gnu.cmake
set(cross_triple s390x-linux-gnu)
set(cross_emulator qemu-s390x -L /usr/s390x-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
