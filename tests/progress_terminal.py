#!/usr/bin/env python3
"""Runs the built program with its streams on a pseudo-terminal, as a person at
a terminal uses it, on a count that takes a few seconds, and reads the screen
by applying what reached the terminal (carriage returns, line feeds, wrapping)
to an empty screen: a line of progress on standard error while the sum runs,
never reaching the last column, and at the end the screen of a program that
shows no progress: the prompt, the count typed, the result line. Standard
error redirected to a file stays empty, standard output piped gets today's
bytes, a count piped in shows no progress (the cursor then stands after the
prompt), and Ctrl-C erases the line and ends the program by SIGINT.

usage: progress_terminal.py PROGRAM
"""
import fcntl
import os
import pty
import select
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

from program_texts import PROMPT, TERMS_SUMMED

# Wide enough for the count piped in, whose prompt and result share a line.
COLUMNS = 150
ROWS = 24
# Long enough for the progress to show (it waits a second) and update.
TARGET_SECONDS = 2.5
LARGEST = 2147483647
TIMEOUT = 300


def render(data, width=COLUMNS):
    """The screen's lines and the cursor (row, column) after `data`."""
    lines = [[]]
    row = column = 0
    for char in data.decode("utf-8"):
        if char == "\r":
            column = 0
        elif char == "\n":
            row += 1
            if row == len(lines):
                lines.append([])
        else:
            if column >= width:  # the terminal wraps
                row, column = row + 1, 0
                if row == len(lines):
                    lines.append([])
            line = lines[row]
            line.extend(" " * (column + 1 - len(line)))
            line[column] = char
            column += 1
    return ["".join(line).rstrip() for line in lines], (row, column)


def progress_lines(data):
    return [part for part in data.split(b"\r") if TERMS_SUMMED in part]


class Run:
    """The program with each of its streams on the terminal ("tty"), a pipe or,
    for standard error, a file; the count typed (standard input on the
    terminal) or piped in."""

    def __init__(self, program, count, stdin, stdout, stderr, interrupt=False):
        master, slave = pty.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, COLUMNS, 0, 0))
        slave_name = os.ttyname(slave)
        error_file = tempfile.TemporaryFile() if stderr == "file" else None
        streams = {"tty": slave, "pipe": subprocess.PIPE, "file": error_file}

        def controlling_terminal():
            # In a session of its own, the first terminal opened becomes the
            # one whose Ctrl-C interrupts the program.
            os.close(os.open(slave_name, os.O_RDWR))

        process = subprocess.Popen([program], stdin=streams[stdin], stdout=streams[stdout], stderr=streams[stderr],
                                   start_new_session=True, preexec_fn=controlling_terminal)
        os.close(slave)
        self.terminal = b""
        self.output = b""
        typed = str(count).encode() + b"\n"
        if stdin == "pipe":
            process.stdin.write(typed)
            process.stdin.close()
        elif stdout == "pipe":
            self.output = os.read(process.stdout.fileno(), len(PROMPT))  # typed after the prompt
        deadline = time.monotonic() + TIMEOUT
        typed_yet = stdin == "pipe"
        interrupted = False
        readers = [master] + ([process.stdout] if stdout == "pipe" else [])
        while readers and time.monotonic() < deadline:
            if not typed_yet and (stdout == "pipe" or PROMPT in self.terminal):
                os.write(master, typed)
                typed_yet = True
            if interrupt and not interrupted and progress_lines(self.terminal):
                os.write(master, b"\x03")
                interrupted = True
            for ready in select.select(readers, [], [], 0.1)[0]:
                try:
                    data = os.read(ready if ready == master else ready.fileno(), 65536)
                except OSError:  # the terminal's other side all closed
                    data = b""
                if not data:
                    readers.remove(ready)
                elif ready == master:
                    self.terminal += data
                else:
                    self.output += data
        self.status = process.wait(timeout=TIMEOUT)
        os.close(master)
        self.error_file = b""
        if error_file:
            error_file.seek(0)
            self.error_file = error_file.read()
        self.screen, self.cursor = render(self.terminal)
        while self.screen and self.screen[-1] == "":
            self.screen.pop()


def main():
    program = os.path.abspath(sys.argv[1])

    def piped(count):
        start = time.monotonic()
        run = subprocess.run([program], input=b"%d\n" % count, capture_output=True, timeout=TIMEOUT)
        return run, time.monotonic() - start

    # A count that takes a few seconds in this build on this machine (a
    # sanitized build spends a good part of a short run starting up).
    count = 10_000_000
    while True:
        reference, seconds = piped(count)
        if seconds >= TARGET_SECONDS or count == LARGEST:
            break
        count = min(LARGEST, int(count * 1.25 * TARGET_SECONDS / max(seconds, 0.05)))
    typed_line = PROMPT.decode() + str(count)
    result_line = reference.stdout[len(PROMPT):].decode().rstrip("\n")
    print("count %d: %.1f s with every stream piped" % (count, seconds))

    passed = failed = 0

    def check(name, ok, what, run=None):
        nonlocal passed, failed
        if ok:
            passed += 1
            return
        failed += 1
        print("FAIL %s: %s" % (name, what))
        if run is not None:
            print("  screen: %r, cursor %r\n  bytes on the terminal: %r" % (run.screen, run.cursor, run.terminal[-600:]))

    check("every stream piped", (reference.stderr, reference.returncode) == (b"", 0),
          "standard error %r, status %d" % (reference.stderr, reference.returncode))

    def shows_progress(name, run):
        lines = progress_lines(run.terminal)
        check(name, len(lines) >= 1, "no progress shown", run)
        widest = max((len(line) for line in lines), default=0)
        check(name, widest < COLUMNS, "a line of progress %d characters wide on %d columns" % (widest, COLUMNS), run)

    name = "typed on a terminal"
    run = Run(program, count, "tty", "tty", "tty")
    shows_progress(name, run)
    check(name, (run.screen, run.cursor, run.status) == ([typed_line, result_line], (2, 0), 0),
          "the screen at the end is not the prompt, the count and the result", run)

    name = "output piped"
    run = Run(program, count, "tty", "pipe", "tty")
    shows_progress(name, run)
    check(name, run.output == reference.stdout, "standard output %r" % run.output)
    check(name, (run.screen, run.cursor, run.status) == ([str(count)], (1, 0), 0),
          "the terminal keeps more than the count typed", run)

    name = "standard error to a file"
    run = Run(program, count, "tty", "tty", "file")
    check(name, run.error_file == b"", "the file got %r" % run.error_file[:200])
    check(name, (run.screen, run.status) == ([typed_line, result_line], 0), "the screen at the end", run)

    name = "count piped in"
    run = Run(program, count, "pipe", "tty", "tty")
    check(name, not progress_lines(run.terminal), "progress shown over the prompt", run)
    check(name, (run.screen, run.cursor, run.status) == ([PROMPT.decode() + result_line], (1, 0), 0),
          "the screen at the end is not the prompt and the result on one line", run)

    name = "Ctrl-C"
    run = Run(program, count, "tty", "tty", "tty", interrupt=True)
    shows_progress(name, run)
    check(name, run.status == -signal.SIGINT, "status %r, not the end by SIGINT" % run.status, run)
    check(name, (run.screen, run.cursor) == ([typed_line], (1, 0)),
          "not the count typed, then the cursor at the start of an empty line", run)

    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
