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

# How this machine runs 32-bit x86 programs: native, emulated or none
# (cmake/toolchains/how-i386-code-runs says what each means).
how_i386_code_runs() {
  "$(dirname "${BASH_SOURCE[0]}")/../cmake/toolchains/how-i386-code-runs"
}

# Commands that run when the script ends, however it ends (success, a failed
# command under set -e, an interrupt), the last added first:
#   on_exit COMMAND [ARGUMENTS...]
exit_commands=()
on_exit() {
  exit_commands=("$(printf '%q ' "$@")" "${exit_commands[@]}")
  trap run_exit_commands EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}
run_exit_commands() {
  local command
  for command in "${exit_commands[@]}"; do eval "$command" || true; done
}

# Wine's 64-bit programs, called directly: Debian's `wine`, `wineboot` and the
# like start the 32-bit loader whenever wine32:i386 is installed, whether or
# not this machine can run it. A 64-bit prefix runs 32-bit programs too, with
# the 32-bit loader (/usr/lib/wine/wine), where they run at all.
wine64=/usr/lib/wine/wine64
wineserver64=/usr/lib/wine/wineserver64

# Makes ready for Windows programs to run under Wine:
#   start_wine FOLDER
# A prefix of its own in FOLDER/wineprefix (made on the first run), one
# persistent Wine server for all the programs, and the prefix brought up
# before any of them runs. A server, or one of the background programs that
# bringing up a prefix starts, started by a test instead would inherit the
# test's output pipes and hold them open long after the test ends, and ctest
# would wait for them; here they inherit a log file, FOLDER/wine.log. So if
# the prefix cannot be brought up, this fails, and no test must run. A server
# left over from an interrupted run, which would make the new one fail to
# start, is stopped first; this one is stopped when the script ends, whatever
# happens from here on.
start_wine() {
  mkdir -p "$1/wineprefix"
  local log
  log="$(cd "$1" && pwd)/wine.log"
  export WINEPREFIX="$(cd "$1" && pwd)/wineprefix" WINEDEBUG=-all
  on_exit stop_wine
  "$wineserver64" -k >/dev/null 2>&1 || true
  "$wineserver64" -w
  "$wineserver64" -p >"$log" 2>&1
  timeout 300 "$wine64" wineboot.exe -i >>"$log" 2>&1 ||
    { cat "$log"; echo "Wine did not start: wineboot -i failed in $WINEPREFIX"; return 1; }
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  "$wineserver64" -k >/dev/null 2>&1 || true
  "$wineserver64" -w >/dev/null 2>&1 || true
}

# Whether 32-bit Windows programs can run here, under 32-bit Wine: when not,
# says why in one line (to be printed after the caller's name) and fails.
#   why_no_wine32
why_no_wine32() {
  case $(how_i386_code_runs) in
    native) ;;
    emulated) echo "this machine runs 32-bit x86 programs only through an emulator, which does not run 32-bit Wine"; return 0 ;;
    *) echo "this machine's kernel does not run 32-bit x86 programs, so 32-bit Wine cannot run here"; return 0 ;;
  esac
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1 ||
    { echo "32-bit Wine (/usr/lib/wine/wine, Debian: wine32:i386) is not installed or does not start"; return 0; }
  return 1
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
