// The text of a result line's number: "%g" for finite values, "inf" and "-inf" for the
// infinities and "nan" for every not-a-number, whatever its sign, the CPU or the runtime.
#pragma once

#include <cstdio>

constexpr int result_text_capacity = 32;  // "%g" of any double with its sign fits in 14 bytes

// Writes `value` as the dialogue prints it into `text`, zero-terminated.
void format_result(double value, char (&text)[result_text_capacity]);

// Writes the result line "=VALUE\n\n" to `out`.
void write_result(FILE* out, double value);
