# 32-bit x86 Linux (x87 floating point), with Debian's cross compiler.
#   cmake -S . -B build-i686 --toolchain cmake/toolchains/i686-linux-gnu.cmake
# Where this machine's kernel runs 32-bit x86 programs, the tests run natively,
# started by the cross C library's own dynamic loader: it finds the target's
# libraries in /usr/i686-linux-gnu, where the system's loader would not look
# (and the system may have no 32-bit libraries of its own). Elsewhere they run
# under user-mode QEMU with the same libraries. Running that loader is the
# probe: it is itself a 32-bit program.
set(cross_triple i686-linux-gnu)
set(cross_libraries /usr/${cross_triple}/lib)
execute_process(COMMAND ${cross_libraries}/ld-linux.so.2 --version
  RESULT_VARIABLE cross_loader_status OUTPUT_QUIET ERROR_QUIET)
if(cross_loader_status EQUAL 0)
  set(cross_emulator ${cross_libraries}/ld-linux.so.2 --library-path ${cross_libraries})
else()
  set(cross_emulator qemu-i386 -L /usr/${cross_triple})
endif()
include(${CMAKE_CURRENT_LIST_DIR}/cross_common.cmake)
