// A term computed in doubles from its reading: its amplitude and argument lists reduced,
// the angle converted from degrees unless in radians, the function applied, and an inverse
// function's value converted to degrees unless in radians.
#pragma once

#include "term/term_reading.h"

// amplitude x function(argument) of the term read in `term`, whose numbers are in `store`;
// 0 for a term without a function.
double compute_term(const TermReading& term, const NumberStore& store);
