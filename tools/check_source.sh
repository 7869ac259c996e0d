#!/usr/bin/env bash
# Habits CI keeps, each failure naming its file:
# - every C++ file is as clang-format (.clang-format) writes it;
# - no folder includes one above it. The layers, lowest first: text/ (character classes) and
#   trig/ (the trigonometric functions and their portable double-double library), which never
#   include each other, term/ (reading and computing one term), program/ (the program form a
#   line becomes), bracket/ (the default reading: a term or brackets, and its program) and
#   natural/ (the natural reading), which never include each other, exact/ (the exact
#   computation), line/ (the engine both front ends share) and io/ (plain input and output),
#   which never include each other, report/ (the reports of lines read otherwise than
#   written), terminal/ (the terminal: commands, signals, the editor, the history file) and
#   picture/ (graphs, tables and the unit circle, drawn into a buffer), which never include
#   each other, then dialogue/ and cli/ (the front ends, which never include each other),
#   then main.cpp. tests/, fuzz/ and bench/ stand outside and may include any of them.
# Usage: tools/check_source.sh [ROOT]   (default: the checkout this script is in)
set -uo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root" || exit 2

# Sets `layer` to the layer of a product file's folder, or to nothing for a file outside the
# layers (a variable rather than output, so that no subshell is started per include).
layer_of() {
  case $1 in
    text/* | trig/*) layer=0 ;; term/*) layer=1 ;; program/*) layer=2 ;;
    bracket/* | natural/*) layer=3 ;; exact/*) layer=4 ;; line/* | io/*) layer=5 ;;
    report/* | terminal/* | picture/*) layer=6 ;; dialogue/* | cli/*) layer=7 ;;
    main.cpp) layer=8 ;;
    *) layer= ;;
  esac
}

failures=0
fail() {
  echo "check_source: $1" >&2
  failures=$((failures + 1))
}

command -v clang-format >/dev/null || { echo "check_source: clang-format is missing" >&2; exit 2; }
mapfile -t sources < <(find . \( -name build -o -name 'build-*' -o -name .git \) -prune -o \
                         \( -name '*.cpp' -o -name '*.c' -o -name '*.h' \) -type f -print | sed 's|^\./||' | sort)
# One clang-format for every file: it names each place a file differs from what it writes.
while read -r file; do
  fail "$file: not as clang-format writes it (run: clang-format -i $file)"
done < <(clang-format --dry-run "${sources[@]}" 2>&1 >/dev/null |
         sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' |
         sort -u)

# One grep for every include of every file, "FILE:LINE:INCLUDED".
while IFS=: read -r file number included; do
  layer_of "$file"
  own=$layer
  [ -n "$own" ] || continue
  layer_of "$included"
  other=$layer
  [ -n "$other" ] || continue
  own_folder=${file%%/*}
  included_folder=${included%%/*}
  if [ "$other" -gt "$own" ]; then
    fail "$file:$number: includes $included, from $included_folder/, a layer above $own_folder/"
  elif [ "$other" -eq "$own" ] && [ "$included_folder" != "$own_folder" ]; then
    fail "$file:$number: includes $included: $own_folder/ and $included_folder/ never include each other"
  fi
done < <(grep -n -H '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${sources[@]}" |
         sed 's/^\([^:]*\):\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2:\3/')

if [ "$failures" -gt 0 ]; then
  echo "check_source: $failures failure(s)" >&2
  exit 1
fi
echo "check_source: ${#sources[@]} files clang-format clean; no folder includes one above it"
