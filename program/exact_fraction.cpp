#include "program/exact_fraction.h"

#include <cmath>

#include "text/characters.h"
#include "trig/trig_functions.h"

namespace {

// The most a power of pi or of e is followed to, either way.
constexpr int power_ceiling = 8;
// Decimal digits a number's text is followed to: 10^9 stays below the ceiling.
constexpr int followed_digits = 9;

// The greatest common divisor of |a| and b > 0, by halvings and subtractions (Stein's): no
// division, which costs a run in doubles more than all its other steps.
long long greatest_divisor(long long a, long long b) {
  unsigned long long x = static_cast<unsigned long long>(a < 0 ? -a : a);
  unsigned long long y = static_cast<unsigned long long>(b);
  if (x == 0 || y == 1) return x == 0 ? b : 1;
  if ((y & (y - 1)) == 0) {  // a power of two, as halves and quarters are: its factors of two
    unsigned long long common = 1;
    while ((x & 1) == 0 && common < y) {
      x >>= 1;
      common <<= 1;
    }
    return static_cast<long long>(common);
  }
  int shift = 0;
  while (((x | y) & 1) == 0) {
    x >>= 1;
    y >>= 1;
    ++shift;
  }
  while ((x & 1) == 0) x >>= 1;
  while (y != 0) {
    while ((y & 1) == 0) y >>= 1;
    if (x > y) {
      const unsigned long long kept = x;
      x = y;
      y = kept;
    }
    y -= x;
  }
  return static_cast<long long>(x << shift);
}

bool within_ceiling(long long value) {
  return value < exact_fraction_ceiling && value > -exact_fraction_ceiling;
}

bool powers_within_ceiling(int pi_power, int e_power) {
  return pi_power <= power_ceiling && pi_power >= -power_ceiling && e_power <= power_ceiling &&
         e_power >= -power_ceiling;
}

// a / b for a b that divides a: in doubles when both are below 2^53, where the quotient is
// exact and a division of doubles costs a third of one of 64-bit integers.
long long exact_quotient(long long a, long long b) {
  constexpr long long exact_in_doubles = 1LL << 53;
  if (a < exact_in_doubles && a > -exact_in_doubles && b < exact_in_doubles) {
    return static_cast<long long>(static_cast<double>(a) / static_cast<double>(b));
  }
  return a / b;
}

// numerator / denominator x pi^pi_power x e^e_power reduced; inexact past the ceilings.
ExactFraction reduced(long long numerator, long long denominator, int pi_power, int e_power) {
  if (denominator == 0 || !powers_within_ceiling(pi_power, e_power)) return inexact_fraction;
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  if (denominator != 1) {
    const long long common = greatest_divisor(numerator, denominator);
    if (common != 1) {
      numerator = exact_quotient(numerator, common);
      denominator = exact_quotient(denominator, common);
    }
  }
  if (!within_ceiling(numerator) || !within_ceiling(denominator)) return inexact_fraction;
  if (numerator == 0) return {0, 1, 0, 0, 1};
  return {numerator, denominator, pi_power, e_power, 1};
}

// 10^count, for count at most followed_digits.
long long power_of_ten(int count) {
  long long power = 1;
  for (int k = 0; k < count; ++k) power *= 10;
  return power;
}

// The exponent written after 'E' at `text`, or a size past every ceiling.
int written_exponent(const char* text) {
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int exponent = 0;
  for (; is_digit(*text); ++text) {
    if (exponent < 1000) exponent = exponent * 10 + (*text - '0');
  }
  return negative ? -exponent : exponent;
}

// digits / scale, scale a power of ten and digits not a multiple of 10 (the zeros that end a
// decimal's fraction are dropped): in lowest terms once the factors 2 or the factors 5 the
// two share are taken out, which a shift and a few products by constants do.
ExactFraction over_power_of_ten(long long digits, long long scale) {
  while (scale % 2 == 0 && digits % 2 == 0) {
    scale /= 2;
    digits /= 2;
  }
  while (scale % 5 == 0 && digits % 5 == 0) {
    scale /= 5;
    digits /= 5;
  }
  return {digits, scale, 0, 0, 1};
}

}  // namespace

ExactFraction whole_fraction(long long value) {
  return within_ceiling(value) ? ExactFraction{value, 1, 0, 0, 1} : inexact_fraction;
}

ExactFraction make_fraction(long long numerator, long long denominator, int pi_power) {
  return reduced(numerator, denominator, pi_power, 0);
}

// One pass over the text: the zeros after the last other digit are held back (each a factor of
// ten, whether before the point or after it), so that "30.000" is 30 and the digits kept are
// never a multiple of ten; significant digits past followed_digits make the number unknown.
ExactFraction fraction_of_decimal(const char* text) {
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long digits = 0;
  int count = 0, exponent = 0, zeros = 0;
  bool point = false;
  for (;; ++text) {
    const char c = *text;
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (!is_digit(c)) break;
    if (point) --exponent;
    if (c == '0') {
      zeros += digits != 0 ? 1 : 0;
      continue;
    }
    count += zeros + 1;
    if (count > followed_digits) return inexact_fraction;
    for (; zeros > 0; --zeros) digits *= 10;
    digits = digits * 10 + (c - '0');
  }
  if (*text == 'E' || *text == 'e') exponent += written_exponent(text + 1);
  exponent += zeros;
  if (digits == 0) return whole_fraction(0);
  if (exponent > followed_digits || exponent < -followed_digits) return inexact_fraction;
  const long long scale = power_of_ten(exponent < 0 ? -exponent : exponent);
  const long long signed_digits = negative ? -digits : digits;
  if (exponent >= 0 && digits > exact_fraction_ceiling / scale) return inexact_fraction;
  if (exponent >= 0) return whole_fraction(signed_digits * scale);
  return over_power_of_ten(signed_digits, scale);
}

bool is_known_rational(const ExactFraction& value) {
  return value.exact && value.pi_power == 0 && value.e_power == 0;
}

ExactFraction fraction_sum(const ExactFraction& a, const ExactFraction& b, bool subtract) {
  if (!a.exact || !b.exact) return inexact_fraction;
  const long long b_numerator = subtract ? -b.numerator : b.numerator;
  const bool whole = a.denominator == 1 && b.denominator == 1 && a.pi_power == 0 &&
                     b.pi_power == 0 && a.e_power == 0 && b.e_power == 0;
  if (whole) return whole_fraction(a.numerator + b_numerator);  // the usual case
  if (b.numerator == 0) return a;
  if (a.numerator == 0) return {b_numerator, b.denominator, b.pi_power, b.e_power, 1};
  if (a.pi_power != b.pi_power || a.e_power != b.e_power) return inexact_fraction;
  return reduced(a.numerator * b.denominator + b_numerator * a.denominator,
                 a.denominator * b.denominator, a.pi_power, a.e_power);
}

ExactFraction fraction_product(const ExactFraction& a, const ExactFraction& b, bool divide) {
  if (!a.exact || !b.exact) return inexact_fraction;
  const bool whole = a.denominator == 1 && b.denominator == 1 && a.pi_power == 0 &&
                     b.pi_power == 0 && a.e_power == 0 && b.e_power == 0;
  if (whole && !divide) return whole_fraction(a.numerator * b.numerator);  // the usual case
  if (divide && b.numerator == 0) return inexact_fraction;
  if (a.numerator == 0) return a;
  if (divide) {
    return reduced(a.numerator * b.denominator, a.denominator * b.numerator,
                   a.pi_power - b.pi_power, a.e_power - b.e_power);
  }
  return reduced(a.numerator * b.numerator, a.denominator * b.denominator, a.pi_power + b.pi_power,
                 a.e_power + b.e_power);
}

ExactFraction fraction_negated(const ExactFraction& a) {
  ExactFraction negated = a;
  negated.numerator = -a.numerator;
  return negated;
}

ExactFraction fraction_magnitude(const ExactFraction& a) {
  return a.numerator < 0 ? fraction_negated(a) : a;
}

ExactFraction fraction_power(const ExactFraction& a, const ExactFraction& b) {
  if (!a.exact || !is_known_rational(b) || b.denominator != 1) return inexact_fraction;
  const long long times = b.numerator < 0 ? -b.numerator : b.numerator;
  if (times > 64 || (a.numerator == 0 && b.numerator < 0)) return inexact_fraction;
  ExactFraction power = whole_fraction(1);
  for (long long k = 0; k < times && power.exact; ++k) power = fraction_product(power, a, false);
  return b.numerator < 0 ? fraction_product(whole_fraction(1), power, true) : power;
}

// The square root of a known value whose numerator, denominator and powers are squares.
ExactFraction fraction_root(const ExactFraction& a) {
  if (!a.exact || a.numerator < 0 || a.pi_power % 2 != 0 || a.e_power % 2 != 0) {
    return inexact_fraction;
  }
  const auto numerator = static_cast<long long>(std::sqrt(static_cast<double>(a.numerator)));
  const auto denominator = static_cast<long long>(std::sqrt(static_cast<double>(a.denominator)));
  if (numerator * numerator != a.numerator || denominator * denominator != a.denominator) {
    return inexact_fraction;
  }
  return reduced(numerator, denominator, a.pi_power / 2, a.e_power / 2);
}

// Both integers are below 2^31, so exact doubles: their quotient is rounded once.
double fraction_value(const ExactFraction& value, double otherwise) {
  if (is_known_rational(value)) {
    return static_cast<double>(value.numerator) / static_cast<double>(value.denominator);
  }
  if (value.exact && value.pi_power == 1 && value.e_power == 0) {
    return rounded_multiple_of_pi(value.numerator, value.denominator);
  }
  return otherwise;
}
