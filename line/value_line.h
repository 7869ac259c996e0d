// The one place where a front end's value line is made, in either arithmetic: an affix, the
// line's value as text (with its exact form when asked for), an affix. The dialogue frames a
// value as "=VALUE\n\n", the command line as "VALUE\n".
#pragma once

#include "exact/exact_answer.h"
#include "exact/exact_form.h"
#include "exact/exact_text.h"
#include "line/result_text.h"
#include "natural/natural_reading.h"
#include "term/reading_notes.h"

// Whether a value's exact form is shown (the exact arithmetic only), and how.
enum class FormShown {
  none,    // the digits alone
  beside,  // the form, then the digits: "√3/2 ≈ 0.866025"; the digits alone where there is none
  only     // the form alone: "√3/2"; the digits alone where there is none
};

// How a front end prints values: the digits, the arithmetic, the reading and the form.
struct ValueFormat {
  int digits;      // significant digits: 1 to 17 in doubles, 1 to exact_max_digits exactly
  bool exact;      // computed exactly; otherwise in doubles
  bool natural;    // read as ordinary arithmetic; otherwise as a term or brackets
  FormShown form;  // with `exact`: the exact form beside the digits, or alone
  bool unicode;  // the form in UTF-8 (√, π, −, and " ≈ " before the digits); otherwise ASCII
};

// Bytes between a form and the digits: " ≈ " (U+2248) or " ~ ".
constexpr int form_separator_capacity = 8;

// What stands between a form and its digits: " ≈ " in UTF-8 (`unicode`), " ~ " otherwise.
constexpr const char* form_separator(bool unicode) {
  return unicode ? " \xe2\x89\x88 " : " ~ ";  // U+2248
}

// A value line: an affix, the value's text (an exact one, with its form; or a line's answer in
// the unknown, the longest), an affix.
constexpr int value_text_capacity =
    exact_form_capacity + form_separator_capacity + exact_text_capacity;
constexpr int value_line_capacity =
    (value_text_capacity > exact_answer_capacity ? value_text_capacity : exact_answer_capacity) +
    2 * result_affix_capacity;

// Writes `before`, the value of the line of `length` bytes at `line` as `format` says, and
// `after` into `text`; returns its length. Notes as evaluate_line, evaluate_natural_line,
// exact_line_text or exact_natural_line_text take them. A line the natural reading reads as
// holding the unknown, or as an equation, gets its answer instead (exact_answer_text), which
// holds our words: `*worded` (null: not asked) says so, for the front end to show them as it
// shows its texts. A natural line that asks for a unit ("em rad") gets its value in it
// (line/conversion_text.h).
//
// The last answer is the caller's, never the engine's: with `last` (null: none kept), the
// natural reading's "ans" and "resp" stand for the line `*last` holds, and a natural line that
// has a value becomes the one it holds. A front end keeps one for its session (the command line's
// expressions and lines, the quick loop, the dialogue), so that the engine stays reentrant.
int line_value_text(const char* line, int length, ValueFormat format, const char* before,
                    const char* after, char (&text)[value_line_capacity], ReadingNotes* notes,
                    bool* worded = nullptr, LastAnswer* last = nullptr);
