// A whole line computed in doubles from its reading: its one term, or its brackets' values
// combined by the operators recorded between them, products and quotients first.
#pragma once

#include "bracket/line_reading.h"

// The value of one bracket of the line read in `reading`.
double bracket_value(const LineReading& reading, const BracketReading& bracket);

// The value of the line read in `reading`; a bracketed line without a bracket gives 0.
double compute_line(const LineReading& reading);
