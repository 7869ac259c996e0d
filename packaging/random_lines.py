#!/usr/bin/env python3
"""Random expression lines from a fixed seed, and the comparison of two builds on them.

The mix: terms with every function spelling, amplitudes, number forms and units; bracketed
lines with each operator; values that overflow or are not a number; and junk such as empty
or lone-sign arguments, stray letters and trailing operators (`sen(-)`, `psin-`,
`[1]/[sin(-)]/`), where signed zeros and infinities come out.

Usage: random_lines.py [--seed=N] [--lines=N] NAME NATIVE OTHER
  feeds the lines to both programs through `PROGRAM --digits=D -` at the default 6 digits
  and at 17, prints how many result lines differ at each, and fails (status 1) on any
  difference at 6 digits; at 17 the last digit or two may differ where the platforms'
  trigonometric functions round differently.
Usage: random_lines.py [--seed=N] [--lines=N] --write
  writes the lines alone, one a line.
"""
import argparse
import random
import subprocess
import sys

NAMES = ["sin", "sen", "cos", "tan", "tg", "cotan", "cotg", "sec", "cosec", "asin",
         "arcsin", "arcsen", "acos", "arcos", "atan", "atg", "arctan", "arctg"]
MAX_LINE = 90  # below the program's 99-byte line, so no line is cut


def number(rng):
    """A number in one of the forms the program reads, or one it reads oddly."""
    kind = rng.randrange(9)
    if kind == 0:
        return str(rng.randrange(-720, 721))
    if kind == 1:
        return "%d.%d" % (rng.randrange(0, 1000), rng.randrange(0, 10**6))
    if kind == 2:
        return "%d,%d" % (rng.randrange(0, 100), rng.randrange(0, 1000))
    if kind == 3:
        return "%d%s%d" % (rng.randrange(1, 10), rng.choice("Ee"), rng.randrange(-320, 320))
    if kind == 4:
        return "%d%s10^%d" % (rng.randrange(1, 100), rng.choice("x*"), rng.randrange(-30, 30))
    if kind == 5:
        return "%.17g" % rng.uniform(-1.5, 1.5)
    if kind == 6:
        return rng.choice(["0", "-0", "0.0", "PI", "pi", "1", "-1", "90", "180"])
    return str(rng.randrange(0, 10**rng.randrange(1, 24)))


def ratio(rng):
    """A ratio around [-1, 1], for the arc functions."""
    return rng.choice(["%.17g", "%.3f", "%.1f", "%.6g"]) % rng.uniform(-1.2, 1.2)


def argument(rng, name):
    """The argument after function `name`: a number, bracketed or times pi, or junk."""
    kind = rng.randrange(10)
    if kind <= 3:
        return ratio(rng) if name.startswith("a") and rng.randrange(3) else number(rng)
    if kind <= 5:
        return "(" + number(rng) + ")"
    if kind == 6:
        return number(rng) + "pi"
    if kind == 7:
        return "-" + number(rng).lstrip("-")
    return rng.choice(["", "-", "(-)", "()", "(-0)", "PI", "-pi", "(", "-(1)", "+"])


def term(rng):
    """A term: prefix, amplitude, function name, argument, now and then a stray suffix."""
    prefix = rng.choice(["", "", "", "", "", "", "", "rad", "rad", "p", "-", "x"])
    amplitude = rng.choice(["", "", "", "2", "-3", "1", "-", number(rng) + "*" + number(rng),
                            number(rng) + "*", number(rng)])
    suffix = "" if rng.randrange(8) else rng.choice(["-", "+", ")", "0", "e", "*"])
    name = rng.choice(NAMES)
    return prefix + amplitude + name + argument(rng, name) + suffix


def bracket_content(rng):
    """What one pair of square brackets holds: mostly a term or a number."""
    if rng.randrange(6):
        return rng.choice([term(rng), term(rng), number(rng)])
    return rng.choice(["PI", "-", "", "-0", "1", "0"])


def bracketed(rng):
    """One to four brackets joined by operators, now and then a trailing one."""
    parts = ["[" + bracket_content(rng) + "]" for _ in range(rng.randrange(1, 5))]
    line = "".join(part + rng.choice("+-*/") for part in parts[:-1]) + parts[-1]
    return line + ("" if rng.randrange(8) else rng.choice("+-*/"))


def junk(rng):
    """Characters of the program's alphabet in any order."""
    alphabet = "sincoagtepr0123456789.,-+*/^x()[]E "
    return "".join(rng.choice(alphabet) for _ in range(rng.randrange(1, 16)))


def line(rng):
    """One line: a term, a bracketed expression or junk, never empty."""
    kind = rng.randrange(20)
    text = term(rng) if kind < 11 else bracketed(rng) if kind < 19 else junk(rng)
    text = text[:MAX_LINE].strip()
    return text or "sin"  # an empty line prints nothing: keep one result per line


def results(program, lines, digits):
    """The result lines of `program --digits=DIGITS -` fed `lines`; its standard error (the
    reports of unknown functions) and status (1 after such a report) are not compared."""
    run = subprocess.run([program, "--digits=%d" % digits, "-"], input="".join(
        text + "\n" for text in lines), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
        universal_newlines=True)
    return run.stdout.splitlines()


def differing(lines, native, other):
    """(line, native result, other result) for each position where the results differ; a
    missing result counts as differing."""
    count = max(len(native), len(other))
    padded = [column + ["(none)"] * (count - len(column)) for column in (native, other)]
    return [(lines[i] if i < len(lines) else "(none)", padded[0][i], padded[1][i])
            for i in range(count) if padded[0][i] != padded[1][i]]


def compare(name, native_program, other_program, lines):
    """Prints the differing lines at 6 and 17 digits; returns 1 when any differs at 6."""
    found = {}
    for digits in (6, 17):
        found[digits] = differing(lines, results(native_program, lines, digits),
                                  results(other_program, lines, digits))
    print("%s: %d of %d random lines differ at 6 digits, %d at 17 digits" %
          (name, len(found[6]), len(lines), len(found[17])))
    for digits in (6, 17):
        for text, native, other in found[digits][:8 if digits == 6 else 3]:
            print("  %2d digits: %-40s native %-24s %s %s" % (digits, text, native, name, other))
    return 1 if found[6] else 0


def main():
    parser = argparse.ArgumentParser(description="Compares two builds on random lines.")
    parser.add_argument("--seed", type=int, default=16)
    parser.add_argument("--lines", type=int, default=5000)
    parser.add_argument("--write", action="store_true", help="write the lines alone")
    parser.add_argument("programs", nargs="*", metavar="NAME NATIVE OTHER")
    arguments = parser.parse_args()
    rng = random.Random(arguments.seed)
    lines = [line(rng) for _ in range(arguments.lines)]
    if arguments.write:
        sys.stdout.write("".join(text + "\n" for text in lines))
        return 0
    if len(arguments.programs) != 3:
        parser.error("give NAME NATIVE OTHER, or --write")
    return compare(*arguments.programs, lines)


if __name__ == "__main__":
    sys.exit(main())
