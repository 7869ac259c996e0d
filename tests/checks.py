"""Runs named checks for the test scripts (command_line_test.py, hostile_input_test.py and
terminal_test.py alike): each check returns a list of problems, empty when it passed; a
harness whose helpers raise turns what they raise into problems at the check's edge. Prints
one line per check with its time, its problems under it, and a closing count."""
import time


def run_checks(checks):
    """Runs `checks`, pairs of a name and a function returning problems; returns the exit
    status, 1 when any check found a problem."""
    failures = 0
    for name, check in checks:
        started = time.monotonic()
        problems = check()
        print('%s %s (%.1f s)' % ('FAIL' if problems else 'ok  ', name,
                                  time.monotonic() - started), flush=True)
        for problem in problems:
            print('     ' + problem)
        failures += bool(problems)
    print('%d passed, %d failed' % (len(checks) - failures, failures))
    return 1 if failures else 0
