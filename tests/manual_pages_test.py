#!/usr/bin/env python3
"""tools/check_manual_pages.py on the two pages as they are (they must agree, name every
option of the program's --help in their SYNOPSIS, and name the project's version) and on
copies with a planted difference, each of which it must name; and on a program whose --help
lists an option neither SYNOPSIS names.
Usage: manual_pages_test.py SOURCE_ROOT PROGRAM VERSION
"""
import os
import shlex
import subprocess
import sys
import tempfile

from checks import run_checks

# One planted difference a row: the page changed ("en" or "pt"), the text replaced (every
# time it occurs), what replaces it, and the problem the check must print ({version}: the
# project's).
PLANTED = [
    ("en", "\n.RB [ \\-e ]", "",
     "options --exact or -e: in trigcalc --help, not in the English page's SYNOPSIS"),
    ("pt", '"trigcalc {version}"', '"trigcalc 0.9"',
     "version: the Portuguese page names trigcalc 0.9, the project {version}"),
    ("en", '"trigcalc {version}"', '"trigcalc @PROJECT_VERSION@"',
     "version: the English page holds a placeholder for it"),
    ("pt", ".BI \\-d \" N\" \"\\fR,\\fP \\-\\-digits=\" N", ".BI \\-d \" N\"",
     "options --digits: in the English page only"),
    ("en", ".BR \\-V \", \" \\-\\-version\n", ".BR \\-V \", \" \\-\\-version \", \" \\-\\-radians\n",
     "options --radians: in the English page only"),
    ("pt", ".B NO_COLOR\n", ".B NO_COLOUR\n", "environment NO_COLOR: in the English page only"),
    ("en", ".SH FILES\n.TP\n.I ~/.local/state/trigcalc/history",
     ".SH FILES\n.TP\n.I ~/.trigcalc_history", "files ~/.trigcalc_history: in the English page only"),
    ("pt", ".SH ARQUIVOS\n.TP\n.I ~/.local/state/trigcalc/history",
     ".SH ARQUIVOS\n.TP\n.I ~/.local/state/trigcalc/history\n.TP\n.I /etc/trigcalc.conf\nConfig.",
     "files /etc/trigcalc.conf: in the Portuguese page only"),
]


# What a program whose --help lists one option more than the pages know adds to it.
NEW_OPTION = "  -r, --radians    os angulos em radianos"


def run_check(setup, english, portuguese, program=None):
    """The check's status and what it printed on standard error."""
    root, real_program, version = setup
    done = subprocess.run([sys.executable, os.path.join(root, "tools/check_manual_pages.py"),
                           english, portuguese, "--program", program or real_program,
                           "--version", version], capture_output=True, text=True)
    return done.returncode, done.stderr


def expect_problem(status, err, expected):
    if status != 1 or "check_manual_pages: " + expected not in err.splitlines():
        return ["status %d, said %r; expected %r" % (status, err, expected)]
    return []


def check_pages_agree(setup, pages):
    status, err = run_check(setup, pages["en"], pages["pt"])
    return [] if status == 0 else ["status %d: %s" % (status, err)]


def check_planted(setup, pages, which, old, new, expected):
    version = setup[2]
    old, new, expected = (text.format(version=version) for text in (old, new, expected))
    with open(pages[which], encoding="utf-8") as page:
        text = page.read()
    if old not in text:
        return ["the %s page no longer holds %r: plant the fault elsewhere" % (which, old)]
    with tempfile.TemporaryDirectory() as work:
        changed = dict(pages)
        changed[which] = os.path.join(work, "trigcalc.1")
        with open(changed[which], "w", encoding="utf-8") as page:
            page.write(text.replace(old, new))
        status, err = run_check(setup, changed["en"], changed["pt"])
    return expect_problem(status, err, expected)


def check_new_option(setup, pages):
    """A program whose --help lists an option more: both SYNOPSIS sections lack it."""
    with tempfile.TemporaryDirectory() as work:
        program = os.path.join(work, "trigcalc")
        with open(program, "w") as script:
            script.write('#!/bin/sh\n%s "$@"\necho "%s"\n' % (shlex.quote(setup[1]), NEW_OPTION))
        os.chmod(program, 0o755)
        status, err = run_check(setup, pages["en"], pages["pt"], program)
    return sum((expect_problem(status, err, "options --radians or -r: in trigcalc --help, not in "
                               "the %s page's SYNOPSIS" % which)
                for which in ("English", "Portuguese")), [])


def main():
    root, program, version = sys.argv[1:4]
    setup = (root, program, version)
    pages = {"en": os.path.join(root, "packaging/trigcalc.1"),
             "pt": os.path.join(root, "packaging/pt_BR/trigcalc.1")}
    checks = [("the two pages agree", lambda: check_pages_agree(setup, pages)),
              ("an option more in --help", lambda: check_new_option(setup, pages))]
    for which, old, new, expected in PLANTED:
        checks.append(("planted in %s: %s" % (which, expected.format(version=version)),
                       lambda w=which, o=old, n=new, e=expected:
                       check_planted(setup, pages, w, o, n, e)))
    return run_checks(checks)


if __name__ == "__main__":
    sys.exit(main())
