#include "exact/decimal_rounding.h"

namespace {

void power_of_ten(fmpz_t power, slong exponent) {
  fmpz_ui_pow_ui(power, 10, static_cast<ulong>(exponent));
}

// A first guess of floor(log10 |x|) for the nonzero ball x; false when it cannot be had.
bool guess_exponent(const arb_t x, slong& exponent) {
  arb_t logarithm;
  arb_init(logarithm);
  arb_abs(logarithm, x);
  arb_log_base_ui(logarithm, logarithm, 10, 64);
  fmpz_t floor;
  fmpz_init(floor);
  const bool known = arb_is_finite(logarithm) && arf_cmpabs_2exp_si(arb_midref(logarithm), 62) < 0;
  if (known) {
    arf_get_fmpz(floor, arb_midref(logarithm), ARF_RND_FLOOR);
    exponent = fmpz_get_si(floor);
  }
  fmpz_clear(floor);
  arb_clear(logarithm);
  return known;
}

// |x| x 10^(digits - 1 - exponent) into `y`.
void scale_ball(arb_t y, const arb_t x, int digits, slong exponent, slong precision) {
  const slong shift = digits - 1 - exponent;
  fmpz_t power;
  fmpz_init(power);
  power_of_ten(power, shift < 0 ? -shift : shift);
  arb_abs(y, x);
  if (shift >= 0) arb_mul_fmpz(y, y, power, precision);
  if (shift < 0) arb_div_fmpz(y, y, power, precision);
  fmpz_clear(power);
}

// Moves the exponent when `k` has not `digits` digits; true when it has.
bool settle_exponent(fmpz_t k, int digits, slong& exponent, bool& retry) {
  fmpz_t low, high;
  fmpz_init(low);
  fmpz_init(high);
  power_of_ten(low, digits - 1);
  power_of_ten(high, digits);
  retry = false;
  if (fmpz_equal(k, high)) {  // rounded up to the next power of ten
    fmpz_set(k, low);
    ++exponent;
  } else if (fmpz_cmp(k, high) > 0) {
    ++exponent;
    retry = true;
  } else if (fmpz_cmp(k, low) < 0) {
    --exponent;
    retry = true;
  }
  fmpz_clear(low);
  fmpz_clear(high);
  return !retry;
}

void take_digits(Rounded& rounded, const fmpz_t k) {
  fmpz_get_str(rounded.digits, 10, k);
}

}  // namespace

void round_rational(const fmpq_t x, int digits, Rounded& rounded) {
  arb_t ball;
  arb_init(ball);
  arb_set_fmpq(ball, x, 64);
  slong exponent = 0;
  guess_exponent(ball, exponent);
  arb_clear(ball);
  fmpq_t y;
  fmpq_init(y);
  fmpz_t k, power;
  fmpz_init(k);
  fmpz_init(power);
  for (bool retry = true; retry;) {
    const slong shift = digits - 1 - exponent;
    power_of_ten(power, shift < 0 ? -shift : shift);
    fmpq_abs(y, x);
    if (shift >= 0) fmpq_mul_fmpz(y, y, power);
    if (shift < 0) fmpq_div_fmpz(y, y, power);
    // k = floor(y + 1/2) = floor((2 num + den) / (2 den)); an exact division is a tie.
    fmpz_mul_ui(power, fmpq_numref(y), 2);
    fmpz_add(power, power, fmpq_denref(y));
    fmpz_t twice_den;
    fmpz_init(twice_den);
    fmpz_mul_ui(twice_den, fmpq_denref(y), 2);
    const bool tie = fmpz_divisible(power, twice_den);
    fmpz_fdiv_q(k, power, twice_den);
    fmpz_clear(twice_den);
    if (tie && fmpz_is_odd(k)) fmpz_sub_ui(k, k, 1);
    settle_exponent(k, digits, exponent, retry);
  }
  rounded = {false, fmpq_sgn(x) < 0, {}, exponent};
  take_digits(rounded, k);
  fmpz_clear(k);
  fmpz_clear(power);
  fmpq_clear(y);
}

Rounding round_ball(const arb_t x, int digits, slong precision, Rounded& rounded, fmpq_t tie) {
  slong exponent = 0;
  if (arb_contains_zero(x) || !guess_exponent(x, exponent)) return Rounding::too_wide;
  arb_t y;
  arb_init(y);
  arf_t bound;
  arf_init(bound);
  fmpz_t low, high;
  fmpz_init(low);
  fmpz_init(high);
  Rounding outcome = Rounding::done;
  for (bool retry = true; retry && outcome == Rounding::done;) {
    scale_ball(y, x, digits, exponent, precision);
    arb_mul_2exp_si(y, y, 1);  // y + 1/2, as (2y + 1) / 2: exact in binary
    arb_add_ui(y, y, 1, precision);
    arb_mul_2exp_si(y, y, -1);
    arb_get_lbound_arf(bound, y, precision);
    arf_get_fmpz(low, bound, ARF_RND_FLOOR);
    const bool low_is_tie = arf_is_int(bound);
    arb_get_ubound_arf(bound, y, precision);
    arf_get_fmpz(high, bound, ARF_RND_FLOOR);
    fmpz_sub(high, high, low);
    if (fmpz_cmp_ui(high, 1) > 0 || (fmpz_is_one(high) && low_is_tie)) {
      outcome = Rounding::too_wide;
    } else if (fmpz_is_one(high) || low_is_tie) {
      // y + 1/2 reaches an integer m: y may be the tie m - 1/2.
      if (fmpz_is_one(high)) fmpz_add_ui(low, low, 1);
      fmpz_set(fmpq_numref(tie), low);
      fmpz_one(fmpq_denref(tie));
      outcome = Rounding::tie_candidate;
    } else {
      settle_exponent(low, digits, exponent, retry);
    }
  }
  rounded = {false, arb_is_negative(x) != 0, {}, exponent};
  if (outcome == Rounding::done) take_digits(rounded, low);
  if (outcome == Rounding::tie_candidate) {
    // The tie in x's own terms: (m - 1/2) x 10^(exponent - digits + 1), with x's sign.
    fmpq_t half;
    fmpq_init(half);
    fmpq_set_si(half, 1, 2);
    fmpq_sub(tie, tie, half);
    fmpq_clear(half);
    const slong shift = digits - 1 - exponent;
    power_of_ten(low, shift < 0 ? -shift : shift);
    if (shift >= 0) fmpq_div_fmpz(tie, tie, low);
    if (shift < 0) fmpq_mul_fmpz(tie, tie, low);
    if (rounded.negative) fmpq_neg(tie, tie);
  }
  fmpz_clear(low);
  fmpz_clear(high);
  arf_clear(bound);
  arb_clear(y);
  return outcome;
}

int magnitude_digits(const arb_t ball) {
  arf_t bound;
  arf_init(bound);
  arb_get_abs_ubound_arf(bound, ball, 32);
  const slong exponent = arf_is_zero(bound) ? 0 : arf_abs_bound_lt_2exp_si(bound);
  arf_clear(bound);
  return exponent < 0 ? static_cast<int>(digits_for_bits(-exponent)) : 0;
}
