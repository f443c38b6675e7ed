#!/usr/bin/env python3
"""Whole-process timings of each build of pigreco against its own floor.

Every build comes with its floor, a program built with the same compiler and
flags that makes the same std::pow(-1.0, i) calls, once per term and in order,
and only adds their results: the cost that no implementation can avoid. All
programs of all builds are run once per round, the order rotating from round
to round, each pinned to one core where taskset is there, so that a slow spell
of this (shared, noisy) machine hits them alike. Noise only ever adds time, so
the ratio that counts is that of the fastest runs; the medians stand beside.

Also: pigreco's peak resident memory; that every pigreco of a build prints the
result line of that build's plain x87 long double loop, and that all builds
print the same bytes (CR LF aside); and, under valgrind's callgrind, the
instructions that a term costs besides its pow call's own, for each kernel
that valgrind runs.

run.sh builds the programs and lists the builds for this script.
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

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tools"))
import instruction_counts  # noqa: E402 (shared with the tests, in tools/)

RESULT_MARK = "Dopo "


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", type=Path, required=True, help="folder that run.sh built into")
    parser.add_argument("--builds", type=Path, required=True, help="run.sh's list of builds")
    parser.add_argument("--counts", nargs="*", type=int, default=[200000000, 2147483647],
                        help="iteration counts to time the x86-64 builds at")
    parser.add_argument("--counts-32", nargs="*", type=int, default=[100000000],
                        help="iteration counts to time the 32-bit builds at (their pow is ten times slower)")
    parser.add_argument("--runs", type=int, default=7, help="timed runs of each program for each count")
    parser.add_argument("--memory-counts", nargs="*", type=int, default=[10, 2147483647],
                        help="counts at which pigreco's peak resident memory is measured")
    parser.add_argument("--cpu", type=int, default=1, help="core to pin every run to")
    parser.add_argument("--no-callgrind", action="store_true", help="leave out the instruction counts")
    args = parser.parse_args()
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    return args


class Program:
    def __init__(self, build, role, command):
        self.build = build  # the build's name, as run.sh lists it
        self.role = role    # "floor", "pigreco" or "x87"
        self.command = command
        self.label = f"{build} {role}"
        # A build forced to one kernel ("x86-64 avx2") shares its target's floor.
        self.target = build.split()[0]
        self.floor_label = f"{self.target} floor"


class Build:
    """One line of run.sh's list: NAME... FOLDER KIND [RUNNER...]."""

    def __init__(self, line, build_dir):
        words = line.split()
        kinds = ("native", "loader", "wine")
        at = next(i for i, w in enumerate(words) if w in kinds)
        self.name = " ".join(words[:at - 1])
        self.folder = build_dir / words[at - 1]
        self.kind = words[at]
        self.runner = words[at + 1:]
        self.is_32_bit = self.kind != "native"
        suffix = ".exe" if self.kind == "wine" else ""
        self.paths = {
            "pigreco": self.folder / f"pigreco{suffix}",
            "floor": self.folder / "bench" / f"pigreco_floor{suffix}",
            "x87": self.folder / "bench" / f"pigreco_x87{suffix}",
            "kernels": self.folder / "tools" / f"pigreco_kernels{suffix}",
            "arithmetic": self.folder / "tools" / f"pigreco_arithmetic{suffix}",
        }

    def command(self, what, *arguments):
        return self.runner + [str(self.paths[what])] + list(arguments)

    def is_forced(self):
        return " " in self.name

    def programs(self):
        """The floor and the x87 loop once per target, beside its default build."""
        roles = ["pigreco"]
        if not self.is_forced():
            roles = ["floor", "pigreco"] + (["x87"] if self.paths["x87"].exists() else [])
        return [Program(self.name, role, self.command(role)) for role in roles]


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
    finished = subprocess.run(prefix + program.command, input=f"{count}\n".encode(), capture_output=True)
    elapsed = time.perf_counter() - start
    if finished.returncode != 0:
        sys.exit(f"{program.label} failed on count {count}: {finished.stderr.decode(errors='replace').strip()}")
    return elapsed, finished.stdout.decode("utf-8", errors="replace").replace("\r\n", "\n")


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


def result_problems(programs, lines, count):
    """Every pigreco must print its build's x87 line, and every build the same line."""
    problems = []
    x87 = {p.target: lines[p.label] for p in programs if p.role == "x87"}
    pigreco_lines = {p.label: lines[p.label] for p in programs if p.role == "pigreco"}
    for program in programs:
        line = lines[program.label]
        if program.role == "floor" and not line.endswith(f" {1 if count > 0 and count % 2 else 0}"):
            problems.append(f"{program.label} printed a wrong sum of signs for count {count}: {line}")
        reference = x87.get(program.target)
        if program.role == "pigreco" and reference is not None and line != reference:
            problems.append(f"{program.label} printed: {line}  but the x87 loop printed: {reference}")
    if len(set(pigreco_lines.values())) > 1:
        problems.append(f"the builds disagree for count {count}: {pigreco_lines}")
    return problems


def print_table(count, runs, programs, times):
    width = max(len(p.label) for p in programs)
    print(f"\ncount {count}, {runs} runs each (wall seconds; ratios to the build's own floor)")
    print(f"{'program':<{width}}  {'fastest':>8}  {'median':>8}  {'fastest/floor':>13}  {'median/floor':>12}")
    for program in programs:
        floor = times[program.floor_label]
        samples = times[program.label]
        print(f"{program.label:<{width}}  {min(samples):8.3f}  {statistics.median(samples):8.3f}  "
              f"{min(samples) / min(floor):13.3f}  {statistics.median(samples) / statistics.median(floor):12.3f}")


def peak_memory_kib(prefix, command, count):
    """ru_maxrss of the program as GNU time reports it (the launcher itself is small)."""
    gnu_time = Path("/usr/bin/time")
    if not gnu_time.exists():
        return None
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(prefix + [str(gnu_time), "-f", "%M", "-o", report.name] + command,
                       input=f"{count}\n", capture_output=True, text=True, check=True)
        return int(report.read().split()[-1])


def instructions_per_term(builds):
    """What one term costs besides its power call: the difference between two
    runs of pigreco_arithmetic, over the terms between them. The arithmetic
    alone at small indices (where the kernels prove each term with an exact
    remainder) and large ones; and at large ones with the loop of power calls,
    pow's own instructions left out."""
    if shutil.which("valgrind") is None:
        print("\ninstructions per term: skipped: valgrind is not installed")
        return
    print("\ninstructions per term besides pow's own (callgrind): the arithmetic alone (sign factors given),\n"
          "and with the loop of pow calls")
    for build in builds:
        if build.kind == "wine" or build.is_forced():
            continue
        try:
            runnable = run_plain(["valgrind", "-q"] + build.command("kernels", "--runnable")).split()
        except subprocess.CalledProcessError:
            print(f"  {build.name}: valgrind cannot run its programs here")
            continue
        for kernel in runnable:
            counts = []
            for signs, first in (("given", 1000000), ("given", 1000000000), ("pow", 1000000000)):
                measured = instruction_counts.per_term(build.command("arithmetic"), kernel, signs, first)
                counts.append(f"{measured:6.2f} {signs} from index {first}")
            print(f"  {build.name} {kernel:8} " + ", ".join(counts))
    print("  (valgrind runs no AVX-512 code: that kernel is left out)")


def machine_facts(builds, prefix):
    facts = {}
    lscpu = shutil.which("lscpu")
    if lscpu:
        for line in run_plain([lscpu]).splitlines():
            key, _, value = line.partition(":")
            if key in ("Model name", "CPU family", "Model"):
                facts[key.lower()] = value.strip()
    facts["cores"] = str(os.cpu_count())
    for build in builds:
        if build.is_forced():
            continue
        facts[f"{build.name}: kernels this CPU runs"] = " ".join(run_plain(build.command("kernels", "--runnable")).split())
        facts[f"{build.name}: compiler"] = compiler_version(build.folder)
    facts["os kernel"] = platform.release()
    facts["pinning"] = "taskset " + " ".join(prefix[1:]) if prefix else "none (taskset missing or core unavailable)"
    return facts


def compiler_version(folder):
    """What CMake found as the C++ compiler, as it names itself."""
    for found in folder.glob("CMakeFiles/*/CMakeCXXCompiler.cmake"):
        for line in found.read_text().splitlines():
            if line.startswith("set(CMAKE_CXX_COMPILER "):
                compiler = line.split('"')[1]
                return run_plain([compiler, "--version"]).splitlines()[0]
    return "unknown"


def main():
    args = parse_args()
    prefix = pinning_prefix(args.cpu)
    builds = [Build(line, args.build_dir) for line in args.builds.read_text().splitlines() if line.strip()]

    print("machine")
    for name, value in machine_facts(builds, prefix).items():
        print(f"  {name}: {value}")

    problems = []
    for count in sorted(set(args.counts) | set(args.counts_32)):
        chosen = [b for b in builds if count in (args.counts_32 if b.is_32_bit else args.counts)]
        programs = [p for b in chosen for p in b.programs()]
        if not programs:
            continue
        times, lines = time_count(programs, prefix, count, args.runs)
        print_table(count, args.runs, programs, times)
        print(f"result: {lines[programs[1].label]}")
        problems += result_problems(programs, lines, count)

    if args.memory_counts:
        pigreco = builds[0].command("pigreco")
        print("\npeak resident memory of the x86-64 pigreco (ru_maxrss)")
        for count in args.memory_counts:
            kib = peak_memory_kib(prefix, pigreco, count)
            print(f"  count {count}: " + (f"{kib} KiB" if kib is not None else "n/a (no GNU time at /usr/bin/time)"))

    if not args.no_callgrind:
        instructions_per_term(builds)

    print("\ncross-check of the result lines: " + ("all agree" if not problems else "PROBLEMS"))
    for problem in problems:
        print(f"  {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
