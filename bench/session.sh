#!/usr/bin/env bash
# Times a piped session of LINES sine lines (default 1,000,000) through build/trigcalc,
# beside its floor (bench/io_floor.cpp: plain buffers of its own, one read per refill and one
# write per flush, flushed only before reading more, the same transcript, and per line only
# a decimal conversion, a libm sine and a result formatting) and three peers
# doing the same sines, each fed from a pipe and timed as a whole process: bc -l, calc -p
# and a python3 loop over its math module. BEFORE=PROGRAM adds another trigcalc build
# (an earlier version, say) to the same interleaved rounds. Output goes to /dev/null; each
# figure is the median of ROUNDS runs (default 3), interleaved.
# Usage: [BEFORE=PROGRAM] bench/session.sh [LINES] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-1000000}
rounds=${2:-3}
build=${BUILD_DIR:-build}

bash tools/ensure_packages.sh libbenchmark-dev bc apcalc python3

cmake -S . -B "$build" -DTRIGCALC_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target trigcalc trigcalc_io_floor >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Line k asks for the sine of k mod 360 degrees; every answer is 1, so all lines are read.
awk -v n="$lines" 'BEGIN { print 1; for (k = 0; k < n; ++k) printf "sin%d\n1\n", k % 360 }' \
  >"$work/session.in"
awk -v n="$lines" 'BEGIN { print "p=4*a(1)"; for (k = 0; k < n; ++k) printf "s(%d*p/180)\n", k % 360 }' \
  >"$work/bc.in"
awk -v n="$lines" 'BEGIN { for (k = 0; k < n; ++k) printf "sin(%d*pi()/180)\n", k % 360 }' \
  >"$work/calc.in"
awk -v n="$lines" 'BEGIN { for (k = 0; k < n; ++k) print k % 360 }' >"$work/python.in"
cat >"$work/sines.py" <<'PY'
import math, sys
for line in sys.stdin:
    print(math.sin(math.radians(float(line))))
PY

# The floor's transcript must have trigcalc's bytes, the numbers apart: libm's sine of
# K*pi/180 may differ from trigcalc's exactly reduced one in the last digits.
"$build/trigcalc" <"$work/session.in" >"$work/trigcalc.out"
"$build/bench/trigcalc_io_floor" <"$work/session.in" >"$work/floor.out"
if ! cmp -s <(sed 's/^=.*/=/' "$work/trigcalc.out") <(sed 's/^=.*/=/' "$work/floor.out"); then
  echo "the floor's transcript differs from trigcalc's beyond the numbers" >&2
  exit 1
fi
echo "result lines where the floor's number differs from trigcalc's:" \
  "$(diff <(grep '^=' "$work/trigcalc.out") <(grep '^=' "$work/floor.out") | grep -c '^<' || true)"
rm -f "$work/trigcalc.out" "$work/floor.out"

declare -A commands=(
  [trigcalc]="cat '$work/session.in' | '$build/trigcalc'"
  [io_floor]="cat '$work/session.in' | '$build/bench/trigcalc_io_floor'"
  [bc]="cat '$work/bc.in' | bc -l"
  [calc]="cat '$work/calc.in' | calc -p"
  [python3]="cat '$work/python.in' | python3 '$work/sines.py'"
)
order=(trigcalc io_floor bc calc python3)
if [ -n "${BEFORE:-}" ]; then
  commands[before]="cat '$work/session.in' | '$BEFORE'"
  order=(trigcalc before io_floor bc calc python3)
fi

# Seconds taken by one run of a shell command, output to /dev/null.
seconds() {
  local start end
  start=$(date +%s%N)
  sh -c "$1" >/dev/null
  end=$(date +%s%N)
  echo "scale=6; ($end - $start) / 1000000000" | bc
}

declare -A times=()
for ((r = 0; r < rounds; ++r)); do
  for name in "${order[@]}"; do times[$name]+="$(seconds "${commands[$name]}") "; done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-9s %10s %14s %22s\n' program seconds "lines/s" "per line vs trigcalc"
declare -A medians=()
for name in "${order[@]}"; do
  medians[$name]=$(echo "${times[$name]}" | median)
done
for name in "${order[@]}"; do
  awk -v n="$name" -v s="${medians[$name]}" -v t="${medians[trigcalc]}" -v l="$lines" \
    'BEGIN { printf "%-9s %10.3f %14.0f %21.2fx\n", n, s, l / s, s / t }'
done
fastest=$(for p in bc calc python3; do echo "${medians[$p]} $p"; done | sort -g | head -1)
awk -v t="${medians[trigcalc]}" -v f="${medians[io_floor]}" -v p="$fastest" 'BEGIN {
  split(p, q, " ")
  printf "trigcalc / floor: %.2f; fastest peer (%s) / trigcalc: %.2f\n", t / f, q[2], q[1] / t
}'
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) CPUs;" \
  "$lines lines, medians of $rounds rounds; load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
