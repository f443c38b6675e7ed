#!/usr/bin/env bash
# 64-bit POWER Linux, little-endian (Debian ppc64el), where `long double` is a
# double-double (two doubles, 106 bits), cross-compiled and run under
# user-mode QEMU (cross_stage in .ci/lib.sh).
# packages: g++-powerpc64le-linux-gnu libc6-dev-ppc64el-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage ppc64el powerpc64le-linux-gnu
