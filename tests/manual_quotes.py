#!/usr/bin/env python3
"""Checks that a rendered manual page quotes the program truly, byte for byte:
the prompt, the result line and the three error messages must each stand on a
line of the page, the question of a double-click on Windows must be quoted
in a sentence, and every example "$ echo INPUT | pigreco" (optionally
followed by "; echo $?") must be followed by exactly what PROGRAM shows for
that input on a terminal, up to the next example or a blank line: standard
output, then standard error, then the status.

usage: manual_quotes.py PROGRAM RENDERED_PAGE

RENDERED_PAGE is man's output for the page, in UTF-8, e.g.
  LC_ALL=C.UTF-8 MANWIDTH=200 man -l man/pigreco.1 > page.txt
"""
import argparse
import re
import subprocess
import sys

from program_texts import CANNOT_WRITE, NOT_AN_INTEGER, OUT_OF_RANGE, PRESS_ENTER_TO_CLOSE, PROMPT, result

# The page writes N and S for the count and the sum.
RESULT_TEMPLATE = result("N", "S")[len(PROMPT):]

QUOTED_LINES = [
    ("the prompt", PROMPT.rstrip(b" ")),  # a line's trailing blank does not survive rendering
    ("the result line", RESULT_TEMPLATE.rstrip(b"\n")),
    ("no numeral", NOT_AN_INTEGER.rstrip(b"\n")),
    ("out of range", OUT_OF_RANGE.rstrip(b"\n")),
    ("cannot write", CANNOT_WRITE.rstrip(b"\n")),
]

# Quoted within a sentence, in the quotation marks of either page's language.
QUOTED_PHRASES = [("the question of a double-click", PRESS_ENTER_TO_CLOSE)]
QUOTATION_MARKS = [("\u201c", "\u201d"), ("\u00ab", "\u00bb")]

EXAMPLE = re.compile(rb"^\$ echo (\S+) \| pigreco(; echo \$\?)?$")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("page")
    args = parser.parse_args()
    with open(args.page, "rb") as page:
        lines = [line.strip() for line in page.read().split(b"\n")]

    passed = failed = 0

    def check(name, ok, detail):
        nonlocal passed, failed
        if ok:
            passed += 1
        else:
            failed += 1
            print("FAIL %s: %s" % (name, detail))

    for name, text in QUOTED_LINES:
        check(name, text in lines, "no line of the page reads %r" % text)
    for name, text in QUOTED_PHRASES:
        quoted = [(left.encode() + text + right.encode()) for left, right in QUOTATION_MARKS]
        check(name, any(q in line for q in quoted for line in lines), "the page nowhere quotes %r" % text)

    examples = 0
    for index, line in enumerate(lines):
        match = EXAMPLE.match(line)
        if not match:
            continue
        examples += 1
        given = match.group(1)
        run = subprocess.run([args.program], input=given + b"\n", capture_output=True, timeout=600)
        shown = run.stdout + run.stderr
        if match.group(2):
            shown += b"%d\n" % run.returncode
        expected = shown.rstrip(b"\n").split(b"\n")
        # The example ends where the next one or a blank line begins.
        end = next((i for i in range(index + 1, len(lines)) if not lines[i] or lines[i].startswith(b"$ ")), len(lines))
        got = lines[index + 1:end]
        check("example %r" % given, got == expected, "the page shows %r, the program %r" % (got, expected))
    check("examples", examples >= 3, "only %d examples found" % examples)

    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
