#!/usr/bin/env bash
# The clang stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: clang cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user
# Not faults_large_input: megabytes read a byte at a time, 30 s of system calls
# through the input code that the gcc and sanitize stages run it on.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test clang -DCMAKE_CXX_COMPILER=clang++ -- -LE '^exhaustive$' -E '^faults_large_input$'
