#!/usr/bin/env bash
# Cross-builds trigcalc for Linux on aarch64, s390x (big-endian) and 32-bit x86, statically,
# without tests and line editing, and checks under qemu-user that each prints the same bytes
# as the native build: every golden session (tests/sessions/*.in) byte for byte, then a few
# thousand random lines from a fixed seed, whose result lines must all equal the native
# build's. With --unit-tests the unit tests are built for each
# target as well and run under qemu (some ten times as long, GoogleTest being compiled for
# each target). Installs the cross compilers and qemu-user when they are missing, and
# GoogleTest's sources for --unit-tests (Debian, as root).
# Usage: packaging/cross.sh [--unit-tests] [TARGET...]   (default: aarch64 s390x i686)
set -euo pipefail
cd "$(dirname "$0")/.."

unit_tests=OFF
if [ "${1:-}" = --unit-tests ]; then
  unit_tests=ON
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(aarch64 s390x i686)
random_lines=${CROSS_RANDOM_LINES:-5000}
random_seed=16

# The qemu-user program that runs a target's binaries.
qemu_for() {
  case $1 in
    i686) echo qemu-i386 ;;
    *) echo "qemu-$1" ;;
  esac
}

install_missing() {
  local missing=() target
  for target in "${targets[@]}"; do
    command -v "$target-linux-gnu-g++" >/dev/null || missing+=("g++-$target-linux-gnu")
  done
  for target in "${targets[@]}"; do
    if ! command -v "$(qemu_for "$target")" >/dev/null; then
      missing+=(qemu-user)
      break
    fi
  done
  command -v python3 >/dev/null || missing+=(python3)
  [ "$unit_tests" = OFF ] || [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Configures and builds the program without line editing into build-cross/NAME, and the
# unit tests unless TESTS is OFF; the program is the same either way.
build() {
  local name=$1 tests=$2
  shift 2
  local build_targets=(trigcalc)
  [ "$tests" = OFF ] || build_targets+=(trigcalc_tests)
  cmake -S . -B "build-cross/$name" -DTRIGCALC_TESTS="$tests" -DTRIGCALC_LINE_EDITING=OFF \
    -DTRIGCALC_WERROR=ON "$@" >/dev/null
  if ! cmake --build "build-cross/$name" -j2 --target "${build_targets[@]}" >"$work/build.log" 2>&1; then
    cat "$work/build.log"
    return 1
  fi
}

# One dialogue answering 1 before each random line: terms with every function spelling,
# amplitudes, number forms and units, bracketed lines with each operator, and values that
# overflow or are not a number.
write_random_session() {
  python3 - "$random_seed" "$random_lines" <<'PY'
import random
import sys

rng = random.Random(int(sys.argv[1]))
names = ["sin", "sen", "cos", "tan", "tg", "cotan", "cotg", "sec", "cosec", "asin",
         "arcsin", "arcsen", "acos", "arcos", "atan", "atg", "arctan", "arctg"]

def number():
    kind = rng.randrange(7)
    if kind == 0:
        return str(rng.randrange(-720, 721))
    if kind == 1:
        return "%d.%d" % (rng.randrange(0, 1000), rng.randrange(0, 10**6))
    if kind == 2:
        return "%d,%d" % (rng.randrange(0, 100), rng.randrange(0, 1000))
    if kind == 3:
        return "%dE%d" % (rng.randrange(1, 10), rng.randrange(-320, 320))
    if kind == 4:
        return "%dx10^%d" % (rng.randrange(1, 100), rng.randrange(-30, 30))
    if kind == 5:
        return "%.17g" % rng.uniform(-1.5, 1.5)
    return str(rng.randrange(0, 10**rng.randrange(1, 24)))

def term():
    text = rng.choice(["", "", "2", "-3", number() + "*"]) + rng.choice(names)
    argument = rng.choice([number(), number(), "(" + number() + ")", number() + "pi"])
    return rng.choice(["", "", "", "rad"]) + text + argument

def bracketed():
    parts = ["[" + rng.choice([term(), term(), number(), "PI"]) + "]"
             for _ in range(rng.randrange(1, 5))]
    return "".join(part + rng.choice("+-*/") for part in parts[:-1]) + parts[-1]

lines = [rng.choice([term, term, bracketed])()[:90] for _ in range(int(sys.argv[2]))]
sys.stdout.write("1\n" + "".join(line + "\n1\n" for line in lines[:-1]) + lines[-1] + "\n0\n")
PY
}

# Runs every golden session through RUNNER; prints the failures and returns their number.
run_sessions() {
  local runner=$1 failed=0 input
  for input in tests/sessions/*.in; do
    if ! sh tests/run_session.sh "$runner" "${input%.in}" >"$work/session.log"; then
      failed=$((failed + 1))
      echo "FAIL    $(basename "${input%.in}")"
      cat "$work/session.log"
    fi
  done
  return "$failed"
}

install_missing
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build native OFF
write_random_session >"$work/random.in"
build-cross/native/trigcalc <"$work/random.in" | grep '^=' >"$work/native.results"
session_inputs=(tests/sessions/*.in)
sessions=${#session_inputs[@]}
lines=$(wc -l <"$work/native.results")

status=0
for target in "${targets[@]}"; do
  start=$(date +%s)
  build "$target" "$unit_tests" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$target-linux-gnu.cmake"
  unit="unit tests not built"
  if [ "$unit_tests" = ON ]; then
    if "$(qemu_for "$target")" "build-cross/$target/tests/trigcalc_tests" >"$work/unit.log" 2>&1; then
      unit="unit tests passed"
    else
      unit="UNIT TESTS FAILED"
      grep -A8 'Failure\|FAILED' "$work/unit.log" | head -40
      status=1
    fi
  fi
  # run_session.sh runs one program file; this one starts the target's build under qemu.
  runner="$work/trigcalc-$target"
  printf '#!/bin/sh\nexec %s "%s"\n' "$(qemu_for "$target")" "$PWD/build-cross/$target/trigcalc" \
    >"$runner"
  chmod +x "$runner"
  failed_sessions=0
  run_sessions "$runner" || failed_sessions=$?
  "$runner" <"$work/random.in" | grep '^=' >"$work/$target.results" || true
  # Result lines that differ by position; a missing or extra line counts as differing.
  differing=$(awk 'NR == FNR { native[FNR] = $0; n = FNR; next }
    { m = FNR; if ($0 != native[FNR]) ++d }
    END { print d + (n > m ? n - m : m - n) }' "$work/native.results" "$work/$target.results")
  echo "$target: $unit, $((sessions - failed_sessions)) of $sessions golden sessions identical," \
    "$differing of $lines random result lines differ ($(($(date +%s) - start)) s)"
  if [ "$failed_sessions" -ne 0 ] || [ "$differing" -ne 0 ]; then
    diff "$work/native.results" "$work/$target.results" | head -20 || true
    status=1
  fi
done
exit "$status"
