#!/usr/bin/env python3
"""Checks cmake/toolchains/how-i386-code-runs where qemu-i386, or a handler
that fails, takes i386 programs: inside a user namespace with a binfmt_misc
table of its own (Linux 6.7 and later), so that this machine's stays as it is.

usage: i386_probe.py

Each case registers its handler, then runs the script with the table in view
and with it hidden under an empty folder, as in a chroot or a container that
does not mount it; the handler works either way. Exits 77 (skipped) where no
such namespace can be made or qemu-i386 is missing.
"""
import shutil
import subprocess
import sys
from pathlib import Path

SCRIPT = Path(__file__).resolve().parent.parent / "cmake/toolchains/how-i386-code-runs"
TABLE = "/proc/sys/fs/binfmt_misc"
# qemu's own entry for i386 executables and shared objects.
MAGIC = r"\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00"
MASK = r"\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff"

# (handler, what the script must say with the table in view, and hidden)
CASES = [
    ("qemu-i386", "emulated", "emulated"),
    ("false", "none", "none"),
]


def in_namespace(handler):
    """The script's answers, table in view and hidden, or None if no namespace."""
    inner = f"""
set -e
mount -t binfmt_misc binfmt_misc {TABLE} 2>/dev/null || exit 77
printf '%s' ':i386:M::{MAGIC}:{MASK}:{handler}:F' >{TABLE}/register
"{SCRIPT}"
mount -t tmpfs none {TABLE}
"{SCRIPT}"
"""
    run = subprocess.run(["unshare", "--user", "--map-root-user", "--mount", "--fork", "bash", "-c", inner],
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if run.returncode == 77 or (run.returncode != 0 and "unshare" in run.stderr):
        return None
    if run.returncode != 0:
        sys.exit("i386_probe: the namespace failed: %s" % run.stderr.strip())
    return run.stdout.split()


def main():
    handlers = {name: shutil.which(name) for name, _, _ in CASES}
    if not shutil.which("unshare") or not handlers["qemu-i386"]:
        print("i386_probe: skipped: no unshare or qemu-i386 here (Debian: util-linux, qemu-user)")
        return 77
    failed = 0
    for name, in_view, hidden in CASES:
        answers = in_namespace(handlers[name])
        if answers is None:
            print("i386_probe: skipped: no user namespace with a binfmt_misc table of its own (Linux 6.7 and later)")
            return 77
        if answers != [in_view, hidden]:
            failed += 1
            print("FAIL %s: table in view, hidden: %s; expected %s" % (name, answers, [in_view, hidden]))
    print("%d passed, %d failed" % (len(CASES) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
