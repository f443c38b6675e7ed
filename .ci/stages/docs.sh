#!/usr/bin/env bash
# The docs stage: its row in docs/platforms.md ("Other stages") says what it builds,
# runs and leaves out, and why.
# packages: g++ make cmake googletest libgtest-dev libmpfr-dev python3
set -euo pipefail
cd "$(dirname "$0")/../.."

version=$(sed -n 's/^project(pigreco VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for page in man/pigreco.1 man/it/pigreco.1; do
  grep -q "^\.TH PIGRECO 1 [0-9-]* \"pigreco $version\" " "$page" ||
    { echo "docs: $page: the .TH line does not name pigreco $version, the version of project()"; exit 1; }
done
echo "docs: both manual pages name version $version"

# The code blocks of a Markdown page, each line as it stands.
code_blocks() { sed -n '/^```/,/^```/p' "$1"; }
if ! diff <(code_blocks README.md) <(code_blocks LEGGIMI.md); then
  echo "docs: LEGGIMI.md's code blocks are not README.md's (above: <, README.md; >, LEGGIMI.md)"
  exit 1
fi
echo "docs: LEGGIMI.md has README.md's $(( $(code_blocks README.md | grep -c '^```') / 2 )) code blocks"

command=$(grep -m1 '^cmake -S \. -B build-test ' README.md) ||
  { echo "docs: README.md gives no everyday test command (a line starting 'cmake -S . -B build-test ')"; exit 1; }

# A copy without build folders, so that the command starts from nothing, as
# on a fresh clone, and no folder of the developer's is touched.
copy=build-ci/docs/source
rm -rf build-ci/docs
mkdir -p "$copy"
tar -c --exclude='./build*' --exclude=./dist --exclude=./.git . | tar -x -C "$copy"
echo "+ $command"
start=$SECONDS
(cd "$copy" && bash -euo pipefail -c "$command")
echo "docs: the everyday test command passed in $((SECONDS - start)) s"
