#!/usr/bin/env bash
# The aarch64 stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-aarch64-linux-gnu libc6-dev-arm64-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage aarch64 aarch64-linux-gnu
