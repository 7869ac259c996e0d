/* A line's program run in Calcium's algebraic numbers (qqbar), each value an algebraic number
   times a rational power of pi, for the exact form of its value: the values a textbook writes
   with square roots come out of trigonometric functions at rational multiples of pi, of their
   inverses at the numbers where they are such multiples, and of the arithmetic, powers and roots
   of those. Every step is bounded (the degree and size of what is formed, the denominators of
   the angles), so that a line whose value has no short form is told so in a fraction of a
   millisecond. Plain C: Calcium's headers are; read by the C files of the exact form only. */
#ifndef TRIGCALC_ALGEBRAIC_RUN_H
#define TRIGCALC_ALGEBRAIC_RUN_H

#include <calcium/qqbar.h>

#include "exact/exact_program.h"

/* The most a value's degree may be at any step of a run. */
#define ALGEBRAIC_DEGREE_LIMIT 8
/* The most a written form's degree may be: quartics are solved by radicals (Ferrari). */
#define FORM_DEGREE_LIMIT 4

/* Runs `program` in algebraic numbers: 1, with its value `number` x pi^`pi_power`, when every
   step stays within them and within the bounds; 0 otherwise (a step leaves them, such as the
   sine of 1 radian, or has no value, or passes a bound). With `estimate`, a first run: what is
   dear to compute exactly (a step on operands of high degree, a tangent of high degree) is
   only estimated in a ball, and a value so estimated is made, at the end, the number of a
   form's degree that a numerical guess finds at it; `*estimates` says whether that was done,
   the value being then no more than a likely one. Such a run is cheap, and says whether an
   exact one is worth making. The run's stack is the module's own, kept from run to run: not
   re-entrant. */
int exact_algebraic_run(const ExactProgram* program, int estimate, qqbar_t number, fmpq_t pi_power,
                        int* estimates);

#endif
