#!/usr/bin/env bash
# The s390x stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-s390x-linux-gnu libc6-dev-s390x-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage s390x s390x-linux-gnu
