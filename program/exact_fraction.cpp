#include "program/exact_fraction.h"

#include <cmath>

#include "text/characters.h"
#include "trig/trig_functions.h"

namespace {

// The most a power of pi or of e is followed to, either way.
constexpr int power_ceiling = 8;
// Decimal digits a number's text is followed to: 10^9 stays below the ceiling.
constexpr int followed_digits = 9;

long long greatest_divisor(long long a, long long b) {
  a = a < 0 ? -a : a;
  while (b != 0) {
    const long long rest = a % b;
    a = b;
    b = rest;
  }
  return a;
}

bool within_ceiling(long long value) {
  return value < exact_fraction_ceiling && value > -exact_fraction_ceiling;
}

bool powers_within_ceiling(int pi_power, int e_power) {
  return pi_power <= power_ceiling && pi_power >= -power_ceiling && e_power <= power_ceiling &&
         e_power >= -power_ceiling;
}

// numerator / denominator x pi^pi_power x e^e_power reduced; inexact past the ceilings.
ExactFraction reduced(long long numerator, long long denominator, int pi_power, int e_power) {
  if (denominator == 0 || !powers_within_ceiling(pi_power, e_power)) return inexact_fraction;
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  const long long common = greatest_divisor(numerator, denominator);
  numerator /= common;
  denominator /= common;
  if (!within_ceiling(numerator) || !within_ceiling(denominator)) return inexact_fraction;
  if (numerator == 0) return {true, 0, 1, 0, 0};
  return {true, numerator, denominator, pi_power, e_power};
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

}  // namespace

ExactFraction whole_fraction(long long value) {
  return reduced(value, 1, 0, 0);
}

ExactFraction make_fraction(long long numerator, long long denominator, int pi_power) {
  return reduced(numerator, denominator, pi_power, 0);
}

// Significant digits past followed_digits make the number unknown; the zeros that end its
// fraction are dropped first ("30.000" is 30).
ExactFraction fraction_of_decimal(const char* text) {
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  const char* end = text;
  const char* point = nullptr;
  for (; is_digit(*end) || (*end == '.' && point == nullptr); ++end) {
    if (*end == '.') point = end;
  }
  int exponent = (*end == 'E' || *end == 'e') ? written_exponent(end + 1) : 0;
  if (point != nullptr) {
    while (end > point + 1 && end[-1] == '0') --end;
  }
  long long digits = 0;
  int count = 0;
  for (const char* at = text; at < end; ++at) {
    if (*at == '.') continue;
    if (point != nullptr && at > point) --exponent;
    if (digits == 0 && *at == '0') continue;
    if (++count > followed_digits) return inexact_fraction;
    digits = digits * 10 + (*at - '0');
  }
  if (digits == 0) return whole_fraction(0);
  if (exponent > followed_digits || exponent < -followed_digits) return inexact_fraction;
  const long long scale = power_of_ten(exponent < 0 ? -exponent : exponent);
  const long long signed_digits = negative ? -digits : digits;
  if (exponent >= 0 && digits > exact_fraction_ceiling / scale) return inexact_fraction;
  return exponent >= 0 ? reduced(signed_digits * scale, 1, 0, 0)
                       : reduced(signed_digits, scale, 0, 0);
}

bool is_known_rational(const ExactFraction& value) {
  return value.exact && value.pi_power == 0 && value.e_power == 0;
}

ExactFraction fraction_sum(const ExactFraction& a, const ExactFraction& b, bool subtract) {
  if (!a.exact || !b.exact) return inexact_fraction;
  const long long b_numerator = subtract ? -b.numerator : b.numerator;
  if (b.numerator == 0) return a;
  if (a.numerator == 0) return {true, b_numerator, b.denominator, b.pi_power, b.e_power};
  if (a.pi_power != b.pi_power || a.e_power != b.e_power) return inexact_fraction;
  return reduced(a.numerator * b.denominator + b_numerator * a.denominator,
                 a.denominator * b.denominator, a.pi_power, a.e_power);
}

ExactFraction fraction_product(const ExactFraction& a, const ExactFraction& b, bool divide) {
  if (!a.exact || !b.exact) return inexact_fraction;
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
