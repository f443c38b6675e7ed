#!/usr/bin/env bash
# The clang stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: clang cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test clang -DCMAKE_CXX_COMPILER=clang++ -- -LE '^exhaustive$' -E '^faults_large_input$'
