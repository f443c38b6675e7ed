#!/usr/bin/env python3
"""Runs the Windows program under Wine in a real terminal (tmux), types a count
as a person would, and reads the screen: the e with grave accent shown as one
letter with no chcp, the console's code page the same after the program as
before it, on the result and on an error; in a console of its own (the
program started alone, as by a double-click) the program waits for Enter
after its answer, and with its input redirected it does not. A long sum shows
its line of progress while it runs, and leaves no trace of it on the screen,
Ctrl-C included.

usage: console_terminal.py PROGRAM CODE_PAGE_PROGRAM --emulator "/usr/lib/wine/wine64"

CODE_PAGE_PROGRAM is tests/console_code_page.cpp built, which tells the
console's output code page.

Exits 77 (skipped) where there is no tmux.
"""
import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import time

from program_texts import NOT_AN_INTEGER, PRESS_ENTER_TO_CLOSE, TERMS_SUMMED

SHOWN_RESULT = "Dopo 1000 iterazioni il valore approssimato di pi greco \u00e8 3.1405926538397901382"
ERROR = NOT_AN_INTEGER.decode().rstrip("\n")
PRESS_ENTER = PRESS_ENTER_TO_CLOSE.decode()
PROMPT_SHOWN = "Inserisci il numero di iterazioni:"
PROGRESS_SHOWN = TERMS_SUMMED.decode()
# Some seconds under Wine, whose pow takes 65 to 75 ns a call: long enough for
# the progress to show.
LONG_COUNT = "100000000"
LONG_RESULT = "Dopo 100000000 iterazioni il valore approssimato di pi greco \u00e8 3.1415926435893686275"
# An Italian Windows console's code page, not Wine's default: the program must
# put back the one it found, not a fixed one.
CODE_PAGE = "850"

# (name, how the program is started, what is typed, what the screen must show,
#  whether it waits for Enter, its status)
CASES = [
    ("from a console, result", "shared", "1000", [SHOWN_RESULT], False, 0),
    ("from a console, error", "shared", "abc", [ERROR], False, 0),
    ("own console, result", "own", "1000", [SHOWN_RESULT, PRESS_ENTER], True, 0),
    ("own console, error", "own", "abc", [ERROR, PRESS_ENTER], True, 1),
    ("own console, input redirected", "piped input", None, [SHOWN_RESULT], False, 0),
    ("own console, long sum", "own", LONG_COUNT, [LONG_RESULT, PRESS_ENTER], True, 0),
]


class Terminal:
    """A tmux server of its own, one window, 200 columns wide."""

    def __init__(self, number):
        self.tmux = ["tmux", "-L", "pigreco-console-%d-%d" % (os.getpid(), number), "-f", "/dev/null"]

    def start(self, shell_command):
        subprocess.run(self.tmux + ["new-session", "-d", "-x", "200", "-y", "40", shell_command], check=True)

    def screen(self):
        run = subprocess.run(self.tmux + ["capture-pane", "-p"], capture_output=True, check=True)
        return [line.rstrip() for line in run.stdout.decode("utf-8", "replace").split("\n")]

    def wait_for(self, predicate, seconds=60):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if predicate(self.screen()):
                return True
            time.sleep(0.2)
        return False

    def type(self, keys):
        subprocess.run(self.tmux + ["send-keys", "-l", keys], check=True)
        time.sleep(0.5)
        subprocess.run(self.tmux + ["send-keys", "Enter"], check=True)

    def key(self, name):
        subprocess.run(self.tmux + ["send-keys", name], check=True)

    def stop(self):
        subprocess.run(self.tmux + ["kill-server"], capture_output=True)


def status_line(screen):
    return next((line for line in screen if line.startswith("EXIT=")), None)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("code_page_program")
    parser.add_argument("--emulator", required=True)
    args = parser.parse_args()
    if shutil.which("tmux") is None:
        print("console_terminal: skipped: no tmux here (Debian: tmux), so no terminal to run the program in")
        return 77
    os.environ["LC_ALL"] = "C.UTF-8"  # a UTF-8 terminal, as today's are
    wine = shlex.join(shlex.split(args.emulator))
    folder, name = os.path.split(os.path.abspath(args.program))
    # Wine's drive Z: is the root of the file system.
    code_page = "Z:" + os.path.abspath(args.code_page_program).replace("/", "\\")
    starts = {
        # cmd shares its console with the program and the program that tells
        # the code page, before and after.
        "shared": '%s cmd /c "chcp %s >NUL & %s & %s & %s"' % (wine, CODE_PAGE, code_page, name, code_page),
        "own": "%s %s" % (wine, name),
        "piped input": "printf '1000\\n' | %s %s" % (wine, name),
    }

    passed = failed = 0

    def check(case, ok, what, screen):
        nonlocal passed, failed
        if ok:
            passed += 1
            return
        failed += 1
        print("FAIL %s: %s; the screen:\n  %s" % (case, what, "\n  ".join(line for line in screen if line)))

    for number, (case, start, typed, shown, waits, status) in enumerate(CASES):
        terminal = Terminal(number)
        try:
            terminal.start("cd %s && %s; echo EXIT=$?; sleep 600" % (shlex.quote(folder), starts[start]))
            if typed is not None:
                terminal.wait_for(lambda screen: any(PROMPT_SHOWN in line for line in screen))
                terminal.type(typed)
            if typed == LONG_COUNT:
                terminal.wait_for(lambda screen: any(PROGRESS_SHOWN in line or PRESS_ENTER in line for line in screen))
                screen = terminal.screen()
                check(case, any(PROGRESS_SHOWN in line for line in screen), "shows no progress", screen)
            if waits:
                terminal.wait_for(lambda screen: any(PRESS_ENTER in line for line in screen))
                time.sleep(2)
                screen = terminal.screen()
                check(case, status_line(screen) is None, "ended without waiting for Enter", screen)
                terminal.type("")
            terminal.wait_for(status_line)
            screen = terminal.screen()
            check(case, status_line(screen) == "EXIT=%d" % status, "not ended with status %d" % status, screen)
            for text in shown:
                check(case, any(text in line for line in screen), "does not show %r" % text, screen)
            if not waits:
                check(case, not any(PRESS_ENTER in line for line in screen), "asks for Enter", screen)
            if typed == LONG_COUNT:
                # Nothing but what a program without progress shows.
                lines = [line for line in screen if line]
                check(case, lines == [PROMPT_SHOWN + " " + LONG_COUNT, LONG_RESULT, PRESS_ENTER, "EXIT=0"],
                      "the screen at the end is not the prompt, the count, the result and the question", screen)
            if start == "shared":
                pages = [line for line in screen if line.startswith("output code page:")]
                check(case, pages == ["output code page: " + CODE_PAGE] * 2,
                      "code page before and after: %r, not %s twice" % (pages, CODE_PAGE), screen)
        finally:
            terminal.stop()

    # Ctrl-C during a long sum: the line goes with the program. Wine reports
    # an end by Ctrl-C as status 0, with or without progress: the status is
    # not what this checks.
    case = "own console, Ctrl-C during a long sum"
    terminal = Terminal(len(CASES))
    try:
        terminal.start("cd %s && %s; echo EXIT=$?; sleep 600" % (shlex.quote(folder), starts["own"]))
        terminal.wait_for(lambda screen: any(PROMPT_SHOWN in line for line in screen))
        terminal.type(LONG_COUNT)
        terminal.wait_for(lambda screen: any(PROGRESS_SHOWN in line for line in screen))
        terminal.key("C-c")
        terminal.wait_for(status_line)
        screen = terminal.screen()
        lines = [line for line in screen if line]
        check(case, len(lines) == 2 and lines[0] == PROMPT_SHOWN + " " + LONG_COUNT and
              re.fullmatch(r"EXIT=\d+", lines[1]) is not None,
              "the screen at the end is not the prompt, the count and the status", screen)
    finally:
        terminal.stop()

    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
