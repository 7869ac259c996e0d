#!/usr/bin/env python3
"""How often each trigonometric function set misrounds, measured against mpmath at 320 bits.

For each of the six functions, COUNT arguments from a fixed seed go through
bench/trig_values.cpp (compiled here with the trig/ sources, as the Linux build compiles
them): the C library's value and the portable one. Each is compared with the correctly
rounded double of the exact value, and the two sets with each other, as doubles and as
values printed with 15, 16 and 17 significant digits; and the largest error of each set, in
units in the last place of the correct double.

Arguments: sine, cosine and tangent take a third each of angles in [-2 pi, 2 pi], of
degrees converted to radians (a real number of degrees in [-720, 720] times pi/180, as a
line in degrees gives) and of magnitudes from 1e-3 to 1e300 (log-uniform, either sign); arc
sine and arc cosine take [-1, 1]; arc tangent half [-1, 1] and half magnitudes from 1e-5 to
1e5. Usage: bench/accuracy.py [COUNT] [SEED]   (default 100000 arguments a function, seed 1)
"""
import math
import os
import random
import subprocess
import sys
import tempfile

import mpmath

FUNCTIONS = ["sin", "cos", "tan", "asin", "acos", "atan"]
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCES = ["trig/trig_functions_libm.cpp", "trig/trig_pair_arithmetic.cpp",
           "trig/trig_reduction_portable.cpp", "trig/trig_arc_portable.cpp"]


def build_helper(folder):
    """Compiles the helper as the project compiles its code; returns its path."""
    helper = os.path.join(folder, "trig_values")
    command = ["c++", "-std=c++17", "-O2", "-ffp-contract=off", "-I", ROOT,
               os.path.join(ROOT, "bench/trig_values.cpp")]
    command += [os.path.join(ROOT, source) for source in SOURCES] + ["-o", helper]
    subprocess.run(command, check=True)
    return helper


def argument(rng, name):
    """One argument for `name`, drawn as the docstring says."""
    kind = rng.randrange(3)
    if name in ("sin", "cos", "tan"):
        if kind == 0:
            return rng.uniform(-2 * math.pi, 2 * math.pi)
        if kind == 1:
            return rng.uniform(-720, 720) * math.pi / 180
        return rng.choice([-1, 1]) * 10 ** rng.uniform(-3, 300)
    if name in ("asin", "acos") or kind == 0:
        return rng.uniform(-1, 1)
    return rng.choice([-1, 1]) * 10 ** rng.uniform(-5, 5)


def correctly_rounded(name, x):
    """The double nearest the exact value of `name` at `x`."""
    with mpmath.workprec(320):
        exact = getattr(mpmath, name)(mpmath.mpf(x))
    with mpmath.workprec(53):
        return float(+exact)


def digits_differ(a, b, digits):
    """True when `a` and `b` print differently with `digits` significant digits."""
    return "%.*e" % (digits - 1, a) != "%.*e" % (digits - 1, b)


def measure(helper, name, count, seed):
    """Counts, for `count` arguments of `name`, each set's misroundings and their differences."""
    rng = random.Random("%s-%d" % (name, seed))
    xs = [argument(rng, name) for _ in range(count)]
    text = "".join("%s %s\n" % (name, x.hex()) for x in xs)
    out = subprocess.run([helper], input=text, capture_output=True, text=True, check=True)
    tally = {"library wrong": 0, "portable wrong": 0, "doubles differ": 0,
             "differ at 15": 0, "differ at 16": 0, "differ at 17": 0,
             "library's largest ulps": 0, "portable's largest ulps": 0}
    for x, line in zip(xs, out.stdout.split("\n")):
        library, portable = (float.fromhex(field) for field in line.split())
        exact = correctly_rounded(name, x)
        tally["library wrong"] += library != exact
        tally["portable wrong"] += portable != exact
        tally["doubles differ"] += library != portable
        for which, value in (("library's", library), ("portable's", portable)):
            if math.isfinite(exact) and exact != 0:
                ulps = round(abs(value - exact) / math.ulp(exact))
                key = which + " largest ulps"
                tally[key] = max(tally[key], ulps)
        for digits in (15, 16, 17):
            tally["differ at %d" % digits] += digits_differ(library, portable, digits)
    return tally


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    with tempfile.TemporaryDirectory() as folder:
        helper = build_helper(folder)
        print("%d arguments a function, seed %d" % (count, seed))
        for name in FUNCTIONS:
            tally = measure(helper, name, count, seed)
            print(name.ljust(5), "  ".join("%s %d" % item for item in tally.items()), flush=True)


if __name__ == "__main__":
    main()
