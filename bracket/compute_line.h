// A whole line computed in doubles from its reading: its one term, or its brackets' values
// combined by the operators recorded between them, products and quotients first.
#pragma once

#include "bracket/line_reading.h"
#include "term/value_breaks.h"

// The value of one bracket of the line read in `reading`; its breaks recorded in `breaks`
// (null: no record) as compute_term records them.
double bracket_value(const LineReading& reading, const BracketReading& bracket,
                     ValueBreaks* breaks = nullptr);

// The value of the line read in `reading`; a bracketed line without a bracket gives 0.
// Records in `breaks` (null: no record) each step that made a value no finite number of
// finite ones: the terms' and numbers', and each '/' between brackets whose divisor is 0.
double compute_line(const LineReading& reading, ValueBreaks* breaks = nullptr);
