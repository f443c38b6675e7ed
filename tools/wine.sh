# Running programs of other platforms on this machine, for the scripts that
# test and time the builds for them: how it runs 32-bit x86 code, and Windows
# programs under Wine.
#   source tools/wine.sh

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
# happens from here on. Wine's own background programs end about a minute
# after the last Windows program does, and then every program started waits
# some 10 s for them to start again (the console test took 82 s instead of 23
# after a build of a minute): a program that waits for a line that never
# comes, on a FIFO that nobody writes, keeps them up until the server stops.
start_wine() {
  mkdir -p "$1/wineprefix"
  local folder log
  folder="$(cd "$1" && pwd)"
  log="$folder/wine.log"
  export WINEPREFIX="$folder/wineprefix" WINEDEBUG=-all
  on_exit stop_wine
  "$wineserver64" -k >/dev/null 2>&1 || true
  "$wineserver64" -w
  "$wineserver64" -p >"$log" 2>&1
  timeout 300 "$wine64" wineboot.exe -i >>"$log" 2>&1 ||
    { cat "$log"; echo "Wine did not start: wineboot -i failed in $WINEPREFIX"; return 1; }
  rm -f "$folder/keep-wine-up" && mkfifo "$folder/keep-wine-up"
  "$wine64" cmd.exe /c "set /p line=" <>"$folder/keep-wine-up" >>"$log" 2>&1 &
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
