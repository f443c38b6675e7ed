#!/usr/bin/env bash
# The fuzz stage: its row in docs/platforms.md ("Other stages") says what it builds,
# runs and leaves out, and why.
# The checked-in seeds stay as they are; what the run finds goes to
# build-ci/fuzz/corpus, what fails to build-ci/fuzz/findings.
# packages: clang libclang-rt-14-dev cmake ninja-build googletest libgtest-dev python3
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=build-ci/fuzz
seconds=60
cmake -S . -B "$dir" -G Ninja -DPIGRECO_WERROR=ON -DCMAKE_CXX_COMPILER=clang++ -DPIGRECO_FUZZ=ON
cmake --build "$dir" --target count_reader_fuzz
ctest --test-dir "$dir" -R '^count_reader_fuzz_seeds$' --output-on-failure
rm -rf "$dir/corpus" "$dir/findings"
mkdir -p "$dir/corpus" "$dir/findings"
status=0
"$dir/tests/fuzz/count_reader_fuzz" -max_total_time=$seconds -print_final_stats=1 \
  -artifact_prefix="$dir/findings/" "$dir/corpus" tests/fuzz/corpus >"$dir/fuzz.log" 2>&1 || status=$?
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz.log")
if [ "$status" -ne 0 ] || [ -z "$executions" ] || [ -n "$(ls -A "$dir/findings")" ]; then
  tail -n 60 "$dir/fuzz.log"
  echo "fuzz: FAILED (status $status); inputs kept in $dir/findings: $(ls -A "$dir/findings" | tr '\n' ' ')"
  exit 1
fi
echo "fuzz: $executions executions in $seconds s, no finding ($(ls "$dir/corpus" | wc -l) new corpus entries)"
