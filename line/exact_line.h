// The exact mode of the engine: a line read as the double computation reads it, its value
// computed exactly and printed correctly rounded, or "nan" where no exact value exists. The
// exact arithmetic comes from FLINT's Arb and Calcium when the build has them
// (exact_line_library.cpp); without them (exact_line_missing.cpp) the mode is not available.
#pragma once

#include "bracket/line_reading.h"
#include "line/exact_text.h"
#include "line/result_text.h"
#include "term/reading_notes.h"

// True when this build computes exactly.
bool exact_mode_available();

// Writes the value of `reading` with `digits` significant digits (1 to exact_max_digits),
// correctly rounded, ties to even, as "%g" would, into `text`: "nan" when it has no value or
// cannot be computed exactly, with a note saying which and why in `notes` (null: none
// taken). Returns the text's length.
int exact_reading_text(const LineReading& reading, int digits, char (&text)[exact_text_capacity],
                       ReadingNotes* notes);

// The line of `length` bytes at `line`, read as read_line reads it (its notes taken into
// `notes` as read_line takes them, null: none), computed as exact_reading_text computes it.
int exact_line_text(const char* line, int length, int digits, char (&text)[exact_text_capacity],
                    ReadingNotes* notes);

// How a front end prints values: the digits and the arithmetic.
struct ValueFormat {
  int digits;  // significant digits: 1 to 17 in doubles, 1 to exact_max_digits exactly
  bool exact;  // exact_line_text's value; otherwise evaluate_line's double
};

// A value line: an affix, the value's text, an affix.
constexpr int value_line_capacity = exact_text_capacity + 2 * result_affix_capacity;

// Writes `before`, the value of the line of `length` bytes at `line` as `format` says, and
// `after` into `text`; returns its length. Notes as evaluate_line or exact_line_text take them.
int line_value_text(const char* line, int length, ValueFormat format, const char* before,
                    const char* after, char (&text)[value_line_capacity], ReadingNotes* notes);
