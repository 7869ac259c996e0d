// The text of an exact result: its significant digits and decimal exponent written as "%g"
// writes a double, at any number of digits.
#pragma once

constexpr int exact_max_digits = 1000;  // the most significant digits the exact mode prints
// A value's text: a sign, the digits, a point, "0.000" before them or "e-" and an exponent
// of up to 19 digits after them, and the terminator.
constexpr int exact_text_capacity = exact_max_digits + 32;

// Writes the value (-1)^negative x 0.DIGITS x 10^(exponent + 1), DIGITS being `precision`
// significant digits, the first nonzero, as "%.{precision}g" would: the fixed form when
// -4 <= exponent < precision, the exponent form ("1.5e+800", at least two exponent digits)
// otherwise, trailing zeros removed. Returns the text's length.
int write_exact_decimal(bool negative, const char* digits, int precision, long exponent,
                        char (&text)[exact_text_capacity]);
