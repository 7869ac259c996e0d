/* The constants of angle conversion, shared by every arithmetic: the degrees in half a turn
   (pi radians), plain C, so that the exact module's C files read them too; and, for the
   doubles, the double nearest to pi. */
#ifndef TRIGCALC_TRIG_CONSTANTS_H
#define TRIGCALC_TRIG_CONSTANTS_H

/* Degrees in half a turn: pi radians. */
#define DEGREES_IN_HALF_TURN 180

#ifdef __cplusplus
constexpr double trig_pi = 3.141592653589793;               // the double nearest to pi
constexpr double half_turn_degrees = DEGREES_IN_HALF_TURN;  // degrees in pi radians, a double
#endif

#endif
