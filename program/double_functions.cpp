#include "program/double_functions.h"

#include <cmath>
#include <limits>

namespace {

constexpr Pair ln2 = {0.6931471805599453, 2.3190468138462996e-17};
constexpr Pair ln10 = {2.302585092994046, -2.1707562233822494e-16};
constexpr double sqrt_half = 0.7071067811865476;
constexpr int atanh_terms = 22;               // t^45/45 < 2^-110 for |t| <= 0.1716, (m - 1)/(m + 1)
constexpr int exp_terms = 27;                 // r^27/27! < 2^-110 for |r| <= ln2/2
constexpr double largest_exponent = 709.8;    // exp of more is past the largest double
constexpr double smallest_exponent = -745.2;  // exp of less is below the smallest double
constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();
// Below this size a function's first terms are its value to far under an ulp: senh x is
// x + x^3/6, arcsenh x is x - x^3/6, arctgh x is x + x^3/3, tgh x is x - x^3/3.
constexpr double tiny_argument = 0x1p-30;
// Past this size senh and cosh are e^|x| / 2 and 1/e^|x| is far under an ulp of it.
constexpr double large_argument = 40;
// Past this size tgh x is ±1 to under half an ulp, arcsenh and arccosh are ln 2x.
constexpr double tangent_saturates = 20;
constexpr double huge_argument = 0x1p500;

// x + c x^3 for a small double x, rounded once.
double with_cubic_term(double x, double c) {
  return pair_add(pair_multiply({c * x, 0}, exact_product(x, x)), x).head;
}

// ln |x| + ln 2 for a huge x: arcsenh and arccosh, where x^2 would overflow.
double logarithm_of_twice(double x) {
  return pair_sum(pair_logarithm({std::fabs(x), 0}), ln2).head;
}

}  // namespace

// ln x = e ln 2 + 2 atanh((m - 1)/(m + 1)) with x = m 2^e, m in [sqrt(1/2), sqrt(2)), the
// series of atanh summed from its last term.
Pair pair_logarithm(Pair x) {
  int exponent = 0;
  double mantissa = std::frexp(x.head, &exponent);  // in [1/2, 1)
  double tail = std::ldexp(x.tail, -exponent);
  if (mantissa < sqrt_half) {
    mantissa *= 2;
    tail *= 2;
    --exponent;
  }
  const Pair m = {mantissa, tail};
  const Pair t = pair_quotient(pair_add(m, -1.0), pair_add(m, 1.0));
  const Pair square = pair_multiply(t, t);
  Pair sum = pair_quotient({1, 0}, {2.0 * atanh_terms + 1, 0});
  for (int k = atanh_terms - 1; k >= 0; --k) {
    sum = pair_sum(pair_quotient({1, 0}, {2.0 * k + 1, 0}), pair_multiply(square, sum));
  }
  const Pair series = pair_multiply({2, 0}, pair_multiply(t, sum));
  return pair_sum(pair_multiply(ln2, {static_cast<double>(exponent), 0}), series);
}

// e^z = 2^k e^r with k the nearest integer to z / ln 2 and |r| <= ln 2 / 2, the series of e^r
// summed from its last term.
Pair pair_exponential(Pair z) {
  if (z.head > largest_exponent) return {HUGE_VAL, 0};
  if (z.head < smallest_exponent) return {0, 0};
  const double k = std::nearbyint(z.head / ln2.head);
  const Pair r = pair_sum(z, pair_negated(pair_multiply(ln2, {k, 0})));
  Pair sum = {1, 0};
  for (int n = exp_terms; n >= 1; --n) {
    sum = pair_add(pair_quotient(pair_multiply(r, sum), {static_cast<double>(n), 0}), 1.0);
  }
  const int power = static_cast<int>(k);
  return {std::ldexp(sum.head, power), std::ldexp(sum.tail, power)};
}

double double_natural_logarithm(double x) {
  if (!(x > 0)) return not_a_number;
  if (std::isinf(x)) return x;
  return pair_logarithm({x, 0}).head;
}

double double_common_logarithm(double x) {
  if (!(x > 0)) return not_a_number;
  if (std::isinf(x)) return x;
  return pair_quotient(pair_logarithm({x, 0}), ln10).head;
}

// Near the largest double e^x is past it: 2^k e^r with 2^k past it too is infinity, and so it
// is; the sum times 2^k is rounded once at the end.
double double_exponential(double x) {
  if (std::isnan(x)) return x;
  const Pair value = pair_exponential({x, 0});
  return value.head + value.tail;
}

// (e^x - e^-x) / 2, from the exponential of |x| as a pair: for |x| from 2^-30 the difference
// keeps about 74 bits.
double double_hyperbolic_sine(double x) {
  if (!std::isfinite(x) || std::fabs(x) < tiny_argument) {
    return std::isfinite(x) ? with_cubic_term(x, 1.0 / 6) : x;
  }
  const double magnitude = std::fabs(x);
  double value = 0;
  if (magnitude > large_argument) {
    value = pair_exponential(pair_sum({magnitude, 0}, pair_negated(ln2))).head;
  } else {
    const Pair grown = pair_exponential({magnitude, 0});
    const Pair shrunk = pair_quotient({1, 0}, grown);
    value = pair_quotient(pair_sum(grown, pair_negated(shrunk)), {2, 0}).head;
  }
  return x < 0 ? -value : value;
}

double double_hyperbolic_cosine(double x) {
  if (std::isnan(x)) return x;
  const double magnitude = std::fabs(x);
  if (magnitude > large_argument) {
    return pair_exponential(pair_sum({magnitude, 0}, pair_negated(ln2))).head;
  }
  const Pair grown = pair_exponential({magnitude, 0});
  return pair_quotient(pair_sum(grown, pair_quotient({1, 0}, grown)), {2, 0}).head;
}

// (e^2x - 1) / (e^2x + 1) for |x| from 2^-30: e^2x - 1 keeps about 74 bits.
double double_hyperbolic_tangent(double x) {
  if (std::isnan(x)) return x;
  const double magnitude = std::fabs(x);
  if (magnitude < tiny_argument) return with_cubic_term(x, -1.0 / 3);
  if (magnitude > tangent_saturates) return x < 0 ? -1.0 : 1.0;
  const Pair grown = pair_exponential({2 * magnitude, 0});
  const double value = pair_quotient(pair_add(grown, -1), pair_add(grown, 1)).head;
  return x < 0 ? -value : value;
}

// ln(|x| + sqrt(x^2 + 1)), the sum kept as a pair.
double double_arc_hyperbolic_sine(double x) {
  if (!std::isfinite(x)) return x;
  const double magnitude = std::fabs(x);
  double value = 0;
  if (magnitude < tiny_argument) return with_cubic_term(x, -1.0 / 6);
  if (magnitude > huge_argument) {
    value = logarithm_of_twice(magnitude);
  } else {
    const Pair root = pair_sqrt(pair_add(exact_product(magnitude, magnitude), 1));
    value = pair_logarithm(pair_add(root, magnitude)).head;
  }
  return x < 0 ? -value : value;
}

// ln(x + sqrt((x - 1)(x + 1))): both factors are exact pairs, so near 1 the root keeps its
// bits.
double double_arc_hyperbolic_cosine(double x) {
  if (!(x >= 1)) return not_a_number;
  if (std::isinf(x)) return x;
  if (x > huge_argument) return logarithm_of_twice(x);
  const Pair root = pair_sqrt(pair_multiply(two_sum(x, -1), two_sum(x, 1)));
  const Pair sum = pair_add(root, x);
  return sum.head == 1 && sum.tail == 0 ? 0.0 : pair_logarithm(sum).head;
}

// ln((1 + x) / (1 - x)) / 2: both are exact pairs.
double double_arc_hyperbolic_tangent(double x) {
  if (!(std::fabs(x) < 1)) return not_a_number;
  if (std::fabs(x) < tiny_argument) return with_cubic_term(x, 1.0 / 3);
  const Pair ratio = pair_quotient(two_sum(1, x), two_sum(1, -x));
  return pair_quotient(pair_logarithm(ratio), {2, 0}).head;
}
