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
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "${ctest_args[@]}" | tee "$dir/ctest.log"
  local test
  for test in $(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (Skipped)$/\1/p' "$dir/ctest.log"); do
    skip_part "$test" "the test exited with status 77 (ctest --test-dir $dir -R '^$test\$' -V says why)"
  done
}

# A part of the stage left out on this machine, and why: a line of the
# stage's output, and of its list of skips, which .ci/test fails unless the
# stage allows that part's skip ("# may skip: PART - why").
#   skip_part PART WHY
skip_part() {
  echo "$1: skipped: $2"
  [ -z "${PIGRECO_CI_SKIPS:-}" ] || printf '%s\t%s\n' "$1" "$2" >>"$PIGRECO_CI_SKIPS"
}

# The whole stage left out, and why: skip_stage NAME WHY (it ends the stage).
skip_stage() {
  skip_part "$1" "$2"
  exit 77
}

# how_i386_code_runs, on_exit, start_wine, why_no_wine32, $wine64 ...
source "$(dirname "${BASH_SOURCE[0]}")/../tools/wine.sh"

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
