// A line's program run in Arb's balls: each value carries a rigorous bound on its error, and,
// where it is one, knows itself to be exactly a rational multiple of a power of pi. Needs
// FLINT and Arb; built into the exact mode's module only.
#pragma once

#include <arb.h>

#include "exact/exact_program.h"

// What a run in balls knows of the value beyond its ball.
struct BallKnowledge {
  bool exact;      // the value is exactly `rational` x pi^`pi_power`
  slong pi_power;  // meaningful when exact
};

// Runs `program` in balls of `precision` bits. On a value, `value` contains it and, when
// `knowledge.exact`, `rational` receives its rational factor. A zero of a divisor or of a
// function's denominator is decided exactly when the operands are rational multiples of a
// power of pi, and reported undecided otherwise when the ball cannot exclude it. The run's
// stack is the module's own, kept from run to run: not re-entrant.
exact_run_end run_in_balls(const ExactProgram& program, slong precision, arb_t value,
                           fmpq_t rational, BallKnowledge& knowledge);
