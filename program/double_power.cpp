#include "program/double_power.h"

#include <cmath>

#include "trig/trig_pair_arithmetic.h"

namespace {

constexpr Pair ln2 = {0.6931471805599453, 2.3190468138462996e-17};
constexpr double sqrt_half = 0.7071067811865476;
constexpr int atanh_terms = 22;               // t^45/45 < 2^-110 for |t| <= 0.1716, (m - 1)/(m + 1)
constexpr int exp_terms = 27;                 // r^27/27! < 2^-110 for |r| <= ln2/2
constexpr double largest_exponent = 709.8;    // exp of more is past the largest double
constexpr double smallest_exponent = -745.2;  // exp of less is below the smallest double

// ln x for a finite x > 0: e ln 2 + 2 atanh((m - 1)/(m + 1)) with x = m 2^e, m in
// [sqrt(1/2), sqrt(2)), the series of atanh summed from its last term.
Pair logarithm(double x) {
  int exponent = 0;
  double mantissa = std::frexp(x, &exponent);  // in [1/2, 1)
  if (mantissa < sqrt_half) {
    mantissa *= 2;
    --exponent;
  }
  const Pair t = pair_quotient(two_sum(mantissa, -1.0), two_sum(mantissa, 1.0));
  const Pair square = pair_multiply(t, t);
  Pair sum = pair_quotient({1, 0}, {2.0 * atanh_terms + 1, 0});
  for (int k = atanh_terms - 1; k >= 0; --k) {
    sum = pair_sum(pair_quotient({1, 0}, {2.0 * k + 1, 0}), pair_multiply(square, sum));
  }
  const Pair series = pair_multiply({2, 0}, pair_multiply(t, sum));
  return pair_sum(pair_multiply(ln2, {static_cast<double>(exponent), 0}), series);
}

// exp z for a pair z within [smallest_exponent, largest_exponent]: 2^k exp r with k the
// nearest integer to z / ln 2 and |r| <= ln 2 / 2, the series of exp r summed from its last
// term.
double exponential(Pair z) {
  const double k = std::nearbyint(z.head / ln2.head);
  const Pair r = pair_sum(z, pair_negated(pair_multiply(ln2, {k, 0})));
  Pair sum = {1, 0};
  for (int n = exp_terms; n >= 1; --n) {
    sum = pair_add(pair_quotient(pair_multiply(r, sum), {static_cast<double>(n), 0}), 1.0);
  }
  return std::ldexp(sum.head + sum.tail, static_cast<int>(k));
}

}  // namespace

// Past about 800 in size, y ln x is far beyond both bounds; below it, |y| is under 2^63 (|ln x|
// is at least 2^-53 for x other than 1), so the double-double product cannot overflow.
double positive_power(double x, double y) {
  if (y == 0 || x == 1) return 1;
  const Pair logarithm_of_x = logarithm(x);
  const double rough = logarithm_of_x.head * y;
  if (!(std::fabs(rough) < 800)) return rough > 0 ? HUGE_VAL : 0;
  const Pair z = pair_multiply(logarithm_of_x, {y, 0});
  if (z.head > largest_exponent) return HUGE_VAL;
  if (z.head < smallest_exponent) return 0;
  return exponential(z);
}
