// The logarithms, the exponential and the hyperbolic functions in doubles with the same bits on
// every target: computed in double-double arithmetic (IEEE additions, products, quotients and
// square roots only, no C library function on the way) and rounded once, so correctly rounded
// but where the exact value lies within about 2^-100 of a rounding boundary.
#pragma once

#include "trig/trig_pair_arithmetic.h"

// ln x for a pair x > 0 whose head is finite, to about 2^-104.
Pair pair_logarithm(Pair x);

// e^z for a pair z, to about 2^-104 of it: infinity past the largest double, 0 below the
// smallest.
Pair pair_exponential(Pair z);

// ln x and log10 x; not-a-number for x at most 0 (and for not-a-number), infinity at infinity.
double double_natural_logarithm(double x);
double double_common_logarithm(double x);

// e^x: infinity past the largest double, 0 below the smallest.
double double_exponential(double x);

// senh x, cosh x and tgh x.
double double_hyperbolic_sine(double x);
double double_hyperbolic_cosine(double x);
double double_hyperbolic_tangent(double x);

// arcsenh x; arccosh x, not-a-number below 1; arctgh x, not-a-number outside (-1, 1).
double double_arc_hyperbolic_sine(double x);
double double_arc_hyperbolic_cosine(double x);
double double_arc_hyperbolic_tangent(double x);
