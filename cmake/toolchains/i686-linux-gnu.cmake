# 32-bit x86 Linux (x87 floating point), with Debian's cross compiler.
#   cmake -S . -B build-i686 --toolchain cmake/toolchains/i686-linux-gnu.cmake
# Where this machine's kernel runs 32-bit x86 programs itself, the tests run
# natively, started by the cross C library's own dynamic loader: it finds the
# target's libraries in /usr/i686-linux-gnu, where the system's loader would
# not look (and the system may have no 32-bit libraries of its own).
# Elsewhere, an emulator registered with the kernel included, they run under
# user-mode QEMU with the same libraries.
set(cross_triple i686-linux-gnu)
set(cross_libraries /usr/${cross_triple}/lib)
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/how-i386-code-runs
  OUTPUT_VARIABLE i386_code OUTPUT_STRIP_TRAILING_WHITESPACE)
if(i386_code STREQUAL "native")
  set(cross_emulator ${cross_libraries}/ld-linux.so.2 --library-path ${cross_libraries})
else()
  set(cross_emulator qemu-i386 -L /usr/${cross_triple})
endif()
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
