// The text of a result: "%g" for finite values, "inf" and "-inf" for the infinities and
// "nan" for every not-a-number, whatever its sign, the CPU or the runtime.
#pragma once

constexpr int result_text_capacity = 32;  // any double with 17 digits and its sign fits in 24 bytes
constexpr int result_affix_capacity = 4;  // bytes a front end may frame a number with, each side
constexpr int result_line_capacity = result_text_capacity + 2 * result_affix_capacity;
constexpr int default_result_digits = 6;  // "%g"'s precision: what the dialogue prints by default

// Writes `before`, `value` with `digits` significant digits (1 to 17) as "%g" would, and
// `after` (each affix at most result_affix_capacity - 1 bytes) into the `capacity` bytes at
// `text` (at least result_line_capacity), zero-terminated; returns its length. The dialogue
// frames a value as "=VALUE\n\n", the command line as "VALUE\n".
int format_result_line(double value, int digits, const char* before, const char* after, char* text,
                       int capacity);
