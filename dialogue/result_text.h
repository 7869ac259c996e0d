// The text of a result line's number: the "%g" text (six significant digits unless asked
// otherwise) for finite values and the GNU C library's spellings "inf", "-inf", "nan" and
// "-nan" for the others, whatever the runtime.
#pragma once

#include <cstdio>

constexpr int result_precision = 6;       // significant digits of a result, as "%g" prints
constexpr int result_text_capacity = 32;  // "%.17g" of any double with its sign fits in 24 bytes

// Writes `value` with `precision` significant digits (1 to 17) as the dialogue prints it
// into `text`, zero-terminated.
void format_result(double value, char (&text)[result_text_capacity],
                   int precision = result_precision);

// Writes the result line "=VALUE\n\n" to `out`, VALUE with `precision` significant digits.
void write_result(FILE* out, double value, int precision = result_precision);
