#!/usr/bin/env bash
# The i686 stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
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
