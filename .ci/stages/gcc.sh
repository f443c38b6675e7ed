#!/usr/bin/env bash
# The gcc stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++ cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user valgrind
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test gcc -DCMAKE_CXX_COMPILER=g++
