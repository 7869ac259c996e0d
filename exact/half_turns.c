#include "exact/half_turns.h"

void half_turns_of(fmpq_t turns, const fmpq_t angle, int radians) {
  fmpq_set(turns, angle);
  if (radians) return;
  fmpz_mul_ui(fmpq_denref(turns), fmpq_denref(turns), DEGREES_IN_HALF_TURN);
  fmpq_canonicalise(turns);
}

/* floor(turns / 2) whole turns taken away. */
void within_one_turn(fmpq_t reduced, const fmpq_t turns) {
  fmpz_t whole;
  fmpz_init(whole);
  fmpz_mul_ui(whole, fmpq_denref(turns), 2);
  fmpz_fdiv_q(whole, fmpq_numref(turns), whole);
  fmpz_mul_ui(whole, whole, 2);
  fmpq_sub_fmpz(reduced, turns, whole);
  fmpz_clear(whole);
}
