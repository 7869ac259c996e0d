#!/usr/bin/env bash
# Cross-builds trigcalc for Linux on aarch64, s390x (big-endian) and 32-bit x86, statically,
# without tests and line editing, and checks under qemu-user that each prints the same bytes
# as the native build: every golden session (tests/sessions/*.in) byte for byte, then a few
# thousand random lines from a fixed seed (packaging/random_lines.py) through `trigcalc -`,
# whose results must all equal the native build's at the default 6 digits; the count that
# differs at 17 digits is printed. With --unit-tests the unit tests are built for each
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

# The qemu-user program that runs a target's binaries.
qemu_for() {
  case $1 in
    i686) echo qemu-i386 ;;
    *) echo "qemu-$1" ;;
  esac
}

# The Debian packages this run needs: each target's cross compiler, qemu-user, python3 for
# the random lines, and GoogleTest's sources for --unit-tests.
needed_packages() {
  local target
  for target in "${targets[@]}"; do echo "g++-$target-linux-gnu"; done
  printf "%s\n" qemu-user python3
  [ "$unit_tests" = OFF ] || echo googletest
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

mapfile -t packages < <(needed_packages)
bash tools/ensure_packages.sh "${packages[@]}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build native OFF
session_inputs=(tests/sessions/*.in)
sessions=${#session_inputs[@]}

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
      # The failures, or the end of the log when the tests crashed before reporting any.
      { grep -A8 'Failure\|FAILED' "$work/unit.log" || tail -5 "$work/unit.log"; } | head -40
      status=1
    fi
  fi
  # run_session.sh runs one program file; this one starts the target's build under qemu.
  runner="$work/trigcalc-$target"
  printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$(qemu_for "$target")" \
    "$PWD/build-cross/$target/trigcalc" >"$runner"
  chmod +x "$runner"
  failed_sessions=0
  run_sessions "$runner" || failed_sessions=$?
  random_status=0
  python3 packaging/random_lines.py ${CROSS_RANDOM_LINES:+--lines="$CROSS_RANDOM_LINES"} \
    "$target" build-cross/native/trigcalc "$runner" || random_status=1
  # The natural reading's lines (its power included) give the same bytes at 6 digits too.
  natural="natural lines identical"
  if ! cmp -s <(LC_ALL=C build-cross/native/trigcalc -n - <fuzz/seeds/natural.txt 2>&1) \
              <(LC_ALL=C "$runner" -n - <fuzz/seeds/natural.txt 2>&1); then
    natural="NATURAL LINES DIFFER"
    random_status=1
  fi
  echo "$target: $unit, $((sessions - failed_sessions)) of $sessions golden sessions identical," \
    "$natural ($(($(date +%s) - start)) s)"
  if [ "$failed_sessions" -ne 0 ] || [ "$random_status" -ne 0 ]; then status=1; fi
done
exit "$status"
