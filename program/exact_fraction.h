// What a run in doubles knows of a value exactly, beside its double: a small fraction times a
// power of pi and a power of e, followed through the steps that keep it so (numbers as
// written, sums and products, integer powers, square roots of squares, the functions at the
// arguments where their values are such fractions). The natural reading's doubles use it where
// a textbook means the exact number: an angle of 30.1 degrees or of 2π/3 taken as written, the
// exponent 1/3 of a cube root, the argument e² of a logarithm, a conversion to radians written
// as a multiple of π.
#pragma once

// numerator / denominator x pi^pi_power x e^e_power, when `exact`. Every member is a whole
// word or two halves of one, the flag last: a run copies these in whole words.
struct ExactFraction {
  long long numerator;    // in lowest terms with the denominator
  long long denominator;  // above 0
  int pi_power;
  int e_power;
  long long exact;  // 1 when known, 0 when not
};

// Numerators and denominators are followed below this size (so that products of two fit in 64
// bits); past it a value is no longer known exactly.
constexpr long long exact_fraction_ceiling = 1LL << 31;

// A value known no better than its double.
constexpr ExactFraction inexact_fraction = {0, 1, 0, 0, 0};

// The whole number `value` (inexact past the ceiling).
ExactFraction whole_fraction(long long value);

// numerator / denominator x pi^pi_power, reduced (inexact past the ceiling or for a zero
// denominator).
ExactFraction make_fraction(long long numerator, long long denominator, int pi_power = 0);

// The number the decimal text "[sign]digits[.digits][E[sign]digits]" writes, when it is small
// enough to follow: "30.1" is 301/10, "1E-3" is 1/1000.
ExactFraction fraction_of_decimal(const char* text);

// True when `value` is a known rational: no power of pi or e.
bool is_known_rational(const ExactFraction& value);

// a + b, or a - b when `subtract`: exact when both are, of the same powers (or one is 0).
ExactFraction fraction_sum(const ExactFraction& a, const ExactFraction& b, bool subtract);

// a x b, or a / b when `divide` (inexact for a division by 0).
ExactFraction fraction_product(const ExactFraction& a, const ExactFraction& b, bool divide);

// -a.
ExactFraction fraction_negated(const ExactFraction& a);

// |a|.
ExactFraction fraction_magnitude(const ExactFraction& a);

// a^b for a known integer b (small enough that the result stays below the ceiling).
ExactFraction fraction_power(const ExactFraction& a, const ExactFraction& b);

// The square root of a when it is the square of a known value (√(9/4) is 3/2).
ExactFraction fraction_root(const ExactFraction& a);

// The double nearest to a known rational, or to a known rational multiple of pi; `otherwise`
// for any other value.
double fraction_value(const ExactFraction& value, double otherwise);
