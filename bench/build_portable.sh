#!/usr/bin/env bash
# Builds, for measurements only, a Linux program that uses the portable trigonometric
# functions as the Windows build does (trig/trig_functions_windows.cpp instead of the C
# library's), without line editing; writes it to the path given (default build-portable/trigcalc).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-portable/trigcalc}
mkdir -p "$(dirname "$out")"
mapfile -t core < <(sed -n '/add_library(trigcalc_core STATIC/,/^)/p' CMakeLists.txt |
                    grep -oE '^[[:space:]]+[^[:space:]]+\.cpp' | tr -d ' ')
c++ -std=c++17 -O2 -ffp-contract=off -I. -DTRIGCALC_VERSION='"portable"' "${core[@]}" \
  term/decimal_number_charconv.cpp trig/trig_functions_windows.cpp terminal/terminal_posix.cpp \
  io/descriptor_io_posix.cpp terminal/history_file.cpp terminal/line_editor_plain.cpp main.cpp \
  -o "$out"
echo "build_portable.sh: built $out"
