#!/usr/bin/env bash
# Configures and builds trigcalc in build/. Line editing at a terminal needs libedit's
# development files: they are installed first when missing and this user may install
# packages; otherwise the program is built without line editing and reads lines plainly.
# Usage: tools/build.sh [CMAKE_OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null 2>&1; then
  bash tools/ensure_packages.sh libedit-dev || echo "libedit not installed: building without line editing"
fi
cmake -S . -B build "$@"
cmake --build build -j2
