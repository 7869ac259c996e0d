// The program form run in doubles, as the natural reading's lines are computed: every step as
// written in IEEE doubles, with the term reading's numbers, the natural reading's functions
// (program/natural_functions.h: an angle reduced exactly in degrees) and a power of its own
// (program/double_power.h), so that a line gives the same bytes on every target. Beside each
// value the run follows what it knows of it exactly (program/exact_fraction.h): an angle of
// 2π/3 is 120 degrees, an exponent of 1/3 that fraction. A value that does not exist is
// not-a-number: a division by 0, a function at its pole or outside its domain, the square root
// of a number below 0, 0 to a power below 0 or a number below 0 to a power that is no integer
// (nor a fraction of odd denominator: (-8)^(1/3) is -2). A line of the term reading compiled
// into the program form runs under that reading's rules instead (run_term_program).
#pragma once

#include "program/exact_fraction.h"
#include "program/program.h"
#include "term/term_reading.h"
#include "term/value_breaks.h"

// The value of `program`, whose numbers are those of `store`. Records in `breaks` (null: no
// record) each step that gave no value, a number too large for a double, and an operation on
// finite numbers that gave infinity.
double run_program(const Program& program, const NumberStore& store, ValueBreaks* breaks);

// The value of `program` as run_program gives it, with `unknown` as the value its
// program_unknown steps push (degrees or radians, as the line's angles are).
double run_program_at(const Program& program, const NumberStore& store, double unknown,
                      ValueBreaks* breaks);

// The value of the steps of `program` from `first` up to `end` (one expression of a line of
// several, or a bound of its interval) as run_program_at gives a whole program's: not a number
// unless they leave one value.
double run_program_steps(const Program& program, const NumberStore& store, int first, int end,
                         double unknown, ValueBreaks* breaks);

// The value of the steps from `first` up to `end` as run_program_steps gives it, and in `known`
// (null: not asked) what the run knows of it exactly.
double run_program_known(const Program& program, const NumberStore& store, int first, int end,
                         double unknown, ValueBreaks* breaks, ExactFraction* known);

// The value of `program`, a line of the term reading compiled for doubles by compile_reading
// (bracket/reading_program.h), whose numbers are those of `store`, under that reading's rules:
// every step as IEEE doubles give it (a division by 0 is infinity or not-a-number, a function
// at its pole in degrees its value at the angle's double), so that it has the bits of the
// term reading's own computation (bracket/compute_line.h); not a number unless the steps leave
// one value.
double run_term_program(const Program& program, const NumberStore& store);
