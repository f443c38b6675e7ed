#!/usr/bin/env bash
# WebAssembly, built with Debian's Emscripten: the unit tests and the known
# answers, the largest count's too (about 70 s), under Node.js; then the page
# (web/) in headless Chromium, from its folder as a file and from a local
# server, each answer compared with what the console program, built natively
# here, prints, and what the page shows beneath it with a plain double loop;
# screenshots of the page at a desktop's and at a phone's width are left in
# build-ci/wasm/screenshots/ for people to look at (nothing compares them).
# Not run: tests/end_to_end.py, since a console build under Node.js is not
# the console program: Emscripten writes standard output a line at a time
# (the prompt, which ends no line, is lost when the program ends with an
# error), takes all of standard input at once and reports no failed write.
# Node.js with its npm is the machine's own (NodeSource's nodejs here, which
# Debian's npm would conflict with); puppeteer-core and axe-core come from
# npm, pinned by web/test/package-lock.json; puppeteer-core drives Debian's
# chromium (it downloads none).
# packages: emscripten chromium cmake ninja-build g++ googletest python3
set -euo pipefail
cd "$(dirname "$0")/../.."
source .ci/lib.sh
for tool in emcmake node npm chromium; do
  command -v "$tool" >/dev/null || { echo "wasm: no $tool on this machine"; exit 77; }
done
# Debian's Emscripten runs its JavaScript tools with Node.js and finds their
# modules (acorn) in Debian's folder for them, where Node.js 20 does not look.
export NODE_PATH=/usr/share/nodejs
# --no-experimental-fetch: Emscripten 3.1.6's loader fetches the .wasm when a
# fetch() is there, which Node.js 18 and later have but cannot do for a path.
# --no-liftoff: optimised code from the start; a sum in one long call would
# otherwise run in the baseline compiler's code all along (two to three times
# slower: bench/README.md), as WebAssembly has no on-stack replacement. Both
# tiers compute the same IEEE operations.
build_and_test wasm --toolchain /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node);--no-experimental-fetch;--no-liftoff" -- -E '^end_to_end$'

cmake -S . -B build-ci/wasm-native -G Ninja -DPIGRECO_BUILD_TESTS=OFF
cmake --build build-ci/wasm-native -j "$(nproc)"
(cd web/test && npm ci --no-audit --no-fund)
node web/test/page_test.js build-ci/wasm/web build-ci/wasm-native/pigreco build-ci/wasm/screenshots
