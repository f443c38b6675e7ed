"""The program on x86-64 CPUs that lack some of the kernels' extensions, under
qemu-x86_64's CPU models: for each model the kernel chosen must be the one
expected (asked of pigreco_kernels, which makes the same choice), and the
program must print the same result as natively, without dying of an illegal
instruction. Usage: cpu_models.py PIGRECO PIGRECO_KERNELS
"""
import shutil
import subprocess
import sys

# QEMU 7.2's TCG implements AVX, AVX2 and FMA but no AVX-512: a model that
# claims AVX-512 (Skylake-Server) loses it, with a warning, and gets AVX2.
MODELS = [
    ("qemu64", "generic"),          # no AVX at all
    ("Nehalem", "generic"),         # SSE4.2, no AVX
    ("Haswell,-fma", "generic"),    # AVX2 without FMA
    ("max,-fma", "generic"),
    ("max,-avx2", "generic"),       # FMA without AVX2
    ("Haswell", "avx2"),
    ("max", "avx2"),
    ("Skylake-Server", "avx2"),
]
COUNTS = ["1000", "2100000"]  # the second crosses to the lanes settled by the bounded quotient


def run(command, stdin=""):
    return subprocess.run(command, input=stdin.encode(), capture_output=True, timeout=120)


def main():
    program, query = sys.argv[1], sys.argv[2]
    qemu = shutil.which("qemu-x86_64")
    if qemu is None:
        print("cpu_models: SKIPPED: qemu-x86_64 not found (Debian: qemu-user)")
        sys.exit(77)
    native = {count: run([program], count + "\n").stdout for count in COUNTS}
    failed = False
    for model, expected in MODELS:
        chosen = run([qemu, "-cpu", model, query]).stdout.decode().strip()
        problems = [] if chosen == expected else [f"chose {chosen or '(nothing)'}, not {expected}"]
        for count in COUNTS:
            result = run([qemu, "-cpu", model, program], count + "\n")
            if result.returncode != 0 or result.stdout != native[count]:
                problems.append(f"count {count}: status {result.returncode}, output {result.stdout!r}")
        print(f"{model}: {chosen}" + ("" if not problems else ": FAILED: " + "; ".join(problems)))
        failed = failed or bool(problems)
    sys.exit(1 if failed else 0)


main()
