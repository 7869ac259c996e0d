#!/usr/bin/env python3
"""The exact mode (--exact): a table of exact values, values that do not exist and numbers
too large, each with its output, status and report; the dialogue in the exact mode; then
random lines in the documented form whose values are computed independently with mpmath at
high precision (from the same structure the line is written from, not from its text) and
must equal the program's digits. Without the exact mode in the build, checks that --exact
says so with status 2, and says which checks it skipped.
Usage: exact_mode_test.py PROGRAM"""

import decimal
import os
import random
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from checks import run_checks

TIME_LIMIT = 60  # seconds; only a hang reaches it

# sin 1 deg to 60 digits and sin 80 deg, from a table of known values.
SIN_1_DEGREE = '0.0174524064372835128194189785163161924722527203071396426836124'
SIN_80_DEGREES = '0.984807753012208059366743024589523013670643251719842418790026'

# (arguments, standard output, status, text standard error must hold, or b'' for none).
# Values by hand: sin 30 = cos 60 = 1/2, tan 45 = tan 30 tan 60 = 1, arcsin 1/2 = 30 deg,
# cosec 30 = 2, sin 60 squared = 3/4, 0.1 + 0.2 = 0.3; at one digit 1.5 and 2.5 both round to
# the even 2; 10^400 degrees is 280 modulo 360 (divisible by 8, and 10 modulo 45), so its sine
# is -sin 80; 9 x 10^999999999 is a multiple of 360.
ROWS = [
    (['-e', '-d50', 'sin30'], b'0.5\n', 0, b''),
    (['--exact', '-d50', 'sin180', 'cos90', 'sin(2*pi)', '[sin30]-[0.5]'], b'0\n0\n0\n0\n', 0,
     b''),
    (['--exact', '-d40', 'tan45', '[tan30]*[tan60]', 'arcsen0.5', 'cosec30'], b'1\n1\n30\n2\n',
     0, b''),
    (['--exact', '-d30', '[0.1]+[0.2]', '[sin60]x[sin60]-[0.75]'], b'0.3\n0\n', 0, b''),
    (['--exact', '-d1', '[sin30]x[3]', '[cos60]x[5]', '[2.5]', '[3.5]', '[-2.5]'],
     b'2\n2\n2\n4\n-2\n', 0, b''),
    (['--exact', '-d2', '[0.125]', '[0.135]', '[1e-5]', '[123456]', '[99.96]'],
     b'0.12\n0.14\n1e-05\n1.2e+05\n1e+02\n', 0, b''),
    (['--exact', '-d17', 'sin30', 'cos60', '[0.1]+[0.2]'], b'0.5\n0.5\n0.3\n', 0, b''),
    (['--exact', '-d40', 'sin1'], (SIN_1_DEGREE[:43] + '\n').encode(), 0, b''),
    # sin 80 deg to 30 digits: ...024589|52 rounds up, and the trailing 0 goes.
    (['--exact', '-d30', 'sin1e400'], b'-0.98480775301220805936674302459\n', 0, b''),
    (['--exact', '[1e400]', '[1e-400]', 'sin9e999999999'], b'1e+400\n1e-400\n0\n', 0, b''),
    (['--exact', 'tan90'], b'nan\n', 1, b':1:1: a tangente de "tan90" nao existe'),
    (['--exact', 'sec90'], b'nan\n', 1, b'a secante de "sec90" nao existe'),
    (['--exact', 'cotg0'], b'nan\n', 1, b'a cotangente de "cotg0" nao existe'),
    (['--exact', 'cosec0'], b'nan\n', 1, b'a cossecante de "cosec0" nao existe'),
    (['--exact', 'cosec180'], b'nan\n', 1, b'o seno do angulo e 0'),
    (['--exact', 'tg270'], b'nan\n', 1, b'o cosseno do angulo e 0'),
    (['--exact', 'arcsen2'], b'nan\n', 1, b'o arco-seno de "arcsen2" nao existe'),
    (['--exact', 'arcos-1.5'], b'nan\n', 1, b'o arco-cosseno de "arcos-1.5" nao existe'),
    (['--exact', '[1]/[0]'], b'nan\n', 1, b':1:4: divisao por 0 em "/"'),
    (['--exact', '[1]/[sin180]'], b'nan\n', 1, b'divisao por 0'),
    (['--exact', '[1]/[[sin60]x[sin60]-[0.75]]'], None, 1, b''),
    (['--exact', 'sin(1/0)'], b'nan\n', 1, b'divisao por 0'),
    (['--exact', '[9e999999999]x[9e999999999]'], b'nan\n', 1,
     b'"9e999999999" e grande demais para o calculo exato'),
    (['--exact', 'radsin1e99999'], b'nan\n', 1, b'grande demais'),
    (['--exact', '-d5', 'cotg90', 'tg180', 'cosec90', 'sec180', 'arcos0', 'arctg1', 'arctg-1'],
     b'0\n0\n1\n-1\n90\n45\n-45\n', 0, b''),
    # Angles in radians that are no multiple of pi, numbers too large for Calcium: undecided,
    # said, never guessed.
    (['--exact', '[radsin1e1300]-[radsin1e1300]'], b'nan\n', 1,
     b'nao pode ser distinguido de 0'),
    # Identities at rational angles, decided in their cyclotomic field at every digit count.
    (['--exact', '-d6', '[sin0.1]x[sin0.1]+[cos0.1]x[cos0.1]-[1]', '[cos20]-[sin70]',
      '[tg1]x[tg89]-[1]', '[sin1e1300]-[sin1e1300]'], b'0\n0\n0\n0\n', 0, b''),
    (['--exact', '--digits=1000', '[tan1.5]x[tan2.5]x[tan3.5]-[tan3.5]x[tan2.5]x[tan1.5]',
      '[tg10]x[tg20]x[tg30]x[tg40]x[tg50]x[tg60]x[tg70]x[tg80]-[1]'], b'0\n0\n', 0, b''),
    # Exact decisions that take Calcium long (an angle of 0.001 degrees needs a field of degree
    # 96,000): cut short at its bound, said, never guessed; and one it makes quickly (a
    # product of sines in another order is the same).
    (['--exact', '--digits=1000',
      '[tan1.5]x[tan2.5]x[tan3.5]x[tan0.001]-[tan0.001]x[tan3.5]x[tan2.5]x[tan1.5]'],
     b'nan\n', 1, b'nao pode ser distinguido de 0'),
    (['--exact', '--digits=1000', '[sin1]x[sin2]x[sin3]x[sin4]x[sin5]-[sin5]x[sin4]x[sin3]x[sin2]x[sin1]'],
     b'0\n', 0, b''),
    # Just below a power of ten, by hand: every digit a nine, at 19, 20 and 1000 digits.
    (['--exact', '-d19', '[1]-[1e-19]', '[1e19]-[1]'], b'0.9999999999999999999\n9999999999999999999\n',
     0, b''),
    (['--exact', '-d20', '[0.1]-[1e-21]', '[1e16]-[1e-4]'],
     b'0.099999999999999999999\n9999999999999999.9999\n', 0, b''),
    (['--exact', '--digits=1000', '[1e-3]-[1e-1003]'], b'0.000' + b'9' * 1000 + b'\n', 0, b''),
    # Near 0 by the size of the line's numbers, from mpmath at 5200 digits; arcsin(1 - e) is
    # 90 - (180 / pi) sqrt(2e) degrees, within e^1.5: 90 - 8.1e-9998.
    (['--exact', '-d17', '[sin(30+1e-3000)]-[0.5]', '[cos(60-1e-5000)]-[0.5]',
      'arcsen(1-1e-19999)'], b'1.5114994701951815e-3002\n1.5114994701951815e-5002\n90\n', 0,
     b''),
    (['--exact', '-d1', '[sin(30+1e-3000)]-[0.5]', '[cos(60-1e-5000)]-[0.5]'],
     b'2e-3002\n2e-5002\n', 0, b''),
    # Powers of a value exactly 0 are 0 as the products they stand for: cos 72 + cos 144 is
    # -1/2 (the real parts of two fifth roots of unity), cos 36 = sin 54.
    (['-n', '-e', '(cos72+cos144+0.5)^2', '(cos36-sen54)^2', '(cos36-sen54)*(cos36-sen54)'],
     b'0\n0\n0\n', 0, b''),
    # An undecided value says the closest its balls knew it: 1000 digits' balls, 16 times
    # finer at the last, show it to some 16,000 digits (3370 x 16 bits).
    (['-n', '-e', '-d1000', 'rad sen(10^100000)-sen(10^100000)'], b'nan\n', 1,
     b'alem de 10^-16'),
    # What the reading notes is noted in the exact mode as without it.
    (['--exact', '2*sin30'], b'0\n', 1, b'nada depois de "*"'),
    (['--exact', '--digits=1000', '[1]'], b'1\n', 0, b''),
    (['--exact', '--digits=1001', 'sin30'], b'', 2, b'"1001"'),
    (['--digits=18', '--exact', 'sin30'], b'0.5\n', 0, b''),
    (['--digits=18', 'sin30'], b'', 2, b'"18"'),
    # --form implies --exact, takes its digits and a value of "only" or "beside".
    (['-f', 'sin1', 'tg90'], b'0.0174524\nnan\n', 1, b'a tangente de "tg90" nao existe'),
    (['--form=beside', '-d3', 'sin1', '[0.1]+[0.2]'], b'0.0175\n0.3\n', 0, b''),
    (['--form=only', '-d1001', 'sin30'], b'', 2, b'"1001"'),
    (['--form=all', 'sin30'], b'', 2, b'valor invalido para --form: "all"'),
]


def run(program, arguments, stdin_bytes=b'', locale='C'):
    """Runs the program in `locale` (LC_ALL): the C locale's messages are the unaccented ones
    the rows hold; a UTF-8 one writes the exact forms with their signs."""
    done = subprocess.run([program] + arguments, input=stdin_bytes, capture_output=True,
                          timeout=TIME_LIMIT, env=dict(os.environ, LC_ALL=locale))
    return done.returncode, done.stdout, done.stderr


def check_row(program, arguments, expected, status, error_text):
    got_status, out, err = run(program, arguments)
    problems = []
    if got_status != status:
        problems.append('status %d, expected %d (%r)' % (got_status, status, err[:300]))
    if expected is not None and out != expected:
        problems.append('output %r, expected %r' % (out[:300], expected))
    if expected is None and out not in (b'nan\n',):
        problems.append('output %r, expected nan' % out[:300])
    if error_text and error_text not in err:
        problems.append('standard error %r does not hold %r' % (err[:400], error_text))
    if not error_text and status == 0 and err:
        problems.append('standard error %r' % err[:300])
    return problems


def check_thousand_digits(program):
    """sin 1 deg at 1000 digits: 1000 significant digits, the first 60 as in the table."""
    status, out, err = run(program, ['--exact', '--digits=1000', 'sin1'])
    text = out.decode().strip()
    significant = text.replace('0.0', '', 1).lstrip('0')
    problems = [] if status == 0 and not err else ['status %d, %r' % (status, err)]
    if not text.startswith(SIN_1_DEGREE[:60]) or len(significant) > 1000:
        problems.append('%r... (%d significant digits)' % (text[:80], len(significant)))
    return problems


def check_nines_below_powers_of_ten(program):
    """10^E - 10^(E - 30) at 30 digits for E from -25 to 130: thirty nines times
    10^(E - 30), written as %g writes them."""
    lines = ['[1e%d]-[1e%d]' % (e, e - 30) for e in range(-25, 131)]
    status, out, err = run(program, ['--exact', '-d30', '-'], ''.join(l + '\n' for l in lines).encode())
    problems = [] if status == 0 and not err else ['status %d, %r' % (status, err[:300])]
    got = out.decode().split('\n')
    decimal.getcontext().prec = 60
    for k, e in enumerate(range(-25, 131)):
        expected = format_g(decimal.Decimal('9' * 30 + 'e%d' % (e - 30)), 30)
        if k >= len(got) or got[k] != expected:
            problems.append('%s: %r, expected %r' % (lines[k], got[k] if k < len(got) else None,
                                                     expected))
    return problems[:10]


def check_dialogue(program):
    """The dialogue in the exact mode: =nan without a word where there is no value, exact
    values at the digits asked for, status 0."""
    status, out, err = run(program, ['--exact', '-d30'], b'1\ntan90\n1\nsin30\n1\n[0.1]+[0.2]\n0\n')
    problems = [] if status == 0 and not err else ['status %d, stderr %r' % (status, err)]
    for value in (b'=nan\n\n', b'=0.5\n\n', b'=0.3\n\n'):
        if value not in out:
            problems.append('no %r in the transcript %r' % (value, out[-300:]))
    return problems


# A decision Calcium cannot make within its second of processor time.
SLOW_DECISION = '[tan1.5]x[tan2.5]x[tan3.5]x[tan0.001]-[tan0.001]x[tan3.5]x[tan2.5]x[tan1.5]'
# A line of numbers so large that its balls need megabytes (an angle of 140,000 digits).
LARGE_LINE = 'radsin(1e19999*1e19999*1e19999*1e19999*1e19999*1e19999*1e19999+1)'


def run_limited(program, arguments, stdin_bytes=b'', address_kb=None, core=False,
                ignore_cpu_signal=False, cwd=None):
    """Runs the program, in the C locale as run() does, with an address-space limit, core
    files allowed or SIGXCPU ignored, as a launcher might have set them."""
    def set_up():
        if address_kb is not None:
            resource.setrlimit(resource.RLIMIT_AS, (address_kb * 1024, address_kb * 1024))
        if core:
            resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY,) * 2)
        if ignore_cpu_signal:
            signal.signal(signal.SIGXCPU, signal.SIG_IGN)
    done = subprocess.run([program] + arguments, input=stdin_bytes, capture_output=True,
                          timeout=TIME_LIMIT, preexec_fn=set_up, cwd=cwd,
                          env=dict(os.environ, LC_ALL='C'))
    return done.returncode, done.stdout, done.stderr


def smallest_address_limit(program):
    """The smallest address-space limit, in KiB to the nearest MiB, at which the exact mode
    starts and computes sin30."""
    low, high = 1024, 1024 * 1024
    while high - low > 1024:
        middle = (low + high) // 2
        status, out, _ = run_limited(program, ['-e', 'sin30'], address_kb=middle)
        low, high = (low, middle) if status == 0 and out == b'0.5\n' else (middle, high)
    return high


def check_memory_limit(program):
    """Under an address-space limit the exact mode just starts in, the values before a line
    that needs megabytes are written, and that line is nan with a report: never an abort.
    A program built with AddressSanitizer cannot start under such a limit: skipped there."""
    if sanitized(program):
        print('skipped: the memory limit (AddressSanitizer cannot reserve its shadow under one)')
        return []
    limit = smallest_address_limit(program) + 1024
    status, out, err = run_limited(program, ['-e', '-d5', '-'],
                                   b'sin30\ncos60\n' + LARGE_LINE.encode() + b'\n', limit)
    problems = []
    if status != 1 or out != b'0.5\n0.5\nnan\n':
        problems.append('at %d KiB: status %d, output %r' % (limit, status, out))
    if b':3:1: o calculo exato precisou de mais memoria' not in err:
        problems.append('standard error %r' % err[:300])
    return problems


# Nine factors pi^(2^19) and 1: the sum needs pi to some 7.8 million bits, megabytes.
PI_POWERS = '*'.join(['\u03c0^2^19'] * 9) + '+1'


def check_powers_out_of_memory(program):
    """A line whose powers need megabytes, under an address-space limit of 40,000 KiB (the
    program itself runs in far less): the values before and after it written, it nan with
    the memory report, status 1, and no words of the libraries on standard output."""
    if sanitized(program):
        print('skipped: the memory limit (AddressSanitizer cannot reserve its shadow under one)')
        return []
    lines = 'sin30\ncos60\n%s\ntg45\n' % PI_POWERS
    status, out, err = run_limited(program, ['-n', '-e', '-d1000', '-'], lines.encode(), 40000)
    problems = [] if status == 1 and out == b'0.5\n0.5\nnan\n1\n' else [
        'status %d, output %r' % (status, out[:200])]
    if b':3:1: o calculo exato precisou de mais memoria' not in err:
        problems.append('standard error %r' % err[:300])
    return problems


def computing_child(pid):
    """The bounded child of the process `pid`, once it has one (None after TIME_LIMIT)."""
    deadline = time.monotonic() + TIME_LIMIT
    while time.monotonic() < deadline:
        try:
            with open('/proc/%d/task/%d/children' % (pid, pid)) as f:
                children = f.read().split()
        except OSError:
            return None
        if children:
            return int(children[0])
        time.sleep(0.01)
    return None


def check_values_kept_on_signal(program):
    """A signal ending the program while a line is computed in its bounded child loses only
    that line: the values before it were written before the child started."""
    problems = []
    lines = 'sin30\ncos60\n%s\ntg45\n' % SLOW_DECISION
    for ending in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP, signal.SIGQUIT):
        child = subprocess.Popen([program, '-e', '-d1000', '-'], stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                 env=dict(os.environ, LC_ALL='C'))
        child.stdin.write(lines.encode())
        child.stdin.close()
        computing_child(child.pid)
        child.send_signal(ending)
        out = child.stdout.read()
        status = child.wait(timeout=TIME_LIMIT)
        if status != -ending or out != b'0.5\n0.5\n':
            problems.append('%s: status %d, output %r' % (ending.name, status, out))
    return problems


def check_child_ended_from_outside(program):
    """A bounded child killed from outside is said to have ended by that signal (not by a
    bound it did not reach); one stopped from outside holds the program 3 s, as long as it
    takes no processor time."""
    problems = []
    for act, said in ((signal.SIGKILL, b'terminou pelo sinal 9, sem ser um dos seus limites'),
                      (signal.SIGSTOP, b'ficou 3 s sem usar o processador')):
        child = subprocess.Popen([program, '-e', '-d1000', SLOW_DECISION],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                 env=dict(os.environ, LC_ALL='C'))
        computing = computing_child(child.pid)
        if computing is None:
            child.communicate()
            problems.append('%s: the line never went to a child' % act.name)
            continue
        os.kill(computing, act)
        try:
            out, err = child.communicate(timeout=TIME_LIMIT)
        except subprocess.TimeoutExpired:
            for pid in (computing, child.pid):
                os.kill(pid, signal.SIGKILL)
            child.communicate()
            problems.append('%s: still waiting %d s later' % (act.name, TIME_LIMIT))
            continue
        if child.returncode != 1 or out != b'nan\n' or said not in err:
            problems.append('%s: status %d, %r, %r' % (act.name, child.returncode, out, err[:300]))
    return problems


def check_no_core_file(program):
    """A decision stopped at its bound leaves no core file, even where core files are allowed
    and one named core is there already."""
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, 'core'), 'w') as mine:
            mine.write('mine\n')
        status, out, _ = run_limited(program, ['-e', '-d1000', SLOW_DECISION], core=True,
                                     cwd=folder)
        with open(os.path.join(folder, 'core'), 'rb') as mine:
            kept = mine.read()
        others = sorted(set(os.listdir(folder)) - {'core'})
    problems = [] if status == 1 and out == b'nan\n' else ['status %d, %r' % (status, out)]
    if kept != b'mine\n' or others:
        problems.append('the folder now holds %r, core: %r' % (others, kept[:40]))
    return problems


def sanitized(program):
    """True for a program built with AddressSanitizer, which cannot start under an
    address-space limit of 2 GiB."""
    _, _, err = run_limited(program, ['-e', 'sin30'], address_kb=2 * 1024 * 1024)
    return b'AddressSanitizer' in err


def check_ignored_cpu_signal(program):
    """A launcher that ignores SIGXCPU does not stretch the decision's bound of 1 s of
    processor time to the hard limit: the whole run takes well under 2 s of it (a sanitized
    build gives its children four times the time, exact/child_limits_sanitized.cpp)."""
    bound = 4 if sanitized(program) else 1
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    status, out, _ = run_limited(program, ['-e', '-d1000', SLOW_DECISION],
                                 ignore_cpu_signal=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    used = (after.ru_utime + after.ru_stime) - (before.ru_utime + before.ru_stime)
    problems = [] if status == 1 and out == b'nan\n' else ['status %d, %r' % (status, out)]
    if used > 1.6 * bound:
        problems.append('%.2f s of processor time' % used)
    return problems


def module_of_another_version(program):
    """The program's module with the version it is stamped with changed, or None when that
    version is not found in it exactly once."""
    version = run(program, ['--version'])[1].split()[-1]
    with open(os.path.join(os.path.dirname(program), 'trigcalc-exact.so'), 'rb') as module:
        content = module.read()
    stamp = version + b'\0'
    if content.count(stamp) != 1:
        return None
    return content.replace(stamp, b'0' * len(version) + b'\0')


def check_module_reasons(program):
    """Where the module cannot be used, --exact says why: not found beside the program, not
    loaded (in the loader's own words), stamped with another version, cut short (the loader
    would fault on it) or no regular file (a FIFO would hold it for ever); status 2."""
    problems = []
    other = module_of_another_version(program)
    if other is None:
        problems.append('the version is not stamped once in the module')
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, 'trigcalc')
        shutil.copy(program, copy)
        with open(os.path.join(os.path.dirname(program), 'trigcalc-exact.so'), 'rb') as module:
            cut_short = module.read(4096)  # an upgrade or a copy interrupted
        cases = [(None, b'nao foi achado a partir de ' + folder.encode()),
                 (b'not a shared object', b'nao pode ser carregado: '),
                 (other, b'foi feito com outra versao do programa'),
                 (cut_short, b'esta incompleto (uma copia interrompida?)'),
                 ('fifo', b'nao e um arquivo comum')]
        for content, said in cases:
            module_path = os.path.join(folder, 'trigcalc-exact.so')
            if os.path.exists(module_path):
                os.remove(module_path)
            if content == 'fifo':
                os.mkfifo(module_path)
            elif content is not None:
                with open(module_path, 'wb') as module:
                    module.write(content)
            status, out, err = run(copy, ['--exact', 'sin30'])
            if status != 2 or out or said not in err or b'Arb e Calcium' in err:
                problems.append('%r: status %d, stderr %r' % (content, status, err[:300]))
    return problems


def check_module_loaded_at_first_line(program):
    """The module is loaded at the first exact line, not while the options are read: without
    it, --exact --help and --exact on no line at all succeed; the dialogue stops at its first
    line with status 2 and the reason, its value never written."""
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, 'trigcalc')
        shutil.copy(program, copy)
        cases = [(['--exact', '--help'], b'', 0, b'Uso: trigcalc', b''),
                 (['--exact', '-'], b'', 0, b'', b''),
                 (['--exact'], b'1\nsin30\n1\ncos0\n0\n', 2, b'Digite dados', b'nao foi achado'),
                 (['--form', '-'], b'sin30\n', 2, b'', b'--form nao esta disponivel')]
        for arguments, given, status, out_holds, err_holds in cases:
            got, out, err = run(copy, arguments, given)
            wrong = got != status or out_holds not in out or b'=0.5' in out
            if wrong or (err_holds and err_holds not in err) or (not err_holds and err):
                problems.append('%r: status %d, stdout %r, stderr %r' %
                                (arguments, got, out[-120:], err[:300]))
    return problems


def format_g(value, digits):
    """`value` (a Decimal) rounded to `digits` significant digits, ties to even, written as
    C's "%.{digits}g" writes a number."""
    if value == 0:
        return '0'
    rounded = value.quantize(decimal.Decimal(1).scaleb(value.adjusted() - digits + 1),
                             rounding=decimal.ROUND_HALF_EVEN)
    if rounded.adjusted() != value.adjusted():  # 9.99 became 10.0: one digit fewer after
        rounded = rounded.quantize(decimal.Decimal(1).scaleb(rounded.adjusted() - digits + 1),
                                   rounding=decimal.ROUND_HALF_EVEN)
    sign, figures, _ = rounded.as_tuple()
    figures = ''.join(map(str, figures)).rstrip('0') or '0'
    exponent = rounded.adjusted()
    text = '-' if sign else ''
    if exponent < -4 or exponent >= digits:
        mantissa = figures[0] + ('.' + figures[1:] if len(figures) > 1 else '')
        return text + '%se%s%02d' % (mantissa, '-' if exponent < 0 else '+', abs(exponent))
    if exponent < 0:
        return text + '0.' + '0' * (-exponent - 1) + figures
    whole = figures[:exponent + 1].ljust(exponent + 1, '0')
    return text + whole + ('.' + figures[exponent + 1:] if len(figures) > exponent + 1 else '')


def random_lines(count, seed):
    """Random lines in the documented form, each with its value computed with mpmath from the
    parts it is written from: amplitudes, names, degree or radian arguments (sums, products
    and quotients), inverse functions, brackets joined by operators. Angles never lie on a
    multiple of 90 degrees and ratios stay within [-1, 1], so every value exists and is no
    tie; the values are returned as mpmath numbers at the precision set by the caller."""
    import mpmath
    rng = random.Random(seed)
    direct = {'sin': mpmath.sin, 'cos': mpmath.cos, 'tg': mpmath.tan, 'cotg': mpmath.cot,
              'sec': mpmath.sec, 'cosec': mpmath.csc}
    inverse = {'arcsen': mpmath.asin, 'arcos': mpmath.acos, 'arctg': mpmath.atan}

    def angle():
        text = '%d.%s' % (rng.randrange(0, 720), rng.choice(['25', '5', '125', '7', '03']))
        return text, mpmath.mpf(text)

    def argument():
        (a, x), (b, y) = angle(), angle()
        op = rng.choice(['', '+', '-', '*', '/'])
        if op == '':
            return a, x
        value = {'+': x + y, '-': x - y, '*': x * y, '/': x / y}[op]
        if mpmath.frac(value / 90) == 0:
            return a, x
        return a + op + b, value

    def term():
        amplitude, scale = rng.choice([('', 1), ('2', 2), ('0.5', mpmath.mpf('0.5')),
                                       ('3*1.5', mpmath.mpf('4.5')), ('-7', -7)])
        radians = rng.random() < 0.3
        if rng.random() < 0.25:
            name = rng.choice(list(inverse))
            ratio = '%s0.%03d' % (rng.choice(['', '-']), rng.randrange(1, 1000))
            value = inverse[name](mpmath.mpf(ratio))
            value = value if radians else value * 180 / mpmath.pi
            return ('rad' if radians else '') + amplitude + name + ratio, scale * value
        name = rng.choice(list(direct))
        text, x = argument()
        value = direct[name](x if radians else x * mpmath.pi / 180)
        return ('rad' if radians else '') + amplitude + name + '(' + text + ')', scale * value

    lines = []
    for _ in range(count):
        if rng.random() < 0.5:
            lines.append(term())
            continue
        parts = [term() if rng.random() < 0.7 else angle() for _ in range(rng.randrange(2, 4))]
        ops = [rng.choice('+-*/') for _ in parts[:-1]]
        text = '[' + parts[0][0] + ']' + ''.join(
            op + '[' + part[0] + ']' for op, part in zip(ops, parts[1:]))
        expression = 'v0' + ''.join(
            ' %s v%d' % (op, k + 1) for k, op in enumerate(ops))
        value = eval(expression, {'v%d' % k: part[1] for k, part in enumerate(parts)})
        lines.append((text, value))
    return lines


def check_random_lines(program, digits, count, seed):
    """The program's digits for random lines against mpmath's, at `digits` digits."""
    try:
        import mpmath
    except ImportError:
        return []  # said by main
    mpmath.mp.dps = digits + 40
    decimal.getcontext().prec = digits + 60
    lines = [(text, value) for text, value in random_lines(count, seed)
             if abs(value) > mpmath.mpf(10) ** -(digits // 2)]
    stdin = ''.join(text + '\n' for text, _ in lines).encode()
    status, out, err = run(program, ['--exact', '--digits=%d' % digits, '-'], stdin)
    problems = [] if status == 0 and not err else ['status %d, %r' % (status, err[:300])]
    got = out.decode().split('\n')
    for k, (text, value) in enumerate(lines):
        expected = format_g(decimal.Decimal(mpmath.nstr(value, digits + 30, strip_zeros=False,
                                                        min_fixed=1, max_fixed=0)), digits)
        if k >= len(got) or got[k] != expected:
            problems.append('%s: %r, expected %r' % (text, got[k][:80] if k < len(got) else None,
                                                     expected[:80]))
    return problems[:10]


# The exact forms (--form) as a textbook prints them, from a table of exact trigonometric
# values and identities by hand (sin 20 sin 40 sin 80 = sqrt(3)/8, tan 20 tan 40 tan 80 =
# tan 60, sin 15 + sin 75 = 2 sin 45 cos 30, cos 15 - sin 15 = sqrt(2) sin 30 ... ); None: the
# digits alone (a short decimal that is the value, or a value with none of the forms). The
# terms stand in the program's fixed order: those added before those taken away; an integer,
# square roots by falling radicand, nested roots.
FORMS = [
    ('sen15', '(√6 − √2)/4'), ('cos15', '(√6 + √2)/4'), ('tg15', '2 − √3'),
    ('sen30', None), ('cos30', '√3/2'), ('tg30', '√3/3'),
    ('sen45', '√2/2'), ('tg45', None), ('sen60', '√3/2'), ('tg60', '√3'),
    ('sen75', '(√6 + √2)/4'), ('tg75', '2 + √3'), ('cos105', '(√2 − √6)/4'),
    ('tg105', '−2 − √3'), ('sen120', '√3/2'), ('cos135', '−√2/2'), ('cos150', '−√3/2'),
    ('tg165', '√3 − 2'), ('sen18', '(√5 − 1)/4'), ('cos18', '√(10 + 2√5)/4'),
    ('tg18', '√(25 − 10√5)/5'), ('sen36', '√(10 − 2√5)/4'), ('cos36', '(1 + √5)/4'),
    ('tg36', '√(5 − 2√5)'), ('sen54', '(1 + √5)/4'), ('cos72', '(√5 − 1)/4'),
    ('tg72', '√(5 + 2√5)'), ('sen144', '√(10 − 2√5)/4'), ('sen6', '(√(30 − 6√5) − 1 − √5)/8'),
    ('tg9', '1 + √5 − √(5 + 2√5)'), ('cos22.5', '√(2 + √2)/2'), ('tg22.5', '√2 − 1'),
    # Reciprocals.
    ('sec45', '√2'), ('cosec60', '2√3/3'), ('sec30', '2√3/3'), ('cotg30', '√3'),
    ('cotg60', '√3/3'), ('sec15', '√6 − √2'), ('cosec15', '√6 + √2'), ('cotg15', '2 + √3'),
    ('sec36', '√5 − 1'), ('cosec18', '1 + √5'), ('sec18', '√(50 − 10√5)/5'),
    # Inverse functions at the notable ratios, in degrees and radians.
    ('arcsen0.5', None), ('arcos-0.5', None), ('radarcsen0.5', 'π/6'), ('radarcos0.5', 'π/3'),
    ('radarcos-0.5', '2π/3'), ('radarctg1', 'π/4'), ('radarctg-1', '−π/4'),
    ('radarcsen-1', '−π/2'), ('radarcos-1', 'π'),
    # Products, quotients and sums of brackets.
    ('[sen60]x[2]', '√3'), ('[sen15]x[cos15]', None), ('[sen15]/[cos15]', '2 − √3'),
    ('[tg30]x[tg60]', None), ('[sen45]+[cos45]', '√2'), ('[sen60]x[sen60]', None),
    ('[1]/[3]', '1/3'), ('[-2]/[3]', '−2/3'), ('[sen15]+[sen75]', '√6/2'),
    ('[cos15]-[sen15]', '√2/2'), ('[sen20]x[sen40]x[sen80]', '√3/8'),
    ('[tg20]x[tg40]x[tg80]', '√3'), ('[cos36]-[cos72]', None), ('[sen60]x[pi]', 'π√3/2'),
    ('[1]/[pi]', '1/π'), ('[pi]x[pi]', 'π²'), ('[sen45]/[pi]', '√2/(2π)'),
    ('[sen15]x[pi]', 'π(√6 − √2)/4'),
    # No form: transcendental, or algebraic of degree 3 (cos 20) or 8 (sin 9).
    ('sen1', None), ('radsin1', None), ('sen0.5', None), ('cos20', None), ('sen9', None),
    ('[sin1]+[sin2]', None), ('radarcsen0.3', None),
]

# The same in ASCII (any locale whose character type is not UTF-8).
ASCII_FORMS = [
    ('sen60', 'sqrt(3)/2'), ('tg15', '2 - sqrt(3)'), ('sen36', 'sqrt(10 - 2*sqrt(5))/4'),
    ('radarcos-0.5', '2*pi/3'), ('cos135', '-sqrt(2)/2'), ('[sen60]x[pi]', 'pi*sqrt(3)/2'),
    ('[pi]x[pi]', 'pi^2'), ('[1]/[pi]', '1/pi'), ('tg105', '-2 - sqrt(3)'),
    ('cos165', '-(sqrt(6) + sqrt(2))/4'), ('sen1', None),
]

UTF8_LOCALE = 'C.UTF-8'
SUPERSCRIPTS = {'⁰': '0', '¹': '1', '²': '2', '³': '3', '⁴': '4', '⁵': '5', '⁶': '6',
                '⁷': '7', '⁸': '8', '⁹': '9'}


def evaluate_form(text):
    """The value of a form in either script, with mpmath: sums, products (written side by side
    or with '*'), quotients, roots (√, ∛, ∜, sqrt()), pi, powers (superscripts or '^')."""
    import mpmath
    text = text.replace('−', '-').replace('·', '*')
    at = [0]

    def skip():
        while at[0] < len(text) and text[at[0]] == ' ':
            at[0] += 1
        return text[at[0]:]

    def take(word):
        if skip().startswith(word):
            at[0] += len(word)
            return True
        return False

    def atom():
        if take('sqrt(') or take('('):
            root = text[at[0] - 5:at[0]] == 'sqrt('
            value = expression()
            assert take(')'), text
            return mpmath.sqrt(value) if root else value
        for sign, index in (('√', 2), ('∛', 3), ('∜', 4)):
            if take(sign):
                return mpmath.root(power(), index)
        if take('π') or take('pi'):
            return +mpmath.pi
        digits = len(skip()) - len(skip().lstrip('0123456789'))
        assert digits > 0, 'no number at %d in %r' % (at[0], text)
        at[0] += digits
        return mpmath.mpf(text[at[0] - digits:at[0]])

    def power():
        value = atom()
        if skip()[:1] in SUPERSCRIPTS:
            exponent = ''
            while text[at[0]:at[0] + 1] in SUPERSCRIPTS:
                exponent += SUPERSCRIPTS[text[at[0]]]
                at[0] += 1
            return value ** int(exponent)
        return value ** atom() if take('^') else value

    def product():
        value = power()
        while True:
            rest = skip()
            if take('/'):
                value /= power()
            elif take('*'):
                value *= power()
            elif rest[:1] and (rest[0] in '0123456789(√∛∜π' or rest.startswith('sqrt')
                               or rest.startswith('pi')):
                value *= power()
            else:
                return value

    def expression():
        value = -product() if take('-') else product()
        while True:
            if take('+'):
                value += product()
            elif take('-'):
                value -= product()
            else:
                return value

    value = expression()
    assert not skip(), 'left over %r in %r' % (skip(), text)
    return value


def utf8_locale_missing():
    """True when the UTF-8 locale the checks use cannot be had."""
    import locale
    try:
        locale.setlocale(locale.LC_CTYPE, UTF8_LOCALE)
        return False
    except locale.Error:
        return True
    finally:
        locale.setlocale(locale.LC_CTYPE, 'C')


def check_forms(program, rows, locale, separator):
    """Each line's output: its form, the separator and the digits, or the digits alone; each
    form, evaluated independently, printing the same 30 digits."""
    import mpmath
    mpmath.mp.dps = 80
    decimal.getcontext().prec = 100
    stdin = ''.join(line + '\n' for line, _ in rows).encode()
    status, out, err = run(program, ['--form', '-d30', '-'], stdin, locale)
    problems = [] if status == 0 and not err else ['status %d, %r' % (status, err[:300])]
    got = out.decode('utf-8').split('\n')
    for k, (line, form) in enumerate(rows):
        text = got[k] if k < len(got) else ''
        shown, _, digits = text.rpartition(separator)
        if form is None and shown:
            problems.append('%s: %r, expected the digits alone' % (line, text))
        if form is not None and shown != form:
            problems.append('%s: %r, expected %r' % (line, text, form))
        if form is not None and shown == form:
            value = evaluate_form(form)
            expected = format_g(decimal.Decimal(mpmath.nstr(value, 60, min_fixed=1, max_fixed=0)),
                                30)
            if digits != expected:
                problems.append('%s: %s is %s, printed %s' % (line, form, expected, digits))
    return problems


def check_form_only(program):
    """--form=only: the form alone, or the digits where there is none."""
    status, out, err = run(program, ['--form=only', 'sen60', 'sen1', 'sen30', '[1]/[3]'], b'',
                           UTF8_LOCALE)
    expected = '√3/2\n0.0174524\n0.5\n1/3\n'.encode()
    return [] if (status, out, err) == (0, expected, b'') else ['%d %r %r' % (status, out, err)]


def check_every_whole_degree(program):
    """The six functions at every whole degree from 0 to 360: every form printed evaluates to
    the digits printed beside it, and every value at a multiple of 15 or 18 degrees that is not
    rational (by Niven's theorem the rational ones print 0, 0.5, 1, 2 or their negatives, or
    nan) has a form, as the textbook gives one."""
    import mpmath
    mpmath.mp.dps = 60
    names = ['sin', 'cos', 'tg', 'cotg', 'sec', 'cosec']
    lines = ['%s%d' % (name, degree) for name in names for degree in range(361)]
    status, out, err = run(program, ['--form', '-d30', '-'], ''.join(l + '\n' for l in lines)
                           .encode(), 'C')
    problems = [] if status == 1 and b'nao existe' in err else ['status %d' % status]
    for line, text in zip(lines, out.decode().split('\n')):
        form, _, digits = text.rpartition(' ~ ')
        degree = int(line.lstrip('abcdefghijklmnopqrstuvwxyz'))
        rational = len(digits.lstrip('-').replace('.', '')) <= 2 or digits == 'nan'
        if form and abs(evaluate_form(form) - mpmath.mpf(digits)) > mpmath.mpf(10) ** -28 * max(
                1, abs(mpmath.mpf(digits))):
            problems.append('%s: %s is not %s' % (line, form, digits))
        if not form and not rational and (degree % 15 == 0 or degree % 18 == 0):
            problems.append('%s: no form beside %s' % (line, digits))
    return problems[:10]


def check_form_dialogue(program):
    """The dialogue with --form: the form and the digits as its one result line."""
    status, out, err = run(program, ['--form'], b'1\nsen60\n1\nsen30\n1\nsen1\n0\n', UTF8_LOCALE)
    problems = [] if status == 0 and not err else ['status %d, stderr %r' % (status, err)]
    for value in ('=√3/2 ≈ 0.866025\n\n', '=0.5\n\n', '=0.0174524\n\n'):
        if value.encode() not in out:
            problems.append('no %r in the transcript %r' % (value, out[-300:]))
    return problems


def check_form_time_bound(program):
    """Deciding a form, or that there is none, is quick: the six functions at every half and
    tenth of a degree (nearly none has a form) take under 1 ms of processor time a line with
    --form, at every whole degree under 2 ms. A bound on a batch, far above what they take
    (bench/forms.sh measures that)."""
    names = ['sin', 'cos', 'tg', 'cotg', 'sec', 'cosec']
    batches = [(['%s%d.5' % (n, k) for n in names for k in range(360)] +
                ['%s%d.3' % (n, k) for n in names for k in range(360)], 1e-3),
               (['%s%d' % (n, k) for n in names for k in range(360)], 2e-3)]
    problems = []
    for lines, bound in batches:
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        run(program, ['--form', '-'], ''.join(l + '\n' for l in lines).encode())
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        used = (after.ru_utime + after.ru_stime) - (before.ru_utime + before.ru_stime)
        if used / len(lines) > bound:
            problems.append('%s...: %.3f ms a line' % (lines[0], used / len(lines) * 1e3))
    return problems


def main():
    program = os.path.abspath(sys.argv[1])
    status, _, err = run(program, ['--exact', 'sin30'])
    if status == 2:
        # A build without the exact mode: --exact says so, and nothing else is checked.
        print('skipped: the exact mode is not in this build (Arb and Calcium were not found)')
        return run_checks([('--exact not available says so',
                            lambda: [] if b'--exact' in err else ['stderr %r' % err])])
    checks = [('%s' % ' '.join(row[0]), lambda r=row: check_row(program, *r)) for row in ROWS]
    checks += [('sin1 at 1000 digits', lambda: check_thousand_digits(program)),
               ('nines just below every power of ten',
                lambda: check_nines_below_powers_of_ten(program)),
               ('the dialogue in the exact mode', lambda: check_dialogue(program)),
               ('a line that needs more memory than there is', lambda: check_memory_limit(program)),
               ('a line of powers that needs more memory than there is',
                lambda: check_powers_out_of_memory(program)),
               ('the values before a line kept when a signal ends the program',
                lambda: check_values_kept_on_signal(program)),
               ('a child ended or stopped from outside',
                lambda: check_child_ended_from_outside(program)),
               ('no core file from a decision stopped', lambda: check_no_core_file(program)),
               ('an ignored SIGXCPU does not stretch the bound',
                lambda: check_ignored_cpu_signal(program)),
               ('--exact says why the module cannot be used', lambda: check_module_reasons(program)),
               ('the module loaded at the first exact line',
                lambda: check_module_loaded_at_first_line(program))]
    checks += [('--form=only', lambda: check_form_only(program)),
               ('the dialogue with --form', lambda: check_form_dialogue(program)),
               ('a form decided quickly', lambda: check_form_time_bound(program))]
    if utf8_locale_missing():
        print('skipped: the forms in UTF-8 (the locale %s is missing)' % UTF8_LOCALE)
        checks = [c for c in checks if 'with --form' not in c[0] and c[0] != '--form=only']
    try:
        import mpmath  # noqa: F401
        if not utf8_locale_missing():
            checks.append(('textbook forms in UTF-8',
                           lambda: check_forms(program, FORMS, UTF8_LOCALE, ' ≈ ')))
        checks += [('textbook forms in ASCII',
                    lambda: check_forms(program, ASCII_FORMS, 'C', ' ~ ')),
                   ('forms at every whole degree', lambda: check_every_whole_degree(program))]
        checks += [('random lines against mpmath at %d digits' % d,
                    lambda d=d, s=s: check_random_lines(program, d, 300, s))
                   for d, s in ((6, 1), (25, 2), (250, 3))]
    except ImportError:
        print('skipped: random lines and the forms against mpmath (python3-mpmath is not '
              'installed)')
    return run_checks(checks)


if __name__ == '__main__':
    sys.exit(main())
