// Decimal number conversion behind every number text the evaluator reads: the longest
// decimal prefix of a text, converted to the nearest double.
#pragma once

// Value of the longest prefix of `text` that is a decimal floating-point number (blanks,
// optional sign, digits with an optional point, optional exponent), correctly rounded, with
// `prefix_length` set to its bytes; 0.0 and a length of 0 when nothing converts.
double decimal_prefix_value(const char* text, int& prefix_length);
