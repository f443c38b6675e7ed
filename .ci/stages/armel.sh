#!/usr/bin/env bash
# The armel stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-arm-linux-gnueabi libc6-dev-armel-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage armel arm-linux-gnueabi
