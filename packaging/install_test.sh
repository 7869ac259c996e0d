#!/bin/sh
# Checks an installed trigcalc: the program runs a golden session byte for byte, its
# compressed manual pages render every section without a warning (the Portuguese one not
# hyphenated), and the changelog, the copyright file (the MIT licence of LICENSE) and every
# document the README and the manual pages name are in its documentation directory; with the
# exact mode, its module is found from the installed program.
# A hardened build's program is checked in its ELF headers too.
# Usage: install_test.sh staging BUILD_DIR SOURCE_DIR HARDENED   (cmake --install into DESTDIR)
#        install_test.sh deb BUILD_DIR SOURCE_DIR HARDENED       (cpack, then the .deb's contents)
set -eu
mode=$1
build=$(cd "$2" && pwd)
source=$(cd "$3" && pwd)
hardened=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

case $mode in
  staging)
    DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
    ;;
  deb)
    (cd "$work" && cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >/dev/null)
    set -- "$work"/package/trigcalc_*.deb
    [ -f "$1" ] || { echo "cpack made no .deb"; exit 1; }
    dpkg-deb -x "$1" "$work/root"
    ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac

fail() { echo "$*"; exit 1; }
program="$work/root/usr/bin/trigcalc"
page="$work/root/usr/share/man/man1/trigcalc.1.gz"
doc="$work/root/usr/share/doc/trigcalc"
[ -x "$program" ] || fail "no program at usr/bin/trigcalc"
[ -f "$page" ] || fail "no compressed manual page at usr/share/man/man1/trigcalc.1.gz"
[ ! -e "${page%.gz}" ] || fail "an uncompressed manual page is installed beside the compressed one"
for file in changelog.gz copyright README.md; do
  [ -f "$doc/$file" ] || fail "no $file in usr/share/doc/trigcalc"
done
gzip -t "$page" "$doc/changelog.gz" || fail "the manual page or changelog is not valid gzip"
# Every document the README names under docs/, and every file the manual pages' SEE ALSO names
# in the documentation folder, is installed where they say.
for name in $(grep -o 'docs/[A-Za-z0-9_.-]*\.md' "$source/README.md" | sort -u); do
  [ -f "$doc/$name" ] || fail "the README names $name, which is not in usr/share/doc/trigcalc"
done
for manual in "$source/packaging/trigcalc.1" "$source/packaging/pt_BR/trigcalc.1"; do
  named=$(sed -n '/^\.SH \(SEE ALSO\|"VEJA TAMBÉM"\)/,$ s/^\.I \([^ /][^ ]*\)$/\1/p' "$manual")
  [ -n "$named" ] || fail "$manual names no document in its SEE ALSO"
  for name in $named; do
    [ -f "$doc/$name" ] || fail "$manual names $name, which is not in usr/share/doc/trigcalc"
  done
done
page_pt="$work/root/usr/share/man/pt_BR/man1/trigcalc.1.gz"
[ -f "$page_pt" ] || fail "no Portuguese manual page at usr/share/man/pt_BR/man1/trigcalc.1.gz"
gzip -t "$page_pt" || fail "the Portuguese manual page is not valid gzip"

for session in one_term bracketed_lines; do
  sh "$source/tests/run_session.sh" "$program" "$source/tests/sessions/$session"
done

# With the exact mode's module installed, the installed program finds it from its own place
# (sin 30 = 1/2 exactly), and the package depends on the libraries the module links.
if [ -f "$work/root/usr/lib/trigcalc/modules/trigcalc-exact.so" ]; then
  [ "$("$program" --exact --digits=40 sin30)" = 0.5 ] || fail "the installed --exact does not give 0.5"
  if [ "$mode" = deb ]; then
    dpkg-deb -f "$1" Depends | grep -q libcalcium || fail "the package does not depend on Calcium"
  fi
fi

# The copyright file is machine-readable and carries LICENSE's permission text, line for
# line, as its one indented paragraph (indented by one space, blank lines written " .").
head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file does not start with the machine-readable format line"
grep -qx 'License: MIT' "$doc/copyright" || fail "the copyright file names no MIT licence"
sed -n 's/^ \.$//p; s/^ //p' "$doc/copyright" >"$work/licence"
sed -n '/^Permission is hereby granted/,$p' "$source/LICENSE" | cmp -s - "$work/licence" ||
  fail "the copyright file's MIT paragraph differs from LICENSE"
grep -qx "Copyright: $(sed -n 's/^Copyright (c) //p' "$source/LICENSE")" "$doc/copyright" ||
  fail "the copyright file names other holders than LICENSE"

# The newest changelog entry is the version the manual page (and the package) carry.
version=$(gzip -dc "$doc/changelog.gz" | sed -n '1s/^trigcalc (\([^)]*\)) unstable; urgency=[a-z]*$/\1/p')
[ -n "$version" ] || fail "the changelog does not start with a trigcalc entry"
if [ "$mode" = deb ]; then
  control_version=$(dpkg-deb -f "$1" Version)
  [ "$control_version" = "$version" ] ||
    fail "the package is version $control_version, its changelog says $version"
  readelf -S "$program" | grep -q '\.symtab' && fail "the packaged program is not stripped"
  maintainer=$(dpkg-deb -f "$1" Maintainer)
  echo "$maintainer" | grep -qE '^[^<]+ <[^@<>]+@[a-z0-9-]+(\.[a-z0-9-]+)+>$' ||
    fail "the maintainer \"$maintainer\" has no address with a dotted mail host"
  [ "$(dpkg-deb -f "$1" Description | wc -l)" -gt 2 ] || fail "the package has no extended description"
fi

# A hardened program, as its ELF headers show it: position-independent, relocations
# read-only and bound at start, the stack protector's and fortified C library calls imported.
if [ "$hardened" = ON ]; then
  while IFS='|' read -r what options pattern; do
    # shellcheck disable=SC2086 # the readelf options are words
    readelf $options "$program" | grep -qE "$pattern" || fail "the program is not $what"
  done <<EOF
position-independent (type DYN)|-h|Type: +DYN
given read-only relocations (GNU_RELRO)|-lW|GNU_RELRO
bound at start (BIND_NOW)|-dW|\((FLAGS|FLAGS_1)\).*NOW
stack-protected (__stack_chk_fail)|--dyn-syms -W|__stack_chk_fail
built with fortified calls (__*_chk)|--dyn-syms -W| __[a-z]+_chk@
EOF
fi

command -v man >/dev/null || fail "man is missing (Debian: man-db)"
warnings=$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man -l warns: $warnings"
MANWIDTH=80 man -l "$page" 2>/dev/null >"$work/page.txt"
for line in 'NAME' 'SYNOPSIS' 'DESCRIPTION' 'OPTIONS' 'EXPRESSIONS' 'KEYS' 'ENVIRONMENT' \
  'EXIT STATUS' 'EXAMPLES' 'SEE ALSO' '       bc(1), editline(7).' '       NO_COLOR' \
  '              Digite dados de trigonometria:'; do
  grep -qxF -- "$line" "$work/page.txt" || fail "the rendered page lacks the line \"$line\""
done
grep -q "trigcalc $version" "$work/page.txt" || fail "the rendered page does not name trigcalc $version"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l --warnings "$page_pt" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man -l warns on the Portuguese page: $warnings"
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page_pt" 2>/dev/null >"$work/page_pt.txt"
# groff knows only English hyphenation, which splits Portuguese words wrongly ("lin-has").
hyphen=$(printf '\342\200\220')  # U+2010, which man puts at the end of a hyphenated line
if grep -q "$hyphen\$" "$work/page_pt.txt"; then
  fail "the rendered Portuguese page hyphenates: $(grep -m1 "$hyphen\$" "$work/page_pt.txt")"
fi
for line in 'NOME' 'SINOPSE' 'OPÇÕES' 'EXPRESSÕES' 'AMBIENTE' 'ARQUIVOS' 'STATUS DE SAÍDA' \
  'VEJA TAMBÉM' '              Digite dados de trigonometria:'; do
  grep -qxF -- "$line" "$work/page_pt.txt" || fail "the rendered Portuguese page lacks the line \"$line\""
done
[ "$("$program" --version)" = "trigcalc $version" ] ||
  fail "trigcalc --version says $("$program" --version), the changelog $version"
