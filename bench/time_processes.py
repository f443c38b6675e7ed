#!/usr/bin/env python3
"""Whole-process timings of pigreco against the floor and the x87 loop.

Runs every program once per round, rotating the order from round to round, so
that a slow spell of this (shared, noisy) machine hits all programs alike; the
median of the rounds is then compared with the median of pigreco_floor, which
makes only the std::pow calls that no implementation can avoid. Each run is
pinned to one core when taskset is there. Also measures pigreco's peak
resident memory, and checks that every pigreco build prints the same result
line as the long double program.

Expects the builds that run.sh makes; run.sh passes the build folder and the
kernels it built forced builds for, and any other options through.
"""

import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

RESULT_MARK = "Dopo "


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", type=Path, required=True, help="folder that run.sh built into")
    parser.add_argument("--kernels", nargs="*", default=[], help="kernels with a forced build in the build folder")
    parser.add_argument("--counts", nargs="+", type=int, default=[200000000, 2147483647], help="iteration counts to time")
    parser.add_argument("--runs", type=int, default=5, help="timed runs of each program for each count")
    parser.add_argument("--memory-counts", nargs="*", type=int, default=[10, 2147483647],
                        help="counts at which pigreco's peak resident memory is measured")
    parser.add_argument("--cpu", type=int, default=1, help="core to pin every run to")
    args = parser.parse_args()
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    return args


class Program:
    def __init__(self, label, path):
        self.label = label
        self.path = path


def programs_to_time(build_dir, kernels):
    default = build_dir / "default"
    chosen = run_plain([str(default / "bench" / "pigreco_kernels")]).strip()
    programs = [Program("pigreco_floor", default / "bench" / "pigreco_floor"),
                Program(f"pigreco (auto: {chosen})", default / "pigreco")]
    for kernel in kernels:
        built_as = run_plain([str(build_dir / kernel / "bench" / "pigreco_kernels")]).strip()
        if built_as != kernel:
            sys.exit(f"the build forced to {kernel} uses {built_as}")
        programs.append(Program(f"pigreco ({kernel})", build_dir / kernel / "pigreco"))
    x87 = default / "bench" / "pigreco_x87"
    if x87.exists():
        programs.append(Program("pigreco_x87", x87))
    return programs


def run_plain(command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def pinning_prefix(cpu):
    """taskset -c CPU when taskset is there and the core is one this process may use."""
    taskset = shutil.which("taskset")
    if taskset and cpu in os.sched_getaffinity(0):
        return [taskset, "-c", str(cpu)]
    return []


def timed_run(prefix, program, count):
    """Wall time of one run fed the count on standard input, and what it printed."""
    start = time.perf_counter()
    finished = subprocess.run(prefix + [str(program.path)], input=f"{count}\n", capture_output=True, text=True)
    elapsed = time.perf_counter() - start
    if finished.returncode != 0:
        sys.exit(f"{program.label} failed on count {count}: {finished.stderr.strip()}")
    return elapsed, finished.stdout


def result_line(output):
    """The line after the prompt: the one that states the count and the sum."""
    at = output.find(RESULT_MARK)
    return output[at:].strip() if at >= 0 else output.strip()


def time_count(programs, prefix, count, runs):
    """Round-robin runs; returns each program's wall times and its result line."""
    times = {p.label: [] for p in programs}
    lines = {}
    for round_index in range(runs):
        shift = round_index % len(programs)
        for program in programs[shift:] + programs[:shift]:
            elapsed, output = timed_run(prefix, program, count)
            times[program.label].append(elapsed)
            line = result_line(output)
            if lines.setdefault(program.label, line) != line:
                sys.exit(f"{program.label} printed two different results for count {count}")
            print(f"  count {count} round {round_index + 1}/{runs} {program.label}: {elapsed:.3f} s",
                  file=sys.stderr, flush=True)
    return times, lines


def disagreements(lines):
    """Every pigreco build must print exactly what the long double program prints."""
    reference = lines.get("pigreco_x87")
    if reference is None:
        return []
    return [f"{label} printed: {line}  but pigreco_x87 printed: {reference}"
            for label, line in lines.items() if label.startswith("pigreco ") and line != reference]


def floor_is_right(lines, count):
    """The floor's sum of the sign factors is 1 for an odd count and 0 otherwise."""
    return lines["pigreco_floor"].endswith(f" {1 if count > 0 and count % 2 else 0}")


def peak_memory_kib(prefix, program, count):
    """ru_maxrss of the program as GNU time reports it (the launcher itself is small)."""
    gnu_time = Path("/usr/bin/time")
    if not gnu_time.exists():
        return None
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(prefix + [str(gnu_time), "-f", "%M", "-o", report.name, str(program.path)],
                       input=f"{count}\n", capture_output=True, text=True, check=True)
        return int(report.read().split()[-1])


def machine_facts(build_dir, prefix):
    facts = {}
    lscpu = shutil.which("lscpu")
    if lscpu:
        for line in run_plain([lscpu]).splitlines():
            if line.startswith("Model name:"):
                facts["cpu"] = line.split(":", 1)[1].strip()
    facts["cores"] = str(os.cpu_count())
    facts["kernels this CPU runs"] = " ".join(run_plain([str(build_dir / "default" / "bench" / "pigreco_kernels"),
                                                         "--runnable"]).split())
    facts["compiler"] = compiler_version(build_dir / "default")
    facts["os kernel"] = platform.release()
    facts["pinning"] = "taskset " + " ".join(prefix[1:]) if prefix else "none (taskset missing or core unavailable)"
    return facts


def compiler_version(build):
    for line in (build / "CMakeCache.txt").read_text().splitlines():
        if line.startswith("CMAKE_CXX_COMPILER:"):
            compiler = line.split("=", 1)[1]
            return run_plain([compiler, "--version"]).splitlines()[0]
    return "unknown"


def print_table(count, runs, programs, times):
    floor = statistics.median(times["pigreco_floor"])
    width = max(len(p.label) for p in programs)
    print(f"\ncount {count}, {runs} runs each (wall seconds)")
    print(f"{'program':<{width}}  {'median':>8}  {'min':>8}  {'max':>8}  {'/ floor':>7}")
    for program in programs:
        samples = times[program.label]
        median = statistics.median(samples)
        print(f"{program.label:<{width}}  {median:8.3f}  {min(samples):8.3f}  {max(samples):8.3f}  {median / floor:7.3f}")


def main():
    args = parse_args()
    prefix = pinning_prefix(args.cpu)
    programs = programs_to_time(args.build_dir, args.kernels)

    print("machine")
    for name, value in machine_facts(args.build_dir, prefix).items():
        print(f"  {name}: {value}")

    problems = []
    for count in args.counts:
        times, lines = time_count(programs, prefix, count, args.runs)
        print_table(count, args.runs, programs, times)
        print(f"result: {lines.get('pigreco_x87', lines[programs[1].label])}")
        problems += disagreements(lines)
        if not floor_is_right(lines, count):
            problems.append(f"pigreco_floor printed a wrong sum of signs for count {count}: {lines['pigreco_floor']}")

    if args.memory_counts:
        pigreco = programs[1]
        print("\npeak resident memory of pigreco (ru_maxrss)")
        for count in args.memory_counts:
            kib = peak_memory_kib(prefix, pigreco, count)
            print(f"  count {count}: " + (f"{kib} KiB" if kib is not None else "n/a (no GNU time at /usr/bin/time)"))

    if not any(p.label == "pigreco_x87" for p in programs):
        print("\ncross-check: pigreco_x87 is not built here (long double is not x87), nothing to compare with")
    else:
        print("\ncross-check against pigreco_x87: " + ("all result lines agree" if not problems else "PROBLEMS"))
    for problem in problems:
        print(f"  {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
