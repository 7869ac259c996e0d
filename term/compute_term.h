// A term computed in doubles from its reading: its amplitude and argument lists reduced,
// the angle converted from degrees unless in radians, the function applied, and an inverse
// function's value converted to degrees unless in radians.
#pragma once

#include "term/term_reading.h"
#include "term/value_breaks.h"

// amplitude x `function`(argument) as a term computes it: a direct function's angle converted
// from degrees unless in `radians`, (x * pi) / 180 multiplying first; an inverse function's
// value converted to degrees unless in `radians`, (x * 180) / pi; the reciprocal functions
// divide 1 by the function first and scale second. 0 for TermFunction::none.
double function_value(TermFunction function, bool radians, double amplitude, double argument);

// True when `function` has no value at the angle of `degrees` degrees, a pole of the
// tangent or secant (an odd multiple of 90) or of the cotangent or cosecant (a multiple of
// 180); the double of the angle in radians is not exactly there, so the function's double
// there is a large number, or infinity at 0.
bool at_pole_in_degrees(TermFunction function, double degrees);

// amplitude x function(argument) of the term read in `term`, whose numbers are in `store`;
// 0 for a term without a function. Records in `breaks` (null: no record) each step that made
// a value no finite number of finite ones: its numbers' and operators' (operands_value), and
// the function's where its amplitude and argument are finite; and a function at its pole in
// degrees whose value is finite all the same.
double compute_term(const TermReading& term, const NumberStore& store,
                    ValueBreaks* breaks = nullptr);
