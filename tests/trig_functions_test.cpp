// The trigonometric functions under the evaluator: the exact quarter-turn reduction, the
// sine and cosine built on it, and the not-a-number results every platform must share.
#include "term/trig_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

struct ReductionCase {
  double angle;
  int quarter_turns;  // angle = (4n + quarter_turns) * pi/2 + remainder
  double remainder;   // nearest double to the exact remainder
  double sine;        // sin(angle), correctly rounded
  double cosine;      // cos(angle), correctly rounded
};

// Remainders, sines and cosines of the exact doubles, worked out in 3000-bit arithmetic.
constexpr ReductionCase reduction_cases[] = {
    {3.141592653589793, 2, -1.2246467991473532e-16, 1.2246467991473532e-16, -1.0},
    {2.5, 2, -0.6415926535897932, 0.5984721441039565, -0.8011436155469337},
    {-2.5, 2, 0.6415926535897932, -0.5984721441039565, -0.8011436155469337},
    {1.5707963267948966, 1, -6.123233995736766e-17, 1.0, 6.123233995736766e-17},
    {-1.5707963267948966, 3, 6.123233995736766e-17, -1.0, 6.123233995736766e-17},
    {100.0, 0, -0.5309649148733836, -0.5063656411097588, 0.8623188722876839},
    {1e22, 3, 0.5506189342358097, -0.8522008497671888, 0.523214785395139},
    {-1e22, 1, -0.5506189342358097, 0.8522008497671888, 0.523214785395139},
    {1e300, 3, -0.613076157357336, -0.8178819121159085, -0.5753861119575491},
    {1.7976931348623157e308, 2, -0.004961975150787273, 0.004961954789184062, -0.9999876894265599},
    // The double closest to a multiple of pi/2 of all: its remainder is about 2^-61.
    {5.319372648326541e+255, 1, 4.687165924254628e-19, 1.0, -4.687165924254628e-19},
};

TEST(ReduceQuarterTurns, FindsTheQuadrantAndTheExactRemainder) {
  for (const ReductionCase& c : reduction_cases) {
    double head = 0, tail = 0;
    EXPECT_EQ(reduce_quarter_turns(c.angle, head, tail), c.quarter_turns) << c.angle;
    EXPECT_DOUBLE_EQ(head, c.remainder) << c.angle;
    EXPECT_LE(std::fabs(tail), std::fabs(head) * 0x1p-52) << c.angle;
  }
}

TEST(ReduceQuarterTurns, LeavesAnglesWithinAnEighthTurnAlone) {
  const double angles[] = {0.0, -0.0, 0.5, -0.7853981633974483, 1e-300};
  for (const double angle : angles) {
    double head = 1, tail = 1;
    EXPECT_EQ(reduce_quarter_turns(angle, head, tail), 0) << angle;
    EXPECT_EQ(head, angle);
    EXPECT_EQ(tail, 0.0);
  }
}

TEST(ReducedSineCosine, MatchTheCorrectlyRoundedValues) {
  for (const ReductionCase& c : reduction_cases) {
    EXPECT_DOUBLE_EQ(reduced_sin(c.angle), c.sine) << c.angle;
    EXPECT_DOUBLE_EQ(reduced_cos(c.angle), c.cosine) << c.angle;
  }
}

std::string six_digits(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Every whole degree over three turns either way and radians in steps of 1/97 up to 1000:
// the printed digits are those of the GNU C library's sine and cosine.
TEST(ReducedSineCosine, PrintLikeTheLibraryOverWholeDegreesAndRadians) {
  const double pi = 3.141592653589793;
  for (int step = -1080; step <= 1080; ++step) {
    const double degrees_angle = (step * pi) / 180;
    ASSERT_EQ(six_digits(reduced_sin(degrees_angle)), six_digits(std::sin(degrees_angle))) << step;
    ASSERT_EQ(six_digits(reduced_cos(degrees_angle)), six_digits(std::cos(degrees_angle))) << step;
  }
  for (int step = -97000; step <= 97000; step += 7) {
    const double radians_angle = step / 97.0;
    ASSERT_EQ(six_digits(reduced_sin(radians_angle)), six_digits(std::sin(radians_angle))) << step;
    ASSERT_EQ(six_digits(reduced_cos(radians_angle)), six_digits(std::cos(radians_angle))) << step;
  }
}

struct NotANumberCase {
  const char* name;
  double value;
  bool negative;  // the sign the GNU C library gives this not-a-number
};

TEST(TrigFunctions, GiveNotANumberWithTheGnuLibrarySigns) {
  const double infinity = std::numeric_limits<double>::infinity();
  const double quiet = std::numeric_limits<double>::quiet_NaN();
  const NotANumberCase cases[] = {
      {"sin(inf)", trig_sin(infinity), true},
      {"cos(-inf)", trig_cos(-infinity), true},
      {"tan(inf)", trig_tan(infinity), true},
      {"reduced sin(-inf)", reduced_sin(-infinity), true},
      {"reduced cos(inf)", reduced_cos(infinity), true},
      {"asin(2)", trig_asin(2.0), false},
      {"asin(-inf)", trig_asin(-infinity), false},
      {"acos(-2)", trig_acos(-2.0), false},
      {"acos(inf)", trig_acos(infinity), false},
      {"sin(-nan)", trig_sin(-quiet), true},
      {"asin(-nan)", trig_asin(-quiet), true},
      {"atan(nan)", trig_atan(quiet), false},
  };
  for (const NotANumberCase& c : cases) {
    EXPECT_TRUE(std::isnan(c.value)) << c.name;
    EXPECT_EQ(std::signbit(c.value), c.negative) << c.name;
  }
}

}  // namespace
