// The trigonometric functions under the evaluator: the exact quarter-turn reduction, the
// sine, cosine and tangent built on it, the arc functions from their series, and the
// not-a-number results outside their domains.
#include "trig/trig_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

struct ReductionCase {
  double angle;
  int quarter_turns;  // angle = (4n + quarter_turns) * pi/2 + remainder
  double head;        // nearest double to the exact remainder
  double tail;        // nearest double to the exact remainder minus head
  double sine;        // sin(angle), correctly rounded
  double cosine;      // cos(angle), correctly rounded
  double tangent;     // tan(angle), correctly rounded
};

// Every value is worked out from the exact double with pi to 3000 bits (python3's mpmath:
// n = nearest integer to angle / (pi/2), remainder = angle - n * pi/2, sin, cos and tan
// directly), then rounded to double through fractions.Fraction, which rounds correctly.
constexpr ReductionCase reduction_cases[] = {
    {3.141592653589793, 2, -1.2246467991473532e-16, 2.9947698097183397e-33, 1.2246467991473532e-16,
     -1.0, -1.2246467991473532e-16},
    {2.5, 2, -0.6415926535897932, -1.1442377452219664e-17, 0.5984721441039565, -0.8011436155469337,
     -0.7470222972386603},
    {-2.5, 2, 0.6415926535897932, 1.1442377452219664e-17, -0.5984721441039565, -0.8011436155469337,
     0.7470222972386603},
    {1.5707963267948966, 1, -6.123233995736766e-17, 1.4973849048591698e-33, 1.0,
     6.123233995736766e-17, 1.633123935319537e+16},
    {-1.5707963267948966, 3, 6.123233995736766e-17, -1.4973849048591698e-33, -1.0,
     6.123233995736766e-17, -1.633123935319537e+16},
    {100.0, 0, -0.5309649148733836, -3.308917108348227e-17, -0.5063656411097588, 0.8623188722876839,
     -0.5872139151569291},
    {1e+22, 3, 0.5506189342358097, -7.985621383147488e-18, -0.8522008497671888, 0.523214785395139,
     -1.6287782256068988},
    {-1e+22, 1, -0.5506189342358097, 7.985621383147488e-18, 0.8522008497671888, 0.523214785395139,
     1.6287782256068988},
    {1e+300, 3, -0.613076157357336, 1.2100878101071674e-17, -0.8178819121159085,
     -0.5753861119575491, 1.4214488238747245},
    {1.7976931348623157e+308, 2, -0.004961975150787273, -3.656438180407946e-19,
     0.004961954789184062, -0.9999876894265599, -0.004962015874444895},
    // The double closest to a multiple of pi/2 of all: its remainder is about 2^-61.
    {5.319372648326541e+255, 1, 4.687165924254628e-19, -4.3720557429382733e-36, 1.0,
     -4.687165924254628e-19, -2.133485385753704e+18},
    // One angle for each 64 binary orders of magnitude, from 2^60 up to the largest double,
    // so that every word of the 2/pi table takes part in some reduction (all but the top bits
    // of the last word lie below the 128 bits a reduction keeps), in every quadrant with
    // both signs; then 1e100 and 1e200 degrees as the program turns them into radians.
    {8.37764317913034e+17, 0, -0.18603850450725978, 9.425780787329358e-18, -0.1849672178787975,
     0.9827446913162021, -0.1882149244999417},
    {1.6941744726572114e+37, 1, -0.1195960752960382, -2.011711481246929e-18, 0.9928569095795131,
     0.1193111775996637, 8.321574973561502},
    {2.3621827590104067e+56, 2, 0.6023401340434503, 3.9950183770065064e-17, -0.5665723215473942,
     -0.8240120171796016, 0.6875777412647904},
    {4.385976318608315e+75, 2, -0.27647720423532235, -8.410531619661211e-18, 0.2729683387415502,
     -0.9620230174193746, -0.28374408283264096},
    {-1.150472919902292e+95, 0, -0.42086270419626953, 2.741199793152307e-17, -0.40854802688264463,
     0.9127368239149212, -0.4476076960829692},
    {-1.9277401686384455e+114, 1, -0.18808899453641223, -1.1461857951551699e-17, 0.9823633521670955,
     0.18698193580939082, 5.253787473718935},
    {-3.9661231746939166e+133, 2, 0.48803375337807164, 2.1956442243147804e-17, -0.46889009553723326,
     -0.8832565189723109, 0.530865139928769},
    {5.566382610526187e+152, 2, -0.019806759414205302, -6.623544770563606e-19, 0.019805464382175366,
     -0.9998038525533928, -0.01980934993558418},
    {9.629499493966469e+171, 0, 0.1006037280811494, 3.3040556201452212e-18, 0.10043411037175465,
     0.9949437117112878, 0.10094451494045781},
    {2.7605143695004905e+191, 3, 0.398075363292327, -5.839154076862254e-18, -0.9218087764676964,
     0.3876449143573646, -2.377972062385664},
    {3.4199658631542473e+210, 3, 0.3017702327776996, 1.3475827902909849e-17, -0.9548118529624379,
     0.29721091070557265, -3.2125733563943997},
    {8.053500194530072e+229, 2, 0.008413224624066783, -6.884275068042628e-19, -0.00841312537311838,
     -0.9999646090344678, 0.008413423132286463},
    {-1.5156470980519085e+249, 0, 0.37170978551212336, -2.3114192708848966e-17, 0.3632089824092652,
     0.9317076983138146, 0.3898314708213674},
    {-2.439790637498406e+268, 1, -0.2774786700118848, -6.0301382332668976e-18, 0.9617491665931223,
     0.27393163482415606, 3.5109094545085835},
    {4.534267503811127e+287, 1, -0.11387377852381685, 7.237031782046793e-19, 0.9935233844732915,
     0.11362783331884968, 8.743662142050862},
    {-1.0858104238019788e+307, 3, -0.10108019101784368, 3.4737686248437124e-18, -0.994895745647395,
     -0.10090815275642426, 9.859418872218486},
    {1.7976931348623157e+308, 2, -0.004961975150787273, -3.656438180407946e-19,
     0.004961954789184062, -0.9999876894265599, -0.004962015874444895},
    {-1.7976931348623157e+308, 2, 0.004961975150787273, 3.656438180407946e-19,
     -0.004961954789184062, -0.9999876894265599, 0.004962015874444895},
    {1.7453292519943295e+98, 0, 0.5108064190798877, 3.895272316615924e-17, 0.48888088589577194,
     0.8723505484641855, 0.5604179268947213},
    {1.7453292519943294e+198, 2, 0.14988127546798088, 1.1274890393123897e-17, -0.14932074003716933,
     -0.9887888129397259, 0.15101378381621272},
    // Two angles whose product with the 2/pi window carries from one 64-bit word into the next.
    {3.241661833228574e+131, 0, 0.2308339957641204, 9.102163155452336e-18, 0.2287894778053972,
     0.9734759241221806, 0.2350232523847009},
    {-8.558525882834829e+281, 2, 0.15426308716275228, 8.057655079890281e-18, -0.15365197905933958,
     -0.9881250271757862, 0.1554985197556433},
};

// The 128 fraction bits of a reduction and its double-double product with pi/2 bound the
// tail's error by about 2^-104 of the remainder plus 2^-120 in all; this allows 2^-100 and
// 2^-115, still far below the 2^-73 of a one-bit error in any 2/pi word a reduction weighs.
double tail_error_bound(double head) {
  return std::fabs(head) * 0x1p-100 + 0x1p-115;
}

TEST(ReduceQuarterTurns, FindsTheQuadrantAndTheExactRemainderBitForBit) {
  for (const ReductionCase& c : reduction_cases) {
    double head = 0, tail = 0;
    EXPECT_EQ(reduce_quarter_turns(c.angle, head, tail), c.quarter_turns) << c.angle;
    EXPECT_EQ(head, c.head) << c.angle;
    EXPECT_NEAR(tail, c.tail, tail_error_bound(c.head)) << c.angle;
  }
}

// Invariants: the reduction of -angle mirrors that of angle, and the remainder never
// exceeds an eighth of a turn.
TEST(ReduceQuarterTurns, IsOddAndStaysWithinAnEighthTurn) {
  for (const ReductionCase& c : reduction_cases) {
    double head = 0, tail = 0, mirrored_head = 0, mirrored_tail = 0;
    const int q = reduce_quarter_turns(c.angle, head, tail);
    EXPECT_EQ(reduce_quarter_turns(-c.angle, mirrored_head, mirrored_tail), (4 - q) % 4);
    EXPECT_EQ(mirrored_head, -head) << c.angle;
    EXPECT_EQ(mirrored_tail, -tail) << c.angle;
    EXPECT_LE(std::fabs(head), 0.7853981633974484) << c.angle;  // pi/4 rounded up
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

// The same double, the sign of a zero included, or both not-a-number.
bool same_double(double actual, double expected) {
  if (std::isnan(expected)) return std::isnan(actual);
  return actual == expected && std::signbit(actual) == std::signbit(expected);
}

// The series in double-double arithmetic are correctly rounded but where the exact value lies
// within about 2^-100 of a half-way point between two doubles, which none of these does.
TEST(ReducedTrigFunctions, GiveTheCorrectlyRoundedValues) {
  for (const ReductionCase& c : reduction_cases) {
    EXPECT_PRED2(same_double, portable_sin(c.angle), c.sine) << c.angle;
    EXPECT_PRED2(same_double, portable_cos(c.angle), c.cosine) << c.angle;
    EXPECT_PRED2(same_double, portable_tan(c.angle), c.tangent) << c.angle;
  }
}

// sin(+-0) = tan(+-0) = +-0 (IEEE 754), whose sign the cosecant and the cotangent show as
// +-inf; cos(+-0) = 1.
TEST(ReducedTrigFunctions, KeepTheSignOfAZeroAngle) {
  const double infinity = std::numeric_limits<double>::infinity();
  const struct {
    double angle;
    double reciprocal;  // of the sine and of the tangent
  } cases[] = {{-0.0, -infinity}, {0.0, infinity}};
  for (const auto& c : cases) {
    EXPECT_EQ(1 / portable_sin(c.angle), c.reciprocal) << c.angle;
    EXPECT_EQ(1 / portable_tan(c.angle), c.reciprocal) << c.angle;
    EXPECT_EQ(portable_cos(c.angle), 1.0) << c.angle;
  }
}

struct ArcCase {
  double ratio;
  double arc_sine;     // correctly rounded; not-a-number outside [-1, 1]
  double arc_cosine;   // likewise
  double arc_tangent;  // correctly rounded
};

// Worked out as the reduction cases are (mpmath at 3000 bits, rounded through Fraction), but
// the zeros, which IEEE 754 fixes (asin(+-0) = atan(+-0) = +-0), and the infinities
// (atan(+-inf) = +-pi/2 rounded).
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr ArcCase arc_cases[] = {
    {0.0, 0.0, 1.5707963267948966, 0.0},
    {-0.0, -0.0, 1.5707963267948966, -0.0},
    {0.5, 0.5235987755982989, 1.0471975511965979, 0.4636476090008061},
    {-0.5, -0.5235987755982989, 2.0943951023931957, -0.4636476090008061},
    {1.0, 1.5707963267948966, 0.0, 0.7853981633974483},
    {-1.0, -1.5707963267948966, 3.141592653589793, -0.7853981633974483},
    {0.1, 0.1001674211615598, 1.4706289056333368, 0.09966865249116204},
    {-0.3, -0.3046926540153975, 1.8754889808102941, -0.2914567944778671},
    {0.7071067811865476, 0.7853981633974484, 0.7853981633974483, 0.6154797086703874},
    {0.9999999, 1.5703491131957876, 0.00044721359910904126, 0.7853981133974458},
    {0.9999999999999999, 1.5707963118937354, 1.4901161193847656e-08, 0.7853981633974483},
    {-0.9999999999999999, -1.5707963118937354, 3.141592638688632, -0.7853981633974483},
    {7.450580596923828e-09, 7.450580596923828e-09, 1.570796319344316, 7.450580596923828e-09},
    {1e-300, 1e-300, 1.5707963267948966, 1e-300},
    {5e-324, 5e-324, 1.5707963267948966, 5e-324},
    {1.0000000000000002, nan, nan, 0.7853981633974484},
    {2.0, nan, nan, 1.1071487177940904},
    {-1e10, nan, nan, -1.5707963266948965},
    {1e300, nan, nan, 1.5707963267948966},
    {-infinity, nan, nan, -1.5707963267948966},
};

TEST(SeriesArcFunctions, GiveTheCorrectlyRoundedValues) {
  for (const ArcCase& c : arc_cases) {
    EXPECT_PRED2(same_double, portable_asin(c.ratio), c.arc_sine) << c.ratio;
    EXPECT_PRED2(same_double, portable_acos(c.ratio), c.arc_cosine) << c.ratio;
    EXPECT_PRED2(same_double, portable_atan(c.ratio), c.arc_tangent) << c.ratio;
  }
}

std::string six_digits(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Every whole degree over three turns either way and radians in steps of 1/97 up to 1000:
// the printed digits are those of the GNU C library's sine, cosine and tangent.
TEST(ReducedTrigFunctions, PrintLikeTheLibraryOverWholeDegreesAndRadians) {
  const double pi = 3.141592653589793;
  for (int step = -1080; step <= 1080; ++step) {
    const double degrees_angle = (step * pi) / 180;
    ASSERT_EQ(six_digits(portable_sin(degrees_angle)), six_digits(std::sin(degrees_angle))) << step;
    ASSERT_EQ(six_digits(portable_cos(degrees_angle)), six_digits(std::cos(degrees_angle))) << step;
    ASSERT_EQ(six_digits(portable_tan(degrees_angle)), six_digits(std::tan(degrees_angle))) << step;
  }
  for (int step = -97000; step <= 97000; step += 7) {
    const double radians_angle = step / 97.0;
    ASSERT_EQ(six_digits(portable_sin(radians_angle)), six_digits(std::sin(radians_angle))) << step;
    ASSERT_EQ(six_digits(portable_cos(radians_angle)), six_digits(std::cos(radians_angle))) << step;
    ASSERT_EQ(six_digits(portable_tan(radians_angle)), six_digits(std::tan(radians_angle))) << step;
  }
}

// Ratios in steps of 1/4096 over [-1, 1], and slopes in steps of 1/64 up to 1000 either
// way: the printed digits are those of the GNU C library's arc functions.
TEST(SeriesArcFunctions, PrintLikeTheLibraryOverRatiosAndSlopes) {
  for (int step = -4096; step <= 4096; ++step) {
    const double ratio = step / 4096.0;
    ASSERT_EQ(six_digits(portable_asin(ratio)), six_digits(std::asin(ratio))) << ratio;
    ASSERT_EQ(six_digits(portable_acos(ratio)), six_digits(std::acos(ratio))) << ratio;
  }
  for (int step = -64000; step <= 64000; ++step) {
    const double slope = step / 64.0;
    ASSERT_EQ(six_digits(portable_atan(slope)), six_digits(std::atan(slope))) << slope;
  }
}

struct NotANumberCase {
  const char* name;
  double value;
};

// Outside their domains the functions give not-a-number; its sign depends on the CPU and is
// never printed, so only the not-a-number is checked.
TEST(TrigFunctions, GiveNotANumberOutsideTheirDomains) {
  const double infinity = std::numeric_limits<double>::infinity();
  const double quiet = std::numeric_limits<double>::quiet_NaN();
  const NotANumberCase cases[] = {
      {"sin(inf)", trig_sin(infinity)},
      {"cos(-inf)", trig_cos(-infinity)},
      {"tan(inf)", trig_tan(infinity)},
      {"tan(-inf)", trig_tan(-infinity)},
      {"reduced sin(-inf)", portable_sin(-infinity)},
      {"reduced cos(inf)", portable_cos(infinity)},
      {"reduced tan(-inf)", portable_tan(-infinity)},
      {"reduced sin(nan)", portable_sin(quiet)},
      {"asin(2)", trig_asin(2.0)},
      {"asin(-inf)", trig_asin(-infinity)},
      {"acos(-2)", trig_acos(-2.0)},
      {"acos(1.0000000000000002)", trig_acos(1.0000000000000002)},
      {"acos(inf)", trig_acos(infinity)},
      {"sin(-nan)", trig_sin(-quiet)},
      {"asin(-nan)", trig_asin(-quiet)},
      {"atan(nan)", trig_atan(quiet)},
  };
  for (const NotANumberCase& c : cases) EXPECT_TRUE(std::isnan(c.value)) << c.name;
}

}  // namespace
