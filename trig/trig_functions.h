// The trigonometric functions the term evaluator applies: the C library's on Linux, this
// program's own portable ones on Windows. Printed at the default 6 digits their values agree on
// every build; their last bits do not always (see trig_functions_libm.cpp and _windows.cpp).
#pragma once

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
