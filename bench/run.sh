#!/usr/bin/env bash
# One command for pigreco's whole-process benchmark, from a fresh clone:
#   bench/run.sh [--counts N ...] [--runs R] [--memory-counts N ...] [--cpu C]
# Builds (Release) the default pigreco with the benchmark programs, plus one
# pigreco forced to each kernel that this CPU runs (as the default build's
# pigreco_kernels --runnable lists them), into a build folder of its own
# (PIGRECO_BENCH_BUILD_DIR, default build-bench/), then hands the timings to
# time_processes.py with the options given here.
# A quick check: bench/run.sh --counts 2000000 --runs 3 --memory-counts 10
set -euo pipefail

bench_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(dirname "$bench_dir")"
build_dir="${PIGRECO_BENCH_BUILD_DIR:-$source_dir/build-bench}"

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi

configure_and_build() { # folder, kernel, targets...
    local folder="$1" kernel="$2"
    shift 2
    cmake -S "$source_dir" -B "$build_dir/$folder" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
        -DPIGRECO_BUILD_BENCH=ON -DPIGRECO_BUILD_TESTS=OFF -DPIGRECO_KERNEL="$kernel" >&2
    cmake --build "$build_dir/$folder" --target "$@" >&2
}

configure_and_build default auto pigreco pigreco_floor pigreco_kernels
if grep -q '^PIGRECO_LONG_DOUBLE_IS_X87:INTERNAL=1' "$build_dir/default/CMakeCache.txt"; then
    cmake --build "$build_dir/default" --target pigreco_x87 >&2
fi
mapfile -t kernels < <("$build_dir/default/bench/pigreco_kernels" --runnable)
echo "building into $build_dir: a build forced to each of ${kernels[*]}" >&2
for kernel in "${kernels[@]}"; do
    configure_and_build "$kernel" "$kernel" pigreco pigreco_kernels
done

exec python3 "$bench_dir/time_processes.py" --build-dir "$build_dir" --kernels "${kernels[@]}" "$@"
