// The exact computation of a line from its reading: the program that both exact arithmetics
// run (bracket/exact_program.h), and its run in Arb's balls. Needs FLINT and Arb; built only
// when the exact mode is.
#pragma once

#include <arb.h>

#include "bracket/exact_program.h"
#include "bracket/line_reading.h"

// Makes the numbers of `program` ready for use, once before the first compilation.
void init_exact_program(exact_program& program);

// Turns `reading` into `program`, folding each operand list as the double computation does:
// products and quotients first, then sums and differences left to right, a run after an
// operator other than '+' or '-' dropped, an operator after the last operand meeting 0, an
// empty amplitude 1 and an empty argument 0. An angle in degrees holding a number too large
// to hold is reduced by 360 exactly when only integers, '+', '-' and '*' make it.
void compile_exact_program(const LineReading& reading, exact_program& program);

// The bits of the integer parts of the program's numbers, added up: what a sum of them, or
// a product, may need beyond the digits asked for to keep its absolute error small (an angle
// such as 1e300 + pi, whose sine needs its units exactly).
slong exact_magnitude_bits(const exact_program& program);

// Reads the decimal text "[sign]digits[.digits][(E|e)[sign]digits]" (empty: 0) into `number`,
// exactly; too large when its size passes EXACT_MAGNITUDE_LIMIT digits either way.
void read_exact_decimal(const char* text, exact_number& number);

// What a run in balls knows of the value beyond its ball.
struct BallKnowledge {
  bool exact;      // the value is exactly `rational` x pi^`pi_power`
  slong pi_power;  // meaningful when exact
};

// Runs `program` in balls of `precision` bits. On a value, `value` contains it and, when
// `knowledge.exact`, `rational` receives its rational factor. A zero of a divisor or of a
// function's denominator is decided exactly when the operands are rational multiples of a
// power of pi, and reported undecided otherwise when the ball cannot exclude it.
exact_failure run_in_balls(const exact_program& program, slong precision, arb_t value,
                           fmpq_t rational, BallKnowledge& knowledge);
