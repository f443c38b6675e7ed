#!/usr/bin/env bash
# 32-bit Windows on x86, the program's home platform, cross-compiled with
# MinGW-w64 (static runtime; `long double` and the arithmetic of g++ on the
# x87 unit) and run under 32-bit Wine: the unit tests, the known answers up to
# ten million terms, the x87 oracle over the first million counts and the
# program end to end, lines ending in CR LF, and in a terminal (tmux) as a
# person uses it; its version resource read back. Not the largest count, which
# took 198 s here (and gave the known answer). Needs a kernel that runs
# 32-bit x86 programs itself: elsewhere the stage is skipped.
# may skip: mingw32 - 32-bit Wine runs only where the kernel runs 32-bit x86 code itself
# packages: gcc g++-mingw-w64-i686-posix cmake ninja-build googletest python3 wine wine32:i386 tmux
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
if why=$(why_no_wine32); then skip_stage mingw32 "$why"; fi
start_wine build-ci/mingw32
build_and_test mingw32 --toolchain cmake/toolchains/i686-w64-mingw32.cmake -- -LE '^largest$'
