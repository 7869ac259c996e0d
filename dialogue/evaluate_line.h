// One input line's evaluation: the per-line buffers, cleared before every line, and the
// choice between a single term and a bracketed expression.
#pragma once

#include "console/line_capacity.h"
#include "term/operand_list.h"
#include "term/term_text.h"

struct LineState {
  char line[line_capacity];  // the line as read, without its end of line
  char term[term_capacity];  // the term buffer handed to the term evaluator
  OperandList operands;      // bracket values and operators of a bracketed line
  bool recognised;           // set by evaluate_line: every term in the line named a function
};

// Empties the line, the term buffer and the operand list. Only what the evaluation may read
// before writing it is cleared: every other byte is overwritten before it is read.
void clear_line_state(LineState& state);

// Value of `state.line`: decimal commas become points, then a line holding '[' or ']' is
// a bracketed expression and any other line one term. Sets `state.recognised`.
double evaluate_line(LineState& state);

// Value of `text` as one input line: a fresh state holding its first 99 bytes.
double evaluate_line_text(const char* text);
