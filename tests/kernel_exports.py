"""Each kernel object exports nothing but its two entry points.

A kernel's object is compiled for its own instruction set; any other symbol
of external linkage it defined (an inline function of the standard library
that an unoptimised build leaves out of line, say) could be the copy that the
linker keeps for the whole program, and run on a CPU without those
instructions. Usage: kernel_exports.py NM NAME OBJECT [NAME OBJECT ...]
"""
import re
import subprocess
import sys

# What compilers add of their own, the same in every object whatever the
# instruction set: GCC's helpers for position-independent code on 32-bit x86
# (a load of the return address and a return), and the type_info data of
# function types (_ZTI, _ZTS) that UBSan's checks of indirect calls emit.
COMPILER_HELPERS = re.compile(r"^(__x86\.get_pc_thunk\.[a-z]+|_ZT[IS]F.*)$")


def main():
    nm, pairs = sys.argv[1], sys.argv[2:]
    if not pairs or len(pairs) % 2:
        sys.exit("usage: kernel_exports.py NM NAME OBJECT [NAME OBJECT ...]")
    failed = False
    for name, obj in zip(pairs[0::2], pairs[1::2]):
        lines = subprocess.run([nm, "--extern-only", "--defined-only", obj], check=True,
                               capture_output=True, text=True).stdout.splitlines()
        symbols = [line.split()[-1] for line in lines if line.strip() and not line.endswith(":")]
        entry = re.compile(r"(sum_terms|lane_verdicts)_" + re.escape(name) + r"(E|$)")
        others = [s for s in symbols if not entry.search(s) and not COMPILER_HELPERS.match(s)]
        entries = sum(1 for s in symbols if entry.search(s))
        if others or entries != 2:
            failed = True
            print(f"{name}: {obj} exports {entries} entry points (2 expected) and {len(others)} other symbols:")
            for s in others:
                print("  " + s)
        else:
            print(f"{name}: only its two entry points")
    sys.exit(1 if failed else 0)


main()
