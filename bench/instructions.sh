#!/usr/bin/env bash
# Counts the instructions per pass of the piped session bench/session.sh times (1, then sinK
# and 1 per pass, K = pass number mod 360) through build/trigcalc and through its floor
# (bench/io_floor.cpp), with valgrind's callgrind: a count, unlike a time, is the same on a
# busy machine, so later changes can be held to it. BEFORE=PROGRAM counts another trigcalc
# build (an earlier version, say) in the same run. Each figure is the whole run's count, the
# start included, over the passes; the ratio is trigcalc's over the floor's.
# Usage: [BEFORE=PROGRAM] bench/instructions.sh [PASSES]    (default 50000)
set -euo pipefail
cd "$(dirname "$0")/.."
passes=${1:-50000}
build=${BUILD_DIR:-build}

bash tools/ensure_packages.sh libbenchmark-dev valgrind

cmake -S . -B "$build" -DTRIGCALC_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target trigcalc trigcalc_io_floor >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v n="$passes" 'BEGIN { print 1; for (k = 0; k < n; ++k) printf "sin%d\n1\n", k % 360 }' \
  >"$work/session.in"

# Instructions a program executes on the session, as callgrind counts them ("Collected").
instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$1" \
    <"$work/session.in" >/dev/null 2>"$work/valgrind.log"
  sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p' "$work/valgrind.log"
}

programs=(trigcalc "$build/trigcalc")
[ -n "${BEFORE:-}" ] && programs+=(before "$BEFORE")
programs+=(io_floor "$build/bench/trigcalc_io_floor")

declare -A per_pass=()
printf '%-9s %16s %12s\n' program instructions "per pass"
for ((k = 0; k < ${#programs[@]}; k += 2)); do
  name=${programs[k]}
  total=$(instructions "${programs[k + 1]}")
  per_pass[$name]=$(awk -v t="$total" -v n="$passes" 'BEGIN { printf "%.0f", t / n }')
  printf '%-9s %16s %12s\n' "$name" "$total" "${per_pass[$name]}"
done
for name in trigcalc ${BEFORE:+before}; do
  awk -v n="$name" -v t="${per_pass[$name]}" -v f="${per_pass[io_floor]}" \
    'BEGIN { printf "%s / floor: %.2f\n", n, t / f }'
done
echo "$passes passes, the start included; valgrind $(valgrind --version | sed 's/^valgrind-//')"
