#!/usr/bin/env python3
"""The exact mode's bounds on its worst lines, in one run: for each line, the processor time
and peak memory of the program itself and of its bounded child (sampled from /proc every
millisecond while they run), the status and the first line of the report; then, in the
interactive loop at a pseudo-terminal, the time from Ctrl-C to the next prompt while a line
is computed in the child (the child stopped, so that the line is still being computed
whatever the machine's speed). Not a test: figures for docs/exact.md.
Usage: bench/bounds.py PROGRAM"""

import os
import pty
import signal
import subprocess
import sys
import time

S8 = 'rad ' + '+'.join(['tg9^164000-tg9^164000'] * 4)
PI_POWERS = '*'.join(['\u03c0^2^19'] * 12) + '+1'
SLOW_DECISION = '[tan1.5]x[tan2.5]x[tan3.5]x[tan0.001]-[tan0.001]x[tan3.5]x[tan2.5]x[tan1.5]'
LINES = [('S8', ['-n', '-e', '-d1000', S8]),
         ('S8 at 6 digits', ['-n', '-e', S8]),
         ('S8 + 1e-5000 with --form', ['-n', '-f', '-d1000', S8 + '+1e-5000']),
         ('twelve powers of pi, and 1', ['-n', '-e', '-d1000', PI_POWERS]),
         ('a decision cut at its bound', ['-e', '-d1000', SLOW_DECISION])]
TICKS = os.sysconf('SC_CLK_TCK')


def sample(pid, seen):
    """Records in `seen[pid]` the process's processor seconds and peak resident KiB."""
    try:
        with open('/proc/%d/stat' % pid) as f:
            fields = f.read().rsplit(')', 1)[1].split()
        with open('/proc/%d/status' % pid) as f:
            peak = [int(l.split()[1]) for l in f if l.startswith('VmHWM:')]
    except (OSError, IndexError):
        return
    seconds = (int(fields[11]) + int(fields[12])) / TICKS
    if peak:
        seen[pid] = (max(seconds, seen.get(pid, (0, 0))[0]), max(peak[0], seen.get(pid, (0, 0))[1]))


def children(pid):
    try:
        with open('/proc/%d/task/%d/children' % (pid, pid)) as f:
            return [int(c) for c in f.read().split()]
    except OSError:
        return []


def measure(program, arguments):
    """(status, wall seconds, the program's (seconds, KiB), its children's, report's line)."""
    started = time.monotonic()
    child = subprocess.Popen([program] + arguments, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, env=dict(os.environ, LC_ALL='C'))
    seen = {}
    while child.poll() is None:
        sample(child.pid, seen)
        for grandchild in children(child.pid):
            sample(grandchild, seen)
        time.sleep(0.001)
    wall = time.monotonic() - started
    err = child.stderr.read().decode(errors='replace').split('\n')[0]
    own = seen.pop(child.pid, (0, 0))
    rest = (sum(s for s, _ in seen.values()), max([k for _, k in seen.values()] or [0]))
    return child.returncode, wall, own, rest, err


def ctrl_c_to_prompt(program):
    """Seconds from Ctrl-C to the loop's next prompt while a line is computed in the child."""
    pid, terminal = pty.fork()
    if pid == 0:
        os.execve(program, [program, '-e', '-d1000', '-'],
                  dict(os.environ, LC_ALL='C', TERM='dumb', TRIGCALC_HISTORY=''))
    shown = b''
    while not shown.endswith(b'> '):
        shown += os.read(terminal, 1000)
    os.write(terminal, SLOW_DECISION.encode() + b'\r')
    while not children(pid):
        time.sleep(0.001)
    os.kill(children(pid)[0], signal.SIGSTOP)
    shown = b''
    started = time.monotonic()
    os.write(terminal, b'\x03')
    while b'interrompido' not in shown or not shown.endswith(b'> '):
        shown += os.read(terminal, 1000)
    elapsed = time.monotonic() - started
    os.kill(pid, signal.SIGTERM)
    os.waitpid(pid, 0)
    return elapsed


def main():
    program = os.path.abspath(sys.argv[1])
    print('| line | status | wall s | program s | program MiB | child s | child MiB | report |')
    print('|---|---|---|---|---|---|---|---|')
    for name, arguments in LINES:
        status, wall, own, rest, err = measure(program, arguments)
        print('| %s | %d | %.2f | %.2f | %.1f | %.2f | %.1f | %s |' % (
            name, status, wall, own[0], own[1] / 1024, rest[0], rest[1] / 1024, err[:70]))
    print('Ctrl-C to the prompt: %.3f s' % ctrl_c_to_prompt(program))


if __name__ == '__main__':
    main()
