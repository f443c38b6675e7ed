# Shared by the stage scripts: configure, build and test one build folder.
#   build_and_test NAME [cmake options...] [-- ctest options...]
build_and_test() {
  local name=$1
  shift
  local cmake_args=() ctest_args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  ctest_args=("$@")
  local dir="build-ci/$name"
  cmake -S . -B "$dir" -G Ninja -DPIGRECO_WERROR=ON "${cmake_args[@]}"
  cmake --build "$dir" -j "$(nproc)"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "${ctest_args[@]}"
}

# Whether this machine's kernel runs 32-bit x86 programs: a static program of a
# few instructions that only exits, built with the native compiler (no 32-bit
# C library needed).
runs_i386_code() {
  local dir
  dir=$(mktemp -d)
  printf '%s\n' 'void _start(void) { __asm__ volatile("movl $1, %eax\n\txorl %ebx, %ebx\n\tint $0x80"); }' >"$dir/exit.c"
  local status=0
  { gcc -m32 -nostdlib -static -o "$dir/exit" "$dir/exit.c" && "$dir/exit"; } >/dev/null 2>&1 || status=1
  rm -rf "$dir"
  return $status
}

# Makes ready for Windows programs to run under Wine:
#   start_wine FOLDER
# A prefix of its own in FOLDER/wineprefix (made on the first run), one
# persistent Wine server for all the programs, and the prefix brought up
# before any of them runs. A server, or one of the background programs that
# bringing up a prefix starts, started by a test instead would inherit the
# test's output pipes and hold them open long after the test ends, and ctest
# would wait for them; here they inherit a log file, FOLDER/wine.log. A server
# left over from an interrupted run, which would make the new one fail to
# start, is stopped first. The caller stops this one with stop_wine, as a rule
# from an EXIT trap.
start_wine() {
  mkdir -p "$1/wineprefix"
  local log
  log="$(cd "$1" && pwd)/wine.log"
  export WINEPREFIX="$(cd "$1" && pwd)/wineprefix" WINEDEBUG=-all
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p >"$log" 2>&1
  wineboot -i >>"$log" 2>&1 || { cat "$log"; echo "wineboot -i failed in $WINEPREFIX"; return 1; }
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# A Linux architecture other than this machine's, cross-compiled with Debian's
# compiler for TRIPLE (cmake/toolchains/TRIPLE.cmake) and run under user-mode
# QEMU: every test but the largest count (over 2^31 terms, far too long under
# an emulator).
#   cross_stage NAME TRIPLE
# There is no x87 oracle there (`long double` is not the x87 format), and the
# program must not compute with `long double` at all: its digits come from
# integer arithmetic alone. The stage proves it on the built program: no call
# to the routines that do quadruple or double-double arithmetic (libgcc's
# __addtf3 ..., __gcc_qadd ...) and no s390x extended-precision instruction.
# Where `long double` is a plain double (32-bit Arm) the check holds trivially.
cross_stage() {
  local name=$1 triple=$2
  build_and_test "$name" --toolchain "cmake/toolchains/$triple.cmake" -- -LE '^largest$'
  local program="build-ci/$name/pigreco" found
  found=$("$triple-objdump" -dT "$program" |
    grep -E '__(add|sub|mul|div)tf3\b|__gcc_q(add|sub|mul|div)\b|\s(axbr|sxbr|mxbr|dxbr|wfaxb|wfsxb|wfmxb|wfdxb)\s' || true)
  if [ -n "$found" ]; then
    printf '%s\n' "$found" | head -n 5
    echo "$name: FAILED: $program computes with \`long double\` (above, the first of its uses)"
    return 1
  fi
  echo "$name: $program computes with no \`long double\`"
}

# The command that runs a program of a toolchain file's target on this
# machine, as that file says (its CMAKE_CROSSCOMPILING_EMULATOR, one line;
# empty: natively):
#   toolchain_emulator cmake/toolchains/TRIPLE.cmake
toolchain_emulator() {
  local script status=0
  script=$(mktemp --suffix=.cmake)
  printf 'include("%s")\nlist(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " line)\nmessage(NOTICE "${line}")\n' \
    "$(realpath "$1")" >"$script"
  cmake -P "$script" 2>&1 >/dev/null || status=$?
  rm -f "$script"
  return $status
}
