#!/usr/bin/env bash
# The mingw stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-mingw-w64-x86-64-posix cmake ninja-build googletest python3 wine wine64 tmux
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
start_wine build-ci/mingw
build_and_test mingw --toolchain cmake/toolchains/x86_64-w64-mingw32.cmake -- -LE '^largest$'
