#!/usr/bin/env bash
# 64-bit Arm Linux (its `long double` is a 113-bit quadruple computed in
# software, so there is no x87 oracle), cross-compiled and run under user-mode
# QEMU (about twenty times slower than native here; cross_stage in .ci/lib.sh).
# packages: g++-aarch64-linux-gnu libc6-dev-arm64-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage aarch64 aarch64-linux-gnu
