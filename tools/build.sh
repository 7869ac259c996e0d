#!/usr/bin/env bash
# Configures trigcalc in build/ and builds the program and its exact module (the target
# trigcalc_all_modes); with --tests it builds every target and requires GoogleTest, for
# `ctest --test-dir build`. A fresh build/ is configured for Ninja (Debian's ninja-build,
# installed first when missing), which builds it in about half the time make takes; one
# configured before keeps its generator. Unless line editing is OFF, libedit's development
# files and pkg-config, which line editing at a terminal needs, are installed first when
# missing (tools/ensure_packages.sh); the configure step then finds them or not, and the last
# line says which build it made. Arb and Calcium, for the exact mode, are installed the same
# way unless TRIGCALC_EXACT is OFF.
# Usage: tools/build.sh [--tests] [CMAKE_OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."

build_targets=(--target trigcalc_all_modes)
built="build/trigcalc and its modes"
cmake_options=()
for argument in "$@"; do
  if [ "$argument" = --tests ]; then
    build_targets=()
    built="build/trigcalc and the tests"
    cmake_options+=(-DTRIGCALC_TESTS=ON)
  else
    cmake_options+=("$argument")
  fi
done

# The line editing option as configured: the build's cache, then the last option given.
line_editing=$(sed -n 's/^TRIGCALC_LINE_EDITING:[A-Z]*=//p' build/CMakeCache.txt 2>/dev/null || true)
for option in "${cmake_options[@]}"; do
  case $option in -DTRIGCALC_LINE_EDITING=* | -DTRIGCALC_LINE_EDITING:*=*) line_editing=${option#*=} ;; esac
done
case ${line_editing^^} in
  OFF | NO | FALSE | N | 0) ;;
  *) bash tools/ensure_packages.sh libedit-dev pkgconf ||
       echo "build.sh: configuring with what is installed; without libedit the program reads lines plainly" ;;
esac

# The exact mode's option, likewise: unless OFF, Arb and Calcium (and the headers Calcium's
# include) are installed first when missing.
exact=$(sed -n 's/^TRIGCALC_EXACT:[A-Z]*=//p' build/CMakeCache.txt 2>/dev/null || true)
for option in "${cmake_options[@]}"; do
  case $option in -DTRIGCALC_EXACT=* | -DTRIGCALC_EXACT:*=*) exact=${option#*=} ;; esac
done
case ${exact^^} in
  OFF | NO | FALSE | N | 0) ;;
  *) bash tools/ensure_packages.sh libflint-arb-dev libcalcium-dev libantic-dev ||
       echo "build.sh: configuring with what is installed; without Arb and Calcium --exact is not available" ;;
esac

# The generator of a fresh build/: Ninja when it is there or can be installed.
generator=()
if [ ! -f build/CMakeCache.txt ]; then
  if bash tools/ensure_packages.sh ninja-build; then
    generator=(-G Ninja)
  else
    echo "build.sh: configuring for make; with Ninja the build takes about half the time"
  fi
fi

configure_log=$(mktemp)
trap 'rm -f "$configure_log"' EXIT
cmake -S . -B build "${generator[@]}" "${cmake_options[@]}" | tee "$configure_log"
cmake --build build -j2 "${build_targets[@]}"
echo "build.sh: built $built;" \
  "$(grep -o 'Line editing at a terminal: [A-Z]*' "$configure_log" || echo 'line editing unknown');" \
  "$(grep -o 'Exact mode: [A-Z]*' "$configure_log" || echo 'exact mode unknown')"
