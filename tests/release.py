#!/usr/bin/env python3
"""Checks a release (packaging/make-release's dist/) as its users meet it.

usage: release.py DIST [--again DIST2] [--work DIR] [--skipped FILE]

ARTIFACTS below has one row per artifact: the files it holds, where each
comes from, the machine its program is built for and how it runs here. Every
row gets the same checks: its name is in SHA256SUMS with its true sum, its
bytes are those of the second release DIST2 (made elsewhere and later), it
holds exactly its files, each file that comes from the sources has their
bytes, its program's header names its machine and the program runs
(end_to_end.py) as its toolchain file runs it here. Debian packages also pass
lintian and name their architecture; the amd64 one, where this runs as root,
installs with dpkg, runs, shows its manual pages and goes again. Programs that
run natively have their manual pages rendered and checked against them
(manual_quotes.py); the web zip's page runs in headless Chromium next to the
x86-64 tarball's program (web/test/page_test.js).

A part that this machine cannot do (32-bit Wine without a kernel that runs
32-bit x86 code; dpkg without root) is left out: named, with why, in FILE
(one "PART<tab>why" line each) and on standard output, and the test ends with
status 77 if nothing failed.
"""
import argparse
import gzip
import hashlib
import io
import os
import re
import shlex
import shutil
import struct
import subprocess
import sys
import tarfile
import tempfile
import zipfile
from dataclasses import dataclass
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent
TESTS = SOURCE / "tests"
MINGW_COPYRIGHT = Path("/usr/share/doc/mingw-w64-common/copyright")


# Where a file of an artifact comes from. Each returns, for the file's bytes,
# what is wrong with them ("" if nothing).
def same(path):
    return lambda data: "" if data == (SOURCE / path).read_bytes() else "differs from %s" % path


def gzipped(path):
    return lambda data: "" if gzip.decompress(data) == (SOURCE / path).read_bytes() else "is not %s, gzipped" % path


def crlf(*paths):
    def check(data):
        text = b"".join(Path(SOURCE, path).read_bytes() for path in paths)
        return "" if data == text.replace(b"\n", b"\r\n") else "is not %s with CR LF line ends" % " + ".join(map(str, paths))
    return check


def built(data):
    """Made by the build: checked by running it (the page) or by its maker."""
    return ""


def rendered(path):
    """A manual page as mandoc renders it to HTML, as the release does."""
    def check(data):
        page = subprocess.run(["mandoc", "-Thtml", SOURCE / path], capture_output=True, check=False).stdout
        return "" if data == page else "is not %s rendered by mandoc -Thtml" % path
    return check


def its_program(data):
    """The program: its header names the row's machine, and it runs."""
    return ""


DEBIAN_PACKAGE = {
    "usr/bin/pigreco": its_program,
    "usr/share/doc/pigreco/LEGGIMI.md": same("LEGGIMI.md"),
    "usr/share/doc/pigreco/README.md": same("README.md"),
    "usr/share/doc/pigreco/changelog.gz": gzipped("packaging/debian/changelog"),
    "usr/share/doc/pigreco/copyright": same("packaging/debian/copyright"),
    "usr/share/man/it/man1/pigreco.1.gz": gzipped("man/it/pigreco.1"),
    "usr/share/man/man1/pigreco.1.gz": gzipped("man/pigreco.1"),
}
TARBALL = {
    "bin/pigreco": its_program,
    "LEGGIMI.md": same("LEGGIMI.md"),
    "LICENSE": same("LICENSE"),
    "README.md": same("README.md"),
    "share/man/it/man1/pigreco.1.gz": gzipped("man/it/pigreco.1"),
    "share/man/man1/pigreco.1.gz": gzipped("man/pigreco.1"),
}
WINDOWS_ZIP = {
    "pigreco.exe": its_program,
    "LEGGIMI.txt": crlf("LEGGIMI.md"),
    "LICENSE.txt": crlf("LICENSE"),
    "README.txt": crlf("README.md"),
    "THIRD-PARTY.txt": crlf("packaging/third_party_header.txt", MINGW_COPYRIGHT),
    "manual.html": rendered("man/pigreco.1"),
    "manuale.html": rendered("man/it/pigreco.1"),
}
WEB_ZIP = {
    "index.html": built,
    "pigreco.js": built,
    "pigreco-worker.js": built,
    "LEGGIMI.md": same("LEGGIMI.md"),
    "LICENSE": same("LICENSE"),
    "README.md": same("README.md"),
    "manual.html": rendered("man/pigreco.1"),
    "manuale.html": rendered("man/it/pigreco.1"),
}

# The machine in a program's header: ELF e_machine, or the PE file header's.
ELF_MACHINES = {3: "i386", 40: "arm", 62: "x86-64", 183: "aarch64"}
PE_MACHINES = {0x14C: "i386", 0x8664: "x86-64"}


@dataclass(frozen=True)
class Artifact:
    name: str  # in dist/; {v} stands for the version
    files: dict  # every file it holds (under its top folder) -> where it comes from
    machine: str = ""  # what its program's header names ("": no program of its own)
    toolchain: str = ""  # cmake/toolchains/NAME.cmake runs its program here ("": natively)
    debian_architecture: str = ""  # a Debian package's Architecture field


ARTIFACTS = [
    Artifact("pigreco_{v}_amd64.deb", DEBIAN_PACKAGE, "x86-64", "", "amd64"),
    Artifact("pigreco_{v}_arm64.deb", DEBIAN_PACKAGE, "aarch64", "aarch64-linux-gnu", "arm64"),
    Artifact("pigreco_{v}_armhf.deb", DEBIAN_PACKAGE, "arm", "arm-linux-gnueabihf", "armhf"),
    Artifact("pigreco_{v}_i386.deb", DEBIAN_PACKAGE, "i386", "i686-linux-gnu", "i386"),
    Artifact("pigreco-{v}-linux-x86_64.tar.gz", TARBALL, "x86-64", ""),
    Artifact("pigreco-{v}-linux-aarch64.tar.gz", TARBALL, "aarch64", "aarch64-linux-gnu"),
    Artifact("pigreco-{v}-win64.zip", WINDOWS_ZIP, "x86-64", "x86_64-w64-mingw32"),
    Artifact("pigreco-{v}-win32.zip", WINDOWS_ZIP, "i386", "i686-w64-mingw32"),
    Artifact("pigreco-{v}-web.zip", WEB_ZIP),
]
# The console program that the page's answers must match.
REFERENCE = "pigreco-{v}-linux-x86_64.tar.gz"


def run(command, **kwargs):
    print("+ " + " ".join(shlex.quote(str(part)) for part in command), flush=True)
    return subprocess.run([str(part) for part in command], **kwargs)


def machine_of(data):
    if data[:4] == b"\x7fELF":
        return ELF_MACHINES.get(struct.unpack_from("<H", data, 18)[0], "unknown ELF machine")
    if data[:2] == b"MZ":
        offset = struct.unpack_from("<I", data, 0x3C)[0]
        if data[offset:offset + 4] == b"PE\0\0":
            return PE_MACHINES.get(struct.unpack_from("<H", data, offset + 4)[0], "unknown PE machine")
    return "no program header"


def toolchain_emulator(toolchain):
    """The command that runs a toolchain file's programs here, as the file says."""
    if not toolchain:
        return ""
    with tempfile.NamedTemporaryFile("w", suffix=".cmake", delete=False) as script:
        script.write('include("%s")\nlist(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " line)\nmessage(NOTICE "${line}")\n'
                     % (SOURCE / "cmake/toolchains" / (toolchain + ".cmake")))
    try:
        return subprocess.run(["cmake", "-P", script.name], stderr=subprocess.PIPE, stdout=subprocess.DEVNULL,
                              text=True, check=True).stderr.strip()
    finally:
        os.unlink(script.name)


def why_not_runnable(emulator):
    """Why a program cannot run here with this emulator ("" if it can)."""
    if emulator.split(" ")[0] != "/usr/lib/wine/wine":
        return ""
    how = subprocess.run([SOURCE / "cmake/toolchains/how-i386-code-runs"], stdout=subprocess.PIPE,
                         text=True).stdout.strip()
    if how != "native":
        return "32-bit Wine needs a kernel that runs 32-bit x86 code itself (here: %s)" % how
    if subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True).returncode != 0:
        return "32-bit Wine (/usr/lib/wine/wine, Debian: wine32:i386) does not start"
    return ""


def unpack(path, into):
    """The artifact's files, unpacked into a folder of their own: its root."""
    if path.name.endswith(".deb"):
        subprocess.run(["dpkg-deb", "-x", path, into], check=True)
        return into
    if path.name.endswith(".tar.gz"):
        with tarfile.open(path) as archive:
            # Only archive members inside the folder, where Python can tell.
            archive.extractall(into, **({"filter": "data"} if hasattr(tarfile, "data_filter") else {}))
        top = path.name[:-len(".tar.gz")]
    else:
        with zipfile.ZipFile(path) as archive:
            archive.extractall(into)
        top = path.name[:-len(".zip")]
    return into / top


def files_under(root):
    return sorted(str(p.relative_to(root)) for p in root.rglob("*") if p.is_file() or p.is_symlink())


class Release:
    def __init__(self, dist, again, work, skipped):
        self.dist, self.again, self.work, self.skipped_file = dist, again, work, skipped
        version = re.search(r"^project\(pigreco VERSION ([0-9.]+)", (SOURCE / "CMakeLists.txt").read_text(), re.M)
        self.version = version.group(1)
        self.failures, self.left_out = [], []

    def fail(self, what):
        print("FAILED: " + what, flush=True)
        self.failures.append(what)

    def leave_out(self, part, why):
        print("%s: skipped: %s" % (part, why), flush=True)
        self.left_out.append((part, why))

    def path(self, artifact):
        return self.dist / artifact.name.format(v=self.version)

    def check_sums(self):
        """SHA256SUMS names every artifact in dist/, with its true sum, and only
        those of the table; a second release has the same sums."""
        listed = {}
        for line in (self.dist / "SHA256SUMS").read_text().splitlines():
            digest, name = line.split(maxsplit=1)
            listed[name.lstrip("*")] = digest
        present = sorted(p.name for p in self.dist.iterdir() if p.name != "SHA256SUMS")
        expected = sorted(self.path(a).name for a in ARTIFACTS)
        if present != expected:
            self.fail("dist/ holds %s; the table expects %s" % (present, expected))
        if sorted(listed) != present:
            self.fail("SHA256SUMS names %s; dist/ holds %s" % (sorted(listed), present))
        for name in present:
            if listed.get(name) != hashlib.sha256((self.dist / name).read_bytes()).hexdigest():
                self.fail("%s: its SHA-256 is not the one in SHA256SUMS" % name)
        if self.again and (self.again / "SHA256SUMS").read_bytes() != (self.dist / "SHA256SUMS").read_bytes():
            self.fail("the second release's SHA256SUMS differs from this one's")

    def check_manual_sources(self):
        for page in ("man/pigreco.1", "man/it/pigreco.1"):
            warnings = subprocess.run(["man", "--warnings", "-l", SOURCE / page], env=dict(os.environ, LC_ALL="C.UTF-8"),
                                      stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True).stderr
            if warnings:
                self.fail("man --warnings on %s: %s" % (page, warnings.strip()))

    def check_page(self, program, heading, *man_arguments):
        """A manual page as man shows it, wide enough that no quoted line is
        broken, in its language (its first section's heading), quoting PROGRAM."""
        rendered = self.work / "page.txt"
        env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="250")
        shown = subprocess.run(["man", *man_arguments], env=env, stdout=subprocess.PIPE)
        if shown.returncode != 0:
            self.fail("man %s: status %d" % (" ".join(map(str, man_arguments)), shown.returncode))
            return
        rendered.write_bytes(shown.stdout)
        if heading not in rendered.read_text(encoding="utf-8").splitlines():
            self.fail("man %s: no section %s" % (" ".join(map(str, man_arguments)), heading))
        if run([sys.executable, TESTS / "manual_quotes.py", program, rendered]).returncode != 0:
            self.fail("man %s does not quote %s truly" % (" ".join(map(str, man_arguments)), program))

    def check_runs(self, name, program, emulator, windows):
        command = [sys.executable, TESTS / "end_to_end.py", program, "--emulator", emulator]
        if run(command + (["--crlf"] if windows else [])).returncode != 0:
            self.fail("%s: its program does not run as it should (above)" % name)

    def check(self, artifact):
        path = self.path(artifact)
        name = path.name
        print("--- %s" % name, flush=True)
        if not path.is_file():
            return  # check_sums said so
        data = path.read_bytes()
        if self.again and (self.again / name).read_bytes() != data:
            self.fail("%s: a second release's differs" % name)
        root = unpack(path, self.work / name)
        if files_under(root) != sorted(artifact.files):
            self.fail("%s holds %s; expected %s" % (name, files_under(root), sorted(artifact.files)))
        for file, origin in sorted(artifact.files.items()):
            if (root / file).is_file() and (problem := origin((root / file).read_bytes())):
                self.fail("%s: %s %s" % (name, file, problem))
        if artifact.debian_architecture:
            if run(["lintian", "-I", "--fail-on", "error,warning", path]).returncode != 0:
                self.fail("%s: lintian finds fault with it (above)" % name)
            field = subprocess.run(["dpkg-deb", "-f", path, "Architecture"], stdout=subprocess.PIPE,
                                   text=True, check=True).stdout.strip()
            if field != artifact.debian_architecture:
                self.fail("%s: Architecture: %s" % (name, field))
        if not artifact.machine:
            return
        program = root / next(f for f, origin in artifact.files.items() if origin is its_program)
        if (machine := machine_of(program.read_bytes())) != artifact.machine:
            self.fail("%s: its program is for %s, not %s" % (name, machine, artifact.machine))
            return
        emulator = toolchain_emulator(artifact.toolchain)
        if why := why_not_runnable(emulator):
            self.leave_out("%s-run" % artifact.toolchain, "%s: its program not run: %s" % (name, why))
            return
        print("%s: its program run with: %s" % (name, emulator or "nothing, natively"), flush=True)
        self.check_runs(name, program, emulator, program.suffix == ".exe")
        if not artifact.toolchain and not artifact.debian_architecture:
            self.check_page(program, "NAME", "-l", root / "share/man/man1/pigreco.1.gz")
            self.check_page(program, "NOME", "-l", root / "share/man/it/man1/pigreco.1.gz")

    def check_web_page(self):
        web = self.work / "pigreco-{v}-web.zip".format(v=self.version) / "pigreco-{v}-web".format(v=self.version)
        reference = self.work / REFERENCE.format(v=self.version) / REFERENCE.format(v=self.version)[:-7] / "bin/pigreco"
        if not web.is_dir() or not reference.is_file():
            return  # its artifacts' checks said why
        print("--- the page of the web zip, in headless Chromium", flush=True)
        if run(["npm", "ci", "--no-audit", "--no-fund"], cwd=SOURCE / "web/test").returncode != 0 or \
                run(["node", SOURCE / "web/test/page_test.js", web, reference]).returncode != 0:
            self.fail("the web zip's page does not answer as the console program does (above)")

    def check_installed(self):
        """The amd64 package installed with dpkg, as a user installs it."""
        print("--- the amd64 Debian package, installed", flush=True)
        if os.geteuid() != 0:
            self.leave_out("dpkg-install", "dpkg needs root")
            return
        package = self.path(ARTIFACTS[0])
        # A slimmed Debian image may tell dpkg to leave out manuals and
        # documents (path-exclude in /etc/dpkg/dpkg.cfg.d/); these are tested.
        run(["dpkg", "--path-include=/usr/share/man/*", "--path-include=/usr/share/doc/pigreco/*", "-i", package],
            check=True)
        try:
            if shutil.which("pigreco") != "/usr/bin/pigreco":
                self.fail("installed, pigreco is not /usr/bin/pigreco on the PATH")
            self.check_runs("the installed package", "/usr/bin/pigreco", "", False)
            for arguments, page in (([], "/usr/share/man/man1/pigreco.1.gz"),
                                    (["-L", "it"], "/usr/share/man/it/man1/pigreco.1.gz")):
                found = subprocess.run(["man", *arguments, "-w", "pigreco"], stdout=subprocess.PIPE, text=True).stdout
                if found.strip() != page:
                    self.fail("man %s -w pigreco: %r, not %s" % (" ".join(arguments), found.strip(), page))
            self.check_page("/usr/bin/pigreco", "NAME", "pigreco")
            self.check_page("/usr/bin/pigreco", "NOME", "-L", "it", "pigreco")
        finally:
            run(["dpkg", "--purge", "pigreco"], check=True, stdout=subprocess.DEVNULL)
        for gone in ("/usr/bin/pigreco", "/usr/share/doc/pigreco"):
            if os.path.exists(gone):
                self.fail("removed, the package left %s" % gone)

    def main(self):
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)
        self.check_sums()
        self.check_manual_sources()
        for artifact in ARTIFACTS:
            try:
                self.check(artifact)
            except (OSError, subprocess.CalledProcessError, tarfile.TarError, zipfile.BadZipFile) as error:
                self.fail("%s: %s" % (artifact.name.format(v=self.version), error))
        self.check_web_page()
        self.check_installed()
        if self.skipped_file:
            with open(self.skipped_file, "a") as out:
                out.writelines("%s\t%s\n" % left for left in self.left_out)
        print("release: %d artifacts, %d failed checks, %d parts left out" %
              (len(ARTIFACTS), len(self.failures), len(self.left_out)))
        if self.failures:
            return 1
        return 77 if self.left_out else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dist", type=Path)
    parser.add_argument("--again", type=Path, help="a second release's dist/, which must hold the same bytes")
    parser.add_argument("--work", type=Path, default=Path(tempfile.gettempdir()) / "pigreco-release-check")
    parser.add_argument("--skipped", help="a file to append the parts left out to")
    args = parser.parse_args()
    return Release(args.dist.resolve(), args.again and args.again.resolve(), args.work.resolve(), args.skipped).main()


if __name__ == "__main__":
    sys.exit(main())
