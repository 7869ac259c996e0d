// The text of a result line's number: "%g" for finite values, "inf" and "-inf" for the
// infinities and "nan" for every not-a-number, whatever its sign, the CPU or the runtime.
#pragma once

#include <cstdio>

constexpr int result_text_capacity = 32;  // any double with 17 digits and its sign fits in 24 bytes
constexpr int default_result_digits = 6;  // "%g"'s precision: what the dialogue prints by default

// Writes `value` with `digits` significant digits (1 to 17) as "%g" would, zero-terminated.
void format_result(double value, int digits, char (&text)[result_text_capacity]);

// Writes the result line "=VALUE\n\n" to `out`, with `digits` significant digits.
void write_result(FILE* out, double value, int digits);
