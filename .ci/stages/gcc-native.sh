#!/usr/bin/env bash
# The gcc-native stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++ cmake ninja-build googletest libgtest-dev libmpfr-dev python3
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test gcc-native -DCMAKE_CXX_COMPILER=g++ "-DCMAKE_CXX_FLAGS=-O3 -march=native" -- -LE '^exhaustive$' -E '^faults_large_input$'
