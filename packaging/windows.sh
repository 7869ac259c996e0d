#!/usr/bin/env bash
# Cross-builds trigcalc for 64-bit Windows with mingw-w64 into build-windows and runs every
# golden session (tests/sessions/*.in) through the Windows program under wine; the
# transcripts must equal the ones the Linux build produces, byte for byte. Then compares a
# few thousand random lines from a fixed seed (packaging/random_lines.py, WINDOWS_RANDOM_LINES
# sets the number) with the native build's results through `trigcalc -`: none may differ at
# the default 6 digits; the count that differs at 17 digits is printed.
# Installs the cross compiler and wine when they are missing (Debian, as root).
set -euo pipefail
cd "$(dirname "$0")/.."

# Sessions that cannot run under wine, with the reason; none so far.
declare -A skipped_sessions=()

find_wine() {
  local candidate
  for candidate in "$(command -v wine64 || true)" /usr/lib/wine/wine64 "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}

bash tools/ensure_packages.sh g++-mingw-w64-x86-64 wine64 python3
wine=$(find_wine)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DTRIGCALC_TESTS=OFF -DTRIGCALC_WERROR=ON
cmake --build build-windows -j2
# The native program the random lines are compared with, without line editing.
cmake -S . -B build-windows-native -DTRIGCALC_TESTS=OFF -DTRIGCALC_LINE_EDITING=OFF \
  -DTRIGCALC_WERROR=ON >/dev/null
cmake --build build-windows-native -j2 --target trigcalc

# A throwaway wine prefix, prepared once and served by one wine server for all sessions.
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
"$wine" wineboot --init >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true

# run_session.sh runs one program file; this one starts the Windows build under wine.
runner="$work/trigcalc-wine"
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine" "$PWD/build-windows/trigcalc.exe" >"$runner"
chmod +x "$runner"

passed=0
failed=0
for input in tests/sessions/*.in; do
  session=${input%.in}
  name=$(basename "$session")
  if [ -n "${skipped_sessions[$name]+x}" ]; then
    echo "skip    $name: ${skipped_sessions[$name]}"
    continue
  fi
  if sh tests/run_session.sh "$runner" "$session"; then
    passed=$((passed + 1))
    echo "pass    $name"
  else
    failed=$((failed + 1))
    echo "FAIL    $name"
  fi
done
echo "windows sessions: $passed passed, $failed failed"

# A few command-line rows (options through mingw-w64's getopt_long, standard input, status).
python3 tests/command_line_test.py "$runner" --quick || failed=$((failed + 1))

python3 packaging/random_lines.py ${WINDOWS_RANDOM_LINES:+--lines="$WINDOWS_RANDOM_LINES"} \
  windows build-windows-native/trigcalc "$runner" || failed=$((failed + 1))
[ "$failed" -eq 0 ]
