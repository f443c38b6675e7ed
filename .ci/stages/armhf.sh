#!/usr/bin/env bash
# 32-bit Arm Linux, hard-float (Debian armhf: the Raspberry Pi's 32-bit systems),
# where `long double` is a plain double, cross-compiled and run under
# user-mode QEMU (cross_stage in .ci/lib.sh).
# packages: g++-arm-linux-gnueabihf libc6-dev-armhf-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage armhf arm-linux-gnueabihf
