// What the command line says on standard error about an expression read otherwise than it
// was written: the source and column in the GNU form, how each note's text was read, the
// expression quoted with every byte a terminal would act on escaped, and a caret line.
#pragma once

#include <cstdio>

#include "line/evaluate_line.h"

// Where an expression came from: the n-th expression given as an argument, or line n of
// standard input.
struct ExpressionSource {
  bool standard_input;
  long number;  // the argument's position among the expressions, or the line's; from 1
  const char* next_argument;  // the argument after this one; nullptr for the last, and on stdin
};

// Writes to `err` why the exact mode is not available (asked for by --form when `form`, by
// --exact otherwise): what became of its module, and where to read more. Loads the module when
// it was not tried yet.
void report_exact_unavailable(FILE* err, bool form);

// Writes one report to `err` about the `length` bytes of `expression` as typed and the notes
// its reading took (finished, as the engine gives them); nothing when there are none. True
// when something was reported.
bool report_notes(FILE* err, const ExpressionSource& source, const char* expression, int length,
                  const ReadingNotes& notes);
