#!/usr/bin/env bash
# One command for pigreco's whole-process benchmark, from a fresh clone:
#   bench/run.sh [--counts N ...] [--runs R] [--memory-counts N ...] [--cpu C]
# Builds (Release) the default pigreco with the benchmark programs, plus one
# pigreco forced to each fast-path variant that this CPU can run, into a build
# folder of its own (PIGRECO_BENCH_BUILD_DIR, default build-bench/), then hands
# the timings to time_processes.py with the options given here.
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

# The forced variants worth timing are those whose instructions this CPU has,
# as add_terms itself decides: avx2 needs AVX2 and FMA, avx512 also F, DQ and VL.
has_flags() {
    local flag
    for flag in "$@"; do grep -qw "$flag" /proc/cpuinfo 2>/dev/null || return 1; done
}
variants=(generic)
if [[ "$(uname -m)" == x86_64 ]]; then
    if has_flags avx2 fma; then variants+=(avx2); fi
    if has_flags avx2 fma avx512f avx512dq avx512vl; then variants+=(avx512); fi
fi

echo "building into $build_dir: default, ${variants[*]}" >&2
configure_and_build default auto pigreco pigreco_floor pigreco_variant
if grep -q '^PIGRECO_LONG_DOUBLE_IS_X87:INTERNAL=1' "$build_dir/default/CMakeCache.txt"; then
    cmake --build "$build_dir/default" --target pigreco_x87 >&2
fi
for variant in "${variants[@]}"; do
    configure_and_build "$variant" "$variant" pigreco pigreco_variant
done

exec python3 "$bench_dir/time_processes.py" --build-dir "$build_dir" --variants "${variants[@]}" "$@"
