#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded time,
# starting from seeds made of known edge cases and from every input in fuzz/regressions/.
# Fails on the first crash, sanitizer report, failed check, leak or time-out.
# Usage: fuzz/run.sh [SECONDS_PER_TARGET]   (default 60; FUZZ_SECONDS works too)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${FUZZ_SECONDS:-60}}
build=build-fuzz

bash tools/ensure_packages.sh clang
configure_log=$(mktemp)
trap 'rm -f "$configure_log"' EXIT
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DTRIGCALC_FUZZ=ON -DTRIGCALC_TESTS=OFF \
  -DTRIGCALC_WERROR=ON >"$configure_log"
# The exact targets load the module from beside them (build-fuzz/, instrumented alike): it is
# built with them, or they would check nothing (each ends at once, saying so, without it).
exact_target=$(grep -q 'Exact mode: ON' "$configure_log" &&
  echo trigcalc_exact fuzz_exact_line fuzz_equation_line || true)
cmake --build "$build" -j2 --target fuzz_evaluate_line fuzz_dialogue fuzz_natural_line $exact_target

# Seeds: one file per edge-case line, and sessions made of those lines.
line_corpus=$build/corpus/line
dialogue_corpus=$build/corpus/dialogue
mkdir -p "$line_corpus" "$dialogue_corpus" "$build/findings"
number=0
all_lines="1"
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  printf '%s' "$line" >"$line_corpus/seed-$number"
  printf '1\n%s\n0\n' "$line" >"$dialogue_corpus/seed-$number"
  all_lines="$all_lines"$'\n'"$line"$'\n'"1"
done <fuzz/seeds/lines.txt
printf '%s\n0\n' "$all_lines" >"$dialogue_corpus/seed-all"
for session in tests/sessions/*.in; do
  [ -e "$session" ] && cp "$session" "$dialogue_corpus/session-$(basename "$session" .in)"
done

run_target() {
  local target=$1 corpus=$2
  shift 2
  local log=$build/findings/$target.log
  echo "== fuzzing $target for $seconds s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -dict=fuzz/trigcalc.dict -artifact_prefix="$build/findings/$target-" \
      -print_final_stats=1 "$@" "$corpus" fuzz/regressions >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target found a fault; the input is in $build/findings/." >&2
    echo "Fix it, then keep the input as fuzz/regressions/<name> (replayed by ctest)." >&2
    return 1
  fi
  grep -E 'stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$log"
}

run_target fuzz_evaluate_line "$line_corpus" -max_len=128
run_target fuzz_dialogue "$dialogue_corpus"
# The exact mode's bounds (2 s and 1 GiB a line at 1000 digits, without sanitizers) with room
# for the sanitizers' slowdown, in fuzz/exact_limits (the regressions' replay under ctest holds
# every kept input to them too): a later -timeout and -rss_limit_mb given here win.
# The natural reading, in doubles and exactly, from its own seeds and the term reading's, each
# after a byte that picks the digits; within the exact mode's bounds.
natural_corpus=$build/corpus/natural
mkdir -p "$natural_corpus"
number=0
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  printf '\001%s' "$line" >"$natural_corpus/seed-$number"
done <fuzz/seeds/natural.txt
for seed in "$line_corpus"/*; do printf '\002' | cat - "$seed" >"$natural_corpus/line-$(basename "$seed")"; done
# Sanitized, a line whose child works to its whole bound of 5 s is computed twice by the check
# (with notes and without): the targets that compute exactly get that much more time here than
# the replay, unsanitized, allows one check.
sanitized_timeout=-timeout=15
# shellcheck disable=SC2046  # the limits are two options, split on purpose
run_target fuzz_natural_line "$natural_corpus" -max_len=128 $(cat fuzz/exact_limits) $sanitized_timeout
if [ -n "$exact_target" ]; then
  exact_corpus=$build/corpus/exact
  mkdir -p "$exact_corpus"
  for seed in "$line_corpus"/*; do printf '\344' | cat - "$seed" >"$exact_corpus/$(basename "$seed")"; done
  # shellcheck disable=SC2046
  run_target fuzz_exact_line "$exact_corpus" -max_len=128 $(cat fuzz/exact_limits) $sanitized_timeout
  # Equations made from bytes (fuzz/input_checks.h), their answers checked in doubles.
  equation_corpus=$build/corpus/equation
  mkdir -p "$equation_corpus"
  for seed in 0 1 2 3 4 5 6 7; do printf "\\$seed%s" abcdefghijklmnop >"$equation_corpus/seed-$seed"; done
  # An equation the solver works on to its whole bound of 5 s in a child, after the sanitized
  # parent's own gathering, takes about 10 s here (kept: equation-at-the-solvers-time-bound).
  # shellcheck disable=SC2046
  run_target fuzz_equation_line "$equation_corpus" -max_len=32 $(cat fuzz/exact_limits) -timeout=25
else
  echo "== fuzz_exact_line not built: the exact mode is not in this build"
fi
echo "== fuzzing found nothing"
