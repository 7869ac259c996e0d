#!/usr/bin/env python3
"""tools/check_manual_pages.py on the two pages as they are (they must agree) and on copies
with a planted difference, each of which it must name.
Usage: manual_pages_test.py SOURCE_ROOT
"""
import os
import subprocess
import sys
import tempfile

from checks import run_checks

# One planted difference a row: the page changed ("en" or "pt"), the text replaced, what
# replaces it, and the problem the check must print.
PLANTED = [
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


def run_check(root, english, portuguese):
    """The check's status and what it printed on standard error."""
    done = subprocess.run([sys.executable, os.path.join(root, "tools/check_manual_pages.py"),
                           english, portuguese], capture_output=True, text=True)
    return done.returncode, done.stderr


def check_pages_agree(root, pages):
    status, err = run_check(root, pages["en"], pages["pt"])
    return [] if status == 0 else ["status %d: %s" % (status, err)]


def check_planted(root, pages, which, old, new, expected):
    with open(pages[which], encoding="utf-8") as page:
        text = page.read()
    if old not in text:
        return ["the %s page no longer holds %r: plant the fault elsewhere" % (which, old)]
    with tempfile.TemporaryDirectory() as work:
        changed = dict(pages)
        changed[which] = os.path.join(work, "trigcalc.1")
        with open(changed[which], "w", encoding="utf-8") as page:
            page.write(text.replace(old, new, 1))
        status, err = run_check(root, changed["en"], changed["pt"])
    if status != 1 or "check_manual_pages: " + expected not in err.splitlines():
        return ["status %d, said %r; expected %r" % (status, err, expected)]
    return []


def main():
    root = sys.argv[1]
    pages = {"en": os.path.join(root, "packaging/trigcalc.1"),
             "pt": os.path.join(root, "packaging/pt_BR/trigcalc.1")}
    checks = [("the two pages agree", lambda: check_pages_agree(root, pages))]
    for which, old, new, expected in PLANTED:
        checks.append(("planted in %s: %s" % (which, expected),
                       lambda w=which, o=old, n=new, e=expected:
                       check_planted(root, pages, w, o, n, e)))
    return run_checks(checks)


if __name__ == "__main__":
    sys.exit(main())
