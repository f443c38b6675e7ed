#!/usr/bin/env bash
# pigreco's whole-process benchmark, one command from a fresh clone:
#   bench/run.sh [--counts N ...] [--counts-32 N ...] [--runs R] [--memory-counts N ...] [--cpu C]
# Builds (Release, into PIGRECO_BENCH_BUILD_DIR, default build-bench/) every
# build of pigreco that this machine can run, each beside its floor (a program
# that makes the same std::pow calls and only adds their results, built with
# the same compiler and flags) and the plain x87 long double loop where
# long double is x87:
#   x86-64  - the default build (kernel chosen at run time) and one build
#             forced to each kernel that this CPU runs;
#   i686    - 32-bit x86 Linux, run natively by the cross C library's loader,
#             where this machine's kernel runs 32-bit x86 programs;
#   win32   - 32-bit Windows (MinGW-w64, static), run under 32-bit Wine, likewise.
# Then time_processes.py times them (alternating, pinned to one core) and
# prints, for each build, the fastest and the median run and their ratios to
# its own floor; then the instructions that a term costs besides its pow
# call's own, counted by valgrind's callgrind for each kernel it can run
# (repeatable where wall time is noisy).
# A quick look: bench/run.sh --counts 2000000 --counts-32 200000 --runs 3 --memory-counts 10
set -euo pipefail

bench_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(dirname "$bench_dir")"
build_dir="${PIGRECO_BENCH_BUILD_DIR:-$source_dir/build-bench}"
source "$source_dir/tools/wine.sh" # how_i386_code_runs, why_no_wine32, start_wine

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
bench_targets=(pigreco pigreco_floor pigreco_kernels pigreco_arithmetic)

build() { # folder, cmake options...
    local folder="$1"
    shift
    cmake -S "$source_dir" -B "$build_dir/$folder" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
        -DPIGRECO_BUILD_BENCH=ON -DPIGRECO_BUILD_TESTS=OFF "$@" >&2
    local targets=("${bench_targets[@]}")
    if grep -q '^PIGRECO_LONG_DOUBLE_IS_X87:INTERNAL=1' "$build_dir/$folder/CMakeCache.txt"; then
        targets+=(pigreco_x87)
    fi
    cmake --build "$build_dir/$folder" --target "${targets[@]}" >&2
}

manifest="$build_dir/builds.txt"
mkdir -p "$build_dir"
: >"$manifest"
# One line a build: NAME FOLDER KIND [RUNNER...]; KIND is native, loader or wine.
declare_build() { echo "$*" >>"$manifest"; }

echo "building into $build_dir" >&2
build default
declare_build x86-64 default native
if cmake --build "$build_dir/default" --target bench_arithmetic >&2 2>/dev/null; then
    echo "bench_arithmetic built (Google Benchmark): $build_dir/default/bench/bench_arithmetic" >&2
else
    echo "bench_arithmetic not built: Google Benchmark not found (Debian: libbenchmark-dev)" >&2
fi
mapfile -t kernels < <("$build_dir/default/tools/pigreco_kernels" --runnable)
for kernel in "${kernels[@]}"; do
    build "x86-64-$kernel" -DPIGRECO_KERNEL="$kernel"
    declare_build "x86-64 $kernel" "x86-64-$kernel" native
done

# 32-bit x86 builds are timed only where the kernel runs them itself: under an
# emulator (qemu's binfmt handler) they would run, but the times would be the
# emulator's.
i386_code=$(how_i386_code_runs)
i686_loader=/usr/i686-linux-gnu/lib/ld-linux.so.2
if ! command -v i686-linux-gnu-g++ >/dev/null 2>&1; then
    echo "i686: skipped: no i686-linux-gnu-g++ (Debian: g++-i686-linux-gnu)" >&2
elif [ "$i386_code" != native ]; then
    echo "i686: skipped: this machine runs 32-bit x86 programs $( [ "$i386_code" = emulated ] && echo "only through an emulator" || echo "not at all")" >&2
else
    build i686 --toolchain "$source_dir/cmake/toolchains/i686-linux-gnu.cmake"
    declare_build i686 i686 loader "$i686_loader" --library-path /usr/i686-linux-gnu/lib
fi

if ! command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1; then
    echo "win32: skipped: no i686-w64-mingw32-g++-posix (Debian: g++-mingw-w64-i686-posix)" >&2
elif why=$(why_no_wine32); then
    echo "win32: skipped: $why" >&2
else
    build win32 --toolchain "$source_dir/cmake/toolchains/i686-w64-mingw32.cmake"
    start_wine "$build_dir/win32" >&2
    declare_build win32 win32 wine /usr/lib/wine/wine
fi

python3 "$bench_dir/time_processes.py" --build-dir "$build_dir" --builds "$manifest" "$@"
