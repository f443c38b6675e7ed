#!/usr/bin/env python3
"""Instructions that one term costs besides its pow call, counted by valgrind's
callgrind, and the check that keeps them from growing unnoticed.

pigreco_arithmetic (arithmetic_main.cpp) adds terms through one named kernel,
either with the sign factors given (`given`: the arithmetic alone) or with the
block pass making its power calls as the program does (`pow`: the arithmetic
and the loop of calls, the instructions inside pow left out by callgrind's
--toggle-collect). It is run for 2^17 and for 2^18 terms from the same index;
the difference between the two counts, divided by the 2^17 terms between
them, is what a term costs, start-up and set-up cancelling out. Unlike a wall
time it is the same on a busy machine as on an idle one.

    instruction_counts.py --check FIGURES --compiler "GNU 12.2.0" PROGRAM [RUNNER...]
        measures every kernel and index that FIGURES lists and fails when one
        costs more than its figure allows; exits 77 (skipped) where valgrind
        is missing, the compiler is not the one the figures were taken with,
        or valgrind cannot run one of the kernels here.
    instruction_counts.py --print FIGURES --compiler ... PROGRAM
        prints the figures' lines as measured now, to update them.

PROGRAM is pigreco_arithmetic; RUNNER words (a loader) go before it.
"""

import argparse
import shutil
import subprocess
import sys
import tempfile

FEWER_TERMS, MORE_TERMS = 1 << 17, 1 << 18
SKIPPED = 77


class KernelNotRun(Exception):
    """valgrind's virtual CPU lacks the kernel's instructions (AVX-512 at least)."""


# pow under callgrind: glibc's pow@@GLIBC_2.29 and whatever it calls.
POW = "pow*"


def instructions(command, collect=()):
    """What callgrind counts for one run of the command, with these options of
    what to collect."""
    with tempfile.TemporaryDirectory() as folder:
        finished = subprocess.run(["valgrind", "--tool=callgrind", *collect, f"--callgrind-out-file={folder}/out"]
                                  + command, capture_output=True, text=True)
    refusal = [line for line in finished.stderr.splitlines() if "does not run the" in line]
    if finished.returncode != 0 and refusal:
        raise KernelNotRun(refusal[0].split(": ", 1)[-1])
    for line in finished.stderr.splitlines():
        if "Collected :" in line and finished.returncode == 0:
            return int(line.split(":")[-1])
    raise RuntimeError(f"callgrind counted nothing for {' '.join(command)} "
                       f"(exit status {finished.returncode}): {finished.stderr[-500:]}")


def per_term(program, kernel, signs, first):
    """Instructions per term of `kernel` from index `first`, the sign factors
    `given` or made by `pow` calls, whose own instructions are left out;
    program is the command that runs pigreco_arithmetic (its runner words
    first)."""
    def command(terms):
        return program + [kernel, str(first), str(terms), signs]
    # The toggle turns collection off on entering pow and on again on leaving
    # it; it must come before --collect-atstart, which it would otherwise reset.
    leave_out_pow = ["--toggle-collect=" + POW, "--collect-atstart=yes"] if signs == "pow" else []
    fewer = instructions(command(FEWER_TERMS), leave_out_pow)
    more = instructions(command(MORE_TERMS), leave_out_pow)
    if signs == "pow" and instructions(command(FEWER_TERMS), ["--toggle-collect=" + POW]) == 0:
        raise RuntimeError(f"callgrind found no function {POW} to leave out: the count would hold pow's own")
    return (more - fewer) / (MORE_TERMS - FEWER_TERMS)


class Figures:
    """The file of figures: `compiler NAME VERSION`, `allowance PERCENT`, and
    `KERNEL SIGNS FIRST_INDEX INSTRUCTIONS_PER_TERM` lines (SIGNS: given or
    pow); # starts a comment."""

    def __init__(self, path):
        self.compiler, self.allowance, self.rows = None, None, []
        with open(path, encoding="utf-8") as lines:
            for line in lines:
                words = line.split("#", 1)[0].split()
                if not words:
                    continue
                if words[0] == "compiler":
                    self.compiler = " ".join(words[1:])
                elif words[0] == "allowance":
                    self.allowance = float(words[1])
                else:
                    kernel, signs, first, figure = words
                    if signs not in ("given", "pow"):
                        raise ValueError(f"{path}: {line.strip()}: the sign factors are given or pow")
                    self.rows.append((kernel, signs, int(first), float(figure)))
        if self.compiler is None or self.allowance is None or not self.rows:
            raise ValueError(f"{path}: needs a compiler line, an allowance line and at least one figure")


def check(figures, program):
    """0 when every kernel that valgrind runs is within its figure's allowance
    and every one ran; 1 when one is over; 77 when none is over but one could
    not run."""
    over, left_out = [], []
    for kernel, signs, first, figure in figures.rows:
        try:
            measured = per_term(program, kernel, signs, first)
        except KernelNotRun as why:
            left_out.append(f"{kernel} (the program under valgrind says: {why})")
            continue
        limit = figure * (1 + figures.allowance / 100)
        change = (measured / figure - 1) * 100
        verdict = "ok"
        if measured > limit:
            verdict = "OVER"
            over.append(f"{kernel} ({signs}, from {first})")
        elif change < -figures.allowance:
            verdict = "under: lower the figure, in the commit that made it so"
        print(f"{kernel:8} {signs:5} from index {first:>10}: {measured:6.2f} instructions a term, "
              f"figure {figure:6.2f} ({change:+.1f} %, allowed +{figures.allowance:g} %): {verdict}")
    if over:
        print(f"FAILED: {', '.join(over)} over the figure. A change that costs instructions on purpose raises "
              f"the figure in the same commit and says why (--print gives the lines as measured).")
        return 1
    if left_out:
        print("skipped in part: valgrind does not run " + "; ".join(left_out))
        return SKIPPED
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--check", metavar="FIGURES", help="compare with the figures in this file")
    mode.add_argument("--print", metavar="FIGURES", help="print this file's figure lines as measured now")
    parser.add_argument("--compiler", required=True, help="the build's compiler, as `NAME VERSION`")
    parser.add_argument("program", nargs="+", help="[RUNNER...] pigreco_arithmetic")
    args = parser.parse_args()
    figures = Figures(args.check or args.print)
    if shutil.which("valgrind") is None:
        print("skipped: valgrind is not installed (Debian: valgrind)")
        return SKIPPED
    if args.print:
        print(f"compiler {args.compiler}")
        for kernel, signs, first, _ in figures.rows:
            try:
                print(f"{kernel} {signs} {first} {per_term(args.program, kernel, signs, first):.2f}")
            except KernelNotRun as why:
                print(f"# {kernel} {signs} {first}: {why}")
        return 0
    if args.compiler != figures.compiler:
        print(f"skipped: the figures are for {figures.compiler}, this build's compiler is {args.compiler}")
        return SKIPPED
    return check(figures, args.program)


if __name__ == "__main__":
    sys.exit(main())
