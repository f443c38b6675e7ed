#!/usr/bin/env python3
"""Runs the built program against what a user or the system can do to it:
standard input closed, a directory or endless; standard output closed, full or
a pipe whose reader goes away; huge or malformed input; the counts at the
limits. Checks standard output, standard error and exit status byte for byte,
and that the program ends promptly where it has no reason to wait.

usage: faults.py PROGRAM [--large-input | --largest]

The everyday cases; with --large-input, those that push megabytes through the
program a byte at a time (tens of seconds); with --largest, the largest count,
which sums 2^31 - 1 terms.
"""
import os
import select
import subprocess
import sys
import tempfile
import threading

from program_texts import CANNOT_WRITE, NOT_AN_INTEGER, OUT_OF_RANGE, PROMPT, result

# What "promptly" allows: far beyond what any of these runs needs, even under
# sanitizers, but short of the hang it guards against.
PROMPT_TIMEOUT = 60
# The largest count sums 2^31 - 1 terms (15 to 25 s natively here); 10 MB read
# a byte at a time took 17 to 30 s here, more under sanitizers.
SLOW_TIMEOUT = 900
# Ways to set up standard input (besides plain bytes through a pipe) and
# standard output (besides a pipe read to its end).
CLOSED = "closed"  # the file descriptor is not open at all
DIRECTORY = "a directory"  # open, but every read fails
DEV_NULL = "/dev/null"
DEV_FULL = "/dev/full"  # every write fails with ENOSPC
PIPE_CLOSED = "a pipe already closed by its reader"
PIPE_CLOSED_AFTER_PROMPT = "a pipe whose reader leaves after the prompt"


class Endless:
    """Standard input that never ends: the chunk written again and again (as
    `yes 7` does) until the program closes the pipe."""

    def __init__(self, chunk):
        self.chunk = chunk


def blanks_before_a_numeral(size, size_name):
    """White space for about `size` bytes, then a numeral. From a pipe the
    program reads it a byte at a time (so as to read nothing past the
    numeral): 2 to 3 microseconds a byte here."""
    return [
        (size_name + " of blanks and newlines", b" \n" * (size // 2) + b"12\n", "pipe",
         result("12", "3.0584027659273314015"), b"", 0),
        (size_name + " of every blank", b" \t\n\v\f\r" * (size // 6) + b"-3\n", "pipe",
         result("-3", "0"), b"", 0),
    ]


# (name, standard input, standard output, expected stdout, expected stderr,
#  expected status); expected stdout is None where it cannot be read back.
CASES = [
    # Standard input that the system took away or that cannot be read.
    ("standard input closed", CLOSED, "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("standard input a directory", DIRECTORY, "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("standard input /dev/null", DEV_NULL, "pipe", PROMPT, NOT_AN_INTEGER, 1),
    # Standard output that cannot take the prompt or the result.
    ("standard output closed", b"5\n", CLOSED, None, CANNOT_WRITE, 1),
    ("standard output closed, letters", b"abc\n", CLOSED, None, CANNOT_WRITE, 1),
    ("standard output /dev/full", b"5\n", DEV_FULL, None, CANNOT_WRITE, 1),
    ("standard output /dev/full, out of range", b"99999999999\n", DEV_FULL, None, CANNOT_WRITE, 1),
    ("standard output a closed pipe", b"5\n", PIPE_CLOSED, None, CANNOT_WRITE, 1),
    ("reader leaves after the prompt", b"5\n", PIPE_CLOSED_AFTER_PROMPT, PROMPT, CANNOT_WRITE, 1),
    ("reader leaves after the prompt, a million", b"1000000\n", PIPE_CLOSED_AFTER_PROMPT, PROMPT, CANNOT_WRITE, 1),
    # Large input around a numeral.
    # Four times what a pipe holds (64 KiB), so the writer must wait for the
    # program to read on.
    *blanks_before_a_numeral(256 * 1024, "256 KiB"),
    ("256 Ki zeros then 7", b"0" * 256 * 1024 + b"7\n", "pipe", result("7", "3.2837384837384830938"), b"", 0),
    ("a million digits", b"9" * 1_000_000 + b"\n", "pipe", PROMPT, OUT_OF_RANGE, 1),
    ("a million digits, negative", b"-1" + b"0" * 999_999, "pipe", PROMPT, OUT_OF_RANGE, 1),
    # Bytes that are not white space before a numeral.
    ("NUL bytes first", b"\x00\x00\x007\n", "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("a blank then NUL", b" \x007\n", "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("invalid UTF-8 first", b"\xff\xfe\xfd7\n", "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("a cut UTF-8 sequence first", b"\xc37\n", "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("byte-order mark first", b"\xef\xbb\xbf7\n", "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("UTF-16 text", b"\xff\xfe7\x00\n\x00", "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("no-break space first", b"\xc2\xa07\n", "pipe", PROMPT, NOT_AN_INTEGER, 1),
    ("NUL after the numeral", b"7\x00\xff\xfe", "pipe", result("7", "3.2837384837384830938"), b"", 0),
    # Input nobody needs to read: the program must stop after the numeral.
    ("7 then endless input", Endless(b"7\n"), "pipe", result("7", "3.2837384837384830938"), b"", 0),
    ("endless digits", Endless(b"9"), "pipe", PROMPT, OUT_OF_RANGE, 1),
    ("endless letters", Endless(b"x"), "pipe", PROMPT, NOT_AN_INTEGER, 1),
    # The counts at the limits.
    ("most negative", b"-2147483648\n", "pipe", result("-2147483648", "0"), b"", 0),
    ("most negative with zeros", b"-00000000002147483648\n", "pipe", result("-2147483648", "0"), b"", 0),
    ("one above the most negative", b"-2147483647\n", "pipe", result("-2147483647", "0"), b"", 0),
    ("just below the range, with zeros", b"-0002147483649\n", "pipe", PROMPT, OUT_OF_RANGE, 1),
    ("just above the range, with a sign", b"+2147483648\n", "pipe", PROMPT, OUT_OF_RANGE, 1),
    ("the largest times ten", b"21474836470\n", "pipe", PROMPT, OUT_OF_RANGE, 1),
]
LARGE_INPUT_CASES = blanks_before_a_numeral(10_000_000, "10 MB") + [
    ("a million zeros then 7", b"0" * 1_000_000 + b"7\n", "pipe", result("7", "3.2837384837384830938"), b"", 0),
]
LARGEST_CASES = [
    ("the largest", b"2147483647\n", "pipe", result("2147483647", "3.1415926540534875322"), b"", 0),
]
MODES = {(): (CASES, PROMPT_TIMEOUT), ("--large-input",): (LARGE_INPUT_CASES, SLOW_TIMEOUT),
         ("--largest",): (LARGEST_CASES, SLOW_TIMEOUT)}


class Hang(Exception):
    pass


def run(program, stdin, stdout, timeout):
    """Runs the program once; returns (stdout or None, stderr, status)."""
    command = [program]
    redirections = []
    if stdin is CLOSED:
        redirections.append("<&-")
    if stdout is CLOSED:
        redirections.append(">&-")
    if redirections:
        # The shell closes the descriptor, then becomes the program.
        command = ["sh", "-c", 'exec "$0" ' + " ".join(redirections), program]

    to_close = []  # descriptors of ours to close once the program has started
    feeder = None
    input_bytes = None
    if isinstance(stdin, bytes):
        child_stdin, input_bytes = subprocess.PIPE, stdin
    elif isinstance(stdin, Endless):
        read_end, write_end = os.pipe()
        child_stdin = read_end
        to_close.append(read_end)
        feeder = threading.Thread(target=feed_forever, args=(write_end, stdin.chunk))
    elif stdin is DIRECTORY:
        child_stdin = os.open(tempfile.gettempdir(), os.O_RDONLY)
        to_close.append(child_stdin)
    else:  # closed by the shell, or /dev/null
        child_stdin = subprocess.DEVNULL

    prompt_reader = None
    if stdout in ("pipe", CLOSED):
        child_stdout = subprocess.PIPE
    elif stdout is DEV_FULL:
        child_stdout = os.open(DEV_FULL, os.O_WRONLY)
        to_close.append(child_stdout)
    else:
        prompt_reader, child_stdout = os.pipe()
        to_close.append(child_stdout)
        if stdout is PIPE_CLOSED:
            os.close(prompt_reader)
            prompt_reader = None

    process = subprocess.Popen(command, stdin=child_stdin, stdout=child_stdout, stderr=subprocess.PIPE)
    for fd in to_close:
        os.close(fd)
    if feeder:
        feeder.start()
    got_stdout = None
    try:
        if prompt_reader is not None:
            # Read the prompt, then go away before the result comes.
            try:
                got_stdout = read_prompt(prompt_reader, timeout)
            finally:
                os.close(prompt_reader)
        out, err = process.communicate(input=input_bytes, timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.communicate()
        raise Hang()
    finally:
        if feeder:
            feeder.join()
    if stdout == "pipe":
        got_stdout = out
    return got_stdout, err, process.returncode


def read_prompt(fd, timeout):
    got = b""
    while len(got) < len(PROMPT):
        if not select.select([fd], [], [], timeout)[0]:
            raise subprocess.TimeoutExpired("prompt", timeout)
        chunk = os.read(fd, len(PROMPT) - len(got))
        if not chunk:
            break
        got += chunk
    return got


def feed_forever(fd, chunk):
    block = chunk * (65536 // len(chunk))
    try:
        while True:
            os.write(fd, block)
    except OSError:  # the program closed its end (or was killed)
        pass
    finally:
        os.close(fd)


# Keys typed at a terminal (standard input only; a terminal in canonical mode,
# so each Ctrl-D at the start of a line is one end of input), then the shell
# runs `cat`, the next reader: (name, keys, what the program and then cat
# write to standard output, the program's standard error, its status).
TERMINAL_CASES = [
    # The rest of the typed line is the program's: none of it may reach the
    # next reader (at a shell prompt, it would run as a command).
    ("the rest of a typed line", b"7abc\nxyz\n\x04", result("7", "3.2837384837384830938") + b"xyz\n", b"", 0),
    # An empty line is white space, not the end of input: the program waits on.
    ("empty lines, then a count", b"\n\n5\n\x04", result("5", "3.3396825396825393639"), b"", 0),
    ("an empty line, then Ctrl-D", b"\n\x04\x04", PROMPT, NOT_AN_INTEGER, 1),
]


def run_at_a_terminal(program, keys):
    """Runs the program with standard input a terminal on which `keys` are
    typed, then `cat` on the same terminal; returns (stdout, stderr, the
    program's status)."""
    controller, terminal = os.openpty()
    try:
        process = subprocess.Popen(["sh", "-c", '"$0"; status=$?; cat; exit $status', program], stdin=terminal,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        os.close(terminal)
        os.write(controller, keys)
        out, err = process.communicate(timeout=PROMPT_TIMEOUT)
    except subprocess.TimeoutExpired:
        process.kill()
        process.communicate()
        return "still running after %d s" % PROMPT_TIMEOUT, None, None
    finally:
        os.close(controller)
    return out, err, process.returncode


def main():
    if len(sys.argv) < 2 or tuple(sys.argv[2:]) not in MODES:
        sys.exit(__doc__)
    program = sys.argv[1]
    cases, timeout = MODES[tuple(sys.argv[2:])]
    passed = failed = 0
    for name, stdin, stdout, want_stdout, want_stderr, want_status in cases:
        try:
            got = run(program, stdin, stdout, timeout)
        except Hang:
            failed += 1
            print("FAIL %s: still running after %d s" % (name, timeout))
            continue
        want = (want_stdout, want_stderr, want_status)
        if got == want:
            passed += 1
        else:
            failed += 1
            print("FAIL %s:\n  got  %r\n  want %r" % (name, tuple(g[:200] if isinstance(g, bytes) else g for g in got), want))
    for name, keys, want_stdout, want_stderr, want_status in TERMINAL_CASES if cases is CASES else []:
        got = run_at_a_terminal(program, keys)
        want = (want_stdout, want_stderr, want_status)
        if got == want:
            passed += 1
        else:
            failed += 1
            print("FAIL at a terminal, %s:\n  got  %r\n  want %r" % (name, got, want))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
