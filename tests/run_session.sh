#!/bin/sh
# Pipes SESSION.in through PROGRAM and compares the transcript with SESSION.out byte for
# byte; the program must end with status 0 and write nothing to standard error, or exactly
# SESSION.err when there is one (the transcript never holds what goes there).
# Usage: run_session.sh PROGRAM SESSION
program=$1
session=$2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
# In the C locale, whose messages (without accents) SESSION.err holds.
LC_ALL=C "$program" <"$session.in" >"$work/out" 2>"$work/err"
status=$?
if [ "$status" -ne 0 ]; then echo "exit status $status, expected 0"; exit 1; fi
if [ -f "$session.err" ]; then
  if ! cmp -s "$work/err" "$session.err"; then
    echo "standard error differs from $session.err:"
    diff "$session.err" "$work/err" | head -10
    exit 1
  fi
elif [ -s "$work/err" ]; then
  echo "unexpected standard error:"
  cat "$work/err"
  exit 1
fi
if ! cmp -s "$work/out" "$session.out"; then
  echo "transcript differs from $session.out:"
  diff "$session.out" "$work/out" | head -40
  exit 1
fi
