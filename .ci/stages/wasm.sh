#!/usr/bin/env bash
# The wasm stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# Node.js and npm are Debian's, or the machine's own where another vendor's
# nodejs brings its npm (NodeSource's here, which Debian's npm conflicts with;
# .ci/install counts a package that an installed one provides as there).
# puppeteer-core comes from npm, pinned by web/test/package-lock.json, and
# drives Debian's chromium (it downloads none). llvm: the unversioned llvm-nm,
# which kernel_exports runs on the WebAssembly objects (GNU nm cannot read them).
# packages: emscripten nodejs npm llvm chromium cmake ninja-build g++ googletest python3
set -euo pipefail
cd "$(dirname "$0")/../.."
source .ci/lib.sh
for tool in emcmake node npm chromium; do
  command -v "$tool" >/dev/null || skip_stage wasm "no $tool on this machine"
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
