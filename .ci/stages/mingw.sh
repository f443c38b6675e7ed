#!/usr/bin/env bash
# 64-bit Windows, cross-compiled with MinGW-w64 (static runtime, x87 `long
# double`) and run under Wine: every test but the largest count, which took
# 151 s here, ten times as long as on Linux, mostly in the 2^31 - 1 calls of
# MinGW-w64's pow (the ten million terms of known_answers_large take one
# second). Lines end in CR LF. The program also runs in a terminal (tmux)
# as a person at a console uses it, and its version resource is read back.
# packages: g++-mingw-w64-x86-64-posix cmake ninja-build googletest python3 wine wine64 tmux
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
start_wine build-ci/mingw
build_and_test mingw --toolchain cmake/toolchains/x86_64-w64-mingw32.cmake -- -LE '^largest$'
