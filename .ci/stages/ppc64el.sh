#!/usr/bin/env bash
# The ppc64el stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-powerpc64le-linux-gnu libc6-dev-ppc64el-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage ppc64el powerpc64le-linux-gnu
