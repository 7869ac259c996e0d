#include "program/double_power.h"

#include <cmath>

#include "program/double_functions.h"

// Past about 800 in size, y ln x is far beyond both bounds; below it, |y| is under 2^63 (|ln x|
// is at least 2^-53 for x other than 1), so the double-double product cannot overflow.
double positive_power(double x, double y) {
  if (y == 0 || x == 1) return 1;
  const Pair logarithm_of_x = pair_logarithm({x, 0});
  const double rough = logarithm_of_x.head * y;
  if (!(std::fabs(rough) < 800)) return rough > 0 ? HUGE_VAL : 0;
  const Pair power = pair_exponential(pair_multiply(logarithm_of_x, {y, 0}));
  return power.head + power.tail;
}

// The exponent n/q is exact in the pair ln x x n / q, where the double nearest to n/q is not:
// 8^(1/3) is 2, not 2 less about 2^-54 of it.
double positive_rational_power(double x, long long numerator, long long denominator) {
  if (numerator == 0 || x == 1) return 1;
  const Pair logarithm_of_x = pair_logarithm({x, 0});
  const double rough = logarithm_of_x.head * static_cast<double>(numerator) / denominator;
  if (!(std::fabs(rough) < 800)) return rough > 0 ? HUGE_VAL : 0;
  const Pair times = pair_multiply(logarithm_of_x, {static_cast<double>(numerator), 0});
  const Pair power = pair_exponential(pair_quotient(times, {static_cast<double>(denominator), 0}));
  return power.head + power.tail;
}
