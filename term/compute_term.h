// A term computed in doubles from its reading: its amplitude and argument lists reduced,
// the angle converted from degrees unless in radians, the function applied, and an inverse
// function's value converted to degrees unless in radians.
#pragma once

#include "term/term_reading.h"
#include "term/value_breaks.h"

// amplitude x function(argument) of the term read in `term`, whose numbers are in `store`;
// 0 for a term without a function. Records in `breaks` (null: no record) each step that made
// a value no finite number of finite ones: its numbers' and operators' (operands_value), and
// the function's where its amplitude and argument are finite.
double compute_term(const TermReading& term, const NumberStore& store,
                    ValueBreaks* breaks = nullptr);
