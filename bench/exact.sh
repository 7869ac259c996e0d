#!/usr/bin/env bash
# Times the exact mode against a python3 loop with mpmath on the same lines, in one run: at
# 6, 100 and 1000 digits, LINES sine lines of a tenth of a degree ("sinK.k", K.k from 0.1 to
# 359.9) piped through "build/trigcalc --exact --digits=D -", and a python3 loop that reads
# the same lines and, per line, converts the number, takes the sine of it in degrees with
# mpmath at D digits and writes its D digits. Both are timed as whole processes (start-up
# included, a small share of these runs); each figure is the median of ROUNDS interleaved
# runs, in microseconds per line. A mixed corpus (brackets, amplitudes, exact values,
# inverse functions) is timed for trigcalc alone. The default mode's speed is measured by
# bench/evaluate.sh and bench/session.sh.
# Usage: bench/exact.sh [ROUNDS]   (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
build=${BUILD_DIR:-build}

python3 -c 'import mpmath' 2>/dev/null || bash tools/ensure_packages.sh python3-mpmath
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target trigcalc_all_modes >/dev/null
"$build/trigcalc" --exact sin30 >/dev/null || { echo "the exact mode is not in this build"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/mpmath_loop.py" <<'PYTHON'
import sys
import mpmath
digits = int(sys.argv[1])
mpmath.mp.dps = digits + 10
out = []
for line in sys.stdin:
    x = mpmath.mpf(line[3:].strip())
    out.append(mpmath.nstr(mpmath.sin(x * mpmath.pi / 180), digits))
sys.stdout.write('\n'.join(out) + '\n')
PYTHON

# LINES lines of sine of tenths of a degree.
sine_lines() {
  awk -v n="$1" 'BEGIN { for (k = 0; k < n; ++k) { t = 1 + (k * 7) % 3599; printf "sin%d.%d\n", t / 10, t % 10 } }'
}

# Mixed lines: brackets, amplitudes, exact values, inverse functions, radians.
mixed_lines() {
  awk -v n="$1" 'BEGIN {
    split("[sin%d.5]+[2]*[cos%d] 2*3sin%d.25 arcsen0.%d [tan30]*[tan60] radsin%d.1 [sin%d]x[sin%d]-[0.75] cosec%d.7", f, " ")
    for (k = 0; k < n; ++k) { printf f[k % 8 + 1] "\n", k % 89 + 1, k % 89 + 1, k % 89 + 1 } }'
}

# Seconds the command takes, input from $2, output to /dev/null.
seconds() {
  local start end
  start=$(date +%s.%N)
  "${@:3}" <"$2" >/dev/null
  end=$(date +%s.%N)
  echo "$start $end" | awk '{ printf "%.6f\n", $2 - $1 }'
}

median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

printf '%-8s %8s %16s %16s %8s %16s\n' digits lines "trigcalc us/line" "mpmath us/line" ratio "mixed us/line"
for pair in 6:40000 100:20000 1000:2000; do
  digits=${pair%%:*}
  lines=${pair##*:}
  sine_lines "$lines" >"$work/sine.in"
  mixed_lines "$lines" >"$work/mixed.in"
  : >"$work/t" && : >"$work/p" && : >"$work/m"
  for ((round = 0; round < rounds; ++round)); do
    seconds x "$work/sine.in" "$build/trigcalc" --exact --digits="$digits" - >>"$work/t"
    seconds x "$work/sine.in" python3 "$work/mpmath_loop.py" "$digits" >>"$work/p"
    seconds x "$work/mixed.in" "$build/trigcalc" --exact --digits="$digits" - >>"$work/m" || true
  done
  t=$(median <"$work/t")
  p=$(median <"$work/p")
  m=$(median <"$work/m")
  awk -v d="$digits" -v n="$lines" -v t="$t" -v p="$p" -v m="$m" 'BEGIN {
    printf "%-8s %8d %16.2f %16.2f %8.1f %16.2f\n", d, n, t / n * 1e6, p / n * 1e6, p / t, m / n * 1e6 }'
done
