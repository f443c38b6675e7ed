#!/usr/bin/env bash
# The release packages as their users meet them. packaging/make-release builds
# them into dist/; a second run, from a copy of the sources in another folder
# and a minute later, must give the same bytes (the same SHA256SUMS). Then
# every Debian package must be lintian-clean and run, each on its own
# architecture's terms (arm64 and armhf under user-mode QEMU, i386 as the i686
# toolchain file runs it); the amd64 one must install with dpkg, run, show its
# man pages in English and Italian and go again; each tarball's program must
# run and its pages render; each zip's pigreco.exe must run under Wine. Every
# run is tests/end_to_end.py on that program, every page is checked by
# tests/manual_quotes.py against the program itself.
# Where part of this cannot run here (not root, so no dpkg; a kernel without
# 32-bit x86 code, so no win32 run) the rest still runs, and the stage ends
# with status 77, skipped: never passed with a part left out.
# packages: g++ cmake ninja-build dpkg-dev lintian man-db python3 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine32:i386 g++-aarch64-linux-gnu libc6-dev-arm64-cross g++-arm-linux-gnueabihf libc6-dev-armhf-cross g++-i686-linux-gnu libc6-dev-i386-cross qemu-user libc6:arm64 libstdc++6:arm64 libgcc-s1:arm64 libc6:armhf libstdc++6:armhf libgcc-s1:armhf libc6:i386 libstdc++6:i386 libgcc-s1:i386
set -euo pipefail
cd "$(dirname "$0")/../.."
source .ci/lib.sh

bash packaging/make-release

work=build-ci/package
rm -rf "$work/check" "$work/again"
mkdir -p "$work/check" "$work/again"

echo "--- make-release again, elsewhere and later: the same bytes"
# The working tree's files (committed or not, as the first run saw them),
# copied afresh: new folder, new file times, no .git, so the first run's
# SOURCE_DATE_EPOCH is handed over as a rebuilder would take it from the commit.
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$work/again"
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) bash "$work/again/packaging/make-release" >"$work/again.log" 2>&1 ||
  { tail -n 40 "$work/again.log"; echo "package: the second make-release failed"; exit 1; }
if ! diff dist/SHA256SUMS "$work/again/dist/SHA256SUMS"; then
  echo "package: FAILED: a second build of the release differs (above: <, this folder; >, $work/again)"
  exit 1
fi
(cd dist && sha256sum --quiet -c SHA256SUMS)
[ "$(ls dist | grep -cvx SHA256SUMS)" -eq "$(wc -l <dist/SHA256SUMS)" ] ||
  { echo "package: dist/SHA256SUMS does not name every artifact"; exit 1; }
echo "the same $(wc -l <dist/SHA256SUMS) artifacts, byte for byte, from $PWD and $work/again"
left_out=()
installed=no
remove_package() { [ "$installed" = no ] || dpkg --purge pigreco >/dev/null || true; }
on_exit remove_package

# The one file of dist/ that matches a pattern.
artifact() {
  local matches=(dist/$1)
  if [ ${#matches[@]} -ne 1 ] || [ ! -f "${matches[0]}" ]; then
    echo "package: expected one dist/$1, found: ${matches[*]}" >&2
    return 1
  fi
  echo "${matches[0]}"
}
deb=$(artifact 'pigreco_*_amd64.deb')
tarball=$(artifact 'pigreco-*-linux-x86_64.tar.gz')
tarball_aarch64=$(artifact 'pigreco-*-linux-aarch64.tar.gz')
win64=$(artifact 'pigreco-*-win64.zip')
win32=$(artifact 'pigreco-*-win32.zip')

# The files under a folder, one a line, sorted.
files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' '); }
expect_files() {
  local got
  got=$(files_in "$1")
  [ "$got" = "$2" ] || { echo "package: $1 holds: $got; expected: $2"; return 1; }
}
# A manual page as man shows it, in UTF-8 and wide enough that no quoted line
# is broken, in its language (the heading of its first section), checked
# against the program: check_page PROGRAM NAME|NOME MAN-ARGUMENTS...
check_page() {
  local program=$1 heading=$2
  shift 2
  LC_ALL=C.UTF-8 MANWIDTH=250 man "$@" >"$work/check/page.txt"
  grep -qx "$heading" "$work/check/page.txt" || { echo "package: man $*: no section $heading"; return 1; }
  python3 tests/manual_quotes.py "$program" "$work/check/page.txt"
}

# Each Debian package, unpacked (dpkg would not install another architecture's
# without its libraries), holds what the amd64 one holds, and its program runs
# as the toolchain file for its target says: Debian architecture, toolchain.
debs=("amd64 " "arm64 aarch64-linux-gnu" "armhf arm-linux-gnueabihf" "i386 i686-linux-gnu")
for entry in "${debs[@]}"; do
  read -r architecture triple <<<"$entry"
  package=$(artifact "pigreco_*_$architecture.deb")
  echo "--- lintian $package"
  lintian -I --fail-on error,warning "$package"
  [ "$(dpkg-deb -f "$package" Architecture)" = "$architecture" ]
  root="$work/check/deb-$architecture"
  dpkg-deb -x "$package" "$root"
  if [ "$architecture" = amd64 ]; then
    amd64_files=$(files_in "$root")
    python3 tests/end_to_end.py "$root/usr/bin/pigreco"
  else
    expect_files "$root" "$amd64_files"
    for page in usr/share/man/man1/pigreco.1.gz usr/share/man/it/man1/pigreco.1.gz; do
      cmp "$work/check/deb-amd64/$page" "$root/$page"
    done
    emulator=$(toolchain_emulator "cmake/toolchains/$triple.cmake")
    echo "$package: its program run with: ${emulator:-nothing, natively}"
    python3 tests/end_to_end.py "$root/usr/bin/pigreco" --emulator "$emulator"
  fi
done

echo "--- the man page sources"
for page in man/pigreco.1 man/it/pigreco.1; do
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "package: man --warnings on $page: $warnings"; exit 1; }
done

echo "--- $tarball"
tar -xzf "$tarball" -C "$work/check"
root="$work/check/$(basename "$tarball" .tar.gz)"
expect_files "$root" "LEGGIMI.md LICENSE README.md bin/pigreco share/man/it/man1/pigreco.1.gz share/man/man1/pigreco.1.gz "
for text in LICENSE README.md LEGGIMI.md; do cmp "$text" "$root/$text"; done
python3 tests/end_to_end.py "$root/bin/pigreco"
check_page "$root/bin/pigreco" NAME -l "$root/share/man/man1/pigreco.1.gz"
check_page "$root/bin/pigreco" NOME -l "$root/share/man/it/man1/pigreco.1.gz"

echo "--- $tarball_aarch64"
tar -xzf "$tarball_aarch64" -C "$work/check"
root_aarch64="$work/check/$(basename "$tarball_aarch64" .tar.gz)"
expect_files "$root_aarch64" "$(files_in "$root")"
for file in LICENSE README.md share/man/it/man1/pigreco.1.gz share/man/man1/pigreco.1.gz; do
  cmp "$root/$file" "$root_aarch64/$file"
done
python3 tests/end_to_end.py "$root_aarch64/bin/pigreco" \
  --emulator "$(toolchain_emulator cmake/toolchains/aarch64-linux-gnu.cmake)"

echo "--- $deb, installed"
if [ "$(id -u)" -ne 0 ]; then
  echo "package: the Debian package NOT installed: dpkg needs root"
  left_out+=("installing the Debian package")
else
  installed=yes
  # A slimmed Debian image may tell dpkg to leave out manuals and documents
  # (path-exclude in /etc/dpkg/dpkg.cfg.d/); this package's are what is tested.
  dpkg --path-include='/usr/share/man/*' --path-include='/usr/share/doc/pigreco/*' -i "$deb"
  [ "$(command -v pigreco)" = /usr/bin/pigreco ]
  python3 tests/end_to_end.py /usr/bin/pigreco
  [ "$(man -w pigreco)" = /usr/share/man/man1/pigreco.1.gz ]
  [ "$(man -L it -w pigreco)" = /usr/share/man/it/man1/pigreco.1.gz ]
  for text in README.md LEGGIMI.md; do cmp "$text" "/usr/share/doc/pigreco/$text"; done
  check_page /usr/bin/pigreco NAME pigreco
  check_page /usr/bin/pigreco NOME -L it pigreco
  dpkg --purge pigreco
  installed=no
  [ ! -e /usr/bin/pigreco ]
  [ ! -e /usr/share/doc/pigreco ]
  echo "installed, ran, showed its pages, removed"
fi

echo "--- the Windows zips, under Wine"
start_wine "$work"
crlf() { sed 's/$/\r/' "$1"; }
for zip in "$win64" "$win32"; do
  echo "--- $zip"
  cmake -E chdir "$work/check" cmake -E tar xf "$PWD/$zip"
  root="$work/check/$(basename "$zip" .zip)"
  expect_files "$root" "LEGGIMI.txt LICENSE.txt README.txt THIRD-PARTY.txt pigreco.exe "
  for text in LICENSE README.md LEGGIMI.md; do crlf "$text" | cmp - "$root/${text%.md}.txt"; done
  { cat packaging/third_party_header.txt /usr/share/doc/mingw-w64-common/copyright; } | crlf /dev/stdin |
    cmp - "$root/THIRD-PARTY.txt"
  if [ "$zip" = "$win64" ]; then
    python3 tests/end_to_end.py "$root/pigreco.exe" --emulator "$wine64" --crlf
  elif why=$(why_no_wine32); then
    echo "package: the win32 pigreco.exe NOT run: $why"
    left_out+=("running the win32 zip's program")
  else
    python3 tests/end_to_end.py "$root/pigreco.exe" --emulator /usr/lib/wine/wine --crlf
  fi
done

if [ ${#left_out[@]} -gt 0 ]; then
  echo "package: all else passed; left out here: ${left_out[*]}"
  exit 77
fi
