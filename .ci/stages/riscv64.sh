#!/usr/bin/env bash
# The riscv64 stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-riscv64-linux-gnu libc6-dev-riscv64-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage riscv64 riscv64-linux-gnu
