// The engine both front ends share: one input line's evaluation, with the per-line buffers
// cleared before every line and the choice between a single term and a bracketed expression.
#pragma once

#include "term/operand_list.h"
#include "term/reading_notes.h"
#include "term/term_text.h"

// Bytes of the line buffer: 99 characters and the terminator. The whole line is copied into
// the term buffer when it is one term, so both have the one size.
constexpr int line_capacity = term_capacity;

// A line's buffers. None needs clearing between lines: the readers always end the line they
// store with its terminator, and the evaluation writes the term buffer and the operand count
// before it reads them, so nothing an earlier line left ever takes part (the fuzz checks
// evaluate every line over buffers full of leftovers).
struct LineState {
  char line[line_capacity];  // the line as read, without its end of line
  char term[term_capacity];  // the term buffer handed to the term evaluator
  OperandList operands;      // bracket values and operators of a bracketed line
};

// Value of `state.line`: decimal commas become points, then a line holding '[' or ']' is
// a bracketed expression and any other line one term. With `notes` (null: none are taken),
// adds a note for everything read otherwise than written, by columns of the line.
double evaluate_line(LineState& state, ReadingNotes* notes);
