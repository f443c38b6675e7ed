#!/usr/bin/env bash
# 64-bit RISC-V Linux (Debian riscv64), where `long double` is a 113-bit
# quadruple computed in software, cross-compiled and run under user-mode QEMU
# (cross_stage in .ci/lib.sh).
# packages: g++-riscv64-linux-gnu libc6-dev-riscv64-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage riscv64 riscv64-linux-gnu
