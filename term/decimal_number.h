// Decimal number conversion behind every number text the evaluator reads: the longest
// decimal prefix of a text, converted to the nearest double, and how long that prefix is.
#pragma once

// Bytes of the longest prefix of `text` that is a decimal floating-point number (blanks,
// optional sign, digits with an optional point, optional exponent), blanks and sign included,
// found without converting it; 0 when nothing converts.
int decimal_prefix_length(const char* text);

// Value of the `length` bytes at `text`, zero-terminated after them, that are wholly such a
// prefix without blanks (an optional sign, digits, an optional exponent), correctly rounded;
// 0.0 when `length` is 0.
double decimal_text_value(const char* text, int length);

// Value of the unsigned decimal number from `first` to `last` (digits with an optional point,
// an optional exponent), correctly rounded; the text goes on, zero-terminated, after `last`.
// One file per platform: decimal_number_charconv.cpp, or decimal_number_strtod.cpp on 32-bit x86.
double unsigned_decimal_value(const char* first, const char* last);
