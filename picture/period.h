// The period of an expression in the unknown, worked out in doubles from its program: each
// direct function of a + b·x repeats every turn (half a turn for the tangent and cotangent)
// divided by |b|, and sums, products, quotients, powers and functions of repeating values
// repeat every common multiple of their periods. A picture draws one period by default.
#pragma once

#include "program/program.h"
#include "term/term_reading.h"

// The largest multiple of a period tried for a common period of two (a common period of
// sen x and sen(x/3) is 3 of the first's).
constexpr int period_multiple_capacity = 24;

// The period of the expression whose steps are `first` up to `end` of `program`, in the
// unit its unknown is in: 0 when it does not repeat (x + sen x), holds no unknown, or its
// periods have no common multiple of period_multiple_capacity of each.
double expression_period(const Program& program, const NumberStore& store, int first, int end);

// The smallest common multiple of `a` and `b` (0: no period) taking each at most
// period_multiple_capacity times; 0 when there is none.
double common_period(double a, double b);
