#!/usr/bin/env bash
# x86-64, g++, the default (Release) build: every test, the slow ones included,
# and the only stage that runs the exhaustive one: every count against the x87
# unit through every kernel this CPU runs, a few minutes on both cores; and
# the only one that checks the kernels' instruction counts (valgrind).
# packages: g++ cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user valgrind
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test gcc -DCMAKE_CXX_COMPILER=g++
