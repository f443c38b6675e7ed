#!/usr/bin/env bash
# The gcc-o0 stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# What -O0 puts at risk is the arithmetic, which the known answers (the
# largest count included) and the oracles check. Not the exhaustive test: the
# largest count alone takes about two minutes here. Nor the slow tests of the
# program's input, output and terminal, whose code the other native stages
# run: the largest count through the program would take as long again.
# packages: g++ cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test gcc-o0 -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS=-O0 -- -LE '^exhaustive$' \
  -E '^(faults_large_input|faults_largest_count|progress_terminal)$'
