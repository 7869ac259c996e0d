// Angles and numbers as a picture writes them, in the unit of the line's unknown: degrees as
// "90°", radians as multiples of π ("π/2", "3π/2", "-π/4"), "pi" in ASCII; and the numbers of
// a value axis.
#pragma once

// Bytes of one angle's or number's text.
constexpr int angle_text_capacity = 32;

// The largest denominator of a multiple of π written as a fraction.
constexpr int pi_fraction_denominator_capacity = 360;

// When `radians` (at most 10^6 in size) is within a few units in the last place of n·π/d, d
// from 1 to pi_fraction_denominator_capacity: n and d, the fraction reduced; otherwise false.
bool pi_fraction(double radians, long& numerator, long& denominator);

// The text of the angle `x` into `out`: degrees with "°" (none when `degree_sign` is false),
// radians as a multiple of π where it is one ("π", "pi" when `unicode` is false), other
// angles as "%g" writes them with `digits` significant digits. Returns its length.
int angle_text(double x, bool radians, bool unicode, bool degree_sign, int digits,
               char (&out)[angle_text_capacity]);

// `value` as "%g" writes it with `digits` significant digits, "-0" written "0".
int number_text(double value, int digits, char (&out)[angle_text_capacity]);
