#!/usr/bin/env bash
# x86-64, g++ -O3 -march=native: everything, the portable kernel and the
# exact step included, built for the newest instructions of the CPU at hand.
# Every test but the exhaustive one.
# packages: g++ cmake ninja-build googletest libgtest-dev libmpfr-dev python3
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test gcc-native -DCMAKE_CXX_COMPILER=g++ "-DCMAKE_CXX_FLAGS=-O3 -march=native" -- -LE '^exhaustive$'
