// Double-double arithmetic for the portable trigonometric functions: a value as the
// unevaluated sum of two doubles, about 106 bits, from IEEE additions and products alone
// (no fused multiply-add), so it gives the same bits on every target.
#pragma once

// The unevaluated sum head + tail, with |tail| at most half an ulp of head (the words the
// reduction by quarter turns uses for its remainder).
struct Pair {
  double head;
  double tail;
};

// The exact product a * b as a pair (Dekker's splitting), for |a * b| below about 2^996.
Pair exact_product(double a, double b);

// a + b exactly, as a pair (Knuth's two-sum).
Pair two_sum(double a, double b);

// -a.
Pair pair_negated(Pair a);

// a + b, a + b, a * b and a / b to about 2^-104 of the result.
Pair pair_add(Pair a, double b);
Pair pair_sum(Pair a, Pair b);
Pair pair_multiply(Pair a, Pair b);
Pair pair_quotient(Pair a, Pair b);

// The square root of a >= 0 to about 2^-104.
Pair pair_sqrt(Pair a);

// base + correction as a pair; a zero correction leaves base as it is, the sign of a zero
// base included (-0 + 0 would be +0).
Pair add_correction(double base, Pair correction);
