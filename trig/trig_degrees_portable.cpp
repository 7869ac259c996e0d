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
constexpr Pair one_sixth = {0.16666666666666666, 9.25185853854297e-18};
constexpr Pair one_twenty_fourth = {0.041666666666666664, 2.3129646346357427e-18};
constexpr Pair one_hundred_twentieth = {0.008333333333333333, 1.1564823173178714e-19};
constexpr double quarter_turn = 90;
// pi/2 as three doubles, each the rounding of what the ones before leave, and 2/pi rounded.
constexpr double half_pi_parts[3] = {1.5707963267948966, 6.123233995736766e-17,
                                     -1.4973849048591698e-33};
constexpr double two_over_pi_rounded = 0.6366197723675814;
constexpr double quick_reduction_bound = 0x1p20;
constexpr double eighth_turn = 45;
constexpr double whole_turn = 360;

// A pair whose head is 0 made +0: a textbook's zero has no sign.
Pair unsigned_zero(Pair value) {
  return value.head == 0 ? Pair{0, 0} : value;
}

// sin x for a pair x within [-pi/4, pi/4]: x - x^3/6 + x^5/120 in double-double, the rest
// (below 2^-14 of the value) by Horner in doubles, so to about 2^-66 of the value; the sine of
// a textbook angle (pi/6, pi/4) is then rounded as the exact one is.
Pair quick_sine(Pair x) {
  const Pair square = pair_multiply(x, x);
  const Pair cube = pair_multiply(square, x);
  const Pair fifth = pair_multiply(cube, square);
  const double y = square.head;
  const double tail =
      -1.0 / 5040 +
      y * (1.0 / 362880 +
           y * (-1.0 / 39916800 +
                y * (1.0 / 6227020800 +
                     y * (-1.0 / 1307674368000 +
                          y * (1.0 / 355687428096000 +
                               y * (-1.0 / 121645100408832000 + y / 51090942171709440000.0))))));
  const Pair first = pair_sum(x, pair_negated(pair_multiply(cube, one_sixth)));
  return pair_add(pair_sum(first, pair_multiply(fifth, one_hundred_twentieth)),
                  tail * fifth.head * y);
}

// cos x for a pair x within [-pi/4, pi/4]: 1 - x^2/2 + x^4/24 in double-double, the rest by
// Horner in doubles, as quick_sine.
Pair quick_cosine(Pair x) {
  const Pair square = pair_multiply(x, x);
  const Pair fourth = pair_multiply(square, square);
  const double y = square.head;
  const double tail =
      -1.0 / 720 +
      y * (1.0 / 40320 + y * (-1.0 / 3628800 +
                              y * (1.0 / 479001600 + y * (-1.0 / 87178291200 +
                                                          y * (1.0 / 20922789888000 +
                                                               y * (-1.0 / 6402373705728000 +
                                                                    y / 2432902008176640000.0))))));
  const Pair half_square = {square.head / 2, square.tail / 2};  // exact
  const Pair first = pair_add(pair_negated(half_square), 1);
  return pair_add(pair_sum(first, pair_multiply(fourth, one_twenty_fourth)),
                  tail * fourth.head * y);
}

// An angle as `quadrant` quarter turns and a rest within [0, pi/4] radians (as a pair), or,
// when `folded`, a quarter turn less that rest.
struct ReducedAngle {
  int quadrant;
  bool folded;
  Pair rest;
};

// The sine and cosine of `angle`, each only when `wanted` asks for it: each is the sine or the
// cosine of the rest, by the quadrant and the fold, and only that series is summed.
SineCosine turned_values(const ReducedAngle& angle, int wanted) {
  const bool odd = (angle.quadrant & 1) != 0;
  // Which series of the rest the value's sine and cosine are: the sine's is the rest's sine in
  // an even quadrant, its cosine in an odd one; the fold swaps the two.
  const bool sine_from_cosine = odd != angle.folded;
  const bool sine_wanted = (wanted & want_sine) != 0, cosine_wanted = (wanted & want_cosine) != 0;
  const bool rest_sine = (sine_wanted && !sine_from_cosine) || (cosine_wanted && sine_from_cosine);
  const bool rest_cosine =
      (sine_wanted && sine_from_cosine) || (cosine_wanted && !sine_from_cosine);
  const Pair none = {0, 0};
  const Pair sine = rest_sine ? quick_sine(angle.rest) : none;
  const Pair cosine = rest_cosine ? quick_cosine(angle.rest) : none;
  const Pair part_sine = angle.folded ? cosine : sine;
  const Pair part_cosine = angle.folded ? sine : cosine;
  switch (angle.quadrant & 3) {
    case 0:
      return {unsigned_zero(part_sine), unsigned_zero(part_cosine)};
    case 1:
      return {unsigned_zero(part_cosine), unsigned_zero(pair_negated(part_sine))};
    case 2:
      return {unsigned_zero(pair_negated(part_sine)), unsigned_zero(pair_negated(part_cosine))};
    default:
      return {unsigned_zero(pair_negated(part_cosine)), unsigned_zero(part_sine)};
  }
}

}  // namespace

// fmod is exact; each subtraction of quarter turns below is exact by Sterbenz's lemma (the
// remainder r lies in [90k, 90(k + 1)) and 90k is within a factor 2 of it), and so is the
// fold 90 - t for t in (45, 90).
SineCosine degree_sine_cosine(double degrees, int wanted) {
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
  const ReducedAngle angle = {quadrant, folded, pair_multiply(degree_in_radians, {rest, 0})};
  SineCosine value = turned_values(angle, wanted);
  if (degrees < 0) value.sine = unsigned_zero(pair_negated(value.sine));
  return value;
}

// The integers stay below 360 x 2^31 and 2^31 x 2^31: no overflow in 64 bits, and the rest
// (below 90 x 2^31) is an exact double.
SineCosine fraction_degree_sine_cosine(long long numerator, long long denominator, int wanted) {
  const long long turn = 360 * denominator;
  const long long quarter = 90 * denominator;
  // A whole number of degrees, the common case, is reduced by a constant: no division.
  long long reduced = denominator == 1 ? numerator % 360 : numerator % turn;
  if (reduced < 0) reduced += turn;
  const int quadrant = static_cast<int>(denominator == 1 ? reduced / 90 : reduced / quarter);
  long long rest = reduced - quarter * quadrant;
  const bool folded = 2 * rest > quarter;
  if (folded) rest = quarter - rest;
  Pair radians = pair_multiply(degree_in_radians, {static_cast<double>(rest), 0});
  if (denominator != 1) radians = pair_quotient(radians, {static_cast<double>(denominator), 0});
  return turned_values({quadrant, folded, radians}, wanted);
}

// An angle below 2^20 radians is reduced by quarter turns against pi/2 in three doubles
// (Cody and Waite's): q pi/2 is then known to about 2^-140 of it, and the rest to about 2^-100,
// without the exact reduction's 1216 bits of 2/pi, which larger angles take.
SineCosine radian_sine_cosine(double radians, int wanted) {
  if (!std::isfinite(radians)) return degree_sine_cosine(radians, wanted);
  double head = 0, tail = 0;
  int quadrant = 0;
  if (std::fabs(radians) < quick_reduction_bound) {
    const double turns = std::nearbyint(radians * two_over_pi_rounded);
    const Pair first = exact_product(turns, half_pi_parts[0]);
    const Pair second = exact_product(turns, half_pi_parts[1]);
    Pair rest = two_sum(radians, -first.head);  // exact: the two are within a factor 2
    rest = pair_add(rest, -first.tail);
    rest = pair_sum(rest, pair_negated(second));
    rest = pair_add(rest, -turns * half_pi_parts[2]);
    head = rest.head;
    tail = rest.tail;
    quadrant = static_cast<int>(static_cast<long long>(turns) & 3);
  } else {
    quadrant = reduce_quarter_turns(radians, head, tail);
  }
  return turned_values({quadrant, false, {head, tail}}, wanted);
}

double pair_radians_to_degrees(Pair angle) {
  if (!std::isfinite(angle.head)) return angle.head;
  return pair_multiply(angle, radian_in_degrees).head;
}

double rounded_multiple_of_pi(long long numerator, long long denominator) {
  const Pair times = pair_multiply(pi_pair, {static_cast<double>(numerator), 0});
  return pair_quotient(times, {static_cast<double>(denominator), 0}).head;
}
