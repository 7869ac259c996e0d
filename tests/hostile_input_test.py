#!/usr/bin/env python3
"""Hostile input through the real program: huge, cut, binary and CRLF lines, input ending
anywhere, odd answers, a reader that goes away, unreadable input, a line a read error cuts
and a full disk. Each
session must end with status 0, write nothing to standard error and print the exact
transcript, except where the input cannot be read or the output written: then one message
names the error and the status is 1. Usage: hostile_input_test.py PROGRAM"""

import os
import pty
import re
import select
import time
import tty
import signal
import subprocess
import sys
import tempfile
import threading

from checks import run_checks

HELP = (
    b'Algumas notas:\n * Digite uma funcao trigonometrica com angulo em graus ou\n'
    b'radianos ou com uma razao e com ou sem amplitude.\n * Se quiser pode usar Notacao '
    b'Cientifica na amplitude e no\nargumento (angulo ou razao).\n * Ao digitarmos, por '
    b'exemplo "5x10^3sin(9x10^1)", "5x10^3" e\na amplitude, "sin" e o tipo de funcao e '
    b'"9x10^1" e o argumento.\nPor favor note que digitar "x" or "*" e o mesmo e que '
    b'digitar \n"x10^" ou "*10^" ou "E" ou "e" e o mesmo.\nDigite "1" e pressione o botao '
    b'"Enter" para comecar os calculos.')
PROMPT = b'Digite dados de trigonometria:\n\n'
QUESTION = b'Quer fazer mais calculos de trigonometria?\n\n( Sim -> 1 / Nao -> 0 )\n\n'
TIME_LIMIT = 120  # seconds; far beyond what any case needs, so only a hang reaches it
WAIT_LIMIT = 10  # seconds a front-end waits for the text it expects before giving up


def passes(*results):
    """The transcript after the help text of passes that printed `results`, each asked on."""
    return b''.join(PROMPT + b'=' + r + b'\n\n' + QUESTION for r in results)


def session(*results, awaiting_line=False):
    """A whole transcript: help text, passes, and a last prompt when a line was awaited."""
    return HELP + passes(*results) + (PROMPT if awaiting_line else b'')


# 'sin3', blanks and '0' make 99 bytes worth sin 30 deg = 0.5; every byte after the 99th
# would change it ('9' joins the argument, '[' turns the line into a bracketed one).
SIN30_IN_99 = b'sin3' + b' ' * 94 + b'0'
HIGH_BYTES = bytes(range(0x80, 0x100))

# (name, standard input, exact transcript). Values by hand: sin 30 = cos 60 = 0.5,
# sin 3 deg = 0.0523360, 2 x 3 = 6; a line without a function name is worth 0.
SESSIONS = [
    ('line of 1 MB', b'1\n' + SIN30_IN_99 + b'9[' * 524288 + b'\n1\ncos60\n0\n',
     session(b'0.5', b'0.5')),
    ('line of 99 bytes', b'1\n' + SIN30_IN_99 + b'\n0\n', session(b'0.5')),
    ('line of 100 bytes', b'1\n' + SIN30_IN_99 + b'9\n0\n', session(b'0.5')),
    ('line of 101 bytes', b'1\n' + SIN30_IN_99 + b'9[\n1\ncos60\n0\n', session(b'0.5', b'0.5')),
    ('line of 99 bytes without the 99th', b'1\n' + SIN30_IN_99[:98] + b'\n0\n',
     session(b'0.052336')),
    ('NUL ends the text of a line', b'1\nsin30\0cos60[2]\n1\n\0sin30\n0\n', session(b'0.5', b'0')),
    ('bytes 0x80 to 0xFF fit nowhere', b'1\nsin30' + HIGH_BYTES + b'\n1\n' + HIGH_BYTES + b'\n0\n',
     session(b'0.5', b'0')),
    ('degree sign after the angle', b'1\nsin30\xc2\xb0\n0\n', session(b'0.5')),
    ('CRLF line ends', b'1\r\nsin30\r\n1\r\n[2]*[3]\r\n0\r\n', session(b'0.5', b'6')),
    ('no input', b'', session()),
    ('only empty lines before the first answer', b'\n\n\r\n', session()),
    ('end inside the first answer', b'1', session(awaiting_line=True)),
    ('end right after the prompt', b'1\n', session(awaiting_line=True)),
    ('end in the middle of a line', b'1\nsin30', session(b'0.5')),
    ('end at the question', b'1\nsin30\n', session(b'0.5')),
    ('end inside the answer', b'1\nsin30\n1', session(b'0.5', awaiting_line=True)),
    ('end after a sign', b'1\nsin30\n-', session(b'0.5')),
]

# (answer, whether the dialogue goes on). An answer is read as "%d": blanks, empty lines
# and a sign come before the digits, the rest of its line is dropped, text that is not a
# number keeps the answer 1, and a number beyond int is never 1 (no wrap-around to 1).
ANSWERS = [
    (b' 1', True), (b'+1', True), (b'01', True), (b'1abc', True), (b'1.5', True),
    (b'abc', True), (b'\n1', True), (b'-1', False), (b'2', False), (b'0', False),
    (b'4294967297', False), (b'-4294967295', False), (b'99999999999999999999', False),
]


# Piped, a first answer that is not a number gets one line on standard error, outside the
# transcript, pointing to "trigcalc -" (the expression was likely meant for it).
POINTER_TO_DASH = (b'trigcalc: a primeira resposta nao e um numero: para avaliar expressoes '
                   b'lidas de um pipe, use "trigcalc -"\n')


def answer_sessions():
    """Each answer given first and given to the question whether to go on: (name, input,
    transcript, standard error)."""
    cases = []
    for answer, goes_on in ANSWERS:
        name = repr(answer.decode())
        number = answer.strip()[:2].lstrip(b'+-')[:1].isdigit()
        cases.append(('first answer ' + name, answer + b'\nsin30\n0\n',
                      session(b'0.5') if goes_on else session(),
                      b'' if number else POINTER_TO_DASH))
        cases.append(('later answer ' + name, b'1\nsin30\n' + answer + b'\ncos60\n0\n',
                      session(b'0.5', b'0.5') if goes_on else session(b'0.5')))
    return cases


def many_lines_session():
    """100,000 lines: the first answer, 49,999 pairs of line and answer, and a last line."""
    lines = b'1\n' + b'sin30\n1\n' * 49999 + b'cos60\n'
    assert lines.count(b'\n') == 100000
    return ('session of 100,000 lines', lines, session(*[b'0.5'] * 50000))


def run(program, stdin_bytes):
    with tempfile.TemporaryFile() as stdin_file:
        stdin_file.write(stdin_bytes)
        stdin_file.seek(0)
        done = subprocess.run([program], stdin=stdin_file, capture_output=True,
                              timeout=TIME_LIMIT, env=dict(os.environ, LC_ALL='C'))
    return done.returncode, done.stdout, done.stderr


def judge_ending(child, situation, expected_status=0, message=None):
    """Waits for a program fed endless input: it must end in time, with `expected_status`
    and nothing on standard error, or one line there holding `message`."""
    try:
        status = child.wait(timeout=TIME_LIMIT)
    except subprocess.TimeoutExpired:
        child.kill()
        child.wait()
        return ['still running %d s %s' % (TIME_LIMIT, situation)]
    err = child.stderr.read()
    child.stderr.close()
    problems = [] if status == expected_status else ['exit status %d' % status]
    if message is None and err:
        problems.append('standard error: %r' % err[:500])
    if message is not None and (message not in err or err.count(b'\n') != 1):
        problems.append('standard error %r is not one line naming %r' % (err[:500], message))
    return problems


def check_session(program, name, stdin_bytes, expected, expected_err=b''):
    status, out, err = run(program, stdin_bytes)
    problems = []
    if status != 0:
        problems.append('exit status %d' % status)
    if err != expected_err:
        problems.append('standard error: %r' % err[:500])
    if out != expected:
        at = next((k for k in range(min(len(out), len(expected))) if out[k] != expected[k]),
                  min(len(out), len(expected)))
        problems.append('transcript differs at byte %d: expected %r, got %r (lengths %d, %d)' %
                        (at, expected[at:at + 60], out[at:at + 60], len(expected), len(out)))
    return problems


def endless_input(pipe, chunk=b'sin30\n1\n'):
    """Writes `chunk` (by default 'sin30' and the answer 1) until the reader goes away."""
    try:
        while True:
            pipe.write(chunk * 512)
    except (BrokenPipeError, ValueError, OSError):
        pass


def check_vanishing_reader(program, bytes_read, arguments=(), first=b'1\n',
                           chunk=b'sin30\n1\n', status=0):
    """The reader of standard output reads `bytes_read` bytes and goes away, while the input
    (`first`, then `chunk` again and again) never ends: only noticing the failed writes ends
    the program, quietly: the dialogue with status 0, a command-line mode by SIGPIPE as
    every filter does."""
    child = subprocess.Popen([program, *arguments], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
    child.stdin.write(first)
    writer = threading.Thread(target=endless_input, args=(child.stdin, chunk), daemon=True)
    writer.start()
    if bytes_read:
        child.stdout.read(bytes_read)
    child.stdout.close()
    return judge_ending(child, 'after its reader went away', status)


def check_full_output(program):
    """Standard output is /dev/full: every write fails, the input never ends; the output lost
    is a failure, named, with status 1."""
    child = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=open('/dev/full', 'wb'),
                             stderr=subprocess.PIPE)
    child.stdin.write(b'1\n')
    threading.Thread(target=endless_input, args=(child.stdin,), daemon=True).start()
    return judge_ending(child, 'with every write failing', 1, b'No space left on device')


def check_unreadable_input(program, make_stdin, reason):
    """Standard input that cannot be read: the help text, then one message naming `reason`
    and status 1; a read error is no end of input."""
    with tempfile.TemporaryDirectory() as directory:
        done = subprocess.run([program], capture_output=True, timeout=TIME_LIMIT,
                              **make_stdin(directory))
    problems = [] if done.returncode == 1 else ['exit status %d' % done.returncode]
    if reason not in done.stderr or done.stderr.count(b'\n') != 1:
        problems.append('standard error %r is not one line naming %r' % (done.stderr, reason))
    if done.stdout != HELP:
        problems.append('transcript %r is not the help text alone' % done.stdout[-80:])
    return problems


def proc_field(pid, name, pattern):
    with open('/proc/%d/%s' % (pid, name)) as f:
        return re.search(pattern, f.read(), re.M).group(1)


def check_line_cut_by_read_error(program):
    """`-` reading a terminal (raw) that goes away after a whole line and the start of the
    next: reads fail with EIO there, cutting sin601 to sin6. The whole line is evaluated, the
    cut one is not (it would print sin 6 deg); one message naming the error, status 1. The
    terminal goes only once the program has read sin6 and waits in its next read."""
    controller, terminal = pty.openpty()
    tty.setraw(terminal)
    child = subprocess.Popen([program, '-'], stdin=terminal, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
    os.close(terminal)
    os.write(controller, b'sin30\n')
    problems = wait_for(child.stdout, b'0.5\n')  # written out as it waits for more
    reads = int(proc_field(child.pid, 'io', r'^syscr: (\d+)$'))
    os.write(controller, b'sin6')
    deadline = time.monotonic() + WAIT_LIMIT
    while time.monotonic() < deadline and not (
            int(proc_field(child.pid, 'io', r'^syscr: (\d+)$')) > reads and
            proc_field(child.pid, 'stat', r'\) (\S)') == 'S'):
        time.sleep(0.01)
    os.close(controller)  # the terminal goes away: the next read fails with EIO
    out, err = child.communicate(timeout=TIME_LIMIT)
    if child.returncode != 1:
        problems.append('exit status %d' % child.returncode)
    if out:
        problems.append('values %r after the whole line\'s' % out)
    if b'Input/output error' not in err or err.count(b'\n') != 1:
        problems.append('standard error %r is not one line naming EIO' % err)
    return problems


# A front-end's conversation: each text to write, and the text the program must have shown
# (from the end of the previous expected text on) before the front-end writes the next one.
# Values by hand: sin 30 deg = 0.5, 2 x 3 = 6.
CONVERSATION = [
    (None, HELP),
    (b'1\n', PROMPT),
    (b'sin30\n', b'=0.5\n\n' + QUESTION),
    (b'1\n', PROMPT),
    (b'[2]*[3]\n', b'=6\n\n' + QUESTION),
    (b'0\n', b''),
]


def wait_for(pipe, expected):
    """Reads `pipe` until it has given `expected`; a problem when it gives anything else or
    when WAIT_LIMIT seconds pass first."""
    got = b''
    while len(got) < len(expected):
        ready, _, _ = select.select([pipe], [], [], WAIT_LIMIT)
        if not ready:
            return ['waited %d s for %r, got %r' % (WAIT_LIMIT, expected[-40:], got[-40:])]
        chunk = os.read(pipe.fileno(), len(expected) - len(got))
        if not chunk:
            return ['output ended before %r' % expected[len(got):][:40]]
        got += chunk
    return [] if got == expected else ['expected %r, got %r' % (expected[:60], got[:60])]


def wait_for_end(pipe):
    """Reads `pipe` to its end, which must come within WAIT_LIMIT seconds with nothing more."""
    ready, _, _ = select.select([pipe], [], [], WAIT_LIMIT)
    if not ready:
        return ['output still open %d s after the last answer' % WAIT_LIMIT]
    rest = pipe.read()
    return ['text after the last answer: %r' % rest[:60]] if rest else []


def check_front_end(program):
    """Drives the program through pipes as a front-end does: it writes only once the program
    has shown what comes before, so output held back until more input arrives is a hang."""
    child = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
    problems = []
    for to_write, expected in CONVERSATION:
        if to_write is not None:
            child.stdin.write(to_write)
            child.stdin.flush()
        problems = wait_for(child.stdout, expected)
        if problems:
            child.kill()
            break
    child.stdin.close()
    if not problems:
        problems = wait_for_end(child.stdout)
    return problems + judge_ending(child, 'after the answer 0')


def directory_stdin(directory):
    return {'stdin': os.open(directory, os.O_RDONLY)}


def closed_stdin(_directory):
    return {'stdin': subprocess.DEVNULL, 'preexec_fn': lambda: os.close(0)}


def main():
    program = sys.argv[1]
    checks = [(case[0], lambda c=case: check_session(program, *c))
              for case in SESSIONS + answer_sessions() + [many_lines_session()]]
    checks += [
        ('front-end waiting for each prompt and question', lambda: check_front_end(program)),
        ('reader gone before the first byte', lambda: check_vanishing_reader(program, 0)),
        ('reader gone after the help text', lambda: check_vanishing_reader(program, len(HELP))),
        ('reader gone after 100 kB', lambda: check_vanishing_reader(program, 100000)),
        ('reader gone while standard input is evaluated',
         lambda: check_vanishing_reader(program, 4, ['-'], b'', b'sin30\n', -signal.SIGPIPE)),
        ('standard output is a full device', lambda: check_full_output(program)),
        ('standard input is a directory',
         lambda: check_unreadable_input(program, directory_stdin, b'Is a directory')),
        ('standard input is closed',
         lambda: check_unreadable_input(program, closed_stdin, b'Bad file descriptor')),
        ('a line cut by a read error', lambda: check_line_cut_by_read_error(program)),
    ]
    return run_checks(checks)


if __name__ == '__main__':
    sys.exit(main())
