#!/usr/bin/env python3
"""Checks that the English manual page and its Portuguese twin name the same options,
environment variables and files, so that neither falls behind the other; with --program,
that each page's SYNOPSIS names every option the program's --help lists, so that a new
option cannot be left out of it; with --version, that each page names that version and no
other (a checkout's pages are read as they are, with man -l).

What each page names: the options (every \\-x and \\-\\-word in the SYNOPSIS or SINOPSE
section and in the tags of the OPTIONS or OPÇÕES section), the environment variables (the
tags of the ENVIRONMENT or AMBIENTE section) and the files (the tags of the FILES or ARQUIVOS
section). Prints every problem found, and exits with 1 then.
Usage: check_manual_pages.py ENGLISH_PAGE PORTUGUESE_PAGE [--program PROGRAM] [--version V]
"""
import argparse
import os
import re
import subprocess
import sys

SECTIONS = {"environment": ("ENVIRONMENT", "AMBIENTE"), "files": ("FILES", "ARQUIVOS")}
SYNOPSIS = ("SYNOPSIS", "SINOPSE")
OPTIONS = ("OPTIONS", "OPÇÕES")
OPTION = re.compile(r"\\-\\-[a-z][a-z-]*|\\-[a-zA-Z](?![a-zA-Z0-9])")


def section_lines(lines, titles, tags_only):
    """The lines of the section named by one of `titles`: all, or only the tags (the line
    after each .TP)."""
    kept, inside, tagged = [], False, False
    for line in lines:
        if line.startswith(".SH"):
            inside = line[3:].strip().strip('"') in titles
        elif inside and (tagged or not tags_only):
            kept.append(line)
        tagged = inside and line.startswith(".TP")
    return kept


def section_tags(lines, titles):
    """The words tagged (the line after each .TP) in the section named by one of `titles`."""
    tags = set()
    for line in section_lines(lines, titles, True):
        tags.update(re.findall(r"[A-Za-z_$~/.][\w$~/.-]*", re.sub(r"^\.[A-Z]+ ?", "", line)))
    return tags


def named(text):
    """What the page at `text` names: {"options": ..., "environment": ..., "files": ...}."""
    lines = text.splitlines()
    option_text = "\n".join(section_lines(lines, SYNOPSIS, False) +
                            section_lines(lines, OPTIONS, True))
    found = {"options": {match.replace("\\", "") for match in OPTION.findall(option_text)}}
    for kind, titles in SECTIONS.items():
        found[kind] = section_tags(lines, titles)
    return found


def help_options(program):
    """The options PROGRAM --help lists, each the set of its spellings ({"-d", "--digits"}):
    the -x and --word at the start of each of its lines that begin with a dash ("--" alone
    ends the options and is no option)."""
    done = subprocess.run([program, "--help"], capture_output=True, text=True,
                          env=dict(os.environ, LC_ALL="C"), check=True)
    options = []
    for line in done.stdout.splitlines():
        spellings = re.match(r"\s+((?:--?[a-zA-Z][a-z-]*(?:=\S+)?,? ?)+)", line)
        if spellings:
            options.append(frozenset(re.findall(r"--?[a-zA-Z][a-z-]*", spellings.group(1))))
    return options


def synopsis_options(text):
    """The options the SYNOPSIS (or SINOPSE) section of the page at `text` names."""
    lines = section_lines(text.splitlines(), SYNOPSIS, False)
    return {match.replace("\\", "") for match in OPTION.findall("\n".join(lines))}


def version_problems(text, which, version):
    """What is wrong with the versions the page at `text` names: another than `version`, a
    placeholder, or none in its .TH line."""
    problems = ["version: the %s page names trigcalc %s, the project %s" % (which, other, version)
                for other in sorted(set(re.findall(r"trigcalc (\d[^\s\"]*|@\w+@)", text)))
                if other != version]
    if "@" in "".join(re.findall(r"^\.TH.*$", text, re.M)) or "@PROJECT_VERSION@" in text:
        problems.append("version: the %s page holds a placeholder for it" % which)
    elif not re.search(r'^\.TH .*"trigcalc %s"' % re.escape(version), text, re.M):
        problems.append("version: the %s page's .TH line does not name trigcalc %s" % (which, version))
    return problems


def differences(english, portuguese):
    """Lines saying what one page names and the other does not; none when they agree."""
    problems = []
    for kind in ("options", "environment", "files"):
        for word in sorted(english[kind] - portuguese[kind]):
            problems.append("%s %s: in the English page only" % (kind, word))
        for word in sorted(portuguese[kind] - english[kind]):
            problems.append("%s %s: in the Portuguese page only" % (kind, word))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("english")
    parser.add_argument("portuguese")
    parser.add_argument("--program")
    parser.add_argument("--version")
    arguments = parser.parse_args()
    texts = {}
    for which, path in (("English", arguments.english), ("Portuguese", arguments.portuguese)):
        with open(path, encoding="utf-8") as page:
            texts[which] = page.read()
    pages = [named(texts["English"]), named(texts["Portuguese"])]
    problems = differences(*pages)
    if arguments.program:
        listed = help_options(arguments.program)
        for which, text in texts.items():
            named_there = synopsis_options(text)
            problems += ["options %s: in trigcalc --help, not in the %s page's SYNOPSIS" %
                         (" or ".join(sorted(option)), which) for option in listed
                         if not option & named_there]
    if arguments.version:
        for which, text in texts.items():
            problems += version_problems(text, which, arguments.version)
    for problem in problems:
        print("check_manual_pages: %s" % problem, file=sys.stderr)
    if problems:
        return 1
    print("check_manual_pages: both pages name %s" %
          "; ".join("%d %s" % (len(pages[0][kind]), kind) for kind in pages[0]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
