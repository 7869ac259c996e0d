#!/bin/sh
# Checks an installed trigcalc: the program runs a golden session byte for byte and its
# manual page renders without a warning.
# Usage: install_test.sh staging BUILD_DIR SOURCE_DIR   (cmake --install into DESTDIR)
#        install_test.sh deb BUILD_DIR SOURCE_DIR       (cpack, then the .deb's contents)
set -eu
mode=$1
build=$(cd "$2" && pwd)
source=$(cd "$3" && pwd)
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

program="$work/root/usr/bin/trigcalc"
page="$work/root/usr/share/man/man1/trigcalc.1"
[ -x "$program" ] || { echo "no program at usr/bin/trigcalc"; exit 1; }
[ -f "$page" ] || { echo "no manual page at usr/share/man/man1/trigcalc.1"; exit 1; }

for session in one_term bracketed_lines; do
  sh "$source/tests/run_session.sh" "$program" "$source/tests/sessions/$session"
done

command -v man >/dev/null || { echo "man is missing (Debian: man-db)"; exit 1; }
warnings=$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then echo "man -l warns:"; echo "$warnings"; exit 1; fi
MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "Digite dados de trigonometria:" ||
  { echo "the rendered page lacks the dialogue's prompt"; exit 1; }
