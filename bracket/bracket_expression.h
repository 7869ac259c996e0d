// Bracketed expressions: a line of bracketed terms and numbers joined by one-character
// operators, such as "[sin30]+[2]*[cos60]", evaluated bracket by bracket and combined.
#pragma once

#include "term/operand_list.h"
#include "term/reading_notes.h"
#include "term/term_text.h"

// Value of a bracketed line; `term` receives each bracket's text in turn and `operands`
// the bracket values and operators (both are overwritten). A line with no bracket gives 0.
// With `notes`, notes what was read otherwise than written, by columns of `line`.
double evaluate_bracketed_line(const char* line, char (&term)[term_capacity], OperandList& operands,
                               ReadingNotes* notes);

// Value of a bracket without function letters: a decimal number, "x10^" and "e" forms,
// or pi; arithmetic inside it is not evaluated ("2*3" reads as 2). With `notes`, whose
// `base` is the column of the text's first byte (its '[' right before), notes what was not
// read of it.
double numeric_bracket_value(const char* text, ReadingNotes* notes);
