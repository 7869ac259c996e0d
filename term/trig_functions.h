// The trigonometric functions the term evaluator applies: the C library's on Linux, this
// program's own portable ones on Windows. Printed at the default 6 digits their values agree on
// every build; their last bits do not always (see trig_functions_libm.cpp and _windows.cpp).
#pragma once

// Sine, cosine and tangent of an angle in radians, within an ulp of the exact value; a
// non-finite angle gives not-a-number.
double trig_sin(double angle);
double trig_cos(double angle);
double trig_tan(double angle);

// Arc sine, arc cosine and arc tangent in radians; outside [-1, 1] the first two give
// not-a-number.
double trig_asin(double ratio);
double trig_acos(double ratio);
double trig_atan(double ratio);

// Sine, cosine and tangent from an exact reduction of `angle` by quarter turns and the series
// of the remainder in double-double arithmetic: correctly rounded but in rare cases, and the
// same bits on every target; a non-finite angle gives not-a-number.
double reduced_sin(double angle);
double reduced_cos(double angle);
double reduced_tan(double angle);

// Arc sine, arc cosine and arc tangent from the arc tangent's series in double-double
// arithmetic: correctly rounded but in rare cases, and the same bits on every target;
// outside [-1, 1] the first two give not-a-number.
double series_asin(double ratio);
double series_acos(double ratio);
double series_atan(double ratio);

// The number of quarter turns q (0 to 3) and the remainder head + tail with
// angle = (4n + q) * pi/2 + head + tail and |head + tail| <= pi/4, for a finite angle.
int reduce_quarter_turns(double angle, double& head, double& tail);
