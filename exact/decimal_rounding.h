// The decimal rounding of exact values: a rational, or a ball that contains the value,
// rounded to a number of significant digits, ties to even, with the value's decimal exponent;
// and the bits a decimal digit takes, the one conversion between digits and bits. Needs FLINT
// and Arb; built into the exact mode's module only.
#pragma once

#include <arb.h>

#include "exact/exact_text.h"

// log2(10), the bits a decimal digit takes, as a fraction a little above it (3.322 > 3.3219):
// digits made bits round up, bits made digits round down, so that neither claims too much.
constexpr slong digit_bits_numerator = 3322;
constexpr slong digit_bits_denominator = 1000;

// The bits that hold `digits` decimal digits.
constexpr slong bits_for_digits(slong digits) {
  return (digits * digit_bits_numerator + digit_bits_denominator - 1) / digit_bits_denominator;
}

// The decimal digits that `bits` bits surely hold.
constexpr slong digits_for_bits(slong bits) {
  return bits * digit_bits_denominator / digit_bits_numerator;
}

// A value rounded: its sign, `digits` significant digits (the first nonzero) and decimal
// exponent, value = 0.DIGITS x 10^(exponent + 1); or 0.
struct Rounded {
  bool zero;
  bool negative;
  char digits[exact_text_capacity];
  slong exponent;
};

// How rounding a ball went.
enum class Rounding { done, tie_candidate, too_wide };

// Rounds the exact rational `x` (nonzero) to `digits` digits, ties to even.
void round_rational(const fmpq_t x, int digits, Rounded& rounded);

// Rounds the ball `x` to `digits` digits when it settles them (every value it holds rounds
// alike); otherwise says whether a tie point (set in `tie`, with x's sign and scale) lies in
// it, which only an exact comparison can settle, or the ball is too wide (it holds 0, or
// values that round apart).
Rounding round_ball(const arb_t x, int digits, slong precision, Rounded& rounded, fmpq_t tie);

// The count of digits after the point below which the ball's magnitude surely lies: the
// power of ten to which a value that could not be told from 0 is known.
int magnitude_digits(const arb_t ball);
