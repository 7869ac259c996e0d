// Reading the dialogue's input: expression lines, "%d" answers, and dropping what is
// left of a line that was read only in part.
#pragma once

#include <cstdio>

#include "console/line_capacity.h"
#include "console/line_editor.h"

struct ConsoleInput {
  FILE* stream;                  // where lines and answers come from
  bool mid_line;                 // the last read stopped inside a line (after an answer)
  LineEditor* editor = nullptr;  // reads lines at a terminal; null reads `stream` plainly
  bool terminal = false;         // `stream` is a terminal: type-ahead is dropped before reads
};

enum class AnswerRead {
  converted,          // a number was read into the answer
  nothing_converted,  // the next text is not a number; the answer keeps its value
  end_of_input        // nothing more can be read
};

// Reads one line without its end of line, keeping its first 99 bytes and dropping the rest,
// through the line editor when there is one. Returns the line's whole length, a '\r' that
// ends it not counted, or -1 when the input was already exhausted (a last line without
// '\n' still counts).
int read_line(ConsoleInput& input, char (&line)[line_capacity]);

// Reads an answer as "%d" does: skips white space and empty lines, then an optional sign and
// digits. A number outside the range of int is clamped to that range, so it is never 1.
AnswerRead read_answer(ConsoleInput& input, int& answer);

// Flushes `out`, drops the rest of a line read in part and, when `input.terminal`, the
// type-ahead.
void discard_pending_input(ConsoleInput& input, FILE* out);
