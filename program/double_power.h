// A power in doubles with the same bits on every target: x^y from the logarithm and the
// exponential in double-double arithmetic (IEEE additions, products and square roots only,
// no C library function on the way), rounded once to a double; correctly rounded but where
// the exact power lies within about 2^-94 of a rounding boundary.
#pragma once

// x^y for a finite x > 0 and a finite y: infinity past the largest double, 0 below the
// smallest. Other arguments are the caller's to settle (a power of 0 or of a number below 0,
// not-a-number, infinities).
double positive_power(double x, double y);

// x^(numerator / denominator) for a finite x > 0 and a fraction in lowest terms (both below
// 2^31, the denominator above 0), the exponent taken exactly: as positive_power gives it.
double positive_rational_power(double x, long long numerator, long long denominator);
