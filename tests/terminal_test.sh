#!/usr/bin/env bash
# Runs the real-terminal test on build/trigcalc, installing tmux first when it is missing.
# The test is skipped, saying so, only when no tmux can be installed.
set -uo pipefail
cd "$(dirname "$0")/.."
.ci/ensure_tool.sh tmux tmux || echo "tmux could not be installed"
python3 tests/terminal_test.py build/trigcalc
status=$?
if [ "$status" -eq 77 ]; then exit 0; fi
exit "$status"
