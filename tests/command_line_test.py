#!/usr/bin/env python3
"""The command line: one row per command (a Row: its arguments, standard input, the exact
standard output, whether standard error must be empty, the exit status), with the text its
diagnostic must hold; the reports of
expressions read otherwise than written (column and kind), random expressions in the
documented form that must give none, failures of input and output, and signals; then the
one-shot values checked against the dialogue's on the golden sessions' lines (a reader of
standard output that goes away is among the hostile-input cases).
Usage: command_line_test.py PROGRAM [--quick]
(--quick runs only the rows marked for a slow runner, such as the Windows build under wine)."""

import dataclasses
import os
import pty
import math
import random
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unicodedata

from checks import run_checks

TIME_LIMIT = 60  # seconds; only a hang reaches it
SESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'sessions')
# 99 bytes worth sin 30 deg, the argument in parentheses; a 100th '9' would change it.
SIN30_IN_99 = b'sin' + b'(' * 47 + b'30' + b')' * 47
USAGE_START = b'Uso: trigcalc'


@dataclasses.dataclass(frozen=True)
class Row:
    """One command and what it must give; a row names only what differs from the defaults."""
    name: str
    arguments: list
    stdin: bytes = b''
    stdout: object = b''  # the exact bytes, a compiled pattern they match, or None: the usage
    stderr_empty: bool = True  # False: standard error must hold a diagnostic
    status: int = 0
    quick: bool = False  # run with --quick too (a slow runner: the Windows build under wine)
    how: dict = None  # 'stdout': a file to write to or 'closed'; 'stdin': 'directory' or
    #                   'closed'; 'merged': standard error into standard output
    locale: str = 'C'  # the locale it runs in: 'C.UTF-8' for the signs of forms and units


TG_TABLE = (b'0\t0\n15\t0.267949\n30\t0.57735\n45\t1\n60\t1.73205\n75\t3.73205\n90\tnan\n'
            b'105\t-3.73205\n120\t-1.73205\n135\t-1\n150\t-0.57735\n165\t-0.267949\n180\t0\n')

# Values by hand: sin 30 = cos 60 = 0.5, sin 1 deg = 0.0174524064372835, the double nearest
# 0.1 is 0.1000000000000000055511, the double nearest pi is 3.14159265358979311600.
ROWS = [
    Row('one expression', ['sin30'], stdout=b'0.5\n', quick=True),
    Row('several expressions, a bracketed one', ['sin30', 'cos60', '[sin30]+[2]*[cos60]'],
        stdout=b'0.5\n0.5\n1.5\n', quick=True),
    Row('decimal comma', ['sin30,5'], stdout=b'0.507538\n'),
    # The natural reading: ordinary arithmetic, by hand: sen 30 = 1/2, sen 60 = sqrt(3)/2.
    Row('--natural', ['--natural', 'sen(30)*2', '2*sen30', 'sen30/2', 'SEN30', 'raiz 16'],
        stdout=b'1\n1\n0.25\n0.5\n4\n', quick=True),
    Row('-n on standard input', ['-n', '-'], stdin=b'sin30 + cos60\n2sen30cos30\n',
        stdout=b'1\n0.866025\n'),
    Row('-n with --exact and --digits', ['-n', '-e', '-d20', 'sen(60)^2', 'sen\u00b230+cos\u00b230'],
        stdout=b'0.75\n1\n'),
    Row('-n with -d17 in doubles', ['-n', '-d17', 'sen(60)^2'], stdout=b'0.74999999999999989\n'),
    # The last answer: each expression's value for the next, arguments and piped lines alike; a
    # line without a value leaves it as it was. By hand: sen 30 = 1/2, 2 x 1/2 = 1.
    Row('-n, ans is the value before', ['-n', 'sen 30', 'ans*2', 'resp + ans'],
        stdout=b'0.5\n1\n2\n', quick=True),
    Row('-n, ans on standard input', ['-n', '-'], stdin=b'sen 30\n1/0\nans*4\n',
        stdout=b'0.5\nnan\n2\n', stderr_empty=False, status=1),
    Row('-n -e, ans exact', ['-n', '-e', '-d20', '1/3', 'ans*3', '\u03c0/6', 'sen ans'],
        stdout=b'0.33333333333333333333\n1\n0.52359877559829887308\n0.5\n'),
    # Conversions, by hand: 30 degrees are pi/6 radians, pi/6 radians 30 degrees, 1 radian
    # 180/pi = 57.2958 degrees, 100 grads 90 degrees; arctg 0.75 = 36.8698976458440...°, whose
    # 0.8698976458440 x 60 = 52.193858750641' and 0.193858750641 x 60 = 11.63152503846".
    Row('-n, conversions', ['-n', '30\u00b0 em rad', '\u03c0/6 em graus', '1 rad em graus',
                            '100 grad em graus', '90 em grad', 'arctg 0,75 em gms'],
        stdout='\u03c0/6 \u2248 0.523599\n30\u00b0\n57.2958\u00b0\n90\u00b0\n100 grad\n'
               '36\u00b052\'11,63"\n'.encode(), locale='C.UTF-8'),
    Row('-n -e, conversions exact', ['-n', '-e', '30\u00b0 em rad', 'arctg 0,75 em gms'],
        stdout='\u03c0/6 \u2248 0.523599\n36\u00b052\'11,63"\n'.encode(),
        locale='C.UTF-8'),
    Row('-n, conversions outside UTF-8', ['-n', '--', '-45 em rad', '30,5 em gms', '2 rad em graus'],
        stdout=b'-pi/4 ~ -0.785398\n30 graus 30\'\n114.592 graus\n'),
    Row('-n, a line it cannot read: nan, status 1', ['-n', 'sen', '2+2'], stdout=b'nan\n4\n',
        stderr_empty=False, status=1),
    Row('-- before an expression with a minus', ['--', '-2sin30'], stdout=b'-1\n', quick=True),
    Row('options end at the first expression', ['sin30', '-2sin30'], stdout=b'0.5\n-1\n'),
    Row('ten digits', ['--digits=10', 'sin1'], stdout=b'0.01745240644\n', quick=True),
    Row('seventeen digits read back exactly', ['-d', '17', '[0.1]', '[pi]', 'cos0'],
        stdout=b'0.10000000000000001\n3.1415926535897931\n1\n'),
    Row('one digit', ['-d1', '[pi]', '[5x10^3]/[pi]'], stdout=b'3\n2e+03\n'),
    Row('no function named', ['1+1'], stdout=b'0\n', stderr_empty=False, status=1, quick=True),
    Row('letters naming no function', ['abc'], stdout=b'0\n', stderr_empty=False, status=1),
    Row('a bracket naming no function', ['[sin30]+[arc]'], stdout=b'0.5\n', stderr_empty=False,
        status=1),
    Row('a numeric bracket needs no function', ['[2]*[3]', '[5x10^3]'], stdout=b'6\n5000\n'),
    # sin 60 = 0.866025, 7 sin 30 = 3.5: the values of parentheses deleted, which are reported;
    # those around one number, or around the whole argument, group nothing to take apart.
    Row('a name and its argument given as two arguments', ['sen', '30'], stdout=b'0\n0\n',
        stderr_empty=False, status=1),
    Row('a no-break space pasted into a piped line', ['-'], stdin=b'sen\xc2\xa030\n',
        stdout=b'0.5\n', stderr_empty=False, status=1),
    Row('the dialogue given an expression on a pipe', [], stdin=b'sen30\n',
        stdout=re.compile(rb'Algumas notas:\n.*"Enter" para comecar os calculos\.'
                          rb'Digite dados de trigonometria:\n\n\Z', re.S), stderr_empty=False),
    Row('parentheses that do not group', ['sen(30)*2', '(1+2)*3sin30'],
        stdout=b'0.866025\n3.5\n', stderr_empty=False, status=1),
    Row('parentheses that group nothing apart', ['(-5)*3sin30', 'sin((30)+60)', 'sin(30)\xb0',
                                                 'sen(5*6)', 'rad(2sin(pi/6))'],
        stdout=b'-7.5\n1\n0.5\n0.5\n1\n'),
    Row('the ordinal sign after the angle is a degree sign', ['sen 30\u00ba', 'sen30 \u00ba'],
        stdout=b'0.5\n0.5\n'),
    Row('line of 99 bytes', [SIN30_IN_99.decode()], stdout=b'0.5\n'),
    Row('line of 100 bytes is cut', [SIN30_IN_99.decode() + '9'], stdout=b'0.5\n',
        stderr_empty=False, status=1),
    Row('standard input', ['-'], stdin=b'sin30\ncos60\n', stdout=b'0.5\n0.5\n', quick=True),
    Row('empty lines and no final newline', ['-'], stdin=b'\nsin30\n\n\ncos0', stdout=b'0.5\n1\n'),
    Row('CRLF lines', ['-'], stdin=b'sin30\r\n[2]*[3]\r\n\r\n', stdout=b'0.5\n6\n'),
    Row('empty standard input', ['-']),
    Row('a line not understood among others', ['-'], stdin=b'sin30\nabc\ncos60\n',
        stdout=b'0.5\n0\n0.5\n', stderr_empty=False, status=1),
    # A carriage return (vertical tab, form feed) inside a natural line joins what it
    # separates into one product, 1/2 x 1/2 x 1: said, never silent.
    Row('carriage returns inside a natural line', ['-n', '-'], stdin=b'sen30\rcos60\rtg45\r',
        stdout=b'0.25\n', stderr_empty=False, status=1),
    Row('a long line on standard input', ['-'], stdin=SIN30_IN_99 + b'9[' * 5000 + b'\ncos60\n',
        stdout=b'0.5\n0.5\n', stderr_empty=False, status=1),
    Row('"-" among expressions', ['sin30', '-', 'cos0'], stdin=b'[2]*[3]\n',
        stdout=b'0.5\n6\n1\n'),
    Row('digits and standard input', ['-d', '3', '-'], stdin=b'[pi]\n', stdout=b'3.14\n'),
    Row('help', ['-h'], stdout=None),
    Row('long help, expressions not evaluated', ['--help', 'sin30'], stdout=None),
    Row('version', ['-V'], stdout=b'trigcalc 1.1.0\n', quick=True),
    Row('long version', ['--version'], stdout=b'trigcalc 1.1.0\n'),
    Row('unknown long option', ['--foo', 'sin30'], stderr_empty=False, status=2, quick=True),
    Row('unknown short option', ['-x'], stderr_empty=False, status=2),
    Row('a minus expression without --', ['-2sin30'], stderr_empty=False, status=2),
    Row('digits missing', ['-d'], stderr_empty=False, status=2),
    Row('long digits missing', ['--digits'], stderr_empty=False, status=2),
    Row('digits zero', ['-d', '0', 'sin30'], stderr_empty=False, status=2),
    Row('digits eighteen', ['--digits=18', 'sin30'], stderr_empty=False, status=2),
    Row('digits not a number', ['--digits=abc', 'sin30'], stderr_empty=False, status=2),
    Row('digits empty', ['--digits=', 'sin30'], stderr_empty=False, status=2),
    Row('digits not whole', ['-d', '5.5', 'sin30'], stderr_empty=False, status=2),
    Row('help given a value', ['--help=1'], stderr_empty=False, status=2),
    # Pictures. Tables by hand: tg 15 = 2 - sqrt 3 = 0.267949, tg 30 = sqrt 3/3 = 0.57735,
    # tg 60 = sqrt 3, tg 75 = 2 + sqrt 3 = 3.73205, tg 90 has no value; exactly, so that tg 180
    # is 0; sen 15 = (sqrt 6 - sqrt 2)/4 = 0.258819, sen 75 = (sqrt 6 + sqrt 2)/4 = 0.965926.
    Row('--table of one period, 15 degrees apart', ['-t', '-e', 'tg x'], stdout=TG_TABLE),
    Row('--graph on a pipe is the table', ['-g', '-e', 'tg x'], stdout=TG_TABLE),
    Row('--table: open bounds left out', ['-t', '-e', 'tg x, 0 < x < 180'],
        stdout=b''.join(TG_TABLE.splitlines(True)[1:-1])),
    Row('--table: bounds no multiple of the step', ['-t', '2x, 1 <= x <= 50'],
        stdout=b'1\t2\n' + b''.join(b'%d\t%d\n' % (x, 2 * x) for x in range(3, 49, 3)) +
        b'50\t100\n'),
    Row('--table in radians, pi in ASCII', ['-t', '-e', 'sen x; cos x, 0 <= x <= pi'],
        stdout=b'0\t0\t1\npi/12\t0.258819\t0.965926\npi/6\t0.5\t0.866025\n'
               b'pi/4\t0.707107\t0.707107\npi/3\t0.866025\t0.5\n5pi/12\t0.965926\t0.258819\n'
               b'pi/2\t1\t0\n7pi/12\t0.965926\t-0.258819\n2pi/3\t0.866025\t-0.5\n'
               b'3pi/4\t0.707107\t-0.707107\n5pi/6\t0.5\t-0.866025\n'
               b'11pi/12\t0.258819\t-0.965926\npi\t0\t-1\n'),
    Row('--table with --form', ['-t', '-f', 'sen x, 0 <= x <= 180'],
        stdout=re.compile(rb'0\t0\n15\t\(sqrt\(6\) - sqrt\(2\)\)/4 ~ 0\.258819\n30\t0\.5\n'
                          rb'45\tsqrt\(2\)/2 ~ 0\.707107\n(.*\n){8}180\t0\n\Z')),
    Row('--table of an angle: its facts', ['-t', 'cos 300'],
        stdout=re.compile(rb'theta = 300: quadrante IV\nangulo de referencia: 60\n'
                          rb'sen 300 = -sen 60 = .*0\.866025\ncos 300 = cos 60 = (1/2 ~ )?0\.5\n'
                          rb'tg 300 = -tg 60 = .*\ncotg 300 = -cotg 60 = .*\n'
                          rb'sec 300 = sec 60 = 2\ncossec 300 = -cossec 60 = .*\n\Z')),
    Row('--table of a line without x: its value', ['-t', 'sen 30 + 1'], stdout=b'1.5\n'),
    Row('--graph with a value it does not take', ['--graph=png', 'sen x'], stderr_empty=False,
        status=2),
    Row('help names --graph and --table', ['--help'],
        stdout=re.compile(rb'Uso: trigcalc.*\n  -g, --graph\[=svg\]\n.*\n  -t, --table ', re.S)),
    Row('help names --form and its values', ['--help'],
        stdout=re.compile(rb'Uso: trigcalc.*\n  -f, --form\[=beside\|only\]\n.*=beside, o padrao, '
                          rb'a forma e os algarismos,\n +=only so a forma; implica --exact', re.S)),
    Row('form beside, as --form alone', ['--form=beside', 'sen60', '[1]/[3]'],
        stdout=b'sqrt(3)/2 ~ 0.866025\n1/3 ~ 0.333333\n'),
    Row('form value unknown', ['--form=both', 'sin30'], stderr_empty=False, status=2),
    Row('form value empty', ['--form=', 'sin30'], stderr_empty=False, status=2),
    # Failures are never reported as success.
    Row('full disk, an expression', ['sin30'], stderr_empty=False, status=1,
        how={'stdout': '/dev/full'}),
    Row('full disk, standard input', ['-'], stdin=b'sin30\n', stderr_empty=False, status=1,
        how={'stdout': '/dev/full'}),
    Row('full disk, help', ['--help'], stderr_empty=False, status=1, how={'stdout': '/dev/full'}),
    Row('standard input a directory', ['-'], stderr_empty=False, status=1,
        how={'stdin': 'directory'}),
    Row('standard input closed', ['-'], stderr_empty=False, status=1, how={'stdin': 'closed'}),
    Row('standard output closed', ['sin30'], stdout=None, stderr_empty=False, status=1,
        how={'stdout': 'closed'}),
    # Reports quote the expression escaped, on one line, after the values before them.
    Row('escape sequence on standard input', ['-'], stdin=b'zz\x1b[2J[s]\n', stdout=b'0\n',
        stderr_empty=False, status=1),
    Row('window title sequence in an argument', ['\x1b]2;x\x07sin30'], stdout=b'0\n',
        stderr_empty=False, status=1),
    Row('a newline inside an argument', ['1+1\nfoo'], stdout=b'0\n', stderr_empty=False, status=1),
    Row('values and reports in order', ['sin30', '1+1', 'cos0', 'abc'],
        stdout=re.compile(rb'0.5\n0\ntrigcalc: <argumentos>:2:1: [^\n]*\n.*\n1\n0\ntrigcalc: '
                          rb'<argumentos>:4:1: ', re.S),
        stderr_empty=False, status=1, how={'merged': True}),
    Row('values and reports in order, standard input', ['-'], stdin=b'sin30\n1+1\ncos0\nabc\n',
        stdout=re.compile(rb'0.5\n0\ntrigcalc: <stdin>:2:1: [^\n]*\n.*\n1\n0\ntrigcalc: '
                          rb'<stdin>:4:1: ', re.S),
        stderr_empty=False, status=1, how={'merged': True}),
    # A report's further notes, its count of notes left out, one caret run for adjacent bytes
    # and carets as wide as the escapes they stand under (columns counted by hand).
    Row('a second note on a line of its own', ['2*sin30*'], stdout=b'0\n', stderr_empty=False,
        status=1),
    Row('adjacent skipped bytes, one caret run', ['sin30##'], stdout=b'0.5\n',
        stderr_empty=False, status=1),
    Row('carets as wide as an escape', ['sin3\x010'], stdout=b'0.5\n', stderr_empty=False,
        status=1),
    Row('notes beyond the 32 kept are counted', ['sin' + '#' * 40 + '30'], stdout=b'0.5\n',
        stderr_empty=False, status=1),
    Row('one note beyond the 32 kept', ['sin' + '#' * 33 + '30'], stdout=b'0.5\n',
        stderr_empty=False, status=1),
]

# Each diagnostic names what went wrong: (row name, text standard error must contain).
NAMED_IN_ERRORS = {
    'no function named': b'<argumentos>:1:1: nenhuma funcao trigonometrica reconhecida',
    'a bracket naming no function': b'<argumentos>:1:10: nome de funcao desconhecido "arc"',
    'line of 100 bytes is cut': b'<argumentos>:1:100: mais de 99 bytes',
    'a line not understood among others': b'<stdin>:2:1: ',
    'carriage returns inside a natural line':
        b'<stdin>:1:6: "\\r" foi lido como um espaco\n  sen30\\rcos60\\rtg45\n       ^~     ^~\n',
    'full disk, an expression': b'No space left on device',
    'full disk, standard input': b'No space left on device',
    'full disk, help': b'No space left on device',
    'standard input a directory': b'<stdin>: erro de leitura: Is a directory',
    'standard input closed': b'Bad file descriptor',
    'standard output closed': b'Bad file descriptor',
    'escape sequence on standard input': b'  zz\\e[2J[s]\n',
    'window title sequence in an argument': b'  \\e]2;x\\asin30\n',
    'a newline inside an argument': b'  1+1\\nfoo\n',
    'a second note on a line of its own': b'  2*sin30*\n   ^     ^\n  coluna 8: nada depois de "*"',
    'adjacent skipped bytes, one caret run': b'1:6: "##" foi ignorado\n  sin30##\n       ^~\n',
    'carets as wide as an escape': b'  sin3\\x010\n      ^~~~\n',
    'notes beyond the 32 kept are counted': b'\n  e mais 8 notas\n',
    'one note beyond the 32 kept': b'\n  e mais 1 nota\n',
    'a name and its argument given as two arguments':
        b'  cada argumento e uma expressao: para avaliar "sen 30" como uma so, ponha-a entre '
        b"aspas: 'sen 30'\ntrigcalc: <argumentos>:2:1: ",
    'a no-break space pasted into a piped line':
        b'<stdin>:1:4: "\\xC2\\xA0" (espaco sem quebra) foi ignorado\n',
    'the dialogue given an expression on a pipe':
        b'trigcalc: a primeira resposta nao e um numero: para avaliar expressoes lidas de um '
        b'pipe, use "trigcalc -"\n',
    'unknown long option': b'--foo',
    'unknown short option': b'-x',
    'a minus expression without --': b'-2',
    'digits missing': b'-d',
    'long digits missing': b'--digits',
    'digits eighteen': b'"18"',
    'digits not a number': b'"abc"',
    'help given a value': b'--help',
    'form value unknown': b'valor invalido para --form: "both"',
    'form value empty': b'valor invalido para --form: ""',
}


def standard_input(how, stdin_bytes, directory):
    """The child's standard input as `how` asks: a directory, closed, or a file of bytes."""
    if how.get('stdin') == 'directory':
        return {'stdin': os.open(directory, os.O_RDONLY)}
    if how.get('stdin') == 'closed':
        return {'stdin': subprocess.DEVNULL, 'preexec_fn': lambda: os.close(0)}
    stdin_file = tempfile.TemporaryFile(dir=directory)
    stdin_file.write(stdin_bytes)
    stdin_file.seek(0)
    return {'stdin': stdin_file}


def standard_output(how):
    """The child's standard output and error as `how` asks: captured, merged, a file, closed."""
    if how.get('stdout') == 'closed':
        return {'stdout': subprocess.PIPE, 'stderr': subprocess.PIPE,
                'preexec_fn': lambda: os.close(1)}
    if how.get('stdout'):
        return {'stdout': open(how['stdout'], 'wb'), 'stderr': subprocess.PIPE}
    return {'stdout': subprocess.PIPE,
            'stderr': subprocess.STDOUT if how.get('merged') else subprocess.PIPE}


def run(program, arguments, stdin_bytes, how=None, locale='C'):
    """Runs in `locale`: in the C locale the program's texts are without their accents, as
    the rows hold them."""
    how = how or {}
    with tempfile.TemporaryDirectory() as directory:
        streams = standard_input(how, stdin_bytes, directory)
        streams.update(standard_output(how))
        done = subprocess.run([program] + arguments, timeout=TIME_LIMIT,
                              env=dict(os.environ, LC_ALL=locale), **streams)
    return done.returncode, done.stdout or b'', done.stderr or b''


def check_row(program, row):
    name, expected, quiet, status, how = row.name, row.stdout, row.stderr_empty, row.status, row.how
    got_status, out, err = run(program, row.arguments, row.stdin, how, row.locale)
    problems = []
    if got_status != status:
        problems.append('exit status %d, expected %d' % (got_status, status))
    if expected is None and status != 1 and not out.startswith(USAGE_START):
        problems.append('standard output %r is not the usage' % out[:80])
    if isinstance(expected, bytes) and out != expected:
        problems.append('standard output %r, expected %r' % (out[:200], expected[:200]))
    if isinstance(expected, re.Pattern) and not expected.match(out):
        problems.append('standard output %r does not match %r' % (out[:400], expected.pattern))
    if quiet and err:
        problems.append('standard error: %r' % err[:300])
    if not quiet and err.count(b'\n') < 1 and not (how or {}).get('merged'):
        problems.append('nothing on standard error')
    if re.search(rb'[\x00-\x09\x0b-\x1f\x7f]', err):
        problems.append('a control byte reached standard error raw: %r' % err[:300])
    if status == 2 and (b'--help' not in err or err.count(b'\n') != 2):
        problems.append('not the one diagnostic and the pointer at --help: %r' % err)
    named = NAMED_IN_ERRORS.get(name)
    if named is not None and named not in err:
        problems.append('standard error %r does not name %r' % (err[:300], named))
    return problems


# Expressions read otherwise than written: the column (1-based) of the report and of its
# caret, what the report must say of it, and the whole line of carets under the expression as
# quoted (without its indent; in the C locale, where a byte above 0x7F is a four-column escape):
# one run of carets, a '^' and a '~' for each further column, under each note's bytes.
NOTES = [
    ('2*sin30', 2, b'nada depois de "*": lido como 0', ' ^'),
    ('sin30+cos30', 7, b'segundo nome de funcao "cos"', '      ^~~'),
    (' sin30', 1, b'o espaco em branco antes do nome e lido como uma amplitude sem numero: o '
                  b'termo vale 0\n', '^'),
    ('rad sen 0.5236', 4, b'o espaco em branco antes do nome e lido como uma amplitude sem',
     '   ^'),
    ('[ sen30 ]+[cos60]', 2, b'o espaco em branco antes do nome e lido como uma amplitude sem',
     ' ^'),
    ('\xb0sin30', 1, b'coluna 1: a amplitude "\\xC2\\xB0" nao tem numero: lida como 0\n',
     '^~~~~~~~'),
    ('sen\u00a030', 4, b'"\\xC2\\xA0" (espaco sem quebra) foi ignorado\n  sen\\xC2\\xA030\n',
     '   ^~~~~~~~'),  # the escape's eight columns underlined
    ('2\u200bsin30', 2, b'"\\xE2\\x80\\x8B" (espaco de largura zero) foi ignorado',
     ' ^~~~~~~~~~~~'),
    ('2se30', 2, b'desconhecido "se": lido como 0; nomes parecidos: "sec" ou "sen"\n',
     ' ^~'),  # se, not s
    ('sex30', 1, b'desconhecido "se": lido como 0', '^~'),  # the x is a multiplication
    ('2sin30x', 7, b'nada depois de "x"', '      ^'),
    ('1E+2sin30', 3, b'o "+" depois de "E" foi lido como soma', '  ^'),
    ('sin1.2.3', 7, b'o numero termina antes de ".3"', '      ^~'),
    ('sin30=99', 6, b'depois de "=" foi cortado', '     ^~~'),
    ('sin30deg', 6, b'as letras "deg" nao nomeiam nada', '     ^~~'),
    ('sin(2pi)', 6, b'"pi" logo depois de um numero', '     ^~'),
    ('pisin30', 1, b'"pi" na amplitude', '^~'),
    ('2radsin1', 2, b'"rad" so conta no inicio', ' ^~~~~~'),
    ('[foo]', 1, b'"[foo]" nao tem numero nem funcao', '^~~~~'),
    ('[]', 1, b'"[]" nao tem numero nem funcao', '^~'),
    ('[2] + [3]', 5, b'"+" foi ignorado', '    ^ ^~~'),
    ('[2]*', 4, b'nada depois de "*"', '   ^'),
    ('[1][2]', 4, b'"[2]" foi ignorado', '   ^~~'),
    ('arccos0.5', 1, b'"arccos": lido como 0; nomes parecidos: "arcos" ou "acos"', '^~~~~~'),
    ('csc30', 1, b'nomes parecidos: "cos", "cosec" ou "sec"', '^~~'),
    ('cossec30', 1, b'"cossec" foi lido como "cos"; nomes parecidos: "cosec"', '^~~~~~'),
    ('sinh1', 1, b'"sinh" foi lido como "sin"\n', '^~~~'),
    ('sin', 4, b'falta o argumento', '   ^'),
    ('sin--30', 4, b'"--30" nao e um numero', '   ^~~~'),
    ('sin 3 0', 6, b'juntou os algarismos', '     ^'),
    ('5x10^sin30', 2, b'antes de "x10^"', ' ^~~~'),
    ('sen30\xb0=9', 7, b'depois de "=" foi cortado',
     '             ^~'),  # the degree sign is one column
    ('SIN30', 1, b'"SIN" nao e nome de funcao: os nomes se escrevem em minusculas ("sin")', '^~~'),
    ('2Cos60', 2, b'"Cos" nao e nome de funcao: os nomes se escrevem em minusculas ("cos")',
     ' ^~~'),
    ('[1]+[TG45]', 6, b'minusculas ("tg"); lido como 0\n', '     ^~'),
    ('1e400sin30', 1, b'"1e400" e grande demais para um double: lido como infinito', '^~~~~'),
    ('asin2', 1, b'o argumento de "asin2" esta fora de -1 a 1', '^~~~~'),
    ('sin30/0', 6, b'divisao por 0 em "/"', '     ^'),
    ('2cotg(0)', 1, b'divisao por 0 em "2cotg(0)"', '^~~~~~~~'),
    ('[2]x[3]/', 8, b'divisao por 0 em "/"', '       ^'),
    ('[1e308]*[10]', 1, b'o valor nao e um numero finito', '^~~~~~~~~~~~'),
    ('2\xb0sin30', 2, b'"\\xC2\\xB0" foi ignorado: so tem sentido depois do argumento',
     ' ^~~~~~~~'),
    ('sin30\xb0+60', 6, b'so tem sentido depois do argumento', '     ^~~~~~~~'),
    ('[sin30]+[2', 9, b'falta o "]" deste "["', '        ^'),
    ('sin30\n+1', 6, b'"\\n" foi lido como um espaco', '     ^~'),
    ('sin3\v0', 5, b'"\\v" foi ignorado e juntou os algarismos', '    ^~'),  # as a space would
    ('2\u00d73sin30', 2, b'"\\xC3\\x97" foi ignorado e juntou os algarismos',
     ' ^~~~~~~~'),  # 23 sin 30
    ('sin30 cos60', 7, b'"cos": so o primeiro conta; suas letras foram ignoradas e juntaram',
     '      ^~~'),
    ('(radsin1)', 2, b'aqui juntou-se ao nome "sin" seguinte e fez "radsin"', ' ^~~~~~'),
    ('arc sen 0.5', 1, b'"arc sen" foi lido junto, como "arcsen"', '^~~~~~~'),
    ('s in30', 1, b'mas o argumento so e lido logo depois de um nome escrito junto', '^~~~'),
    ('sin2pi', 5, b'nao foi lido (para multiplicar, "*pi"), mas pos o termo em radianos', '    ^~'),
    ('[2] +[3]', 5, b'"+" foi ignorado: um operador so conta logo depois do "]"\n', '    ^^~~'),
    ('[2]+[3] [4]', 9, b'"[4]" ficou fora da conta', '        ^~~'),
    ('[(2)]', 1, b'o numero de "[(2)]" nao foi lido', '^~~~~'),
    ('nan', 1, b'desconhecido "nan": lido como 0; nomes parecidos: "tan", "atan" ou "sen"\n',
     '^~~'),
    ('sin\u03c0', 4, b'o argumento "\\xCF\\x80" nao tem numero', '   ^~~~~~~~'),
    ('log10', 1, b'desconhecido "log"', '^~~'),
    ('cot45', 1, b'nomes parecidos: "cotan", "cotg" ou "cos"', '^~~'),
    # Spellings of the natural reading alone are none of the term reading's.
    ('seno30', 1, b'"seno" foi lido como "sen"\n', '^~~~'),
    ('RAIZ4', 1, b'nenhuma funcao trigonometrica reconhecida: lido como 0', '^~~~~'),
    ('sine30', 1, b'"sine" foi lido como "sin"', '^~~^~~'),
    ('sin30 + -9', 7, b'subtrai, nao da sinal: o valor e o escrito',
     '      ^'),  # 30 + 0 - 9 is 30 + -9
    ('sin(3* -10)', 6, b'ficou sem numero depois (lido como 0) e o valor mudou',
     '     ^'),  # 3 x 0 - 10
    # Parentheses are only deleted: those that seem to group part of a list do not.
    ('sen(30)*2', 4, b'os parenteses nao agrupam: o argumento "(30)*2" e lido como "30*2"; '
                     b'para (sen 30)*2, use --natural\n  sen(30)*2\n', '   ^~~~~~'),
    ('sen(30)+1', 4, b'o argumento "(30)+1" e lido como "30+1"; para (sen 30)+1, use --natural',
     '   ^~~~~~'),
    ('(1+2)*3sin30', 1, b'a amplitude "(1+2)*3" e lida como "1+2*3"; para que agrupem, use '
                        b'--natural\n  (1+2)*3sin30\n', '^~~~~~~'),
    ('sin 2*(1+2)*3', 5, b'o argumento "2*(1+2)*3" e lido como "2*1+2*3"; para que agrupem',
     '    ^~~~~~~~~'),
    ('sen (30)x10^1', 5, b'o argumento "(30)x10^1" e lido como "30x10^1"',
     '    ^~~~~~~~~'),  # an exponent of 30
    ('sin(3)0', 4, b'o argumento "(3)0" e lido como "30"', '   ^~~~'),
    ('(3)2sin30', 1, b'a amplitude "(3)2" e lida como "32"', '^~~~'),
    ('(2sin30)*2', 6, b'o argumento "30)*2" e lido como "30*2"',
     '     ^~~~~'),  # the name inside them
    ('[rad(tg(45)*2)]', 8, b'o argumento "(45)*2" e lido como "45*2"; para (tg 45)*2',
     '       ^~~~~~'),
    ('sin( -5)*3', 4, b'o argumento "( -5)*3" e lido como " -5*3"', '   ^~~~~~~'),
    ('2\u00basin30', 2, b'"\\xC2\\xBA" foi ignorado: so tem sentido depois do argumento',
     ' ^~~~~~~~'),
    ('sin30\u00ba+60', 6, b'"\\xC2\\xBA" foi ignorado: so tem sentido depois do argumento',
     '     ^~~~~~~~'),
    # Poles in degrees: the value printed is the angle's double's, and it is said so.
    ('tg90', 1, b'a tangente de "tg90" nao existe: o cosseno do angulo e 0; o valor escrito e '
                b'o da funcao no double do angulo em radianos, que nao esta exatamente ali',
                 '^~~~'),
    ('sec90', 1, b'a secante de "sec90" nao existe: o cosseno do angulo e 0; o valor escrito',
     '^~~~~'),
    ('tan270', 1, b'a tangente de "tan270" nao existe', '^~~~~~'),
    ('cotg180', 1, b'a cotangente de "cotg180" nao existe: o seno do angulo e 0; o valor',
     '^~~~~~~'),
    ('[1]+[cosec-180]', 6, b'a cossecante de "cosec-180" nao existe: o seno do angulo e 0',
     '     ^~~~~~~~~'),
]

# The natural reading's reports (--natural): each kind of line it cannot read, or whose value
# does not exist, with the column where it stopped and the carets under what it quotes; and
# what it reads one way of two.
NATURAL_NOTES = [
    ('sen', 1, b'falta o argumento de "sen": escreva, por exemplo, "sen 30" ou "sen(30)"', '^~~'),
    ('2+', 3, b'esperava um numero, "(", uma funcao ou "\xe2\x88\x9a" no fim da linha', '  ^'),
    ('2*/3', 3, b'esperava um numero, "(", uma funcao ou "\xe2\x88\x9a" em vez de "/"', '  ^'),
    ('((1)', 1, b'este "(" nao foi fechado: falta o ")" ou "]" que o fecha', '^'),
    ('1)', 2, b'")" nao fecha nada: falta o seu "("', ' ^'),
    ('(1]', 3, b'"]" fecha um grupo aberto com o outro sinal', '  ^'),
    ('lg 2', 1, b'"lg" nao e um nome conhecido; nomes parecidos: "ln", "log" ou "tg"', '^~'),
    ('2 + SENHA30', 5, b'"SENHA" nao e um nome conhecido; nomes parecidos: "senh", "sen"',
     '    ^~~~~'),
    ('sen 30 30', 8, b'falta um operador antes de "30": dois numeros lado a lado', '       ^~'),
    ('2 $ 3', 3, b'"$" nao tem lugar aqui', '  ^'),
    ('   ', 4, b'nada para calcular', '   ^'),
    ('tg90', 1, b'a tangente de "tg90" nao existe: o cosseno do angulo e 0\n', '^~~~'),
    # A function's note quotes it with its whole argument: its signs, exponent and group.
    ('tg -90', 1, b'a tangente de "tg -90" nao existe', '^~~~~~'),
    ('2 tg -9e1', 3, b'a tangente de "tg -9e1" nao existe', '  ^~~~~~~'),
    ('sec -(270)', 1, b'a secante de "sec -(270)" nao existe', '^~~~~~~~~~'),
    ('\u221a-4', 1, b'a raiz quadrada de "\\xE2\\x88\\x9A-4" nao existe', '^~~~~~~~~~~~~~'),
    ('1/0', 2, b'divisao por 0 em "/": o valor nao existe', ' ^'),
    ('raiz(-1)', 1, b'a raiz quadrada de "raiz(-1)" nao existe: o numero e menor que 0',
     '^~~~~~~~'),
    ('arcsen 2', 1, b'o arco-seno de "arcsen 2" nao existe: so existe de -1 a 1', '^~~~~~~~'),
    ('0^-1', 1, b'a potencia "0^-1" nao existe', '^~~~'),
    ('1/2\u03c0', 2, b'"/2\\xCF\\x80" divide pelo produto todo que segue a barra', ' ^~~~~~~~~~'),
    ('sen30^2', 1, b'"sen30^2" foi lido com a potencia no argumento', '^~~~~~~'),
    ('1e400*2', 1, b'"1e400" e grande demais para um double: lido como infinito', '^~~~~'),
    ('1e-999999', 1, b'"1e-999999" e pequeno demais para um double: lido como 0', '^~~~~~~~~'),
    ('10^-10^10', 1, b'o valor virou 0: passou do menor que um double guarda', '^~~~~~~~~'),
    ('sen30\vcos60', 6, b'"\\v" foi lido como um espaco', '     ^~'),
    ('sen30\fcos60', 6, b'"\\f" foi lido como um espaco', '     ^~'),
    # Outside UTF-8 every byte above 0x7F is quoted escaped: 0x9B is CSI on an 8-bit terminal.
    ('sen30\u011b2J', 6, b'"\\xC4\\x9B" nao tem lugar aqui\n  sen30\\xC4\\x9B2J\n',
     '     ^~~~~~~~'),
    # The unknown: an "x" read as times, a second name, the unknown in a bound, and the lines
    # in it that are not solved.
    ('sen 30 x cos 60', 8, b'"x" foi lido como vezes: para a incognita, escreva "*x"', '       ^'),
    ('sen x + cos \u03b8 = 1', 13, b'"\\xCE\\xB8" e uma segunda incognita: uma linha tem uma so',
     '            ^~~~~~~~'),
    ('sen x = 1, 0 < x < x', 20, b'"x" nao tem lugar num limite do intervalo',
     '                   ^'),
    ('sen 30 em [0, 360]', 8, b'"em" so tem lugar numa linha com a incognita', '       ^~'),
    ('x sen x = 1', 3, b'nao sei resolver: a incognita aparece fora dos angulos', '  ^'),
    ('sen(sen x) = 0', 1, b'nao sei resolver: um angulo nao e da forma a\xc2\xb7x + b',
     '^~~~~~~~~~'),
    ('sen x = sen 1 rad', 9, b'nao sei resolver: um numero da linha nao e algebrico',
     '        ^~~~~~~~~'),
    ('(sen x)^0,5 = 1', 1, b'nao sei resolver: uma potencia que nao e um numero inteiro',
     '^~~~~~~~~~~'),
    ('arcsen x = 30', 1, b'nao sei resolver: uma funcao inversa da incognita', '^~~~~~~~'),
    ('sen x = 1/2, 0 < x < sen 1 rad', 1, b'nao sei resolver: um limite do intervalo', '^'),
    # A line that fails after what would be noted is reported where it stopped, not at the note;
    # a stray character is named at its column, in a function's argument or a closed group; a
    # division by a product behind a sign is noted as without it.
    ('sen30^2+', 9, b'no fim da linha', '        ^'),
    ('1/2\u03c0-', 6, b'esperava um numero, "(", uma funcao ou "\xe2\x88\x9a" no fim da linha',
     '            ^'),
    ('cos$30', 4, b'"$" nao tem lugar aqui', '   ^'),
    ('sen\u300030', 4, b'"\\xE3\\x80\\x80" (espaco ideografico) nao tem lugar aqui',
     '   ^~~~~~~~~~~~'),
    ('(2 $)', 4, b'"$" nao tem lugar aqui', '   ^'),
    ('cos(30 ~) + 1', 8, b'"~" nao tem lugar aqui', '       ^'),
    ('6/-2(1+2)', 2, b'"/-2(1+2)" divide pelo produto todo que segue a barra (1/2', ' ^~~~~~~~'),
    # A line longer than the reading holds has no value; the last answer before there is one;
    # the domains of the logarithms and inverse hyperbolic functions; an absolute value open.
    ('1' + '+1' * 50, 100, b'mais de 99 bytes: a linha nao foi lida', ' ' * 99 + '^'),
    ('ans', 1, b'"ans": ainda nao ha resposta anterior (uma linha com valor)', '^~~'),
    ('ln 0', 1, b'o logaritmo de "ln 0" nao existe: so existe para numeros maiores que 0', '^~~~'),
    ('arccosh 0,5', 1, b'o arco-cosseno hiperbolico de "arccosh 0,5" nao existe: so existe de 1',
     '^~~~~~~~~~~'),
    ('arctgh 1', 1, b'a arco-tangente hiperbolica de "arctgh 1" nao existe: so existe entre -1',
     '^~~~~~~~'),
    ('|2 + 3', 1, b'este "|" nao foi fechado: falta o "|" que o fecha', '^'),
    ('(-8)^(1/2)', 1, b'nem fracao de denominador impar', '^~~~~~~~~~'),
    ('sen x = 1/2 em rad', 13, b'"em" nao tem lugar aqui', '            ^~'),
]


# Why a picture (--graph=svg here) was not drawn, or drawn with less.
PICTURE_NOTES = [
    ('2+2', 1, b'nada a desenhar: a linha nao tem a incognita nem e uma funcao de um angulo',
     '^~~'),
    ('sen x, 0 <= x <= 0', 8, b'o intervalo "0 <= x <= 0" nao tem largura', '       ^~~~~~~~~~~'),
    ('sen x, 0 <= x <= 1e6', 8, b'o intervalo "0 <= x <= 1e6" e largo demais',
     '       ^~~~~~~~~~~~~'),
    ('sen x, 1/0 <= x <= 1', 8, b'um limite seu nao e um numero', '       ^~~~~~~~~~~~~'),
    ('raiz(sen x - 2)', 1, b'"raiz(sen x - 2)" nao tem valor em nenhum ponto do intervalo',
     '^~~~~~~~~~~~~~~'),
    ('sen(1e7 x), 0 <= x <= 360', 1, b'a curva de "sen(1e7 x)" passou do limite de pontos',
     '^~~~~~~~~~'),
]


def check_note(program, expression, column, message, carets, options=(), one_value=True):
    """One report, in the GNU form with the column, saying how it was read, with the
    expression quoted and under it the line of `carets`, the first under that column (in the
    C locale, where every byte above 0x7F is quoted as its four-column escape): the span of
    each note as a user sees it; after one value (unless not `one_value`: a picture)."""
    status, out, err = run(program, list(options) + ['--', expression], b'')
    lines = err.split(b'\n')
    printed = out.count(b'\n') == 1 or not one_value
    problems = [] if status == 1 and printed else ['status %d, %r' % (status, out[:300])]
    place = b'trigcalc: <argumentos>:1:%d: ' % column
    shown = sum(4 * len(c.encode()) if ord(c) > 0x7f else 1 for c in expression[:column - 1])
    if not lines[0].startswith(place) or message not in err:
        problems.append('%r is not %r with %r' % (err, place, message))
    elif carets.find('^') != shown:
        problems.append('the row\'s carets %r do not start under column %d' % (carets, column))
    elif len(lines) < 3 or lines[2] != b'  ' + carets.encode():  # two blanks of indent
        problems.append('carets %r, not %r: %r' % (lines[2:3], carets, err))
    return problems


def check_natural_dialogue(program):
    """The dialogue with --natural: the transcript of its values as the default one frames
    them, status 0, and the report of a line without a value on standard error, placed at its
    line of the input (answers are lines too)."""
    status, out, err = run(program, ['--natural'], b'1\nsen(30)*2\n1\nsen 30 30\n0\n')
    problems = [] if status == 0 else ['status %d' % status]
    if out.count(b'=1\n\n') != 1 or out.count(b'=nan\n\n') != 1:
        problems.append('transcript %r' % out[-300:])
    if not err.startswith(b'trigcalc: <stdin>:4:8: falta um operador antes de "30"'):
        problems.append('standard error %r' % err)
    return problems


def check_wide_caret(program):
    """A full-width character takes two columns on the screen: the caret under what follows
    it moves two places per such character, as the text above it does."""
    _, _, err = run(program, ['sin\uff13\uff10x'], b'', locale='C.UTF-8')
    lines = err.split(b'\n')
    carets = [k for k, c in enumerate(lines[2]) if c == ord('^')] if len(lines) > 2 else []
    # two of indent, three of "sin", two each for the full-width digits: 'x' at 2 + 3 + 4
    return [] if carets == [5, 9] else ['carets at %r: %r' % (carets, err)]


def documented_expressions(count, seed=21):
    """Random expressions in the form docs/reading.md says is read as written, every construction
    of its grammar: a leading rad (a parenthesis may follow it), an amplitude, a name, an
    argument of signed numbers in every notation joined by + - * / x X (pi unsigned and not
    after a digit), blanks between parts (not inside a number or a name, not between an
    operator and a sign, not as the whole amplitude), parentheses around parts of a term, a
    degree sign after the argument; brackets (a term, a number or pi) joined by an operator
    right after the ']'. Inverse functions get a ratio from -1 to 1; no divisor is 0. A '('
    right after a name closes at the end of the argument."""
    rng = random.Random(seed)
    names = ['sin', 'sen', 'cos', 'tan', 'tg', 'cotan', 'cotg', 'sec', 'cosec', 'asin',
             'arcsin', 'arcsen', 'acos', 'arcos', 'atan', 'atg', 'arctan', 'arctg']

    def number(nonzero=False):
        low = 1 if nonzero else 0
        return rng.choice(['%d' % rng.randrange(low, 400),
                           '%d%s%d' % (rng.randrange(1, 10), rng.choice('.,'), rng.randrange(100)),
                           '%d%s%s%d' % (rng.randrange(1, 9), rng.choice('eE'),
                                         rng.choice(['', '-']), rng.randrange(3)),
                           '%d%s10^%s%d' % (rng.randrange(1, 9), rng.choice(['x', '*']),
                                            rng.choice(['', '-']), rng.randrange(3))])

    def blank():
        return rng.choice(['', '', '', ' ', '  ', '\t'])

    def operand(allow_pi, nonzero=False):
        if allow_pi and rng.randrange(4) == 0:
            return 'pi'
        text = rng.choice(['', '', '-']) + number(nonzero)
        return '(' + text + ')' if rng.randrange(6) == 0 else text

    def sum_of(allow_pi, operators='+-*/xX'):
        nonzero = '+' not in operators  # a product of numbers that are not 0 is not 0
        text = operand(allow_pi, nonzero)
        for _ in range(rng.randrange(3)):
            op = rng.choice(operators)
            following = operand(allow_pi, nonzero=nonzero or op == '/')
            # a blank may stand before an operator, and after it unless a sign follows
            after = '' if following.lstrip('(').startswith('-') else blank()
            text += blank() + op + after + following
        return '(' + text + ')' if rng.randrange(5) == 0 else text

    def closing(text):
        """The index of the ')' that closes the '(' text begins with."""
        depth = 0
        for k, c in enumerate(text):
            depth += {'(': 1, ')': -1}.get(c, 0)
            if depth == 0:
                return k
        return len(text)

    def argument(name):
        if name.startswith('a'):
            ratio = '%.3f' % rng.uniform(-1, 1)
            return rng.choice([ratio, '(' + ratio + ')', ratio.replace('.', ',')])
        # the cotangent and cosecant of exactly 0 have no value, and are reported so
        text = sum_of(True, '*/xX' if name in ('cotan', 'cotg', 'cosec') else '+-*/xX')
        # a '(' right after the name holds the whole argument: "sin(30)*2" is reported
        return '(' + text + ')' if text.startswith('(') and closing(text) < len(text) - 1 else text

    def term():
        name = rng.choice(names)
        amplitude = rng.choice(['', '', sum_of(False) + blank()])
        prefix = rng.choice(['', '', 'rad', 'rad('])
        text = prefix + amplitude + name + blank() + argument(name)
        text += ')' if prefix.endswith('(') else ''
        return text + rng.choice(['', '', '\xb0', blank() + '\xb0'])

    def bracketed():
        contents = [rng.choice([term(), term(), number(), 'pi']) for _ in range(rng.randrange(1, 4))]
        joined = ''
        op = ''
        for k, content in enumerate(contents):
            if op == '/' and content == '0':
                content = number(nonzero=True)
            op = rng.choice('+-*/x')
            joined += '[%s]' % content + (op + blank() if k + 1 < len(contents) else '')
        return joined

    lines = []
    while len(lines) < count:
        line = rng.choice([term, term, bracketed])()
        if len(line.encode()) < 100 and not at_pole_in_degrees(line):
            lines.append(line)
    return lines


def at_pole_in_degrees(line):
    """True when a tangent, secant, cotangent or cosecant of the line (a documented one) has an
    argument in degrees at its pole, which is reported: its argument's value, computed by
    Python's own double arithmetic, an odd multiple of 90 or a multiple of 180."""
    pattern = r'(rad\(?)?[^\[\]]*?(cotan|cotg|cosec|tan|tg|sec)\s*(\(?[-+*/xX0-9.,eE^ \t()]*)'
    for match in re.finditer(pattern, line):
        text = match.group(3)
        if match.group(1) or 'pi' in line:
            continue
        text = re.sub(r'[xX*]10\^', 'e', text).replace(',', '.').replace('x', '*').replace('X', '*')
        try:
            value = float(eval(text.strip().rstrip(')') if text.count(')') > text.count('(')
                               else text, {'__builtins__': {}}))
        except Exception:  # noqa: BLE001 - a fragment that is no expression: no pole
            continue
        turn = math.fmod(value, 180.0)
        over_sine = match.group(2) in ('cotan', 'cotg', 'cosec')
        if (over_sine and turn == 0) or (not over_sine and abs(turn) == 90):
            return True
    return False


def check_documented_form(program, count=4000):
    """Random expressions in the documented form give no report and the dialogue's values."""
    lines = documented_expressions(count)
    data = ''.join(line + '\n' for line in lines).encode()
    status, out, err = run(program, ['-'], data)
    problems = [] if status == 0 and not err else ['status %d: %r' % (status, err[:600])]
    dialogue = b'1\n' + b''.join(line.encode() + b'\n1\n' for line in lines)
    _, transcript, _ = run(program, [], dialogue)
    results = [line[1:] for line in transcript.split(b'\n') if line.startswith(b'=')]
    if out.split(b'\n')[:-1] != results:
        problems.append('values differ from the dialogue\'s')
    return problems


def check_nonblocking_input(program):
    """A non-blocking standard input with nothing in it yet is waited on, not taken as the
    end: the line written later is evaluated."""
    read_end, write_end = os.pipe()
    os.set_blocking(read_end, False)
    child = subprocess.Popen([program, '-'], stdin=read_end, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
    os.close(read_end)
    time.sleep(0.3)
    try:
        os.write(write_end, b'sin30\n')
    except BrokenPipeError:
        pass  # the program took the empty input for its end and is gone
    os.close(write_end)
    out, err = child.communicate(timeout=TIME_LIMIT)
    return [] if (child.returncode, out, err) == (0, b'0.5\n', b'') else [
        'status %d, %r, %r' % (child.returncode, out, err)]


def feed(pipe, data):
    """Writes `data` to `pipe` and closes it; a reader gone early ends the writing."""
    try:
        pipe.write(data)
        pipe.close()
    except BrokenPipeError:
        pass


def check_nonblocking_output(program, lines=200000):
    """A non-blocking standard output whose reader starts late gets every value."""
    read_end, write_end = os.pipe()
    os.set_blocking(write_end, False)
    child = subprocess.Popen([program, '-'], stdin=subprocess.PIPE, stdout=write_end,
                             stderr=subprocess.PIPE)
    os.close(write_end)
    threading.Thread(target=feed, args=(child.stdin, b'sin30\n' * lines), daemon=True).start()
    time.sleep(0.5)
    with os.fdopen(read_end, 'rb') as reader:
        values = reader.read().count(b'0.5\n')
    status = child.wait(timeout=TIME_LIMIT)
    return [] if (status, values) == (0, lines) else ['status %d, %d values' % (status, values)]


def check_signal_ends(program, signal_number):
    """Reading endless input for `-` with a terminal as output, the program ends by the
    signal it is sent, as a shell expects (status 128 + the signal's number)."""
    controller, terminal = pty.openpty()
    with open('/dev/zero', 'rb') as zeros:
        child = subprocess.Popen([program, '-'], stdin=zeros, stdout=terminal,
                                 stderr=subprocess.PIPE)
    os.close(terminal)
    time.sleep(0.3)
    child.send_signal(signal_number)
    status = child.wait(timeout=TIME_LIMIT)
    os.close(controller)
    return [] if status == -signal_number else ['status %d' % status]


def check_loop_ends_by_signal(program, signal_number):
    """The interactive loop (input and output a terminal; no editor, no history to save)
    puts the terminal back and then ends by the signal it is sent, not by an exit with
    128 + its number, so that a parent's wait sees the signal."""
    controller, terminal = pty.openpty()
    environment = dict(os.environ, TERM='dumb', TRIGCALC_HISTORY='')
    child = subprocess.Popen([program, '-'], stdin=terminal, stdout=terminal,
                             stderr=subprocess.PIPE, env=environment)
    os.close(terminal)
    shown = b''
    deadline = time.monotonic() + TIME_LIMIT
    while b'> ' not in shown and time.monotonic() < deadline:
        shown += os.read(controller, 100)
    child.send_signal(signal_number)
    status = child.wait(timeout=TIME_LIMIT)
    os.close(controller)
    return [] if status == -signal_number else ['status %d after %r' % (status, shown)]


def check_closed_input_at_terminal(program):
    """The dialogue started with descriptor 0 closed and a terminal as output: nothing of
    its own takes descriptor 0, so reading it fails with a message, status 1."""
    controller, terminal = pty.openpty()
    child = subprocess.Popen([program], stdin=subprocess.DEVNULL, stdout=terminal,
                             stderr=subprocess.PIPE, preexec_fn=lambda: os.close(0))
    os.close(terminal)
    try:
        status = child.wait(timeout=10)
    except subprocess.TimeoutExpired:
        child.kill()
        child.wait()
        return ['still waiting for input 10 s later']
    finally:
        os.close(controller)
    err = child.stderr.read()
    return [] if status == 1 and b'Bad file descriptor' in err else ['status %d, %r' % (status, err)]


def check_output_failure_ends(program, arguments, typed, at_terminal):
    """Standard output on a full disk: the program ends as soon as a write fails, with its
    message and status 1, while its input (a pipe or a terminal, `typed` written to it) stays
    open and gives nothing more; waiting for a next line would be waiting for ever."""
    if at_terminal:
        writer, reader = pty.openpty()
    else:
        reader, writer = os.pipe()
    with open('/dev/full', 'wb') as full:
        child = subprocess.Popen([program, *arguments], stdin=reader, stdout=full,
                                 stderr=subprocess.PIPE)
    os.close(reader)
    os.write(writer, typed)
    try:
        status = child.wait(timeout=10)
    except subprocess.TimeoutExpired:
        child.kill()
        child.wait()
        return ['still waiting for input 10 s after the failed write']
    finally:
        os.close(writer)
    err = child.stderr.read()
    return [] if status == 1 and b'No space left on device' in err else [
        'status %d, %r' % (status, err)]


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


# The program's own words that take an accent, spelt by hand; in a UTF-8 locale each is
# written so, and in any other without its accent. ("e", "esta" and "da" are also words
# without one, so the rows below check where "é", "está" and "dá" stand.)
ACCENTED_WORDS = {
    'não', 'é', 'número', 'função', 'expressão', 'expressões', 'EXPRESSÃO', 'só', 'ângulo', 'põe',
    'pôs', 'início', 'lê', 'minúsculas', 'espaço', 'divisão', 'cálculo', 'além', 'trigonométrica',
    'trigonométricas', 'diálogo', 'padrão', 'laço', 'edição', 'histórico', 'opção', 'opções',
    'Opções', 'versão', 'começa', 'saída', 'estão', 'informação', 'inválido', 'disponível',
    'parênteses', 'dá', 'está', 'hífen', 'tipográfico', 'matemático', 'ideográfico', 'junção',
    'memória', 'usuário', 'aritmética', 'números', 'potência', 'há', 'incógnita', 'equações',
    'ângulos', 'ângulo', 'algébrico', 'múltiplo', 'solução', 'soluções', 'período', 'gráfico',
    'assíntotas', 'círculo', 'trigonométrico', 'tabulações', 'referência', 'hiperbólico',
    'hiperbólica', 'fração', 'ímpar',
}
WITHOUT_ACCENT_TOO = {'e', 'esta', 'da'}  # the conjunction, "this", "of the"

# (arguments, standard input, what standard error or output holds in a UTF-8 locale).
ACCENTED_ROWS = [
    (['sen(30)*2'], b'', 'os parênteses não agrupam: o argumento "(30)*2" é lido como "30*2"'),
    (['asin2'], b'', 'está fora de -1 a 1: o valor não é um número'),
    (['sin30 + -9'], b'', 'e um espaço subtrai, não dá sinal: o valor é o escrito'),
    (['1E+2sin30'], b'', 'foi lido como soma: só "-" é sinal de expoente'),
    (['SIN30'], b'', 'não é nome de função: os nomes se escrevem em minúsculas ("sin")'),
    (['sen', '30'], b'', 'cada argumento é uma expressão: para avaliar "sen 30" como uma só'),
    (['-'], 'sen\u00a030\n'.encode(), '"\\xC2\\xA0" (espaço sem quebra) foi ignorado'),
    (['--digits=0'], b'', 'valor inválido para --digits: "0" (um número inteiro de 1 a 17'),
    (['--help'], b'', 'Opções:\n  -d, --digits=N   algarismos significativos de cada valor, de 1 '
                      'a 17 (padrão: 6);'),
    ([], b'sen30\n', 'a primeira resposta não é um número: para avaliar expressões lidas de um '
                     'pipe, use "trigcalc -"'),
]


def without_accents(text):
    """`text` with every accent taken off its letter (Unicode's decomposition, independent of
    the program's own table)."""
    return ''.join(c for c in unicodedata.normalize('NFD', text)
                   if unicodedata.category(c) != 'Mn')


def check_texts_in_both_forms(program):
    """Every report of NOTES, every diagnostic of ROWS, the usage and the pointer to "-" in
    the C locale and in a UTF-8 one: the UTF-8 texts less their accents are the C locale's
    byte for byte (so nothing changed outside UTF-8 locales), their accented words are
    spelt right and no word that takes an accent lacks it; the rows above are found whole.
    Expressions of ASCII only: outside UTF-8 the others are quoted escaped (NOTES' rows)."""
    cases = [(['--', note[0]], b'') for note in NOTES if note[0].isascii()]
    cases += [(row.arguments, row.stdin) for row in ROWS
              if not row.how and row.status and row.stdin.isascii() and
              all(a.isascii() for a in row.arguments)]
    cases += [(arguments, stdin) for arguments, stdin, _ in ACCENTED_ROWS]
    cases += [(['--graph=svg', '--', note[0]], b'') for note in PICTURE_NOTES]
    problems, words = [], set()
    for arguments, stdin in cases:
        plain = run(program, arguments, stdin, locale='C')
        accented = run(program, arguments, stdin, locale='C.UTF-8')
        text = (accented[1] + accented[2]).decode('utf-8', 'surrogateescape')
        folded = without_accents(text).encode('utf-8', 'surrogateescape')
        if plain[0] != accented[0] or folded != plain[1] + plain[2]:
            problems.append('%r: %r in C.UTF-8, %r in C' % (arguments, text[-300:], plain[2][-300:]))
        ours = accented[2] + (accented[1] if arguments else b'')  # not the dialogue's texts
        words.update(re.findall(r'[A-Za-z\u00c0-\u00d6\u00d8-\u00f6\u00f8-\u00ff]+',
                                ours.decode('utf-8', 'surrogateescape')))
    for arguments, stdin, fragment in ACCENTED_ROWS:
        _, out, err = run(program, arguments, stdin, locale='C.UTF-8')
        if fragment.encode() not in out + err:
            problems.append('%r: %r lacks %r' % (arguments, (out + err)[-300:], fragment))
    unaccented = {without_accents(w) for w in ACCENTED_WORDS} - WITHOUT_ACCENT_TOO
    problems += ['%r is not among the words spelt with accents' % w for w in sorted(words)
                 if not w.isascii() and w not in ACCENTED_WORDS]
    problems += ['%r lacks its accent' % w for w in sorted(words & unaccented)]
    return problems


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
    checks = [(row.name, lambda r=row: check_row(program, r)) for row in ROWS
              if row.quick or not quick]
    if not quick:
        checks += [('agreement with the dialogue: %s' % s, lambda s=s: check_agreement(program, s))
                   for s in ('term_functions', 'term_normalisation', 'bracketed_lines',
                             'runtime_agreement')]
        checks += [('--digits in the dialogue', lambda: check_dialogue_digits(program)),
                   ('texts with accents in UTF-8, without elsewhere',
                    lambda: check_texts_in_both_forms(program))]
        checks += [('report: %r' % expression, lambda n=note: check_note(program, *n))
                   for note in NOTES for expression in [note[0]]]
        checks += [('natural report: %r' % note[0],
                    lambda n=note: check_note(program, *n, options=['--natural']))
                   for note in NATURAL_NOTES]
        checks += [('picture report: %r' % note[0],
                    lambda n=note: check_note(program, *n, options=['--graph=svg'],
                                              one_value=False))
                   for note in PICTURE_NOTES]
        checks += [('the natural reading in the dialogue', lambda: check_natural_dialogue(program))]
        checks += [
            ('documented form gives no report', lambda: check_documented_form(program)),
            ('caret after full-width characters', lambda: check_wide_caret(program)),
            ('non-blocking input waited on', lambda: check_nonblocking_input(program)),
            ('non-blocking output, reader late', lambda: check_nonblocking_output(program)),
            ('SIGTERM ends -', lambda: check_signal_ends(program, signal.SIGTERM)),
            ('SIGINT ends - (input not a terminal)',
             lambda: check_signal_ends(program, signal.SIGINT)),
            ('SIGTERM ends the loop by that signal',
             lambda: check_loop_ends_by_signal(program, signal.SIGTERM)),
            ('SIGHUP ends the loop by that signal',
             lambda: check_loop_ends_by_signal(program, signal.SIGHUP)),
            ('descriptor 0 closed, a terminal as output',
             lambda: check_closed_input_at_terminal(program)),
            ('full disk, a line piped, input kept open',
             lambda: check_output_failure_ends(program, ['-'], b'sin30\n', False)),
            ('full disk, a line typed at a terminal',
             lambda: check_output_failure_ends(program, ['-'], b'sin30\n', True)),
            ('full disk, an argument, then input that never comes',
             lambda: check_output_failure_ends(program, ['sin30', '-'], b'', False)),
        ]
    return run_checks(checks)


if __name__ == '__main__':
    sys.exit(main())
