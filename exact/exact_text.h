// The text of an exact result: its significant digits and decimal exponent written as "%g"
// writes a double, at any number of digits.
#pragma once

constexpr int exact_max_digits = 1000;  // the most significant digits the exact mode prints
// A value's text: a sign, the digits, a point, "0.000" before them or "e-" and an exponent
// of up to 19 digits after them, and the terminator.
constexpr int exact_text_capacity = exact_max_digits + 32;

// The text of a value that does not exist or cannot be computed, in every arithmetic and on
// every platform: the one spelling of not-a-number.
constexpr char no_value_text[] = "nan";
constexpr int no_value_length = sizeof no_value_text - 1;

// Writes no_value_text into `text`; returns its length.
inline int write_no_value(char (&text)[exact_text_capacity]) {
  for (int k = 0; k <= no_value_length; ++k) text[k] = no_value_text[k];
  return no_value_length;
}

// Writes the value (-1)^negative x 0.DIGITS x 10^(exponent + 1), DIGITS being `precision`
// significant digits, the first nonzero, as "%.{precision}g" would: the fixed form when
// -4 <= exponent < precision, the exponent form ("1.5e+800", at least two exponent digits)
// otherwise, trailing zeros removed. Returns the text's length.
int write_exact_decimal(bool negative, const char* digits, int precision, long exponent,
                        char (&text)[exact_text_capacity]);
