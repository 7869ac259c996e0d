// The trigonometric functions the term evaluator applies: the C library's on Linux, this
// program's own portable ones on Windows. Printed at the default 6 digits their values agree on
// every build; their last bits do not always (see trig_functions_libm.cpp and _windows.cpp).
#pragma once

#include "trig/trig_pair_arithmetic.h"

// Sine, cosine and tangent of an angle in radians; a non-finite angle gives not-a-number.
// The C library's (Linux) are within an ulp of the exact value on 1,000,000 random arguments
// a function (bench/accuracy.py), misrounding 1 to 3 in 1000, but not near a multiple of
// pi/2 of a huge angle: cos(1.5986289000543612e74) is 136,921 ulps off.
double trig_sin(double angle);
double trig_cos(double angle);
double trig_tan(double angle);

// Arc sine, arc cosine and arc tangent in radians; outside [-1, 1] the first two give
// not-a-number. The C library's misround 0.7 to 1.6 in 1000 of 1,000,000 random arguments
// a function, each by one ulp.
double trig_asin(double ratio);
double trig_acos(double ratio);
double trig_atan(double ratio);

// Sine, cosine and tangent from an exact reduction of `angle` by quarter turns and the series
// of the remainder in double-double arithmetic: the same bits on every target, correctly
// rounded but in rare cases (none of 1,000,000 random arguments a function; one ulp off for
// 2 of 328,587 constructed ones, tan(3.576149729694266e39) among them); a non-finite angle
// gives not-a-number.
double portable_sin(double angle);
double portable_cos(double angle);
double portable_tan(double angle);

// Arc sine, arc cosine and arc tangent from the arc tangent's series in double-double
// arithmetic: the same bits on every target, correctly rounded but in rare cases (none of
// 1,000,000 random arguments a function); outside [-1, 1] the first two give not-a-number.
double portable_asin(double ratio);
double portable_acos(double ratio);
double portable_atan(double ratio);

// The number of quarter turns q (0 to 3) and the remainder head + tail with
// angle = (4n + q) * pi/2 + head + tail and |head + tail| <= pi/4, for a finite angle.
int reduce_quarter_turns(double angle, double& head, double& tail);

// The series of the sine and cosine of a pair x within [-pi/4, pi/4], to about 2^-106; the
// sine keeps the sign of a zero x.
Pair pair_series_sine(Pair x);
Pair pair_series_cosine(Pair x);

// A sine and cosine as pairs, to about 2^-66 of each: their heads are the values rounded
// once, correctly but where the exact value lies within about 2^-66 of a rounding boundary
// (never at a textbook angle).
struct SineCosine {
  Pair sine;
  Pair cosine;
};

// Which of the two a SineCosine is asked for: the other is left 0, its series not summed.
enum SineCosineWanted { want_sine = 1, want_cosine = 2, want_both = 3 };

// The sine and cosine of an angle of `degrees` degrees, reduced exactly in degrees (by whole
// turns, then quarter turns, then to at most 45 degrees: every step exact in doubles), so
// that a multiple of 90 degrees gives 0 and 1 exactly, and the rest from the series at the
// remainder times pi/180; a zero is +0. A non-finite angle gives not-a-number.
SineCosine degree_sine_cosine(double degrees, int wanted = want_both);

// The sine and cosine of `numerator` / `denominator` degrees, both below 2^31 in size and
// the denominator above 0, reduced exactly in integers: what a rational angle as written
// (180/7, 30.1, a rational multiple of pi made degrees) has, without the double of the angle.
SineCosine fraction_degree_sine_cosine(long long numerator, long long denominator,
                                       int wanted = want_both);

// The sine and cosine of an angle in radians, reduced by quarter turns as portable_sin does.
SineCosine radian_sine_cosine(double radians, int wanted = want_both);

// Arc sine, arc cosine and arc tangent in radians as pairs, as portable_asin, portable_acos and
// portable_atan compute them before rounding; outside [-1, 1] the first two give
// not-a-number.
Pair arc_sine_pair(double ratio);
Pair arc_cosine_pair(double ratio);
Pair arc_tangent_pair(double ratio);

// An angle in radians, as a pair, made degrees and rounded once: (angle x 180/pi).
double pair_radians_to_degrees(Pair angle);

// pi as a pair, and the value of `numerator` / `denominator` x pi rounded once.
constexpr Pair pi_pair = {3.141592653589793, 1.2246467991473532e-16};
double rounded_multiple_of_pi(long long numerator, long long denominator);
