// Arc sine, arc cosine and arc tangent from the arc tangent's series in double-double
// arithmetic, after halving its argument a few times. IEEE additions, products and square
// roots only, with no C library function on the way, so they give the same bits on every
// target.
#include <cmath>
#include <limits>

#include "trig/trig_functions.h"
#include "trig/trig_pair_arithmetic.h"

namespace {

constexpr Pair half_pi = {1.5707963267948966, 6.123233995736766e-17};
constexpr Pair pi = {3.141592653589793, 1.2246467991473532e-16};
constexpr int halvings = 4;            // from at most atan(1) = pi/4 to pi/64
constexpr double halvings_scale = 16;  // 2^halvings
constexpr int series_terms = 13;       // y^28/29 < 2^-110 for y <= tan(pi/64) < 0.05
// Below this atan(y) = y - y^3/3 is y to far under an ulp, and halving it would let the
// low halves fall into subnormal numbers.
constexpr double negligible_ratio = 0x1p-900;

// atan(y) = y (1 - y^2/3 + y^4/5 - ...) for a pair y with 0 <= y <= tan(pi/64).
Pair arc_tangent_series(Pair y) {
  const Pair square = pair_multiply(y, y);
  Pair sum = pair_quotient({1, 0}, {2.0 * series_terms + 1, 0});
  for (int k = series_terms - 1; k >= 0; --k) {
    sum =
        pair_sum(pair_quotient({1, 0}, {2.0 * k + 1, 0}), pair_negated(pair_multiply(square, sum)));
  }
  return pair_multiply(y, sum);
}

// atan(y) for a pair 0 <= y <= 1 (a little above 1 is fine), halving the angle with
// atan(y) = 2 atan(y / (1 + sqrt(1 + y^2))).
Pair arc_tangent_to_one(Pair y) {
  if (y.head < negligible_ratio) return y;
  for (int i = 0; i < halvings; ++i) {
    y = pair_quotient(y, pair_add(pair_sqrt(pair_add(pair_multiply(y, y), 1)), 1));
  }
  const Pair angle = arc_tangent_series(y);
  return {angle.head * halvings_scale, angle.tail * halvings_scale};
}

// atan(rise / run) for rise, run >= 0, not both zero: above 1, pi/2 - atan(run / rise).
Pair arc_tangent_of_ratio(Pair rise, Pair run) {
  if (rise.head > run.head) {
    return pair_sum(half_pi, pair_negated(arc_tangent_to_one(pair_quotient(run, rise))));
  }
  return arc_tangent_to_one(pair_quotient(rise, run));
}

// sqrt(1 - m^2) = sqrt((1 - m)(1 + m)) for 0 <= m <= 1; each factor is an exact pair.
Pair complement_root(double m) {
  return pair_sqrt(pair_multiply(two_sum(1, -m), two_sum(1, m)));
}

// value with the sign of `ratio`: the arc sine and arc tangent are odd, -0 included.
double with_sign_of(double ratio, double value) {
  return std::signbit(ratio) ? -value : value;
}

// The pair with the sign of `ratio`: the arc sine and arc tangent are odd, -0 included.
Pair pair_with_sign_of(double ratio, Pair value) {
  return std::signbit(ratio) ? pair_negated(value) : value;
}

constexpr Pair no_angle = {std::numeric_limits<double>::quiet_NaN(), 0};

}  // namespace

Pair arc_tangent_pair(double ratio) {
  if (std::isnan(ratio)) return {ratio, 0};
  const double magnitude = std::fabs(ratio);
  // atan(x) = pi/2 - 1/x + ..., where past 2^60 the 1/x is far below an ulp of pi/2 (and the
  // exact products of the division would overflow towards the largest doubles).
  if (magnitude > 0x1p60) return pair_with_sign_of(ratio, {half_pi.head, 0});
  return pair_with_sign_of(ratio, arc_tangent_of_ratio({magnitude, 0}, {1, 0}));
}

Pair arc_sine_pair(double ratio) {
  const double magnitude = std::fabs(ratio);
  if (!(magnitude <= 1)) return no_angle;
  return pair_with_sign_of(ratio, arc_tangent_of_ratio({magnitude, 0}, complement_root(magnitude)));
}

// acos(x) = atan(sqrt(1 - x^2) / |x|), and pi minus that for a negative x.
Pair arc_cosine_pair(double ratio) {
  const double magnitude = std::fabs(ratio);
  if (!(magnitude <= 1)) return no_angle;
  const Pair angle = arc_tangent_of_ratio(complement_root(magnitude), {magnitude, 0});
  return ratio < 0 ? pair_sum(pi, pair_negated(angle)) : angle;
}

double portable_atan(double ratio) {
  return with_sign_of(ratio, std::fabs(arc_tangent_pair(ratio).head));
}

double portable_asin(double ratio) {
  return with_sign_of(ratio, std::fabs(arc_sine_pair(ratio).head));
}

double portable_acos(double ratio) {
  return arc_cosine_pair(ratio).head;
}
