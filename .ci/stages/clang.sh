#!/usr/bin/env bash
# x86-64, clang++, the default (Release) build: every test, the slow ones
# included, but the exhaustive one (the gcc stage runs it).
# packages: clang cmake ninja-build googletest libgtest-dev libmpfr-dev python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
build_and_test clang -DCMAKE_CXX_COMPILER=clang++ -- -LE '^exhaustive$'
