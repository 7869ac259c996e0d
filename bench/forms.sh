#!/usr/bin/env bash
# Times the exact forms (--form) against the exact digits alone (--exact), in one run: each
# corpus piped through "build/trigcalc --exact -" and "build/trigcalc --form -", interleaved,
# ROUNDS times; each figure is the median, in microseconds per line, the whole process
# included (the module's loading, about 2.7 ms, is shared by all the lines of a run). The
# corpora: the six functions at every whole degree from 0 to 359 (a term of the usual kind; a
# fifth of them have a form), the same at every half degree (K.5: nearly none has one), tenths
# of a degree (none), and products, quotients, sums and differences of two terms at multiples
# of 3 degrees. Then each
# distinct line alone, in one process (bench/form_lines.cpp, the least of 20 runs each): the
# median and the most a form adds to a line, for the lines with a form and those without.
# Usage: bench/forms.sh [ROUNDS]   (default 5; builds build/ with -DTRIGCALC_BENCH=ON)
set -euo pipefail
export LC_ALL=C  # the forms in ASCII, counted by their " ~ "
cd "$(dirname "$0")/.."
rounds=${1:-5}
build=${BUILD_DIR:-build}

cmake -S . -B "$build" -DTRIGCALC_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target trigcalc_all_modes trigcalc_form_lines >/dev/null
"$build/trigcalc" --form sin30 >/dev/null || { echo "the exact mode is not in this build"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The six functions at angles K + FRACTION for K from 0 to 359, REPEAT times over.
term_lines() {
  awk -v fraction="$1" -v repeat="$2" 'BEGIN {
    split("sin cos tg cotg sec cosec", names, " ")
    for (r = 0; r < repeat; ++r) for (k = 0; k < 360; ++k) for (f = 1; f <= 6; ++f)
      printf "%s%d%s\n", names[f], k, fraction }'
}

# Two terms at multiples of 3 degrees up to 90 (those of 15 and 18 among them) joined by x,
# /, + and -.
bracket_lines() {
  awk -v n="$1" 'BEGIN {
    split("sin cos tg", names, " "); split("x / + -", ops, " ")
    for (k = 0; k < n; ++k)
      printf "[%s%d]%s[%s%d]\n", names[k % 3 + 1], (k * 7) % 31 * 3, ops[int(k / 9) % 4 + 1],
             names[int(k / 3) % 3 + 1], (k * 11) % 31 * 3 }'
}

term_lines "" 2 >"$work/whole.in"
term_lines ".5" 2 >"$work/half.in"
term_lines ".3" 2 >"$work/tenth.in"
bracket_lines 4320 >"$work/bracket.in"

# Seconds the command takes, input from $1, output to /dev/null.
seconds() {
  local start end
  start=$(date +%s.%N)
  "${@:2}" <"$1" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$start $end" | awk '{ printf "%.6f\n", $2 - $1 }'
}

median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

printf '%-8s %6s %8s %16s %16s %14s %8s\n' corpus lines forms "--exact us/line" \
  "--form us/line" "more us/line" ratio
for corpus in whole half tenth bracket; do
  lines=$(wc -l <"$work/$corpus.in")
  forms=$("$build/trigcalc" --form - <"$work/$corpus.in" 2>/dev/null | grep -c ' ~ ' || true)
  : >"$work/e" && : >"$work/f"
  for ((round = 0; round < rounds; ++round)); do
    seconds "$work/$corpus.in" "$build/trigcalc" --exact - >>"$work/e"
    seconds "$work/$corpus.in" "$build/trigcalc" --form - >>"$work/f"
  done
  e=$(median <"$work/e")
  f=$(median <"$work/f")
  awk -v c="$corpus" -v n="$lines" -v k="$forms" -v e="$e" -v f="$f" 'BEGIN {
    printf "%-8s %6d %8d %16.2f %16.2f %14.2f %8.2f\n", c, n, k, e / n * 1e6, f / n * 1e6,
           (f - e) / n * 1e6, f / e }'
done

echo
printf '%-8s %10s %14s %14s %14s %14s\n' corpus "with form" "median more" "most more" \
  "none: median" "none: most"
for corpus in whole half tenth bracket; do
  sort -u "$work/$corpus.in" | "$build/bench/trigcalc_form_lines" 20 >"$work/$corpus.lines"
  awk -v c="$corpus" '
    function median(a, n,   i, j, t) {
      for (i = 2; i <= n; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      return n ? a[int((n + 1) / 2)] : 0 }
    { more = $3 - $2; if ($4 == "form") { f[++nf] = more; if (more > mf) mf = more }
      else { g[++ng] = more; if (more > mg) mg = more } }
    END { printf "%-8s %10d %14.1f %14.1f %14.1f %14.1f\n", c, nf, median(f, nf), mf,
          median(g, ng), mg }' "$work/$corpus.lines"
done
