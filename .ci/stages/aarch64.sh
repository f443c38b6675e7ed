#!/usr/bin/env bash
# 64-bit Arm Linux (its `long double` is a 113-bit quadruple, so there is no
# x87 oracle), cross-compiled and run under user-mode QEMU (about twenty times
# slower than native here): every test but the largest count.
# packages: g++-aarch64-linux-gnu libc6-dev-arm64-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test aarch64 --toolchain cmake/toolchains/aarch64-linux-gnu.cmake -- -LE '^largest$'
