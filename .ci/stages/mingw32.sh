#!/usr/bin/env bash
# The mingw32 stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# may skip: mingw32 - 32-bit Wine runs only where the kernel runs 32-bit x86 code itself
# packages: gcc g++-mingw-w64-i686-posix cmake ninja-build googletest python3 wine wine32:i386 tmux
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
if why=$(why_no_wine32); then skip_stage mingw32 "$why"; fi
start_wine build-ci/mingw32
build_and_test mingw32 --toolchain cmake/toolchains/i686-w64-mingw32.cmake -- -LE '^largest$'
