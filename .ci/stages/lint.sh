#!/usr/bin/env bash
# The lint stage: its row in docs/platforms.md ("Other stages") says what it builds,
# runs and leaves out, and why.
# Only configures: both tools read the compile commands.
# packages: clang clang-tidy cppcheck cmake ninja-build googletest libgtest-dev libmpfr-dev python3
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=build-ci/lint
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPIGRECO_FUZZ=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
status=0
run-clang-tidy -p "$dir" -quiet -j "$(nproc)" "^$PWD/(src|tests|tools)/" >"$dir/clang-tidy.log" 2>&1 || status=$?
grep -v -e '^[0-9]* warnings generated\.$' -e '^Suppressed ' -e '^Use -header-filter' "$dir/clang-tidy.log" || true
[ "$status" -eq 0 ] && echo "clang-tidy: no finding" || { echo "clang-tidy: FAILED"; exit 1; }
# -i /usr/: not GoogleTest's sources, which the build compiles where Debian's
# library is missing.
cppcheck --project="$dir/compile_commands.json" -i /usr/ \
  --enable=warning,style,performance,portability,information --library=googletest --std=c++20 \
  --inline-suppr --suppressions-list=.cppcheck-suppressions --error-exitcode=1 -q \
  --template='{file}:{line}:{column}: {severity}: {message} [{id}]'
echo "cppcheck: no finding"
