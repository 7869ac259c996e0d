// The one place where a front end's value line is made, in either arithmetic: an affix, the
// line's value as text, an affix. The dialogue frames a value as "=VALUE\n\n", the command
// line as "VALUE\n".
#pragma once

#include "exact/exact_text.h"
#include "line/result_text.h"
#include "term/reading_notes.h"

// How a front end prints values: the digits and the arithmetic.
struct ValueFormat {
  int digits;  // significant digits: 1 to 17 in doubles, 1 to exact_max_digits exactly
  bool exact;  // exact_line_text's value; otherwise evaluate_line's double
};

// A value line: an affix, the value's text (an exact one is the longest), an affix.
constexpr int value_line_capacity = exact_text_capacity + 2 * result_affix_capacity;

// Writes `before`, the value of the line of `length` bytes at `line` as `format` says, and
// `after` into `text`; returns its length. Notes as evaluate_line or exact_line_text take them.
int line_value_text(const char* line, int length, ValueFormat format, const char* before,
                    const char* after, char (&text)[value_line_capacity], ReadingNotes* notes);
