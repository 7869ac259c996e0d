/* The algebraic run's value as a ball, for the C++ tests that check the exact arithmetics
   against each other: the run's numbers are Calcium's, whose headers are C alone. */
#ifndef TRIGCALC_ALGEBRAIC_ENCLOSURE_H
#define TRIGCALC_ALGEBRAIC_ENCLOSURE_H

#include <arb.h>

#include "exact/exact_program.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Runs `program` in algebraic numbers (exact/algebraic_run.h, every step exact): 1, with its
   real value enclosed in `ball` to about `precision` bits and `*zero` saying whether it is 0;
   0 when the run left the algebraic numbers or their bounds, or a step had no value. */
int algebraic_enclosure(const ExactProgram* program, slong precision, arb_t ball, int* zero);

#ifdef __cplusplus
}
#endif

#endif
