#!/usr/bin/env bash
# The armhf stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-arm-linux-gnueabihf libc6-dev-armhf-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage armhf arm-linux-gnueabihf
