#!/usr/bin/env bash
# 32-bit x86 Linux, where g++ computes with the x87 unit, cross-compiled and
# run under user-mode QEMU (about ninety times slower than native here): every
# test but the largest count (it would take the better part of an hour), the
# x87 oracle over the first 100000 counts.
# packages: g++-i686-linux-gnu libc6-dev-i386-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test i686 --toolchain cmake/toolchains/i686-linux-gnu.cmake -DPIGRECO_ORACLE_SWEEP=100000 \
  -- -LE '^largest$'
