// The trigonometric functions the term evaluator applies. They give the same doubles on
// every platform this program is built for: the C library's functions where they are
// accurate, an exact reduction to a quarter turn where they are not.
#pragma once

// Sine, cosine and tangent of an angle in radians, as the GNU C library computes them; a
// non-finite angle gives not-a-number.
double trig_sin(double angle);
double trig_cos(double angle);
double trig_tan(double angle);

// Arc sine, arc cosine and arc tangent in radians; outside [-1, 1] the first two give
// not-a-number.
double trig_asin(double ratio);
double trig_acos(double ratio);
double trig_atan(double ratio);

// Sine and cosine computed from an exact reduction of `angle` by quarter turns, with the C
// library's functions applied only within [-pi/4, pi/4]; a non-finite angle gives not-a-number.
double reduced_sin(double angle);
double reduced_cos(double angle);

// The number of quarter turns q (0 to 3) and the remainder head + tail with
// angle = (4n + q) * pi/2 + head + tail and |head + tail| <= pi/4, for a finite angle.
int reduce_quarter_turns(double angle, double& head, double& tail);
