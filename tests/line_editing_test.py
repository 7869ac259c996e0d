#!/usr/bin/env python3
"""Line editing at a real terminal: each case runs the program in its own tmux server, types
keys as a person would and reads the screen. Keys are sent only once the program is waiting
in a read (the dialogue drops type-ahead before every read), so the cases do not depend on
timing. Exit status 77 means tmux could not be had and nothing was tested.

Usage: line_editing_test.py PROGRAM
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import time

TIMEOUT = 30.0  # seconds any one wait may take on a loaded machine
POLL = 0.02  # seconds between looks at the screen
PROMPT = "Digite dados de trigonometria:"
QUESTION = "( Sim -> 1 / Nao -> 0 )"
START = 'para comecar os calculos.'
PIPED_INPUT = "1\nsin30\n1\ncos0\n0\n"  # a session whose last line's value is 1


def ensure_tmux():
    """Puts tmux on the machine when it is missing; False when that cannot be done."""
    if shutil.which("tmux"):
        return True
    if os.geteuid() == 0 and shutil.which("apt-get"):
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        subprocess.call(["apt-get", "update"], **quiet)
        subprocess.call(["apt-get", "install", "-y", "tmux"], **quiet)
    return shutil.which("tmux") is not None


class Failure(Exception):
    pass


class Terminal:
    """One tmux server with one 80x24 pane running the program under a small shell script
    that records the terminal modes before and after, the program's pid and its status.
    `redirect` may send its output to the file "out" or take its input from "input"."""

    def __init__(self, program, work, name, redirect=""):
        self.work = work
        self.socket = "trigcalc_line_editing_%d_%s" % (os.getpid(), name)
        script = os.path.join(work, "run.sh")
        with open(os.path.join(work, "input"), "w") as f:
            f.write(PIPED_INPUT)
        with open(script, "w") as f:
            f.write(
                'cd "%s"\n'
                "trap : INT  # Ctrl-C is for the program; this script goes on after it\n"
                "stty -g > before\n"
                "sh -c 'echo $$ > pid; exec \"$0\"' \"%s\" %s\n"
                'echo "EXIT=$?"\n'
                "stty -g > after\n"
                ": > finished\n"
                "exec sleep 600\n" % (work, program, redirect))
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", "80", "-y", "24",
                  "sh " + script)
        self.tty = self.tmux("display-message", "-p", "#{pane_tty}").strip()
        self.pid = int(self.wait_for(lambda: self.read_file("pid"), "the program to start"))

    def tmux(self, *args):
        return subprocess.run(["tmux", "-L", self.socket] + list(args), check=True,
                              stdout=subprocess.PIPE, universal_newlines=True).stdout

    def close(self):
        subprocess.call(["tmux", "-L", self.socket, "kill-server"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def read_file(self, name):
        try:
            with open(os.path.join(self.work, name)) as f:
                return f.read()
        except OSError:
            return ""

    def screen(self, colours=False):
        return self.tmux("capture-pane", "-p", *(["-e"] if colours else []))

    def keys(self, *keys):
        self.tmux("send-keys", *keys)

    def text(self, text):
        self.tmux("send-keys", "-l", text)

    def wait_for(self, condition, what):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(POLL)
        raise Failure("timed out waiting for %s; the screen:\n%s" % (what, self.screen()))

    def sleeping(self):
        """True when the program is blocked (in a read, once its output is on screen)."""
        try:
            with open("/proc/%d/stat" % self.pid) as f:
                return f.read().rsplit(")", 1)[1].split()[0] == "S"
        except OSError:
            return False

    def reads(self):
        """How many read calls the program has completed."""
        with open("/proc/%d/io" % self.pid) as f:
            return int(re.search(r"^syscr: (\d+)$", f.read(), re.M).group(1))

    def wait_next_read(self, reads):
        """Waits until the program, having completed more than `reads` reads, blocks in the
        next one: it has taken what was typed and passed the drop of type-ahead."""
        self.wait_for(lambda: self.reads() > reads and self.sleeping(), "the next read")

    def canonical(self):
        fd = os.open(self.tty, os.O_RDWR | os.O_NOCTTY)
        try:
            return bool(termios.tcgetattr(fd)[3] & termios.ICANON)
        finally:
            os.close(fd)

    def wait_reading(self, text, editing, screen=None):
        """Waits until `text` is shown and the program reads: through the line editor (the
        terminal out of canonical mode) or plainly."""
        screen = screen or self.screen
        self.wait_for(lambda: text in screen() and self.sleeping() and
                      self.canonical() != editing, "a read after %r" % text)

    def wait_shown(self, pattern):
        return self.wait_for(lambda: re.search(pattern, self.screen(), re.M), repr(pattern))

    def wait_finished(self):
        self.wait_for(lambda: os.path.exists(os.path.join(self.work, "finished")),
                      "the program to end")


def start_editing(term):
    term.wait_reading(START, editing=False)
    term.keys("1", "Enter")
    term.wait_reading(PROMPT, editing=True)


def enter_line(term, keys):
    """Types `keys` at the prompt, then Enter; returns the screen once the question shows."""
    term.keys(*keys, "Enter")
    term.wait_reading(QUESTION, editing=False)
    return term.screen()


def go_on(term):
    term.keys("1", "Enter")
    term.wait_reading(PROMPT, editing=True)


def check_restored(term, status="EXIT=0"):
    term.wait_finished()
    if status not in term.screen():
        raise Failure("expected %s; the screen:\n%s" % (status, term.screen()))
    if term.read_file("before") != term.read_file("after"):
        raise Failure("terminal modes not restored: %r then %r" %
                      (term.read_file("before"), term.read_file("after")))
    coloured = term.screen(colours=True)
    before_status = coloured[:coloured.index("EXIT=")]
    attributes = re.findall(r"\x1b\[([0-9;]*)m", before_status)
    if attributes and attributes[-1] not in ("0", "", "39", "49", "39;49"):
        raise Failure("colours still set when the program ended: %r" % coloured)


# One line each: the keys typed at the prompt and the result line the screen must show.
EDITED_LINES = [
    ("left arrow fixes a typo", ["sin0", "Left", "3"], "=0.5"),
    ("Home and End", ["in3", "Home", "s", "End", "0"], "=0.5"),
    ("Ctrl-A and Ctrl-E", ["30", "C-a", "sin", "C-e", "0"], "=-0.866025"),
    ("Backspace inside the line", ["sinx30", "Left", "Left", "BSpace"], "=0.5"),
    ("Delete key under the cursor", ["sin930", "Home", "Right", "Right", "Right", "DC"],
     "=0.5"),
    ("Ctrl-D inside the line deletes", ["sin930", "C-a", "C-f", "C-f", "C-f", "C-d"],
     "=0.5"),
    ("right arrow after left", ["sin", "Left", "Right", "90"], "=1"),
    ("Tab completes a unique name", ["arcsi", "Tab", "0.5"], "=30"),
    ("Tab after the common part", ["ta", "Tab", "45"], "=1"),
    ("Tab after digits inserts nothing", ["sin30", "Tab"], "=0.5"),
    ("Tab after a full name inserts nothing", ["2sin", "Tab", "30"], "=1"),
    ("Tab completes after an amplitude", ["2cose", "Tab", "30"], "=4"),
    ("line cut to 99 bytes", ["sin" + "0" * 95 + "30"], "=0.052336"),
]


def case_edited_lines(term):
    start_editing(term)
    for index, (name, keys, result) in enumerate(EDITED_LINES):
        if index:
            go_on(term)
        screen = enter_line(term, keys)
        if not re.search("^%s$" % re.escape(result), screen, re.M):
            raise Failure("%s: expected %s; the screen:\n%s" % (name, result, screen))
    term.keys("0", "Enter")
    check_restored(term)


def case_history(term):
    start_editing(term)
    enter_line(term, ["sin30"])
    go_on(term)
    enter_line(term, ["cos0"])
    go_on(term)
    term.keys("Up", "Up")
    term.wait_shown(r"^sin30$")
    term.keys("Down")
    term.wait_shown(r"^cos0$")
    screen = enter_line(term, ["Up", "C-e", "0"])  # brought back, then edited: sin300
    if not re.search(r"^=-0\.866025$", screen, re.M):
        raise Failure("edited history line: the screen:\n" + screen)
    go_on(term)
    term.keys("Up")
    term.wait_shown(r"^sin300$")
    term.keys("C-d")  # a line is shown: Ctrl-D deletes nothing at its end and does not end
    term.keys("C-a", "C-k")
    term.wait_for(lambda: not re.search(r"^sin300$", term.screen(), re.M), "an emptied line")
    term.keys("C-d")
    check_restored(term)


def case_tab_lists_candidates(term):
    start_editing(term)
    term.keys("arcs", "Tab")
    term.wait_shown(r"^arcsen  arcsin$")
    screen = enter_line(term, ["en0.5"])
    if not re.search(r"^=30$", screen, re.M):
        raise Failure("after the list, arcsen0.5: the screen:\n" + screen)
    term.keys("0", "Enter")
    check_restored(term)


def case_ctrl_d_at_prompt(term):
    start_editing(term)
    term.keys("C-d")
    check_restored(term)
    if "^D" in term.screen():
        raise Failure("Ctrl-D was echoed:\n" + term.screen())


def case_ctrl_d_at_question(term):
    start_editing(term)
    enter_line(term, ["sin30"])
    term.keys("C-d")
    check_restored(term)


def case_ctrl_c_while_editing(term):
    start_editing(term)
    term.text("sin3")
    term.wait_shown(r"^sin3$")
    term.keys("C-c")
    check_restored(term)


def case_sigterm_while_editing(term):
    start_editing(term)
    term.text("cos")
    term.wait_shown(r"^cos$")
    os.kill(term.pid, signal.SIGTERM)
    check_restored(term)


def case_output_not_a_terminal(term):
    """Standard output to a file, written only when the program flushes it before a read:
    lines are read plainly, escape bytes and all."""
    transcript = lambda: term.read_file("out")
    term.wait_reading(START, editing=False, screen=transcript)
    for keys in (["1", "Enter"], ["sin0", "Left", "3", "Enter"]):
        reads = term.reads()
        term.keys(*keys)
        term.wait_next_read(reads)
    if "\n=0\n" not in transcript():
        raise Failure("expected the plain read's =0: " + repr(transcript()))
    term.keys("0", "Enter")
    term.wait_finished()
    if "\x1b" in transcript():
        raise Failure("terminal commands written to a file: " + repr(transcript()))


def case_input_not_a_terminal(term):
    """Standard input from a file: read plainly, and the transcript's last pass is shown."""
    check_restored(term)
    if not re.search(r"^=1$", term.screen(), re.M):
        raise Failure("expected the last line's =1; the screen:\n" + term.screen())


CASES = [
    ("edited lines", case_edited_lines, ""),
    ("history", case_history, ""),
    ("Tab lists candidates", case_tab_lists_candidates, ""),
    ("Ctrl-D at the prompt", case_ctrl_d_at_prompt, ""),
    ("Ctrl-D at the question", case_ctrl_d_at_question, ""),
    ("Ctrl-C while editing", case_ctrl_c_while_editing, ""),
    ("SIGTERM while editing", case_sigterm_while_editing, ""),
    ("output not a terminal", case_output_not_a_terminal, "> out"),
    ("input not a terminal", case_input_not_a_terminal, "< input"),
]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: line_editing_test.py PROGRAM")
    program = os.path.abspath(sys.argv[1])
    if not ensure_tmux():
        print("SKIPPED: tmux is missing and could not be installed; nothing was tested")
        return 77
    failures = 0
    for index, (name, case, redirect) in enumerate(CASES):
        with tempfile.TemporaryDirectory() as work:
            term = None
            try:
                term = Terminal(program, work, str(index), redirect)
                case(term)
                print("ok   %s" % name)
            except (Failure, subprocess.CalledProcessError) as failure:
                failures += 1
                print("FAIL %s: %s" % (name, failure))
            finally:
                if term:
                    term.close()
    print("%d passed, %d failed" % (len(CASES) - failures, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
