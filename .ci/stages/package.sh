#!/usr/bin/env bash
# The package stage: its row in docs/platforms.md ("Other stages") says what it
# builds, runs and leaves out, and why; tests/release.py holds the checks.
# may skip: i686-w64-mingw32-run - 32-bit Wine runs only where the kernel runs 32-bit x86 code itself
# packages from: packaging/make-release
# packages: lintian man-db wine wine64 wine32:i386 qemu-user nodejs npm chromium libc6:arm64 libstdc++6:arm64 libgcc-s1:arm64 libc6:armhf libstdc++6:armhf libgcc-s1:armhf libc6:i386 libstdc++6:i386 libgcc-s1:i386
set -euo pipefail
cd "$(dirname "$0")/../.."
source .ci/lib.sh
work=build-ci/package
bash packaging/make-release
# The working tree's files (committed or not, as the first run saw them),
# copied afresh: new folder, new file times, no .git, so the first run's
# SOURCE_DATE_EPOCH is handed over as a rebuilder would take it from the commit.
rm -rf "$work/again" && mkdir -p "$work/again"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$work/again"
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) bash "$work/again/packaging/make-release" >"$work/again.log" 2>&1 ||
  { tail -n 40 "$work/again.log"; echo "package: the second make-release failed"; exit 1; }
start_wine "$work"
python3 tests/release.py dist --again "$work/again/dist" --work "$work/check" ${PIGRECO_CI_SKIPS:+--skipped "$PIGRECO_CI_SKIPS"}
