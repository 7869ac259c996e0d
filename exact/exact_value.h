// A line's value computed exactly: first in Arb's balls, finer each time the ball cannot
// settle the printed digits; then, for what balls cannot decide (a zero, a tie, a denominator
// that may be 0), by Calcium's exact numbers in a bounded child process. A line whose numbers
// are so large that it may need much memory is computed in a bounded child as well. Needs
// FLINT, Arb and Calcium; built into the exact mode's module only.
#pragma once

#include "exact/bounded_child.h"
#include "exact/decimal_rounding.h"
#include "exact/exact_program.h"

// What computing a line came to.
struct ExactOutcome {
  exact_run_end end;  // exact_value: `rounded` holds the value
  Rounded rounded;
  int bound_digits;  // exact_undecided: digits after the point to which the value was known
  int child_detail;  // exact_ended_by_signal: the signal; exact_stalled: the seconds
};

// The outcome of a line whose child ended as `child` did (never finished), its detail (the
// signal, the seconds) in `result`.
int child_outcome(const ChildOutcome& child, ExactOutcome& result);

// Computes `program`'s value, rounded to `digits` significant digits, into `result`.
void compute_exact_value(const ExactProgram& program, int digits, ExactOutcome& result);
