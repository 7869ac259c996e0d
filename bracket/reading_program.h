// A line of the default reading (one term, or brackets) turned into the program form that the
// exact arithmetics run; compiled for doubles, its run (program/run_doubles.h's
// run_term_program) gives the bits of the double computation (bracket/compute_line.h), which
// the fuzz checks and the term tables hold it to. Each operand list is folded by one function
// for a term's lists and a line's brackets alike.
#pragma once

#include "bracket/line_reading.h"
#include "program/program.h"

// The arithmetic a program is compiled for: doubles, which have a -0, or the exact ones.
enum class CompiledFor : unsigned char { doubles, exact };

// Writes the program of `reading` into `program`: products and quotients first, then sums
// and differences left to right, a run after an operator other than '+' or '-' left out, an
// operator after the last operand meeting 0, an empty amplitude 1, an empty argument 0 and a
// term without a function 0. For doubles, a list with a '*' or '/' adds 0 at its end, so that
// its sum is +0 rather than -0 ("-5*" is 0), as the double computation's fold makes it.
// `program.complete` is 0 when it did not fit.
void compile_reading(const LineReading& reading, CompiledFor arithmetic, Program& program);
