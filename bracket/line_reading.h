// What a line says, as read from its text: one term, or brackets (each a term or a number)
// joined by the operators recorded between them. The computations work from this alone.
#pragma once

#include "term/term_reading.h"

// One bracket as read.
struct BracketReading {
  bool term;  // a term (LineReading::terms[index]), or a number (numbers[index])
  short index;
  // The k-th operator recorded in the line, '+', '-', '*' or '/' (0: fewer were recorded). It
  // stands between bracket k and bracket k + 1, wherever it was written: operators pair
  // with brackets in the order they occur. One after the last bracket meets 0.
  char op;
  unsigned char column;  // the '[' and its columns, up to and with the ']'
  unsigned char length;
  unsigned char op_column;  // column of `op` in the line
};

// A whole line as read.
struct LineReading {
  bool bracketed;  // brackets; otherwise the line is the one term terms[0]
  int term_count;
  TermReading terms[bracket_read_capacity];
  int bracket_count;
  BracketReading brackets[bracket_read_capacity];
  NumberStore numbers;
};

// Reads the bracketed line in the `length` bytes at `line` (at most line_capacity - 1, none of
// them a zero byte, as the engine's read_line keeps them) into `reading` (whose number store
// and counts must be empty): each bracket's text read as a term when it holds a letter some
// function name begins with, else as a number; the operators recorded in order. Notes what was
// read otherwise than written.
void read_bracketed_line(const char* line, int length, LineReading& reading, ReadingNotes* notes);
