#!/usr/bin/env bash
# 32-bit Arm Linux, soft-float (Debian armel: Armv5 boards, every floating-point
# operation a library call), where `long double` is a plain double,
# cross-compiled and run under user-mode QEMU (cross_stage in .ci/lib.sh).
# packages: g++-arm-linux-gnueabi libc6-dev-armel-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage armel arm-linux-gnueabi
