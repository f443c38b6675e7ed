# Shared by the toolchain files, each of which sets, before including this:
#   cross_triple     the target as Debian's cross tools name it (aarch64-linux-gnu, ...)
#   cross_emulator   the command that runs the target's programs here (empty: natively)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR ${cross_triple})
if(cross_triple MATCHES "mingw32$")
  set(CMAKE_SYSTEM_NAME Windows)
  # The POSIX thread model: with the win32 one, GCC 12's libstdc++ has no
  # std::mutex, which GoogleTest needs. The program itself uses no threads.
  set(cross_suffix -posix)
else()
  set(CMAKE_SYSTEM_NAME Linux)
  set(cross_suffix "")
endif()

set(CMAKE_C_COMPILER ${cross_triple}-gcc${cross_suffix})
set(CMAKE_CXX_COMPILER ${cross_triple}-g++${cross_suffix})
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(CMAKE_RC_COMPILER ${cross_triple}-windres)
endif()

# Libraries, headers and packages only from the target's folder; programs
# from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${cross_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(cross_emulator)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${cross_emulator})
endif()
