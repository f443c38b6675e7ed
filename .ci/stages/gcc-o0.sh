#!/usr/bin/env bash
# The gcc-o0 stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# Not the exhaustive test: the largest count alone takes about two minutes
# here (the slow tests it also leaves out: its row).
# packages: g++ cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test gcc-o0 -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS=-O0 -- -LE '^exhaustive$' \
  -E '^(faults_large_input|faults_largest_count|progress_terminal)$'
