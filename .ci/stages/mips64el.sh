#!/usr/bin/env bash
# The mips64el stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-mips64el-linux-gnuabi64 libc6-dev-mips64el-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage mips64el mips64el-linux-gnuabi64
