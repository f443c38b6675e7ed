#!/usr/bin/env bash
# 64-bit MIPS Linux, little-endian, n64 ABI (Debian mips64el), where
# `long double` is a 113-bit quadruple computed in software, cross-compiled
# and run under user-mode QEMU (cross_stage in .ci/lib.sh).
# packages: g++-mips64el-linux-gnuabi64 libc6-dev-mips64el-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage mips64el mips64el-linux-gnuabi64
