#!/usr/bin/env python3
"""The command line: one row per command, with its arguments, standard input, the exact
standard output, whether standard error must be empty and the exit status; then the one-shot
values checked against the dialogue's on the golden sessions' lines (a reader of standard
output that goes away is among the hostile-input cases). Usage: command_line_test.py PROGRAM [--quick]
(--quick runs only the rows marked for a slow runner, such as the Windows build under wine)."""

import os
import subprocess
import sys
import tempfile

from checks import run_checks

TIME_LIMIT = 60  # seconds; only a hang reaches it
SESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'sessions')
SIN30_IN_99 = b'sin3' + b' ' * 94 + b'0'  # 99 bytes worth sin 30 deg; a 100th '9' would change it
USAGE_START = b'Uso: trigcalc'

# (name, arguments, standard input, expected standard output or None for "starts with
# USAGE_START", standard error empty, status, quick). Values by hand: sin 30 = cos 60 = 0.5,
# sin 1 deg = 0.0174524064372835, the double nearest 0.1 is 0.1000000000000000055511,
# the double nearest pi is 3.14159265358979311600.
ROWS = [
    ('one expression', ['sin30'], b'', b'0.5\n', True, 0, True),
    ('several expressions, a bracketed one', ['sin30', 'cos60', '[sin30]+[2]*[cos60]'], b'',
     b'0.5\n0.5\n1.5\n', True, 0, True),
    ('decimal comma', ['sin30,5'], b'', b'0.507538\n', True, 0, False),
    ('-- before an expression with a minus', ['--', '-2sin30'], b'', b'-1\n', True, 0, True),
    ('options end at the first expression', ['sin30', '-2sin30'], b'', b'0.5\n-1\n', True, 0, False),
    ('ten digits', ['--digits=10', 'sin1'], b'', b'0.01745240644\n', True, 0, True),
    ('seventeen digits read back exactly', ['-d', '17', '[0.1]', '[pi]', 'cos0'], b'',
     b'0.10000000000000001\n3.1415926535897931\n1\n', True, 0, False),
    ('one digit', ['-d1', '[pi]', '[5x10^3]/[pi]'], b'', b'3\n2e+03\n', True, 0, False),
    ('no function named', ['1+1'], b'', b'0\n', False, 1, True),
    ('letters naming no function', ['abc'], b'', b'0\n', False, 1, False),
    ('a bracket naming no function', ['[sin30]+[arc]'], b'', b'0.5\n', False, 1, False),
    ('a numeric bracket needs no function', ['[2]*[3]', '[]'], b'', b'6\n0\n', True, 0, False),
    ('line of 99 bytes', [SIN30_IN_99.decode()], b'', b'0.5\n', True, 0, False),
    ('line of 100 bytes is cut', [SIN30_IN_99.decode() + '9'], b'', b'0.5\n', False, 1, False),
    ('standard input', ['-'], b'sin30\ncos60\n', b'0.5\n0.5\n', True, 0, True),
    ('empty lines and no final newline', ['-'], b'\nsin30\n\n\ncos0', b'0.5\n1\n', True, 0, False),
    ('CRLF lines', ['-'], b'sin30\r\n[2]*[3]\r\n\r\n', b'0.5\n6\n', True, 0, False),
    ('empty standard input', ['-'], b'', b'', True, 0, False),
    ('a line not understood among others', ['-'], b'sin30\nabc\ncos60\n', b'0.5\n0\n0.5\n',
     False, 1, False),
    ('a long line on standard input', ['-'], SIN30_IN_99 + b'9[' * 5000 + b'\ncos60\n',
     b'0.5\n0.5\n', False, 1, False),
    ('"-" among expressions', ['sin30', '-', 'cos0'], b'[2]*[3]\n', b'0.5\n6\n1\n', True, 0,
     False),
    ('digits and standard input', ['-d', '3', '-'], b'[pi]\n', b'3.14\n', True, 0, False),
    ('help', ['-h'], b'', None, True, 0, False),
    ('long help, expressions not evaluated', ['--help', 'sin30'], b'', None, True, 0, False),
    ('version', ['-V'], b'', b'trigcalc 1.1.0\n', True, 0, True),
    ('long version', ['--version'], b'', b'trigcalc 1.1.0\n', True, 0, False),
    ('unknown long option', ['--foo', 'sin30'], b'', b'', False, 2, True),
    ('unknown short option', ['-x'], b'', b'', False, 2, False),
    ('a minus expression without --', ['-2sin30'], b'', b'', False, 2, False),
    ('digits missing', ['-d'], b'', b'', False, 2, False),
    ('long digits missing', ['--digits'], b'', b'', False, 2, False),
    ('digits zero', ['-d', '0', 'sin30'], b'', b'', False, 2, False),
    ('digits eighteen', ['--digits=18', 'sin30'], b'', b'', False, 2, False),
    ('digits not a number', ['--digits=abc', 'sin30'], b'', b'', False, 2, False),
    ('digits empty', ['--digits=', 'sin30'], b'', b'', False, 2, False),
    ('digits not whole', ['-d', '5.5', 'sin30'], b'', b'', False, 2, False),
    ('help given a value', ['--help=1'], b'', b'', False, 2, False),
]

# Each diagnostic names what went wrong: (row name, text standard error must contain).
NAMED_IN_ERRORS = {
    'no function named': b'"1+1": nenhuma funcao trigonometrica reconhecida',
    'a bracket naming no function': b'"[sin30]+[arc]"',
    'line of 100 bytes is cut': b'mais de 99 bytes',
    'unknown long option': b'--foo',
    'unknown short option': b'-x',
    'a minus expression without --': b'-2',
    'digits missing': b'-d',
    'long digits missing': b'--digits',
    'digits eighteen': b'"18"',
    'digits not a number': b'"abc"',
    'help given a value': b'--help',
}


def run(program, arguments, stdin_bytes):
    with tempfile.TemporaryFile() as stdin_file:
        stdin_file.write(stdin_bytes)
        stdin_file.seek(0)
        done = subprocess.run([program] + arguments, stdin=stdin_file, capture_output=True,
                              timeout=TIME_LIMIT)
    return done.returncode, done.stdout, done.stderr


def check_row(program, name, arguments, stdin_bytes, expected, quiet, status):
    got_status, out, err = run(program, arguments, stdin_bytes)
    problems = []
    if got_status != status:
        problems.append('exit status %d, expected %d' % (got_status, status))
    if expected is None and not out.startswith(USAGE_START):
        problems.append('standard output %r is not the usage' % out[:80])
    if expected is not None and out != expected:
        problems.append('standard output %r, expected %r' % (out[:200], expected[:200]))
    if quiet and err:
        problems.append('standard error: %r' % err[:300])
    if not quiet and err.count(b'\n') < 1:
        problems.append('nothing on standard error')
    if status == 1 and err.count(b'\n') != 1:
        problems.append('expected one report line, got %r' % err[:300])
    if status == 2 and b'--help' not in err:
        problems.append('the diagnostic does not point at --help: %r' % err)
    named = NAMED_IN_ERRORS.get(name)
    if named is not None and named not in err:
        problems.append('standard error %r does not name %r' % (err[:300], named))
    return problems


def session_lines_and_results(session):
    """The expression lines of a golden session and the values the dialogue printed for
    them: the input is the first answer, then a line and an answer per pass."""
    with open(os.path.join(SESSIONS, session + '.in'), 'rb') as f:
        lines = f.read().split(b'\n')[1::2]
    with open(os.path.join(SESSIONS, session + '.out'), 'rb') as f:
        results = [line[1:] for line in f.read().split(b'\n') if line.startswith(b'=')]
    return lines[:len(results)], results


def check_agreement(program, session):
    """Every non-empty line of the session, evaluated from standard input, prints the value
    the dialogue printed for it."""
    lines, results = session_lines_and_results(session)
    kept = [(line, result) for line, result in zip(lines, results) if line]
    _, out, _ = run(program, ['-'], b''.join(line + b'\n' for line, _ in kept))
    values = out.split(b'\n')[:-1]
    if len(values) != len(kept):
        return ['%d values for %d lines' % (len(values), len(kept))]
    return ['%r: %r, the dialogue printed %r' % (line, value, result)
            for (line, result), value in zip(kept, values) if value != result][:10]


def check_dialogue_digits(program):
    """--digits applies to the dialogue too; with no expression the dialogue runs."""
    status, out, err = run(program, ['--digits=10'], b'1\nsin1\n0\n')
    problems = [] if status == 0 and not err else ['status %d, stderr %r' % (status, err)]
    if b'Digite dados de trigonometria:\n\n=0.01745240644\n\n' not in out:
        problems.append('no =0.01745240644 in the transcript %r' % out[-200:])
    return problems


def main():
    program = os.path.abspath(sys.argv[1]) if os.path.exists(sys.argv[1]) else sys.argv[1]
    quick = '--quick' in sys.argv[2:]
    checks = [(name, lambda r=row: check_row(program, *r[:6]))
              for row in ROWS for name in [row[0]] if row[6] or not quick]
    if not quick:
        checks += [('agreement with the dialogue: %s' % s, lambda s=s: check_agreement(program, s))
                   for s in ('term_functions', 'term_normalisation', 'bracketed_lines',
                             'runtime_agreement')]
        checks += [('--digits in the dialogue', lambda: check_dialogue_digits(program))]
    return run_checks(checks)


if __name__ == '__main__':
    sys.exit(main())
