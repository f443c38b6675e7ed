#!/usr/bin/env bash
# x86-64, g++ without optimisation: nothing vectorised, every value stored as
# written. Every test but the exhaustive one: the largest count takes about
# two minutes here, in parallel with the fault tests, which sum it too.
# packages: g++ cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test gcc-o0 -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS=-O0 -- -LE '^exhaustive$'
