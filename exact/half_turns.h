/* Angles as turns of pi, where the exact runs meet them: an angle in degrees is
   DEGREES_IN_HALF_TURN times its turns of pi, in radians pi times them; and a direct
   function's value repeats every two of them. Plain C, for the exact runs in C and C++
   alike. Needs FLINT; built into the exact mode's module only. */
#ifndef TRIGCALC_HALF_TURNS_H
#define TRIGCALC_HALF_TURNS_H

#include <flint/fmpq.h>

#include "trig/trig_constants.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sets `turns` to the turns of pi of an angle of `angle` degrees, or, `radians`, of `angle`
   times pi radians: angle / DEGREES_IN_HALF_TURN, or the angle as it is; in lowest terms. */
void half_turns_of(fmpq_t turns, const fmpq_t angle, int radians);

/* Sets `reduced` to `turns` less its whole turns (an even number of half turns): in [0, 2). */
void within_one_turn(fmpq_t reduced, const fmpq_t turns);

#ifdef __cplusplus
}
#endif

#endif
