"""Runs named checks for the test scripts: each check returns a list of problems, empty when
it passed. Prints one line per check, its problems under it, and a closing count."""


def run_checks(checks):
    """Runs `checks`, pairs of a name and a function returning problems; returns the exit
    status, 1 when any check found a problem."""
    failures = 0
    for name, check in checks:
        problems = check()
        print('%s %s' % ('FAIL' if problems else 'ok  ', name))
        for problem in problems:
            print('     ' + problem)
        failures += bool(problems)
    print('%d passed, %d failed' % (len(checks) - failures, failures))
    return 1 if failures else 0
