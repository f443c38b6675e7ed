#!/usr/bin/env python3
"""Runs the built program with piped standard input and checks, byte for byte,
its standard output, its standard error and its exit status.

usage: end_to_end.py PROGRAM [--emulator "qemu-aarch64 -L ..."] [--crlf]

--crlf expects the line ends of a Windows program, whose standard output and
standard error are both in text mode: CR LF on every line of either. The
expected sums were computed independently with x87 `long double` arithmetic.
"""
import argparse
import os
import shlex
import subprocess
import sys
import tempfile

from program_texts import CANNOT_WRITE, NOT_AN_INTEGER, OUT_OF_RANGE, PROMPT, result

# (name, standard input, expected stdout, expected stderr, expected status)
CASES = [
    ("zero", b"0\n", result("0", "0"), b"", 0),
    ("negative", b"-7\n", result("-7", "0"), b"", 0),
    ("most negative", b"-2147483648\n", result("-2147483648", "0"), b"", 0),
    ("one term", b"1\n", result("1", "4"), b"", 0),
    ("two terms", b"2\n", result("2", "2.6666666666666665186"), b"", 0),
    ("three terms", b"3\n", result("3", "3.466666666666666341"), b"", 0),
    ("a thousand", b"1000\n", result("1000", "3.1405926538397901382"), b"", 0),
    ("a million", b"1000000\n", result("1000000", "3.1415916535897792095"), b"", 0),
    ("blanks and letters", b"  12abc", result("12", "3.0584027659273314015"), b"", 0),
    ("decimal fraction", b"3.7\n", result("3", "3.466666666666666341"), b"", 0),
    ("plus sign", b"+5\n", result("5", "3.3396825396825393639"), b"", 0),
    ("minus zero", b"-0\n", result("0", "0"), b"", 0),
    ("no newline", b"2", result("2", "2.6666666666666665186"), b"", 0),
    ("leading zeros", b"000000000000000000012\n", result("12", "3.0584027659273314015"), b"", 0),
    ("blank lines first", b"\n\n \t\r\n5\n", result("5", "3.3396825396825393639"), b"", 0),
    ("empty input", b"", PROMPT, NOT_AN_INTEGER, 1),
    ("only blanks", b" \n\t\n", PROMPT, NOT_AN_INTEGER, 1),
    ("letters", b"abc\n", PROMPT, NOT_AN_INTEGER, 1),
    ("lone minus", b"-\n", PROMPT, NOT_AN_INTEGER, 1),
    ("minus blank digit", b"- 5\n", PROMPT, NOT_AN_INTEGER, 1),
    ("lone plus", b"+\n", PROMPT, NOT_AN_INTEGER, 1),
    ("just above the range", b"2147483648\n", PROMPT, OUT_OF_RANGE, 1),
    ("just below the range", b"-2147483649\n", PROMPT, OUT_OF_RANGE, 1),
    ("eleven digits", b"99999999999\n", PROMPT, OUT_OF_RANGE, 1),
    ("a thousand digits", b"9" * 1000 + b"\n", PROMPT, OUT_OF_RANGE, 1),
]


# What the next reader of standard input gets, `{ pigreco; cat; }`: from a pipe
# all but the byte that ended the numeral, from a file all after the numeral.
# (name, source, standard input, what the program writes, what cat gets)
NEXT_READER_CASES = [
    ("pipe", "pipe", b"7abc\nxyz\n", result("7", "3.2837384837384830938"), b"bc\nxyz\n"),
    ("pipe, out of range", "pipe", b"99999999999x\n", PROMPT, b"9x\n"),
    ("file", "file", b"7abc\nxyz\n", result("7", "3.2837384837384830938"), b"abc\nxyz\n"),
    ("file, no numeral", "file", b" x7\n", PROMPT, b"x7\n"),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--emulator", default="")
    parser.add_argument("--crlf", action="store_true")
    args = parser.parse_args()
    command = shlex.split(args.emulator) + [args.program]

    def text(expected):
        return expected.replace(b"\n", b"\r\n") if args.crlf else expected

    passed = failed = 0

    def check(name, got, want):
        nonlocal passed, failed
        if got == want:
            passed += 1
            return
        failed += 1
        print("FAIL %s:\n  got  %r\n  want %r" % (name, got, want))

    for name, stdin, stdout, stderr, status in CASES:
        run = subprocess.run(command, input=stdin, capture_output=True, timeout=600)
        check(name, (run.stdout, run.stderr, run.returncode), (text(stdout), text(stderr), status))

    for name, source, stdin, program_out, rest in NEXT_READER_CASES:
        shell = ["sh", "-c", '"$@" 2>/dev/null; exec cat', "sh"] + command
        if source == "pipe":
            run = subprocess.run(shell, input=stdin, capture_output=True, timeout=600)
        else:
            with tempfile.TemporaryFile() as file:
                file.write(stdin)
                file.seek(0)
                run = subprocess.run(shell, stdin=file, capture_output=True, timeout=600)
        check("next reader, " + name, run.stdout, text(program_out) + rest)

    # A standard output that cannot take a byte: the error, and status 1.
    if os.path.exists("/dev/full"):
        with open("/dev/full", "wb") as full:
            run = subprocess.run(command, input=b"5\n", stdout=full, stderr=subprocess.PIPE, timeout=600)
        check("standard output full", (run.stderr, run.returncode), (text(CANNOT_WRITE), 1))

    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
