#!/usr/bin/env python3
"""The cost of the line of progress: the program with the count typed on a
pseudo-terminal and standard error on that terminal too (the sum in pieces,
the clock read once a piece, the line shown twice a second), against the same
with standard error redirected to /dev/null (the sum in one call, nothing
shown), beside the build's floor (bench/pow_floor_main.cpp) with the count
piped in. Round-robin, each run pinned to one core where taskset is there;
fastest and median wall time of each, and their ratios. Checks that both
runs of the program print the same bytes and that the first did show its
progress.

With --callgrind N, also the instructions of both runs at count N under
valgrind's callgrind, which counts them the same on a busy machine as on an
idle one; under valgrind the line is rewritten more often for each term than
in a run at full speed, so the difference is an upper bound.

usage: progress_cost.py PIGRECO FLOOR [--count N] [--runs R] [--cpu C] [--callgrind N]
"""
import argparse
import os
import pty
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TERMS_SUMMED = b"Termini sommati: "


def run_program(command, count, error_on_terminal):
    """Wall time, standard output and what reached the terminal."""
    master, slave = pty.openpty()
    start = time.monotonic()
    process = subprocess.Popen(command, stdin=slave, stdout=subprocess.PIPE,
                               stderr=slave if error_on_terminal else subprocess.DEVNULL)
    os.close(slave)
    os.write(master, b"%d\n" % count)
    output, terminal = b"", b""
    readers = [master, process.stdout]
    while readers:
        for ready in select.select(readers, [], [])[0]:
            try:
                data = os.read(ready if ready == master else ready.fileno(), 65536)
            except OSError:
                data = b""
            if not data:
                readers.remove(ready)
            elif ready == master:
                terminal += data
            else:
                output += data
    process.wait()
    seconds = time.monotonic() - start
    os.close(master)
    return seconds, output, terminal


def run_floor(command, count):
    start = time.monotonic()
    subprocess.run(command, input=b"%d\n" % count, stdout=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


def instructions(command, count, error_on_terminal):
    """The instructions callgrind counts in one run, and whether it showed progress."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "callgrind.out")
        _, _, terminal = run_program(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out,
                                      "--log-file=" + os.path.join(folder, "log")] + command, count,
                                     error_on_terminal)
        with open(out) as data:
            total = next(int(line.split()[1]) for line in data if line.startswith(("summary:", "totals:")))
    return total, TERMS_SUMMED in terminal


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pigreco")
    parser.add_argument("floor")
    parser.add_argument("--count", type=int, default=2147483647)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--cpu", type=int, default=1)
    parser.add_argument("--callgrind", type=int, metavar="N", help="also count instructions at count N")
    args = parser.parse_args()
    pin = ["taskset", "-c", str(args.cpu)] if shutil.which("taskset") else []
    if not pin:
        print("taskset not found: runs are not pinned to one core")
    pigreco, floor = pin + [os.path.abspath(args.pigreco)], pin + [os.path.abspath(args.floor)]

    names = ["standard error on the terminal", "standard error redirected", "floor"]
    times = {name: [] for name in names}
    outputs = set()
    for round_number in range(args.runs):
        order = names[round_number % 3:] + names[:round_number % 3]
        for name in order:
            if name == "floor":
                times[name].append(run_floor(floor, args.count))
                continue
            seconds, output, terminal = run_program(pigreco, args.count, name == names[0])
            times[name].append(seconds)
            outputs.add(output)
            if name == names[0] and TERMS_SUMMED not in terminal:
                print("the run with standard error on the terminal showed no progress")
                return 1
    if len(outputs) != 1:
        print("the runs printed different bytes: %r" % outputs)
        return 1

    fastest = {name: min(values) for name, values in times.items()}
    median = {name: statistics.median(values) for name, values in times.items()}
    print("count %d, %d runs of each, load average %s" % (args.count, args.runs, os.getloadavg()))
    print("| run | fastest | median | fastest / floor |")
    print("|---|---|---|---|")
    for name in names:
        print("| %s | %.3f s | %.3f s | %.3f |" % (name, fastest[name], median[name], fastest[name] / fastest["floor"]))
    print("terminal / redirected: fastest %.4f, median %.4f" % (
        fastest[names[0]] / fastest[names[1]], median[names[0]] / median[names[1]]))

    if args.callgrind:
        if shutil.which("valgrind") is None:
            print("valgrind not found (Debian: valgrind): no instruction counts")
            return 0
        shown, shows = instructions([os.path.abspath(args.pigreco)], args.callgrind, True)
        hidden, _ = instructions([os.path.abspath(args.pigreco)], args.callgrind, False)
        print("callgrind, count %d: %d instructions with standard error on the terminal (progress %s), "
              "%d redirected: ratio %.6f" % (args.callgrind, shown, "shown" if shows else "NOT shown", hidden,
                                             shown / hidden))
    return 0


if __name__ == "__main__":
    sys.exit(main())
