#include "algebraic_enclosure.h"

#include <calcium/qqbar.h>

#include "exact/algebraic_run.h"

int algebraic_enclosure(const ExactProgram* program, slong precision, arb_t ball, int* zero) {
  qqbar_t number;
  fmpq_t pi_power;
  arb_t pi;
  int estimates = 0;
  int held;
  qqbar_init(number);
  fmpq_init(pi_power);
  arb_init(pi);
  held = exact_algebraic_run(program, 0, number, pi_power, &estimates) && qqbar_is_real(number);
  if (held) {
    qqbar_get_arb(ball, number, precision);
    *zero = qqbar_is_zero(number);
    arb_const_pi(pi, precision);
    arb_pow_fmpq(pi, pi, pi_power, precision);
    arb_mul(ball, ball, pi, precision);
  }
  arb_clear(pi);
  fmpq_clear(pi_power);
  qqbar_clear(number);
  return held;
}
