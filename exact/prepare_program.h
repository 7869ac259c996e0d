// A line's program made ready for the exact arithmetics (exact/exact_program.h): its numbers
// read exactly, an angle in degrees too large to hold reduced by whole turns. Needs FLINT;
// built into the exact mode's module only.
#pragma once

#include "exact/exact_program.h"
#include "term/term_reading.h"

// Makes the numbers of `exact` ready for use, once before the first preparation.
void init_exact_program(ExactProgram& exact);

// Makes `program`, whose numbers are those of `store`, ready to run in `exact`: each number a
// step pushes read exactly (pi as pi), each integer step made a number, and an angle in
// degrees holding a number too large to hold reduced by 360 exactly when only integers, '+',
// '-' and '*' make it.
void prepare_exact_program(const Program& program, const NumberStore& store, ExactProgram& exact);

// The bits of the integer parts of the program's numbers and of the values its powers make,
// added up: what a sum of them, or a product, may need beyond the digits asked for to keep its
// absolute error small (an angle such as 1e300 + pi, whose sine needs its units exactly), and
// what the line may cost. Estimated from the steps when the program was made ready.
slong exact_magnitude_bits(const ExactProgram& exact);

// The bits of the program's numbers and of the values its powers make, numerators and
// denominators, added up: how close to 0 (or to a tie) a value made of them can come without
// being there is in proportion to them (sin(30 + 1e-3000) - 0.5 is 1.5e-3002).
slong exact_number_bits(const ExactProgram& exact);

// Reads the decimal text "[sign]digits[.digits][(E|e)[sign]digits]" (empty: 0) into `number`,
// exactly; too large when its size passes EXACT_MAGNITUDE_LIMIT digits either way.
void read_exact_decimal(const char* text, exact_number& number);
