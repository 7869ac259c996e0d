// How the command-line modes evaluate one expression and print it: the value on a line of
// its own, a report on standard error when it was read otherwise than written; and how they
// end, with every value written out.
#pragma once

#include <cstdio>

#include "io/output_buffer.h"
#include "line/evaluate_line.h"
#include "line/value_line.h"
#include "picture/picture_line.h"
#include "report/report.h"

// Where the values and reports go.
struct ExpressionPrinting {
  OutputBuffer* output;  // the values, one line per expression
  FILE* reports;         // standard error
  ValueFormat format;    // the digits of a value and its arithmetic
  PictureKind picture;   // each expression drawn (--graph, --table) instead of its value
  bool* unavailable;     // set when the exact mode asked for cannot be had: nothing more is read
  LastAnswer* last;      // the run's last answer, for "ans" in the natural reading: every
                         // expression's, argument or line, in order
};

// Evaluates the expression at `line` as the dialogue evaluates a line and prints its value (or,
// with a picture asked for, draws it: a graph at a terminal whose locale is UTF-8, the table
// anywhere else, at the terminal's size of the moment);
// `length` is the expression's whole length, of which `line` holds at least the first
// line_capacity - 1 bytes. The values before a report are written out first, so that both
// keep the expressions' order when they go to one place. True when reported. The first exact
// line loads the module: when it cannot be had, says why, prints nothing and sets
// `printing.unavailable`.
bool evaluate_and_print(const char* line, int length, const ExpressionSource& source,
                        const ExpressionPrinting& printing);

// True when no more expressions are evaluated: the output failed, or the exact mode asked for
// cannot be had.
bool printing_stopped(const ExpressionPrinting& printing);

// Writes out and closes `output` at the end of a command-line mode: `status` when all was
// delivered; otherwise exit_not_understood, after a report unless the reader went away.
int finish_command_line(OutputBuffer& output, int status);
