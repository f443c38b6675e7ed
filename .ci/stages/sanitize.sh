#!/usr/bin/env bash
# The sanitize stage: its row in docs/platforms.md ("Other stages") says what it builds,
# runs and leaves out, and why.
# packages: clang libclang-rt-14-dev cmake ninja-build googletest libgtest-dev libmpfr-dev python3
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
export ASAN_OPTIONS=detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
build_and_test sanitize -DCMAKE_CXX_COMPILER=clang++ -DPIGRECO_SANITIZE=ON -- -LE '^exhaustive$'
