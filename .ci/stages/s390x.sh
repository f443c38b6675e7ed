#!/usr/bin/env bash
# IBM Z Linux (Debian s390x), the one big-endian architecture here, where
# `long double` is a 113-bit quadruple computed by the hardware,
# cross-compiled and run under user-mode QEMU (cross_stage in .ci/lib.sh).
# packages: g++-s390x-linux-gnu libc6-dev-s390x-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage s390x s390x-linux-gnu
