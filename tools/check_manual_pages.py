#!/usr/bin/env python3
"""Checks that the English manual page and its Portuguese twin name the same options,
environment variables and files, so that neither falls behind the other.

What each page names: the options (every \\-x and \\-\\-word in the SYNOPSIS or SINOPSE
section and in the tags of the OPTIONS or OPÇÕES section), the environment variables (the
tags of the ENVIRONMENT or AMBIENTE section) and the files (the tags of the FILES or ARQUIVOS
section). Prints what one page names and the other does not, and exits with 1 then.
Usage: check_manual_pages.py ENGLISH_PAGE PORTUGUESE_PAGE
"""
import re
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
    if len(sys.argv) != 3:
        sys.exit("usage: check_manual_pages.py ENGLISH_PAGE PORTUGUESE_PAGE")
    pages = []
    for path in sys.argv[1:]:
        with open(path, encoding="utf-8") as page:
            pages.append(named(page.read()))
    problems = differences(*pages)
    for problem in problems:
        print("check_manual_pages: %s" % problem, file=sys.stderr)
    if problems:
        return 1
    print("check_manual_pages: both pages name %s" %
          "; ".join("%d %s" % (len(pages[0][kind]), kind) for kind in pages[0]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
