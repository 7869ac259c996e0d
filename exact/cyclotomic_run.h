// A line's program decided in a cyclotomic field. The sine and cosine of a rational multiple
// of pi lie in Q(zeta), zeta = exp(2 pi i / n), for n a multiple of the angles' denominators:
// cos(pi t) = (zeta^m + zeta^-m) / 2 with m = t n / 2. A line of direct functions at such
// angles (degrees that are rational, radians that are a rational multiple of pi), joined by
// + - * /, negations and integer powers, is one element of that field: a polynomial in zeta
// reduced modulo the n-th cyclotomic polynomial, which is 0 exactly when the element is, and
// a constant exactly when the element is rational. So its zeros and ties are decided exactly,
// and an irrational value, never 0 nor a tie, is enclosed as finely as its digits need. Needs
// FLINT and Arb; built into the exact mode's module only.
#pragma once

#include "exact/exact_value.h"

// Most degree phi(n) of the field a line is decided in: a product in it takes about a
// millisecond at degree 1,000 and ten at 4,000. A line whose angles need a larger field (an
// angle of 0.01 or of 30 + 1e-3000 degrees, say) is left to the other arithmetics.
constexpr slong cyclotomic_degree_limit = 4096;

// Decides `program` in the cyclotomic field holding its values. False when none of degree at
// most cyclotomic_degree_limit does: a number too large, an inverse function, a square root,
// a power whose exponent is no integer below 256 in size, pi in an angle in degrees, an angle
// in radians that is no rational multiple of pi, pi joined to an element of the field, or a
// value at the end that is a multiple of a power of pi. True otherwise, with `result` holding
// the value rounded to `digits` digits (ties to even), or the step that has no value (a
// division by 0, a function where it has none, 0 to a power below 0), or undecided when balls
// of the finest precision tried around an irrational value could not settle its digits.
bool decide_in_cyclotomic_field(const ExactProgram& program, int digits, ExactOutcome& result);
