#!/usr/bin/env python3
"""How many lines print differently with 15, 16 and 17 significant digits between two builds
that differ only in their trigonometric functions (the C library's and the portable ones).

Two sets of lines from a fixed seed: packaging/random_lines.py's mix, and sine lines
"sinD" with D a random real number of degrees in [-720, 720] printed with 17 digits. The
portable build for Linux: bench/build_portable.sh.
Usage: bench/printed_digits.py NATIVE PORTABLE [COUNT] [SEED]   (default 200000 lines, seed 1)
"""
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "packaging"))
import random_lines  # noqa: E402


def results(program, lines, digits):
    """The result lines of `program --digits=DIGITS -` fed `lines`."""
    run = subprocess.run([program, "--digits=%d" % digits, "-"],
                         input="".join(text + "\n" for text in lines), capture_output=True,
                         text=True)
    return run.stdout.splitlines()


def main():
    native, portable = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 200000
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    rng = random.Random(seed)
    sets = {"random lines": [random_lines.line(rng) for _ in range(count)],
            "sine lines": ["sin%.17g" % rng.uniform(-720, 720) for _ in range(count)]}
    for name, lines in sets.items():
        counts = []
        for digits in (6, 15, 16, 17):
            a, b = results(native, lines, digits), results(portable, lines, digits)
            counts.append("%d at %d digits" % (sum(x != y for x, y in zip(a, b)), digits))
        print("%s: %d lines; differing: %s" % (name, count, ", ".join(counts)), flush=True)


if __name__ == "__main__":
    main()
