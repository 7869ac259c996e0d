// A line's reading (one term, or brackets) turned into the program form that the exact
// arithmetics run: each operand list folded as the double computation folds it, by one
// function for a term's lists and a line's brackets alike.
#pragma once

#include "bracket/line_reading.h"
#include "program/program.h"

// Writes the program of `reading` into `program`: products and quotients first, then sums
// and differences left to right, a run after an operator other than '+' or '-' left out, an
// operator after the last operand meeting 0, an empty amplitude 1, an empty argument 0 and a
// term without a function 0. `program.complete` is 0 when it did not fit.
void compile_reading(const LineReading& reading, Program& program);
