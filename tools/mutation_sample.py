#!/usr/bin/env python3
"""A sample of single-point faults, each built and run against the whole test suite: how
many the tests catch, per folder. Work on a copy of the sources, never on a checkout being
edited: each fault is written into a file, built, tested and taken out again.

Faults: a comparison or logical operator turned into its neighbour (< and <=, > and >=, ==
and !=, && and ||), += and -= swapped, an integer constant 0, 1 or 2 moved by one, or a
statement line ending in ";" deleted. Drawn from a fixed seed over the product files of the
folders given, C++ and C. The suite is run without check_source, which checks the sources'
form: a fault that only unsettles clang-format's layout (a blank line left by a deletion) is
no fault a test caught.
Usage: tools/mutation_sample.py SOURCE_COPY BUILD_DIR COUNT SEED FOLDER...
  (BUILD_DIR configured with the tests; COUNT faults that build are tested, those drawn that do
  not build are passed over and listed; prints one line per fault and a count per folder)
"""
import os
import random
import re
import subprocess
import sys

SWAPS = [(" < ", " <= "), (" <= ", " < "), (" > ", " >= "), (" >= ", " > "), (" == ", " != "),
         (" != ", " == "), (" && ", " || "), (" || ", " && "), (" += ", " -= "),
         (" -= ", " += ")]
CONSTANT = re.compile(r"(?<![\w.])([012])(?![\w.])")
DECLARATION = re.compile(r"(return|const|constexpr|int|long|char|bool|double|unsigned|static|"
                         r"struct|using|auto|enum|[A-Z]\w*[ &*]|}|break|continue)\b")


def candidates(path):
    """Every fault that can be planted in the file at `path`: (line index, old, new)."""
    found = []
    with open(path) as source:
        lines = source.readlines()
    in_comment = False  # within a C comment's lines, where a fault is no fault
    for index, line in enumerate(lines):
        if in_comment or line.lstrip().startswith("/*"):
            in_comment = "*/" not in line
            continue
        code = line.split("//")[0]
        if not code.strip() or code.lstrip().startswith("#") or "static_assert" in code:
            continue
        for old, new in SWAPS:
            at = code.find(old)
            if at >= 0:
                found.append((index, code[:at] + new + code[at + len(old):] + line[len(code):]))
        match = CONSTANT.search(code)
        if match and "constexpr" not in code:
            moved = str(int(match.group(1)) + (1 if match.group(1) != "2" else -1))
            found.append((index, code[:match.start()] + moved + code[match.end():] +
                          line[len(code):]))
        stripped = code.strip()
        if stripped.endswith(";") and not DECLARATION.match(stripped):
            found.append((index, "\n"))  # the statement deleted, the line numbers kept
    return lines, found


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode


def main():
    root, build, count, seed = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    folders = sys.argv[5:]
    files = sorted(os.path.join(folder, name) for folder in folders
                   for name in os.listdir(os.path.join(root, folder))
                   if name.endswith((".cpp", ".c")) and "windows" not in name)
    pool = []
    for path in files:
        lines, found = candidates(os.path.join(root, path))
        pool += [(path, lines, index, new) for index, new in found]
    rng = random.Random(seed)
    tally = {}
    built = 0
    for path, lines, index, new in rng.sample(pool, len(pool)):
        if built == count:
            break
        full = os.path.join(root, path)
        mutated = lines[:index] + [new] + lines[index + 1:]
        with open(full, "w") as source:
            source.writelines(mutated)
        try:
            if run(["cmake", "--build", build, "-j2"], root) != 0:
                outcome = "not built"
            else:
                failed = run(["ctest", "--test-dir", build, "-j2", "--timeout", "120",
                              "--stop-on-failure", "-E", "^check_source$"], root)
                outcome = "caught" if failed else "ALIVE"
        finally:
            with open(full, "w") as source:
                source.writelines(lines)
        built += outcome != "not built"
        folder = path.split("/")[0]
        kept = tally.setdefault(folder, {"caught": 0, "ALIVE": 0, "not built": 0})
        kept[outcome] += 1
        print("%-9s %s:%d: %r -> %r" % (outcome, path, index + 1, lines[index].strip(),
                                        new.strip()), flush=True)
    run(["cmake", "--build", build, "-j2"], root)
    for folder, kept in sorted(tally.items()):
        built = kept["caught"] + kept["ALIVE"]
        print("%s: %d of %d built faults caught (%d did not build)" %
              (folder, kept["caught"], built, kept["not built"]))


if __name__ == "__main__":
    sys.exit(main())
