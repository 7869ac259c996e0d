/* A line's program run in Calcium's exact real numbers, for what balls cannot decide: a
   zero, a tie, a denominator or a domain's bound met exactly. Plain C: Calcium's headers do
   not compile as C++. Its state is the module's own and lives from exact_calcium_run to
   exact_calcium_finish: one run at a time. */
#ifndef TRIGCALC_CALCIUM_RUN_H
#define TRIGCALC_CALCIUM_RUN_H

#include <arb.h>

#include "exact/exact_program.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Runs `program` exactly; on a value (outcome exact_value) it is kept for the calls below. */
struct exact_run_end exact_calcium_run(const ExactProgram* program);

/* 1 when the value kept is 0, 0 when it is not, -1 when that could not be decided. */
int exact_calcium_is_zero(void);

/* 1 when the value kept equals `q`, 0 when not, -1 when that could not be decided. */
int exact_calcium_equals(const fmpq_t q);

/* Encloses the value kept in `ball`, to about `precision` bits of it. */
void exact_calcium_enclose(arb_t ball, slong precision);

/* Frees the state of the last run. */
void exact_calcium_finish(void);

#ifdef __cplusplus
}
#endif

#endif
