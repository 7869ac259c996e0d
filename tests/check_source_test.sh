#!/usr/bin/env bash
# tools/check_source.sh against planted faults: a copy of the sources passes, and each fault
# planted in a fresh copy fails the check with a message naming the file and what is wrong.
# Skipped (77) without clang-format, which the check needs.
# Usage: tests/check_source_test.sh SOURCE_ROOT
set -uo pipefail
source_root=$1
command -v clang-format >/dev/null || { echo "skipped: clang-format is missing"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fresh copy of what the check reads.
fresh_copy() {
  rm -rf "$work/tree" && mkdir "$work/tree"
  (cd "$source_root" && cp -r .clang-format text trig term program bracket natural exact line io report terminal picture \
     dialogue cli main.cpp tools "$work/tree/")
}

# One fault a line: the file, the text appended to it, and what the message must say.
faults=(
  'io/output_buffer.cpp|int   badly_spaced ( ) {return 0;}|io/output_buffer.cpp: not as clang-format writes it'
  'io/input_reader.cpp|#include "terminal/terminal.h"|io/input_reader.cpp:[0-9]*: includes terminal/terminal.h, from terminal/, a layer above io/'
  'io/text_form.cpp|#include "line/evaluate_line.h"|io/text_form.cpp:[0-9]*: includes line/evaluate_line.h: io/ and line/ never include each other'
  'report/report.cpp|#include "terminal/terminal.h"|report/report.cpp:[0-9]*: includes terminal/terminal.h: report/ and terminal/ never include each other'
  'line/completion_words.cpp|#include "terminal/name_completion.h"|line/completion_words.cpp:[0-9]*: includes terminal/name_completion.h, from terminal/, a layer above line/'
  'term/read_term.cpp|#include "line/evaluate_line.h"|term/read_term.cpp:[0-9]*: includes line/evaluate_line.h, from line/, a layer above term/'
  'program/program_functions.h|#include "bracket/line_reading.h"|program/program_functions.h:[0-9]*: includes bracket/line_reading.h, from bracket/, a layer above program/'
  'bracket/reading_program.cpp|#include "line/exact_line.h"|bracket/reading_program.cpp:[0-9]*: includes line/exact_line.h, from line/, a layer above bracket/'
  'text/characters.h|#include "term/term_text.h"|text/characters.h:[0-9]*: includes term/term_text.h, from term/, a layer above text/'
  'dialogue/dialogue.cpp|#include "cli/expression_output.h"|dialogue/dialogue.cpp:[0-9]*: includes cli/expression_output.h: dialogue/ and cli/ never include each other'
  'cli/options.cpp|#include "dialogue/dialogue.h"|cli/options.cpp:[0-9]*: includes dialogue/dialogue.h: cli/ and dialogue/ never include each other'
  'picture/curve.cpp|#include "terminal/terminal.h"|picture/curve.cpp:[0-9]*: includes terminal/terminal.h: picture/ and terminal/ never include each other'
  'io/text_form.cpp|#include "picture/picture_text.h"|io/text_form.cpp:[0-9]*: includes picture/picture_text.h, from picture/, a layer above io/'
)

failed=0
fresh_copy
if ! message=$(bash "$work/tree/tools/check_source.sh" "$work/tree" 2>&1); then
  echo "FAIL the unchanged copy: $message"
  failed=1
fi
for fault in "${faults[@]}"; do
  IFS='|' read -r file planted expected <<<"$fault"
  fresh_copy
  printf '%s\n' "$planted" >>"$work/tree/$file"
  message=$(bash "$work/tree/tools/check_source.sh" "$work/tree" 2>&1)
  status=$?
  if [ "$status" -ne 1 ] || ! grep -q "^check_source: $expected" <<<"$message"; then
    echo "FAIL $file + '$planted': status $status, said: $message"
    failed=1
  else
    echo "ok   $file + '$planted' caught"
  fi
done
exit $failed
