// The sine and cosine of an angle in degrees with the angle reduced exactly in degrees, as a
// textbook reduces it: whole turns and quarter turns taken away without rounding, the rest
// folded to at most 45 degrees, and only then made radians (times pi/180 in double-double) for
// the series. So every multiple of 90 degrees gives 0 and 1 exactly, 30 degrees gives 1/2
// rounded once, and the bits are the same on every target: IEEE additions, products and
// quotients only, and the exact fmod.
#include <cmath>
#include <limits>

#include "trig/trig_functions.h"

namespace {

constexpr Pair degree_in_radians = {0.017453292519943295, 2.9486522708701687e-19};  // pi/180
constexpr Pair radian_in_degrees = {57.29577951308232, -1.9878495670576283e-15};    // 180/pi
constexpr double quarter_turn = 90;
constexpr double eighth_turn = 45;
constexpr double whole_turn = 360;

// A pair whose head is 0 made +0: a textbook's zero has no sign.
Pair unsigned_zero(Pair value) {
  return value.head == 0 ? Pair{0, 0} : value;
}

// The sine and cosine of `quadrant` quarter turns (0 to 3) plus an angle whose sine and cosine
// are `sine` and `cosine`.
SineCosine turned_by_quadrants(int quadrant, Pair sine, Pair cosine) {
  switch (quadrant & 3) {
    case 0:
      return {unsigned_zero(sine), unsigned_zero(cosine)};
    case 1:
      return {unsigned_zero(cosine), unsigned_zero(pair_negated(sine))};
    case 2:
      return {unsigned_zero(pair_negated(sine)), unsigned_zero(pair_negated(cosine))};
    default:
      return {unsigned_zero(pair_negated(cosine)), unsigned_zero(sine)};
  }
}

// The sine and cosine of an angle of at most 90 degrees whose radians are `angle` (from the
// series) or, when `folded`, of 90 degrees less it.
SineCosine within_quarter(Pair angle, bool folded) {
  const Pair sine = pair_series_sine(angle);
  const Pair cosine = pair_series_cosine(angle);
  return folded ? SineCosine{cosine, sine} : SineCosine{sine, cosine};
}

}  // namespace

// fmod is exact; each subtraction of quarter turns below is exact by Sterbenz's lemma (the
// remainder r lies in [90k, 90(k + 1)) and 90k is within a factor 2 of it), and so is the
// fold 90 - t for t in (45, 90).
SineCosine degree_sine_cosine(double degrees) {
  if (!std::isfinite(degrees)) {
    const Pair none = {std::numeric_limits<double>::quiet_NaN(), 0};
    return {none, none};
  }
  const double turn = std::fmod(std::fabs(degrees), whole_turn);
  int quadrant = 0;
  while (quadrant < 3 && turn >= quarter_turn * (quadrant + 1)) ++quadrant;
  double rest = turn - quarter_turn * quadrant;
  const bool folded = rest > eighth_turn;
  if (folded) rest = quarter_turn - rest;
  const SineCosine part = within_quarter(pair_multiply(degree_in_radians, {rest, 0}), folded);
  SineCosine value = turned_by_quadrants(quadrant, part.sine, part.cosine);
  if (degrees < 0) value.sine = unsigned_zero(pair_negated(value.sine));
  return value;
}

// The integers stay below 360 x 2^31 and 2^31 x 2^31: no overflow in 64 bits, and the rest
// (below 90 x 2^31) is an exact double.
SineCosine fraction_degree_sine_cosine(long long numerator, long long denominator) {
  const long long turn = 360 * denominator;
  const long long quarter = 90 * denominator;
  long long reduced = numerator % turn;
  if (reduced < 0) reduced += turn;
  const int quadrant = static_cast<int>(reduced / quarter);
  long long rest = reduced - quarter * quadrant;
  const bool folded = 2 * rest > quarter;
  if (folded) rest = quarter - rest;
  const Pair radians =
      pair_quotient(pair_multiply(degree_in_radians, {static_cast<double>(rest), 0}),
                    {static_cast<double>(denominator), 0});
  const SineCosine part = within_quarter(radians, folded);
  return turned_by_quadrants(quadrant, part.sine, part.cosine);
}

SineCosine radian_sine_cosine(double radians) {
  if (!std::isfinite(radians)) return degree_sine_cosine(radians);
  double head = 0, tail = 0;
  const int quadrant = reduce_quarter_turns(radians, head, tail);
  const Pair angle = {head, tail};
  return turned_by_quadrants(quadrant, pair_series_sine(angle), pair_series_cosine(angle));
}

double pair_radians_to_degrees(Pair angle) {
  if (!std::isfinite(angle.head)) return angle.head;
  return pair_multiply(angle, radian_in_degrees).head;
}

double rounded_multiple_of_pi(long long numerator, long long denominator) {
  const Pair times = pair_multiply(pi_pair, {static_cast<double>(numerator), 0});
  return pair_quotient(times, {static_cast<double>(denominator), 0}).head;
}
