#!/usr/bin/env bash
# Times the answers to the textbook equations of bench/equations.txt, in one process
# (bench/equation_lines.cpp: the least of ROUNDS runs of each line, its bounded child
# included, the module's loading left out): each line's microseconds, then the median and the
# most.
# Usage: bench/equations.sh [ROUNDS]   (default 10; builds build/ with -DTRIGCALC_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-10}
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DTRIGCALC_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target trigcalc_equation_lines >/dev/null
times=$("$build/bench/trigcalc_equation_lines" "$rounds" < bench/equations.txt)
echo "$times"
echo "$times" | sort -n | awk '{ t[NR] = $1 } END {
  printf "lines %d, median %.1f ms, most %.1f ms\n", NR, t[int((NR + 1) / 2)] / 1000, t[NR] / 1000 }'
