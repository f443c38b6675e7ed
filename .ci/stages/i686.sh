#!/usr/bin/env bash
# The i686 stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# may skip: i386_probe - it needs a user namespace with a binfmt_misc table of its own (Linux 6.7 and later)
# packages: g++-i686-linux-gnu libc6-dev-i386-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
# The toolchain file's own choice, by the same probe.
case $(how_i386_code_runs) in
  native)
    echo "i686: this machine runs 32-bit x86 programs itself: the tests run natively"
    sweep=1000000 ;;
  emulated)
    echo "i686: this machine runs 32-bit x86 programs only through an emulator: the tests run under qemu-i386"
    sweep=100000 ;;
  *)
    echo "i686: this machine does not run 32-bit x86 programs: the tests run under qemu-i386"
    sweep=100000 ;;
esac
build_and_test i686 --toolchain cmake/toolchains/i686-linux-gnu.cmake -DPIGRECO_ORACLE_SWEEP=$sweep \
  -- -LE '^largest$'
# The probe itself, with qemu-i386 and with a failing handler registered in a
# namespace of its own, the binfmt_misc table in view and hidden.
status=0
python3 tests/i386_probe.py || status=$?
case $status in
  0) ;;
  77) skip_part i386_probe "above, why" ;;
  *) exit 1 ;;
esac
