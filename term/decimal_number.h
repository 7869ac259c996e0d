// Decimal number conversion shared by operand lists and numeric brackets:
// the longest decimal prefix of a text, converted to the nearest double.
#pragma once

// Length of the longest prefix of `text` that is a decimal floating-point number
// (blanks, optional sign, digits with an optional point, optional exponent); 0 if none.
int decimal_prefix_length(const char* text);

// Value of the longest decimal prefix of `text`, correctly rounded; 0.0 when nothing converts.
double decimal_prefix_value(const char* text);
