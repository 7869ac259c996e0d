#!/usr/bin/env python3
"""The program at a real terminal: each case runs it in a tmux server of its own, under a
small bash script that records the terminal's modes and size before it, its pid, its exit
status and the modes after it, while tmux records every byte the pane is sent. The cases
type keys as a person would, send signals, resize the window, and check what a user sees:
the screen with its colours, `stty -a` after the program, the attributes of the text that
follows it. Keys are sent only once the program waits in a read (the dialogue drops
type-ahead before every read), so no case depends on timing; every wait is on a condition.
The tmux server (and with it everything in the pane) is ended whatever happens. Every run
keeps its history in the case's temporary folder, never in the real home's.
Exit status 77 means tmux is missing and nothing was tested.

Usage: terminal_test.py PROGRAM
"""
import fcntl
import os
import re
import shlex
import shutil
import signal
import stat
import struct
import subprocess
import sys
import tempfile
import termios
import time

from checks import run_checks

TIMEOUT = 20.0  # seconds any one wait may take on a loaded machine
POLL = 0.02  # seconds between looks
PROMPT = "Digite dados de trigonometria:"
QUESTION = "( Sim -> 1 / Nao -> 0 )"
START = "para comecar os calculos."
PIPED_INPUT = "1\nsin30\n1\ncos0\n0\n"  # a session whose last line's value is 1
CYAN, LIGHT_GREY, DEFAULT = 36, 47, None  # the dialogue's colours; the terminal's own
SGR = re.compile(r"\x1b\[([0-9;]*)m")
SIZE_REQUEST = re.compile(rb"\x1b\[8;(\d+);(\d+)t")
STOPPED_STATUS = 148  # the shell's status for a job stopped by SIGTSTP (128 + 20)

SCRIPT = """cd %(work)s
%(signals)s
%(setup)s
stty -a > before
stty size > size
read _ < go  # until the pane's output is being recorded
%(env)s sh -c 'echo $$ > pid; exec "$0" "$@"' %(program)s %(redirect)s
status=$?
# Each stop: the modes saved, then `fg` once a line is typed. Not a loop: bash leaves a loop
# whose foreground job stops.
resume() { stty -a > stopped; echo STOPPED; read _; fg; status=$?; }
[ $status -eq %(stopped)d ] && resume
[ $status -eq %(stopped)d ] && resume
[ $status -eq %(stopped)d ] && resume
echo "EXIT=$status"
stty -a > after
: > finished
"""


class Failure(Exception):
    pass


def plain(screen):
    return SGR.sub("", screen)


def colours_at(screen, text):
    """(foreground, background) in force where `text` first begins on a screen captured with
    its attributes; DEFAULT is the terminal's own colour."""
    foreground, background = DEFAULT, DEFAULT
    shown, position = "", 0
    for match in SGR.finditer(screen):
        shown += screen[position:match.start()]
        if text in shown:
            break
        position = match.end()
        for code in [int(c) if c else 0 for c in match.group(1).split(";")]:
            if code == 0:
                foreground, background = DEFAULT, DEFAULT
            elif 30 <= code <= 37 or 90 <= code <= 97:
                foreground = code
            elif code == 39:
                foreground = DEFAULT
            elif 40 <= code <= 47 or 100 <= code <= 107:
                background = code
            elif code == 49:
                background = DEFAULT
    else:
        shown += screen[position:]
    if text not in shown:
        raise Failure("%r is not on the screen:\n%s" % (text, plain(screen)))
    return foreground, background


class Terminal:
    """One tmux server with one 80x24 pane running the program, with `arguments`, under
    SCRIPT. `env` is put before the program (env's arguments), `redirect` may send its output
    to the file "out" or take its input from "input", and `job_control` runs it as a job that
    Ctrl-Z stops and `fg` resumes (otherwise it shares the script's process group, as under
    `sh -c`). `ignored` names signals the program is started with ignored, as nohup does;
    `setup` is shell run on the terminal first. The history file is `history` (None: the
    default place, under XDG_STATE_HOME set to the folder "state"), holding `preload`
    before the program starts when that is given."""

    def __init__(self, program, work, env="LC_ALL=C", redirect="", job_control=False,
                 ignored="", arguments=(), setup="", history="history", preload=None):
        self.program, self.work, self.arguments = program, work, arguments
        self.env, self.redirect, self.job_control = env, redirect, job_control
        self.ignored, self.setup, self.preload = ignored, setup, preload
        self.history = history and os.path.join(work, history)
        self.socket = os.path.join(work, "tmux")
        self.pid = None
        self.others = []

    def another(self, name, **settings):
        """A second terminal in the folder `name` of this one's, sharing its history file;
        started, and closed with this one."""
        work = self.path(name)
        os.mkdir(work)
        other = Terminal(self.program, work, history=self.history, **settings)
        self.others.append(other)
        other.start()
        return other

    def environment(self):
        """env's arguments: options first, then `env` and the history file's place. HOME is
        the work folder, the running user's: for root, HOME's owner is whose the history is."""
        home = "HOME=%s" % shlex.quote(self.work)
        if self.history:
            return "env %s %s TRIGCALC_HISTORY=%s" % (self.env, home, shlex.quote(self.history))
        return "env -u TRIGCALC_HISTORY %s %s XDG_STATE_HOME=%s" % (
            self.env, home, shlex.quote(self.path("state")))

    def start(self):
        with open(self.path("input"), "w") as f:
            f.write(PIPED_INPUT)
        if self.preload is not None:
            with open(self.history, "wb" if isinstance(self.preload, bytes) else "w") as f:
                f.write(self.preload)
        with open(self.path("tmux.conf"), "w") as f:
            f.write("set -g remain-on-exit on\n")  # the pane stays readable after the script
        with open(self.path("run.sh"), "w") as f:
            f.write(SCRIPT % {
                "work": shlex.quote(self.work), "env": self.environment(),
                "program": " ".join(map(shlex.quote, [self.program, *self.arguments])),
                "redirect": self.redirect, "setup": self.setup,
                "signals": ("set -m" if self.job_control else "trap : INT QUIT") +
                           ("; trap '' " + self.ignored if self.ignored else ""),
                "stopped": STOPPED_STATUS})
        os.mkfifo(self.path("go"))
        self.tmux("-f", self.path("tmux.conf"), "new-session", "-d", "-x", "80", "-y", "24",
                  "bash --norc --noprofile " + shlex.quote(self.path("run.sh")))
        self.tmux("pipe-pane", "-o", "cat > " + shlex.quote(self.path("bytes")))
        self.tty = self.tmux("display-message", "-p", "#{pane_tty}").strip()
        go = self.wait_for(self.open_go, "the script to wait for its start")
        os.write(go, b"\n")
        os.close(go)
        self.pid = int(self.wait_for(lambda: self.read_file("pid"), "the program to start"))

    def open_go(self):
        try:
            return os.open(self.path("go"), os.O_WRONLY | os.O_NONBLOCK)
        except OSError:
            return None  # no reader yet

    def tmux(self, *args):
        return subprocess.run(["tmux", "-u", "-S", self.socket] + list(args), check=True,
                              stdout=subprocess.PIPE, encoding="utf-8", errors="replace",
                              timeout=TIMEOUT).stdout

    def close(self):
        for other in self.others:
            other.close()
        subprocess.call(["tmux", "-S", self.socket, "kill-server"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def path(self, name):
        return os.path.join(self.work, name)

    def read_file(self, name, mode="r"):
        try:
            with open(self.path(name), mode) as f:
                return f.read()
        except OSError:
            return "" if mode == "r" else b""

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

    def state(self):
        try:
            with open("/proc/%d/stat" % self.pid) as f:
                return f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            return ""

    def sleeping(self):
        """True when the program is blocked (in a read, once its output is on screen)."""
        return self.state() == "S"

    def reads(self):
        """How many read calls the program has completed."""
        with open("/proc/%d/io" % self.pid) as f:
            return int(re.search(r"^syscr: (\d+)$", f.read(), re.M).group(1))

    def wait_next_read(self, reads):
        """Waits until the program, having completed more than `reads` reads, blocks in the
        next one: it has taken what was typed and passed the drop of type-ahead."""
        self.wait_for(lambda: self.reads() > reads and self.sleeping(), "the next read")

    def tty_call(self, call):
        fd = os.open(self.tty, os.O_RDWR | os.O_NOCTTY)
        try:
            return call(fd)
        finally:
            os.close(fd)

    def canonical(self):
        return bool(self.tty_call(termios.tcgetattr)[3] & termios.ICANON)

    def typed_ahead(self):
        """Bytes typed on the terminal that no read has taken yet."""
        queued = self.tty_call(lambda fd: fcntl.ioctl(fd, termios.FIONREAD, b"\0" * 4))
        return struct.unpack("i", queued)[0]

    def wait_reading(self, text, editing, screen=None):
        """Waits until `text` is shown and the program reads: through the line editor (the
        terminal out of canonical mode) or plainly."""
        screen = screen or self.screen
        self.wait_for(lambda: text in screen() and self.sleeping() and
                      self.canonical() != editing, "a read after %r" % text)

    def wait_shown(self, pattern):
        return self.wait_for(lambda: re.search(pattern, self.screen(), re.M), repr(pattern))

    def wait_finished(self):
        self.wait_for(lambda: os.path.exists(self.path("finished")), "the program to end")

    def recorded(self, after):
        """Every byte the pane was sent, once `after` is among them."""
        return self.wait_for(lambda: after in self.read_file("bytes", "rb") and
                             self.read_file("bytes", "rb"), "%r in the pane's bytes" % after)


def expect(condition, message, term):
    if not condition:
        raise Failure("%s; the screen:\n%s" % (message, term.screen()))


def check_size_given_back(term, upto):
    """The window was asked to become 66x10 and, later, for the size stty saw at start."""
    requests = SIZE_REQUEST.findall(term.recorded(upto).split(upto)[0])
    rows, columns = term.read_file("size").split()
    expect(requests and requests[0] == (b"10", b"66"), "no 66x10 request: %r" % requests, term)
    expect(requests[-1] == (rows.encode(), columns.encode()),
           "the last size requested is %r, not the %sx%s found" % (requests[-1], columns, rows),
           term)


def modes(term, name):
    """`stty -a` as saved in `name`, less the window size, which is the emulator's."""
    return re.sub(r"rows \d+; columns \d+; ", "", term.read_file(name))


def check_restored(term, sized=True, status=0):
    """The program ended with `status` and left the modes, colours and size as found."""
    term.wait_finished()
    expect(re.search(r"^EXIT=%d$" % status, term.screen(), re.M),
           "not EXIT=%d on a line of its own" % status, term)
    expect(modes(term, "before") == modes(term, "after"),
           "modes not restored:\n%s\nthen\n%s" % (modes(term, "before"), modes(term, "after")),
           term)
    colours = colours_at(term.screen(colours=True), "EXIT=")
    expect(colours == (DEFAULT, DEFAULT), "after the program the colours are %r" % (colours,),
           term)
    if sized:
        check_size_given_back(term, b"EXIT=")


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


def expect_result(term, screen, result, what):
    expect(re.search("^%s$" % re.escape(result), screen, re.M), "%s: no %s" % (what, result),
           term)


# One line each: the keys typed at the prompt, the line the screen must then show between
# the prompt and the result (rows the width of the window joined), and the result line.
EDITED_LINES = [
    ("left arrow fixes a typo", ["sin0", "Left", "3"], "sin30", "=0.5"),
    ("Home and End", ["in3", "Home", "s", "End", "0"], "sin30", "=0.5"),
    ("Ctrl-A and Ctrl-E", ["30", "C-a", "sin", "C-e", "0"], "sin300", "=-0.866025"),
    ("Backspace inside the line", ["sinx30", "Left", "Left", "BSpace"], "sin30", "=0.5"),
    ("Delete key under the cursor", ["sin930", "Home", "Right", "Right", "Right", "DC"],
     "sin30", "=0.5"),
    ("Ctrl-D inside the line deletes", ["sin930", "C-a", "C-f", "C-f", "C-f", "C-d"],
     "sin30", "=0.5"),
    ("Ctrl-D at the end of a line does not end", ["cos0", "C-d", "C-d"], "cos0", "=1"),
    ("right arrow after left", ["sin", "Left", "Right", "90"], "sin90", "=1"),
    ("Tab completes a unique name", ["arcsi", "Tab", "0.5"], "arcsin0.5", "=30"),
    ("Tab after the common part", ["ta", "Tab", "45"], "tan45", "=1"),
    ("Tab after digits inserts nothing", ["sin30", "Tab"], "sin30", "=0.5"),
    ("Tab after a full name lists nothing", ["2sin", "Tab", "30"], "2sin30", "=1"),
    ("Tab completes after an amplitude", ["2cose", "Tab", "30"], "2cosec30", "=4"),
    ("a 100th byte is refused", ["sin" + "0" * 95 + "30"], "sin" + "0" * 95 + "3",
     "=0.052336"),
    ("a byte put inside a full line is refused", ["sin" + "0" * 94 + "37", "Left", "0"],
     "sin" + "0" * 94 + "37", "=0.601815"),
]

# The rows of EDITED_LINES whose keys the terminal type vt100 does not describe.
UNDESCRIBED_KEYS = ("Home and End", "Delete key under the cursor")


def shown_line(term, screen):
    """The line shown between the prompt and the result, its full rows joined."""
    match = re.search(re.escape(PROMPT) + r"\n\n(.*?)\n=", screen, re.S)
    expect(match, "no line between the prompt and the result", term)
    return re.sub(r"(?m)^(.{80})\n", r"\1", match.group(1))


def check_edited_lines(term, rows):
    """Each row of EDITED_LINES in `rows` at the prompt of one pass."""
    for index, (name, keys, line, result) in enumerate(rows):
        if index:
            go_on(term)
        screen = enter_line(term, keys)
        expect_result(term, screen, result, name)
        expect(shown_line(term, screen) == line, "%s: the screen shows %r, not %r" %
               (name, shown_line(term, screen), line), term)


def check_dialogue_screen(term):
    """The screen of one pass: cleared before the prompt, in cyan on light grey."""
    screen = term.screen(colours=True)
    expect(plain(screen).startswith(PROMPT), "the screen was not cleared before the prompt",
           term)
    expect("Algumas notas" not in plain(screen), "the help text is still on the screen", term)
    for text in (PROMPT, "\n=", QUESTION):
        expect(colours_at(screen, text) == (CYAN, LIGHT_GREY),
               "%r is in %r, not cyan on light grey" % (text, colours_at(screen, text)), term)


def case_edited_lines(term):
    start_editing(term)
    check_edited_lines(term, EDITED_LINES[:1])
    check_dialogue_screen(term)
    go_on(term)
    check_edited_lines(term, EDITED_LINES[1:])
    term.keys("0", "Enter")
    check_restored(term)


def case_undescribed_keys(term):
    """Home, End and Delete as vt220 and rxvt terminals send them, where the terminal type
    names no such keys (vt100): the editor binds them itself."""
    start_editing(term)
    check_edited_lines(term, [row for row in EDITED_LINES if row[0] in UNDESCRIBED_KEYS])
    term.keys("0", "Enter")
    check_restored(term)


def case_history(term):
    start_editing(term)
    enter_line(term, ["sin30"])
    go_on(term)
    enter_line(term, ["cos0"])
    go_on(term)
    enter_line(term, [])  # an empty line stays out of the history
    go_on(term)
    term.keys("Up", "Up")
    term.wait_shown(r"^sin30$")
    term.keys("Down")
    term.wait_shown(r"^cos0$")
    screen = enter_line(term, ["Up", "C-e", "0"])  # brought back, then edited: sin300
    expect_result(term, screen, "=-0.866025", "edited history line")
    go_on(term)
    term.keys("Up")
    term.wait_shown(r"^sin300$")
    term.keys("C-a", "C-k")
    term.wait_for(lambda: not re.search(r"^sin300$", term.screen(), re.M), "an emptied line")
    term.keys("C-d")
    check_restored(term)


def history_file_lines(term):
    return term.read_file("history").splitlines()


def case_history_capacity(term):
    """A file of 1,001 lines: the up arrow reaches back the last 1,000, and the file keeps
    the last 1,000 with this run's line."""
    start_editing(term)
    term.keys(*["Up"] * 1000)
    term.wait_shown(r"^sin2$")
    term.keys("Up")  # nothing older: the line stays
    enter_line(term, ["Home", "2"])
    term.wait_shown(r"^2sin2$")
    term.keys("0", "Enter")
    check_restored(term)
    lines = history_file_lines(term)
    expect(len(lines) == 1000 and lines[0] == "sin3" and lines[-1] == "2sin2",
           "the file holds %d lines, %r to %r" % (len(lines), lines[0], lines[-1]), term)


def case_history_across_runs(term):
    """A second run brings back the first run's lines; the file gets the second's after."""
    start_editing(term)
    enter_line(term, ["sin30"])
    go_on(term)
    enter_line(term, ["cos0"])
    term.keys("0", "Enter")
    check_restored(term)
    second = term.another("second")
    start_editing(second)
    second.keys("Up", "Up")
    second.wait_shown(r"^sin30$")
    expect_result(second, enter_line(second, []), "=0.5", "sin30 from the first run")
    second.keys("0", "Enter")
    check_restored(second)
    expect(history_file_lines(term) == ["sin30", "cos0", "sin30"],
           "the file holds %r" % history_file_lines(term), term)


def case_runs_ending_together(term):
    """Two runs that read the same file end together: the file keeps both runs' lines."""
    other = term.another("other")
    for run, line in ((term, "sin30"), (other, "cos0")):
        start_editing(run)
        enter_line(run, [line])
    term.keys("0", "Enter")
    other.keys("0", "Enter")
    check_restored(term)
    check_restored(other)
    expect(sorted(history_file_lines(term)) == ["cos0", "sin30"],
           "the file holds %r" % history_file_lines(term), term)


def case_history_file_private(term):
    """In its default place the history file is made private to the user: a folder of
    mode 0700, the file of mode 0600."""
    start_editing(term)
    enter_line(term, ["sin30"])
    term.keys("0", "Enter")
    check_restored(term)
    folder = term.path("state/trigcalc")
    modes = [os.stat(path).st_mode & 0o777 for path in (folder, folder + "/history")]
    expect(modes == [0o700, 0o600], "modes %s" % [oct(mode) for mode in modes], term)
    expect(term.read_file("state/trigcalc/history") == "sin30\n", "the file holds %r" %
           term.read_file("state/trigcalc/history"), term)


def case_line_limit(term):
    """A line holds 99 bytes: what is typed past them is refused with a bell, and so is a
    completion that would not fit, so the line shown is the line read."""
    start_editing(term)
    typed = "[sin30]+" * 15
    term.text(typed)
    term.wait_for(lambda: term.read_file("bytes", "rb").count(b"\a") == len(typed) - 99,
                  "a bell for each byte past 99")
    screen = enter_line(term, [])
    expect_result(term, screen, "=6", "the first 99 bytes")
    expect(shown_line(term, screen) == typed[:99], "the screen shows %r" %
           shown_line(term, screen), term)
    go_on(term)
    full = "2" * 96 + "ac"  # one byte short of full: "os" would not fit
    term.text(full)
    term.keys("Tab")
    term.wait_for(lambda: term.read_file("bytes", "rb").count(b"\a") == len(typed) - 98,
                  "a bell for the completion")
    expect(shown_line(term, enter_line(term, [])) == full, "the completion was inserted", term)
    term.keys("0", "Enter")
    check_restored(term)


def case_tab_lists_candidates(term):
    start_editing(term)
    term.keys("arcs", "Tab")
    term.wait_shown(r"^arcsen  arcsin$")
    expect_result(term, enter_line(term, ["en0.5"]), "=30", "after the list, arcsen0.5")
    term.keys("0", "Enter")
    check_restored(term)
    expect(re.search(r"^0\nEXIT=0$", term.screen(), re.M), "a line added after an answer "
           "ended with Enter", term)


def case_ctrl_d_at_first_question(term):
    """Ctrl-D at the first question: the shell's next line starts on a fresh one, not after
    the help text (check_restored wants EXIT=0 on a line of its own)."""
    term.wait_reading(START, editing=False)
    term.keys("C-d")
    check_restored(term)


def case_answer_then_end_of_input(term):
    """1 at the question, then Ctrl-D twice: that end of input ends the dialogue, as it ends
    a piped one, without a line read through the editor first."""
    start_editing(term)
    enter_line(term, ["sin30"])
    term.keys("1", "C-d", "C-d")
    check_restored(term)


def case_ctrl_d_at_prompt(term):
    start_editing(term)
    term.keys("C-d")
    check_restored(term)
    expect("^D" not in term.screen(), "Ctrl-D was echoed", term)


def case_ctrl_d_at_question(term):
    start_editing(term)
    enter_line(term, ["sin30"])
    term.keys("C-d")
    check_restored(term)


def case_ctrl_d_after_an_answer(term):
    """An answer typed, then Ctrl-D twice (the first hands "0" over without a newline): the
    program ends and the shell's next line starts on a fresh one, not after the "0"."""
    start_editing(term)
    enter_line(term, ["sin30"])
    term.keys("0", "C-d", "C-d")
    check_restored(term)
    expect(re.search(r"^0$", term.screen(), re.M), "the answer is not left alone on its line",
           term)


def ending_case(end, saved):
    """A line entered, then a line being typed, then `end` (a key or a signal) ends the
    program: status 0, the terminal as found, and the shell's next line starts on a fresh one;
    the line entered is in the history file when `saved` (a closed window keeps its lines)."""
    def case(term):
        start_editing(term)
        enter_line(term, ["sin30"])
        go_on(term)
        term.text("sin3")
        term.wait_shown(r"^sin3$")
        if isinstance(end, str):
            term.keys(end)
        else:
            os.kill(term.pid, end)
        check_restored(term)
        expect(re.search(r"^sin3$", term.screen(), re.M), "the typed text is not left alone "
               "on its line", term)
        expect(history_file_lines(term) == (["sin30"] if saved else []),
               "the file holds %r" % history_file_lines(term), term)
    return case


def case_ignored_hang_up(term):
    """A hang-up ignored from the start (nohup) stays ignored: the dialogue goes on."""
    start_editing(term)
    term.text("sin30")
    term.wait_shown(r"^sin30$")
    os.kill(term.pid, signal.SIGHUP)
    expect_result(term, enter_line(term, []), "=0.5", "the line after the hang-up")
    term.keys("0", "Enter")
    check_restored(term)


def suspend_and_resume(term, shown, time, editing, sized=True):
    """Ctrl-Z with `shown` on its own line: the terminal as found while stopped (its size
    asked back when `sized`); then fg (the script's), once the program reads again with the
    editor or plainly."""
    if os.path.exists(term.path("stopped")):
        os.remove(term.path("stopped"))
    term.keys("C-z")
    term.wait_for(lambda: term.read_file("stopped"), "the program to stop")
    stopped = term.wait_shown(r"^STOPPED$") and term.screen(colours=True)
    expect(colours_at(stopped, "STOPPED") == (DEFAULT, DEFAULT),
           "colours kept when stopped the %s time" % time, term)
    expect(modes(term, "stopped") == modes(term, "before"), "modes kept when stopped the "
           "%s time:\n%s" % (time, modes(term, "stopped")), term)
    # In canonical mode the terminal echoes the key as "^Z" where the cursor stood.
    expect(re.search(r"%s\n*(\^Z)?\nSTOPPED$" % re.escape(shown), term.screen(), re.M),
           "no fresh line when stopped", term)
    if sized:
        check_size_given_back(term, b"STOPPED")
    term.keys("Enter")
    term.wait_reading(PROMPT if editing else shown, editing=editing)


def case_suspend_and_resume(term):
    """Ctrl-Z, then fg, twice: the second Ctrl-Z finds the handler back in place."""
    start_editing(term)
    term.text("sin0")
    term.wait_shown(r"^sin0$")
    for time in ("first", "second"):
        suspend_and_resume(term, "sin0", time, editing=True)
        screen = term.wait_shown(r"^sin0$") and term.screen(colours=True)
        expect(plain(screen).startswith(PROMPT + "\n\nsin0\n"), "prompt and line not redrawn",
               term)
        expect(colours_at(screen, "sin0") == (CYAN, LIGHT_GREY), "no colours after fg", term)
    expect_result(term, enter_line(term, ["Left", "3"]), "=0.5", "Left after fg")
    term.keys("0", "Enter")
    check_restored(term)


def case_suspend_at_questions(term):
    """Ctrl-Z at the help text and at the question, then fg: the screen is cleared of what
    the shell wrote and what stood on it is drawn again, in colour."""
    def drawn_again(start):
        screen = plain(term.screen())
        return screen.startswith(start) and "STOPPED" not in screen

    term.wait_reading(START, editing=False)
    suspend_and_resume(term, START, "first", editing=False)
    term.wait_for(lambda: drawn_again("Algumas notas:"), "the help text drawn again")
    start_editing(term)
    enter_line(term, ["sin30"])
    suspend_and_resume(term, QUESTION, "second", editing=False)
    question = PROMPT + "\n\nsin30\n=0.5\n\nQuer fazer"
    term.wait_for(lambda: drawn_again(question), "the pass drawn again")
    expect(colours_at(term.screen(colours=True), "=0.5") == (CYAN, LIGHT_GREY),
           "no colours after fg", term)
    term.keys("0", "Enter")
    check_restored(term)


LOOP_PROMPT = ">"  # "> ", as a captured screen shows it


def check_loop_left_terminal(term, status):
    """The loop ended with `status`, left the modes as found, and never touched the colours,
    the screen or the window size."""
    check_restored(term, sized=False, status=status)
    recorded = term.recorded(b"EXIT=")
    expect(not re.search(rb"\x1b\[[0-9;]*m|\x1b\[2J", recorded) and not
           SIZE_REQUEST.search(recorded), "colours, clearing or size written", term)


def case_loop(term):
    """`trigcalc -` at a terminal: a prompt, the editor (Left, Tab), each value on the next
    line, a report for a line read otherwise than written, Ctrl-D ends with status 1 for it;
    then the dialogue brings the loop's lines back with Up: one history file."""
    term.wait_reading(LOOP_PROMPT, editing=True)
    term.keys("sin0", "Left", "3", "Enter")
    term.wait_shown(r"^> sin30\n0\.5$")
    term.keys("arcsi", "Tab", "0.5", "Enter")
    term.wait_shown(r"^> arcsin0\.5\n30$")
    term.keys("2*sin30", "Enter")
    term.wait_shown(r"^0\ntrigcalc: <stdin>:3:2: nada depois de")
    term.keys("C-d")
    check_loop_left_terminal(term, 1)
    dialogue = term.another("dialogue")
    start_editing(dialogue)
    dialogue.keys("Up", "Up")
    dialogue.wait_shown(r"^arcsin0\.5$")
    expect_result(dialogue, enter_line(dialogue, []), "=30", "the loop's line in the dialogue")
    dialogue.keys("0", "Enter")
    check_restored(dialogue)


def case_loop_forms(term):
    """`trigcalc --form -` at a UTF-8 terminal: each value with its exact form on the next
    line, or its digits alone where it has none."""
    term.wait_reading(LOOP_PROMPT, editing=True)
    term.keys("sin60", "Enter")
    term.wait_shown(r"^> sin60\n√3/2 ≈ 0\.866025$")
    term.keys("sin1", "Enter")
    term.wait_shown(r"^> sin1\n0\.0174524$")
    term.keys("C-d")
    check_loop_left_terminal(term, 0)


def case_loop_ctrl_c(term):
    """Ctrl-C drops the line being typed, which stays on its row and out of the history, and
    asks again; Ctrl-D on an empty line then ends with status 0."""
    term.wait_reading(LOOP_PROMPT, editing=True)
    term.text("cos")
    term.wait_shown(r"^> cos$")
    term.keys("C-c")
    term.wait_shown(r"^> cos\n>")
    term.keys("sin30", "Enter")
    term.wait_shown(r"^> sin30\n0\.5$")
    term.keys("C-d")
    check_loop_left_terminal(term, 0)
    expect(history_file_lines(term) == ["sin30"], "the file holds %r" %
           history_file_lines(term), term)


# A decision Calcium cannot make within its second of processor time, computed in a bounded
# child; the cases below stop that child (SIGSTOP), so that the line is still being computed
# whenever they act, however fast or slow the machine.
SLOW_DECISION = "[tan1.5]x[tan2.5]x[tan3.5]x[tan0.001]-[tan0.001]x[tan3.5]x[tan2.5]x[tan1.5]"


def stop_computing_child(term):
    """Waits for the program's bounded child, then stops it; its pid."""
    def child():
        children = term.read_file("/proc/%d/task/%d/children" % (term.pid, term.pid)).split()
        return children and int(children[0])
    pid = term.wait_for(child, "the line to go to a bounded child")
    os.kill(pid, signal.SIGSTOP)
    return pid


def loop_line_computed(interrupted):
    """While a line is computed in the exact mode's child, Ctrl-C abandons it: nan with the
    report that it was interrupted, then the prompt, and the next line is read whole (the
    Ctrl-C was the abandoned line's). Left to end by itself, what was typed meanwhile (a
    shell's command, for one who took the wait for the shell's) is dropped, as the dialogue
    drops it: the line's value, then the prompt, and the next line is the one typed after."""
    def case(term):
        term.wait_reading(LOOP_PROMPT, editing=True)
        term.keys(SLOW_DECISION, "Enter")
        child = stop_computing_child(term)
        if interrupted:
            term.keys("C-c")
            said = r"^(\^C)?nan\ntrigcalc: <stdin>:1:1: o calculo exato foi interrompido"
        else:
            term.text("echo ok\r")
            term.wait_for(lambda: term.typed_ahead() == 8, "the keys to be queued")
            os.kill(child, signal.SIGCONT)
            said = r"^nan\ntrigcalc: <stdin>:1:1: o valor nao pode ser distinguido de 0"
        term.wait_shown(said)
        term.wait_reading(LOOP_PROMPT, editing=True)
        term.keys("sin30", "Enter")
        term.wait_shown(r"^> sin30\n0\.5$")
        term.keys("C-d")
        check_loop_left_terminal(term, 1)
        expect(not re.search(r'^> echo|"echo"', term.screen(), re.M),
               "the line typed while busy was read", term)
    return case


def ended_while_computing(ending, dialogue):
    """`ending` (a signal, or Ctrl-C in the dialogue) while a line is computed in the exact
    mode's child ends the program at once, its line abandoned: the terminal put back, the
    run's line saved, the dialogue with status 0 and the loop by that signal."""
    def case(term):
        if dialogue:
            start_editing(term)
            enter_line(term, ["sin30"])
            go_on(term)
        else:
            term.wait_reading(LOOP_PROMPT, editing=True)
        term.keys(SLOW_DECISION, "Enter")
        child = stop_computing_child(term)
        if isinstance(ending, str):
            term.keys(ending)
        else:
            os.kill(term.pid, ending)
        check_restored(term, sized=dialogue, status=0 if dialogue else 128 + ending)
        expect(not os.path.exists("/proc/%d" % child), "the child is left", term)
        expect(history_file_lines(term) == (["sin30"] if dialogue else []) + [SLOW_DECISION],
               "the file holds %r" % history_file_lines(term), term)
    return case


def loop_ended_by(ending, locked=False):
    """`ending` ends the loop by that signal, the terminal put back first, after the run's
    line is saved; while something else holds the history folder's lock, after one warning
    once the save stopped waiting for it, the file as it was."""
    def case(term):
        term.wait_reading(LOOP_PROMPT, editing=True)
        term.keys("sin30", "Enter")
        term.wait_shown(r"^> sin30\n0\.5$")
        term.text("sin3")
        term.wait_shown(r"^> sin3$")
        lock = os.open(term.work, os.O_RDONLY)
        if locked:
            fcntl.flock(lock, fcntl.LOCK_EX)
        os.kill(term.pid, ending)
        check_restored(term, sized=False, status=128 + ending)
        os.close(lock)
        expect(history_file_lines(term) == ([] if locked else ["sin30"]),
               "the file holds %r" % history_file_lines(term), term)
        warned = (b"historico: %s: em uso por outro processo" % term.history.encode() in
                  term.recorded(b"EXIT="))
        expect(warned == locked, "a warning %s" % ("missing" if locked else "shown"), term)
    return case


def case_loop_dumb_terminal(term):
    """TERM=dumb: lines read plainly, and after Ctrl-C and after Ctrl-Z and fg the prompt is
    asked again, as with the editor."""
    term.wait_reading(LOOP_PROMPT, editing=False)
    term.text("cos")
    term.wait_shown(r"^> cos$")
    term.keys("C-c")
    term.wait_for(lambda: re.search(r"^> cos(\^C)?\n> ?$", term.screen(), re.M) and
                  term.sleeping(), "the prompt asked again after Ctrl-C")
    suspend_and_resume(term, "> ", "first", editing=False, sized=False)
    term.wait_shown(r"^> ?$")
    term.keys("sin30", "Enter")
    term.wait_shown(r"^> sin30\n0\.5$")
    term.keys("C-d")
    check_loop_left_terminal(term, 0)


def what_stands_at_history(term):
    info = os.lstat(term.history)
    return ("fifo" if stat.S_ISFIFO(info.st_mode) else "device" if stat.S_ISCHR(info.st_mode)
            else "link" if stat.S_ISLNK(info.st_mode) else "file")


def history_not_a_file(warned):
    """The history file's path names no regular file: the prompt comes at once (no read of
    it stalls), a line is evaluated, and what stands there is left as it was; one warning
    unless it is the null device."""
    def case(term):
        found = what_stands_at_history(term)
        term.wait_reading(LOOP_PROMPT, editing=True)
        term.keys("sin30", "Enter")
        term.wait_shown(r"^> sin30\n0\.5$")
        term.keys("C-d")
        check_loop_left_terminal(term, 0)
        count = term.recorded(b"EXIT=").count(
            b"trigcalc: historico: %s: nao e um arquivo comum" % term.history.encode())
        expect(count == (1 if warned else 0), "%d warnings" % count, term)
        expect(what_stands_at_history(term) == found, "a %s replaced by a %s" %
               (found, what_stands_at_history(term)), term)
    return case


def case_history_link(term):
    """The history file a link to a dotfiles folder: the link stays, the file it leads to
    gets the line."""
    term.wait_reading(LOOP_PROMPT, editing=True)
    term.keys("Up")
    term.wait_shown(r"^> sin30$")
    term.keys("C-a", "C-k", "cos0", "Enter")
    term.wait_shown(r"^> cos0\n1$")
    term.keys("C-d")
    check_loop_left_terminal(term, 0)
    expect(what_stands_at_history(term) == "link", "the link replaced", term)
    expect(term.read_file("dotfiles/history") == "sin30\ncos0\n", "the file led to holds %r" %
           term.read_file("dotfiles/history"), term)


# Stored newest last: a line with a NUL, one written in UTF-8 (read in the C locale), one
# of 100 bytes: none can be given back as stored; the CRLF line comes back without its CR.
AWKWARD_HISTORY = b"sin30\ncos60\r\n" + b"1" * 100 + b"\nsen30\xc2\xb0\nta\0n45\n"


def case_history_lines_as_stored(term):
    """Up skips the lines the editor cannot give back as stored and brings back the others;
    the file keeps what it can hold (the NUL line goes, the CR with it)."""
    term.wait_reading(LOOP_PROMPT, editing=True)
    term.keys("Up")
    term.wait_shown(r"^> cos60$")
    term.keys("Up")
    term.wait_shown(r"^> sin30$")
    term.keys("Enter")
    term.wait_shown(r"^> sin30\n0\.5$")
    term.keys("C-d")
    check_loop_left_terminal(term, 0)
    expect(term.read_file("history", "rb") == b"sin30\ncos60\n" + b"1" * 100 +
           b"\nsen30\xc2\xb0\nsin30\n", "the file holds %r" % term.read_file("history", "rb"),
           term)
    expect(b"\a" not in term.read_file("bytes", "rb"), "a bell rang", term)


def case_redraw_shows_control_bytes(term):
    """A line holding ESC ] 2 ; ... BEL (typed with Ctrl-V): the redraw after a resize at the
    question shows it as the editor did (^[), never sending the terminal a title."""
    start_editing(term)
    term.text("sin3")
    term.keys("C-v", "Escape")
    term.text("]2;PWNED")
    term.keys("C-v", "C-g")
    term.wait_shown(r"^sin3\^\[\]2;PWNED\^G$")
    term.keys("Enter")
    term.wait_reading(QUESTION, editing=False)
    clears = term.read_file("bytes", "rb").count(b"\x1b[H\x1b[2J")
    term.tmux("resize-window", "-x", "60", "-y", "24")
    term.wait_for(lambda: term.read_file("bytes", "rb").count(b"\x1b[H\x1b[2J") > clears,
                  "the screen drawn again")
    term.wait_shown(r"^sin3\^\[\]2;PWNED\^G$")
    expect(b"\x1b]2;" not in term.read_file("bytes", "rb"), "a title sequence was sent", term)
    term.keys("0", "Enter")
    check_restored(term)


def case_resize_while_editing(term):
    """A line longer than the new width: the edit after the resize lands where it should,
    and so does one on the next line after a resize at the question."""
    start_editing(term)
    term.text("sin" + "0" * 70 + "30")
    term.wait_shown(r"^sin0+30$")
    term.tmux("resize-window", "-x", "40", "-y", "24")
    term.wait_shown(r"^sin0{37}\n0{33}30$")  # the line drawn again for 40 columns
    term.keys("Home", "2")
    term.wait_shown(r"^2sin0{36}\n0{34}30$")
    expect_result(term, enter_line(term, []), "=1", "2sin30 after the resize")
    term.tmux("resize-window", "-x", "30", "-y", "24")
    go_on(term)
    term.text("sin" + "0" * 40 + "30")
    term.keys("Home", "2")
    term.wait_shown(r"^2sin0{26}\n0{14}30$")
    expect_result(term, enter_line(term, []), "=1", "2sin30 after a resize at the question")
    term.keys("0", "Enter")
    check_restored(term)


def case_size_unknown(term):
    """A terminal that reports no rows: no size is asked back at the end, only the 66x10."""
    term.wait_reading(START, editing=False)
    term.keys("0", "Enter")
    check_restored(term, sized=False)
    requests = SIZE_REQUEST.findall(term.recorded(b"EXIT="))
    expect(requests == [(b"10", b"66")], "size requests %r" % requests, term)


def case_no_colour(term):
    """NO_COLOR: not one colour sequence, the window size and clearing as ever."""
    start_editing(term)
    screen = term.screen(colours=True)
    expect(colours_at(screen, PROMPT) == (DEFAULT, DEFAULT), "colours set", term)
    expect_result(term, enter_line(term, ["sin0", "Left", "3"]), "=0.5", "edited line")
    term.keys("0", "Enter")
    check_restored(term)
    recorded = term.recorded(b"EXIT=")
    expect(not re.search(rb"\x1b\[[0-9;]*m", recorded), "colour sequences written", term)
    expect(b"\x1b[H\x1b[2J" in recorded, "the screen was not cleared", term)


def case_no_escape_sequences(term):
    """TERM=dumb or unset: lines read plainly, not one escape sequence, the dialogue works."""
    term.wait_reading(START, editing=False)
    term.keys("1", "Enter")
    term.wait_reading(PROMPT, editing=False)
    expect_result(term, enter_line(term, ["sin30"]), "=0.5", "plain line")
    term.keys("0", "Enter")
    check_restored(term, sized=False)
    expect(b"\x1b" not in term.recorded(b"EXIT="), "escape sequences written", term)


def case_multibyte_characters(term):
    """In a UTF-8 locale accented characters are typed, shown and edited as characters; the
    line is evaluated byte for byte as a piped one."""
    start_editing(term)
    term.text("sã")
    term.wait_shown(r"^sã$")
    term.keys("BSpace")  # the whole "ã" goes, both its bytes
    term.text("en30°")
    term.wait_shown(r"^sen30°$")
    expect_result(term, enter_line(term, []), "=0.5", "sen30°")
    go_on(term)
    term.text("são")
    term.wait_shown(r"^são$")
    expect_result(term, enter_line(term, ["C-a", "C-k", "cos0"]), "=1", "cos0 after são")
    go_on(term)
    term.text("sin30")
    term.tmux("send-keys", "-H", "c3")  # a lead byte that Enter, the next key, shows alone
    expect_result(term, enter_line(term, []), "=0.5", "Enter after a lone lead byte")
    term.keys("0", "Enter")
    check_restored(term)


def case_bytes_kept_in_the_c_locale(term):
    """In the C locale "°" and "π" begin no character, yet their bytes stay in the line as
    typed (shown by the editor as \\U+DCxx), so the loop reports what a piped line reports,
    not a line without them (quoted escaped, as every byte above 0x7F is outside UTF-8): a
    degree sign before the name is skipped (2 x sin 30 = 1), pi gives the argument no number;
    a degree sign after the argument is silent (sin 30 = 0.5).
    The history file holds the bytes typed."""
    term.wait_reading(LOOP_PROMPT, editing=True)
    term.text("2\u00b0sin30")
    term.wait_shown(r"^> 2\\U\+DCC2\\U\+DCB0sin30$")
    term.keys("Enter")
    term.wait_shown(r'^1\ntrigcalc: <stdin>:1:2: "\\xC2\\xB0" foi ignorado: so tem sentido depois')
    term.text("sin\u03c0")
    term.keys("Enter")
    term.wait_shown(r'^0\ntrigcalc: <stdin>:2:4: o argumento "\\xCF\\x80" nao tem numero')
    term.text("sin30\u00b0")
    term.keys("Enter")
    term.wait_shown(r"^> sin30\\U\+DCC2\\U\+DCB0\n0\.5\n>")
    term.keys("C-d")
    check_loop_left_terminal(term, 1)
    typed = term.read_file("history", "rb").splitlines()
    expect(typed == ["2\u00b0sin30".encode(), "sin\u03c0".encode(), "sin30\u00b0".encode()],
           "the file holds %r" % typed, term)


def case_type_ahead_dropped(term):
    """What is typed while the program is busy (here: stopped) is dropped before the next
    read, apart from the line the read in progress takes."""
    start_editing(term)
    enter_line(term, ["sin30"])
    os.kill(term.pid, signal.SIGSTOP)
    term.wait_for(lambda: term.state() == "T", "the program to stop")
    term.keys("1", "Enter", "c", "o", "s", "0", "Enter")
    term.wait_for(lambda: term.typed_ahead() == 7, "the keys to be queued")
    os.kill(term.pid, signal.SIGCONT)
    term.wait_reading(PROMPT, editing=True)
    expect("cos0" not in term.screen(), "the typed-ahead line was read", term)
    expect_result(term, enter_line(term, ["sin90"]), "=1", "the line after")
    term.keys("0", "Enter")
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
    expect("\n=0\n" in transcript(), "no plain read's =0: %r" % transcript(), term)
    term.keys("0", "Enter")
    term.wait_finished()
    expect("\x1b" not in transcript(), "terminal commands written to a file", term)


def case_input_not_a_terminal(term):
    """Standard input from a file: read plainly, and the transcript's last pass is shown."""
    check_restored(term)
    expect_result(term, term.screen(), "=1", "the last line")


BRAILLE = re.compile("[\u2800-\u28ff]")
# The bit of each dot of a braille cell, by its column and row (U+2800's dots 1 to 8).
DOT_BITS = ((0x01, 0x02, 0x04, 0x40), (0x08, 0x10, 0x20, 0x80))


class Graph:
    """A graph as a captured screen shows it: its plot's dots (a matrix, row by row), the
    column of dots of each angle label's centre, and the dot row of each value label."""

    def __init__(self, screen, last_label):
        lines = screen.split("\n")
        ends = [n for n, line in enumerate(lines) if line.rstrip().endswith(last_label) and
                n > 0 and BRAILLE.search(lines[n - 1]) and not BRAILLE.search(line)]
        if not ends:
            raise Failure("no label row ending in %r:\n%s" % (last_label, screen))
        self.label_row = ends[-1]
        first = self.label_row
        while first > 0 and BRAILLE.search(lines[first - 1]):
            first -= 1
        self.rows = lines[first:self.label_row]
        self.left = min(BRAILLE.search(row).start() for row in self.rows)
        self.dots = [[False] * (2 * 400) for _ in range(4 * len(self.rows))]
        for r, row in enumerate(self.rows):
            for c, char in enumerate(row):
                bits = ord(char) - 0x2800 if BRAILLE.match(char) else 0
                for x in range(2):
                    for y in range(4):
                        self.dots[4 * r + y][2 * c + x] = bool(bits & DOT_BITS[x][y])
        self.angles = {}
        for match in re.finditer(r"\S+", lines[self.label_row]):
            centre = match.start() + len(match.group()) // 2
            self.angles[match.group()] = 2 * centre
        self.values = {}
        for r, row in enumerate(self.rows):
            label = row[:self.left].strip()
            if label:
                self.values[label] = 4 * r + 1

    def lit(self, x, rows):
        """The dot rows lit at dot column `x` among `rows`."""
        return [y for y in rows if self.dots[y][x]]


def with_history(term):
    """The screen with the lines scrolled off its top (tmux's "Pane is dead" line, written when
    the program ends, may scroll the first one off)."""
    return term.tmux("capture-pane", "-p", "-S", "-40")


def case_graph_of_sine(term):
    """sen x over a turn: the curve's top under 90°, its bottom under 270°, crossing the axis
    (the row of the label 0) at 180° from above to below; the labels in degrees."""
    check_restored(term, sized=False)
    graph = Graph(with_history(term), "360°")
    expect(set(["0°", "90°", "180°", "270°", "360°"]) <= set(graph.angles), "angle labels %r" %
           sorted(graph.angles), term)
    height = len(graph.dots)
    axis = graph.values["0"]
    top = graph.lit(graph.angles["90°"], range(height))
    bottom = graph.lit(graph.angles["270°"], range(height))
    expect(top and min(top) <= 1, "no top under 90°: %r" % top, term)
    expect(bottom and max(bottom) >= height - 2, "no bottom under 270°: %r" % bottom, term)
    x = graph.angles["180°"]
    before = graph.lit(x - 4, [y for y in range(height) if abs(y - axis) > 1])
    after = graph.lit(x + 4, [y for y in range(height) if abs(y - axis) > 1])
    expect(before and max(before) < axis and after and min(after) > axis,
           "not crossing at 180°: %r before, %r after, the axis at %d" % (before, after, axis), term)
    expect(graph.lit(graph.angles["0°"], [axis - 1, axis, axis + 1]), "nothing at 0°", term)
    expect("zeros: 0°, 180°, 360°" in with_history(term), "the zeros not listed", term)


def case_graph_of_tangent(term):
    """tg x from 0° to 360°: a dotted asymptote under 90° and under 270°, and no cell of the
    curve in the middle of the plot beside them (the branches never joined)."""
    check_restored(term, sized=False)
    graph = Graph(with_history(term), "360°")
    height = len(graph.dots)
    axis = graph.values["0"]
    middle = [y for y in range(height // 4, 3 * height // 4) if abs(y - axis) > 1]
    for label in ("90°", "270°"):
        x = graph.angles[label]
        asymptote = [c for c in range(x - 2, x + 3)
                     if len(graph.lit(c, range(height))) >= height // 2 - 2 and
                     not any(graph.dots[y][c] and graph.dots[y + 1][c] for y in middle)]
        expect(asymptote, "no dotted asymptote near %s" % label, term)
        joined = [c for c in range(x - 3, x + 4) if c not in asymptote and graph.lit(c, middle)]
        expect(not joined, "the branches joined beside %s at dot columns %r" % (label, joined),
               term)
    expect("assíntotas: 90°, 270°" in with_history(term), "the asymptotes not listed", term)


def case_graph_colours_and_dashes(term, coloured):
    """Two curves: each in its colour at a terminal, or told apart by its dashes under
    NO_COLOR."""
    check_restored(term, sized=False)
    screen = term.tmux("capture-pane", "-p", "-e", "-S", "-40")
    legend = [line for line in plain(screen).split("\n") if " sen x " in line or " cos x " in line]
    expect(len(legend) == 2, "no legend line per curve: %r" % legend, term)
    if coloured:
        expect(colours_at(screen, "sen x")[0] == DEFAULT and "\x1b[31m" in screen and
               "\x1b[34m" in screen, "not red and blue", term)
    else:
        expect(not SGR.search(screen), "colours under NO_COLOR", term)
        expect(legend[0][:3] != legend[1][:3], "the same dashes: %r" % legend, term)


def case_graph_resized(term):
    """The quick loop draws each graph at the terminal's size of the moment."""
    term.wait_reading(LOOP_PROMPT, editing=True)
    term.keys("sen x", "Enter")
    term.wait_shown(r"360°$")
    wide = Graph(term.screen(), "360°").angles["360°"]
    term.tmux("resize-window", "-x", "50", "-y", "24")
    term.keys("sen x", "Enter")
    term.wait_for(lambda: last_label_column(term, "360°") < 2 * 50, "a narrower graph")
    narrow = last_label_column(term, "360°")
    expect(wide > 2 * 70 and 2 * 40 < narrow < 2 * 50, "360° at dot columns %d, then %d" %
           (wide, narrow), term)
    term.keys("C-d")
    check_restored(term, sized=False)


def last_label_column(term, label):
    """The dot column of `label` in the last graph on the screen; a large number while there
    is none."""
    try:
        return Graph(term.screen(), label).angles[label]
    except Failure:
        return 1 << 20


def case_unit_circle(term):
    """sen 150: the circle with the angle's point in the second quadrant and the facts."""
    check_restored(term, sized=False)
    screen = with_history(term)
    for fact in ("θ = 150°: quadrante II", "ângulo de referência: 30°",
                 "sen 150° = sen 30° = ", "cos 150° = −cos 30° = "):
        expect(fact in screen, "%r is not shown" % fact, term)
    expect(re.search(r"^\S*180°.*0°", screen, re.M), "no axis labels", term)


def case_graph_elsewhere_a_table(term):
    """At a terminal whose locale is not UTF-8, the table instead of the graph."""
    check_restored(term, sized=False)
    expect(re.search(r"^90\t1$|^90 +1$", term.screen(), re.M), "no table row 90 1", term)


# name, case, Terminal's settings
CASES = [
    ("edited lines", case_edited_lines, {}),
    ("history", case_history, {}),
    ("history keeps 1,000 lines", case_history_capacity,
     {"preload": "".join("sin%d\n" % number for number in range(1, 1002))}),
    ("history kept across runs", case_history_across_runs, {}),
    ("two runs ending together", case_runs_ending_together, {}),
    ("history file private", case_history_file_private, {"history": None}),
    ("99-byte limit with a bell", case_line_limit, {}),
    ("keys vt100 does not describe", case_undescribed_keys, {"env": "LC_ALL=C TERM=vt100"}),
    ("Tab lists candidates", case_tab_lists_candidates, {}),
    ("Ctrl-D at the prompt", case_ctrl_d_at_prompt, {}),
    ("Ctrl-D at the question", case_ctrl_d_at_question, {}),
    ("Ctrl-D after an answer", case_ctrl_d_after_an_answer, {}),
    ("Ctrl-D at the first question", case_ctrl_d_at_first_question, {}),
    ("1, then the end of input", case_answer_then_end_of_input, {}),
    ("Ctrl-Z at the help text and the question", case_suspend_at_questions,
     {"job_control": True}),
    ("loop: prompt, editing, values, reports", case_loop, {"arguments": ["-"]}),
    ("loop: Ctrl-C, then a line", case_loop_ctrl_c, {"arguments": ["-"]}),
    ("loop: exact forms in UTF-8", case_loop_forms,
     {"arguments": ["--form", "-"], "env": "LC_ALL=C.UTF-8", "exact": True}),
    ("loop: SIGTERM saves, then ends", loop_ended_by(signal.SIGTERM), {"arguments": ["-"]}),
    ("loop: hang-up saves, then ends", loop_ended_by(signal.SIGHUP), {"arguments": ["-"]}),
    ("loop: SIGTERM, the lock held by another", loop_ended_by(signal.SIGTERM, locked=True),
     {"arguments": ["-"]}),
    ("loop: Ctrl-C abandons the line computed", loop_line_computed(True),
     {"arguments": ["-e", "-d1000", "-"], "exact": True}),
    ("loop: what is typed while a line is computed is dropped", loop_line_computed(False),
     {"arguments": ["-n", "-e", "-d1000", "-"], "exact": True}),
    ("loop: SIGTERM while a line is computed", ended_while_computing(signal.SIGTERM, False),
     {"arguments": ["-e", "-d1000", "-"], "exact": True}),
    ("loop: hang-up while a line is computed", ended_while_computing(signal.SIGHUP, False),
     {"arguments": ["-e", "-d1000", "-"], "exact": True}),
    ("Ctrl-C while a line is computed", ended_while_computing("C-c", True),
     {"arguments": ["-e", "-d1000"], "exact": True}),
    ("loop: TERM=dumb asks again", case_loop_dumb_terminal,
     {"arguments": ["-"], "env": "LC_ALL=C TERM=dumb", "job_control": True}),
    ("history a FIFO", history_not_a_file(True), {"arguments": ["-"], "setup": "mkfifo history"}),
    # Copies of the devices, made in the case's folder: a program that replaces what it finds
    # must never be run on the system's own (as root it would replace /dev/null for everyone).
    ("history a copy of /dev/zero", history_not_a_file(True),
     {"arguments": ["-"], "setup": "mknod history c 1 5", "root": "mknod"}),
    ("history a copy of /dev/null", history_not_a_file(False),
     {"arguments": ["-"], "setup": "mknod history c 1 3", "root": "mknod"}),
    ("history a link to dotfiles", case_history_link,
     {"arguments": ["-"], "setup": "mkdir dotfiles; echo sin30 > dotfiles/history; "
                                   "ln -s dotfiles/history history"}),
    ("history lines given back as stored", case_history_lines_as_stored,
     {"arguments": ["-"], "preload": AWKWARD_HISTORY}),
    ("redraw shows control bytes", case_redraw_shows_control_bytes, {}),
    ("Ctrl-C while typing", ending_case("C-c", True), {}),
    ("Ctrl-\\ while typing", ending_case("C-\\", False), {}),
    ("hang-up while typing", ending_case(signal.SIGHUP, True), {}),
    ("SIGTERM while typing", ending_case(signal.SIGTERM, True), {}),
    ("hang-up ignored from the start", case_ignored_hang_up, {"ignored": "HUP"}),
    ("Ctrl-Z, then fg", case_suspend_and_resume, {"job_control": True}),
    ("resize while editing", case_resize_while_editing, {}),
    ("a terminal without rows", case_size_unknown, {"setup": "stty rows 0"}),
    ("NO_COLOR", case_no_colour, {"env": "LC_ALL=C NO_COLOR=1"}),
    ("TERM=dumb", case_no_escape_sequences, {"env": "LC_ALL=C TERM=dumb"}),
    ("TERM unset", case_no_escape_sequences, {"env": "-u TERM LC_ALL=C"}),
    ("multibyte characters", case_multibyte_characters, {"env": "LC_ALL=C.UTF-8"}),
    ("bytes kept as typed in the C locale", case_bytes_kept_in_the_c_locale,
     {"arguments": ["-"]}),
    ("type-ahead dropped", case_type_ahead_dropped, {}),
    ("output not a terminal", case_output_not_a_terminal, {"redirect": "> out"}),
    ("input not a terminal", case_input_not_a_terminal, {"redirect": "< input"}),
    ("graph of sen x", case_graph_of_sine,
     {"arguments": ["-g", "sen x"], "env": "LC_ALL=C.UTF-8"}),
    ("graph of tg x: asymptotes", case_graph_of_tangent,
     {"arguments": ["-g", "tg x, 0 ≤ x ≤ 360"], "env": "LC_ALL=C.UTF-8"}),
    ("graph: colours", lambda term: case_graph_colours_and_dashes(term, True),
     {"arguments": ["-g", "sen x; cos x"], "env": "LC_ALL=C.UTF-8"}),
    ("graph: dashes under NO_COLOR", lambda term: case_graph_colours_and_dashes(term, False),
     {"arguments": ["-g", "sen x; cos x"], "env": "LC_ALL=C.UTF-8 NO_COLOR=1"}),
    ("graph: redrawn to a resized terminal", case_graph_resized,
     {"arguments": ["-g", "-"], "env": "LC_ALL=C.UTF-8"}),
    ("graph: the unit circle", case_unit_circle,
     {"arguments": ["-g", "sen 150"], "env": "LC_ALL=C.UTF-8", "exact": True}),
    ("graph: a table outside UTF-8", case_graph_elsewhere_a_table,
     {"arguments": ["-g", "sen x"]}),
]


def run_case(program, case, settings):
    """Runs one case in a terminal of its own; its problems, as checks.run_checks takes them
    (what the case's helpers raise becomes the one problem)."""
    with tempfile.TemporaryDirectory(prefix="trigcalc-tmux-") as work:
        term = Terminal(program, work, **settings)
        try:
            term.start()
            case(term)
            return []
        except (Failure, subprocess.SubprocessError, OSError) as failure:
            return [str(failure)]
        finally:
            term.close()


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: terminal_test.py PROGRAM")
    program = os.path.abspath(sys.argv[1])
    if not shutil.which("tmux"):
        print("SKIPPED: tmux is missing: install the Debian package tmux")
        return 77
    checks = []
    exact = subprocess.run([program, "--exact", "sin30"], capture_output=True).returncode == 0
    for name, case, settings in CASES:
        settings = dict(settings)
        needs_root = settings.pop("root", None)
        if needs_root and os.geteuid() != 0:
            print("skip %s: %s needs root" % (name, needs_root))
            continue
        if settings.pop("exact", False) and not exact:
            print("skip %s: the exact mode is not in this build" % name)
            continue
        checks.append((name, lambda c=case, s=settings: run_case(program, c, s)))
    return run_checks(checks)


if __name__ == "__main__":
    sys.exit(main())
