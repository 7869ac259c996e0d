#include "exact/decimal_rounding.h"

namespace {

// Most decimal exponent a ball's value is compared with 10^exponent at exactly: the power is
// written out in full (a few megabytes at this bound).
constexpr slong exact_exponent_limit = slong{1} << 22;

void power_of_ten(fmpz_t power, slong exponent) {
  fmpz_ui_pow_ui(power, 10, static_cast<ulong>(exponent));
}

// floor(log10 |x|) for the nonzero ball x, from a 64-bit logarithm's ball: `exponent` is the
// floor of its lower end, and `near` says whether it reaches the next integer, exponent + 1
// (x may then lie on either side of that power of ten, which only an exact comparison tells).
// False when it cannot be had (a logarithm too large, or a ball spanning more than one power).
bool logarithm_floor(const arb_t x, slong& exponent, bool& near) {
  arb_t logarithm;
  arb_init(logarithm);
  arb_abs(logarithm, x);
  arb_log_base_ui(logarithm, logarithm, 10, 64);
  arf_t end;
  arf_init(end);
  fmpz_t low, high;
  fmpz_init(low);
  fmpz_init(high);
  bool known = arb_is_finite(logarithm) && arf_cmpabs_2exp_si(arb_midref(logarithm), 62) < 0;
  if (known) {
    arb_get_lbound_arf(end, logarithm, 64);
    arf_get_fmpz(low, end, ARF_RND_FLOOR);
    arb_get_ubound_arf(end, logarithm, 64);
    arf_get_fmpz(high, end, ARF_RND_FLOOR);
    fmpz_sub(high, high, low);
    known = fmpz_cmp_ui(high, 1) <= 0;
    near = fmpz_is_one(high);
    exponent = fmpz_get_si(low);
  }
  fmpz_clear(low);
  fmpz_clear(high);
  arf_clear(end);
  arb_clear(logarithm);
  return known;
}

// Whether the positive rational y is at least 10^exponent, exactly.
bool rational_reaches(const fmpq_t y, slong exponent) {
  fmpz_t scaled;
  fmpz_init(scaled);
  power_of_ten(scaled, exponent < 0 ? -exponent : exponent);
  if (exponent >= 0) fmpz_mul(scaled, scaled, fmpq_denref(y));
  if (exponent < 0) fmpz_mul(scaled, scaled, fmpq_numref(y));
  const bool reaches =
      exponent >= 0 ? fmpz_cmp(fmpq_numref(y), scaled) >= 0 : fmpz_cmp(scaled, fmpq_denref(y)) >= 0;
  fmpz_clear(scaled);
  return reaches;
}

// Whether the positive binary number y is at least 10^exponent, exactly.
bool binary_reaches(const arf_t y, slong exponent) {
  fmpz_t power;
  fmpz_init(power);
  power_of_ten(power, exponent < 0 ? -exponent : exponent);
  arf_t scaled;
  arf_init(scaled);
  if (exponent >= 0) arf_set_fmpz(scaled, power);
  if (exponent < 0) arf_mul_fmpz(scaled, y, power, ARF_PREC_EXACT, ARF_RND_DOWN);
  const bool reaches = exponent >= 0 ? arf_cmp(y, scaled) >= 0 : arf_cmp_si(scaled, 1) >= 0;
  arf_clear(scaled);
  fmpz_clear(power);
  return reaches;
}

// floor(log10 |x|) of the nonzero rational x, exactly.
slong rational_exponent(const fmpq_t x) {
  arb_t ball;
  arb_init(ball);
  arb_set_fmpq(ball, x, 64);
  slong exponent = 0;
  bool near = false;
  logarithm_floor(ball, exponent, near);  // a rational's own ball: always known
  arb_clear(ball);
  fmpq_t magnitude;
  fmpq_init(magnitude);
  fmpq_abs(magnitude, x);
  if (near && rational_reaches(magnitude, exponent + 1)) ++exponent;
  fmpq_clear(magnitude);
  return exponent;
}

// floor(log10) of the ends of |x|, the nonzero ball x, exactly: `low` of its smaller end,
// `high` of its larger (one more when it straddles a power of ten). False when they cannot
// be had.
bool ball_exponents(const arb_t x, slong& low, slong& high) {
  bool near = false;
  if (!logarithm_floor(x, low, near)) return false;
  high = low;
  if (!near) return true;
  if (low >= exact_exponent_limit || low <= -exact_exponent_limit) return false;
  arf_t end, radius;
  arf_init(end);
  arf_init(radius);
  arf_set_mag(radius, arb_radref(x));
  arf_abs(end, arb_midref(x));
  arf_sub(end, end, radius, ARF_PREC_EXACT, ARF_RND_DOWN);  // exact: the smaller end
  if (binary_reaches(end, low + 1)) ++low;
  arf_abs(end, arb_midref(x));
  arf_add(end, end, radius, ARF_PREC_EXACT, ARF_RND_DOWN);  // the larger end
  if (binary_reaches(end, high + 1)) ++high;
  arf_clear(radius);
  arf_clear(end);
  return true;
}

// |x| x 10^(digits - 1 - exponent) + 1/2 into `y`, a ball.
void scale_ball(arb_t y, const arb_t x, int digits, slong exponent, slong precision) {
  const slong shift = digits - 1 - exponent;
  fmpz_t power;
  fmpz_init(power);
  power_of_ten(power, shift < 0 ? -shift : shift);
  arb_abs(y, x);
  if (shift >= 0) arb_mul_fmpz(y, y, power, precision);
  if (shift < 0) arb_div_fmpz(y, y, power, precision);
  arb_mul_2exp_si(y, y, 1);  // y + 1/2, as (2y + 1) / 2: exact in binary
  arb_add_ui(y, y, 1, precision);
  arb_mul_2exp_si(y, y, -1);
  fmpz_clear(power);
}

// The roundings of the ends of |x| at `exponent`: floor(y + 1/2) into `low` and `high`, y
// being |x| scaled to `digits` digits before the point; true when the lower end's y + 1/2 is
// itself an integer (a tie, which the floor rounds up).
bool rounded_range(const arb_t x, int digits, slong exponent, slong precision, fmpz_t low,
                   fmpz_t high) {
  arb_t y;
  arb_init(y);
  scale_ball(y, x, digits, exponent, precision);
  arf_t bound;
  arf_init(bound);
  arb_get_lbound_arf(bound, y, precision);
  arf_get_fmpz(low, bound, ARF_RND_FLOOR);
  const bool low_is_tie = arf_is_int(bound);
  arb_get_ubound_arf(bound, y, precision);
  arf_get_fmpz(high, bound, ARF_RND_FLOOR);
  arf_clear(bound);
  arb_clear(y);
  return low_is_tie;
}

// A rounding of `digits` digits that reached 10^digits: the value rounded up to the next
// power of ten, 10^(digits - 1) with one more in the exponent.
void carry_to_next_power(fmpz_t k, int digits, slong& exponent) {
  fmpz_t high;
  fmpz_init(high);
  power_of_ten(high, digits);
  if (fmpz_equal(k, high)) {
    power_of_ten(k, digits - 1);
    ++exponent;
  }
  fmpz_clear(high);
}

// A ball straddling 10^exponent rounds to it when every value below rounds up to it and every
// value above rounds down to it (ties go to its even digits, 1 followed by zeros, except at one
// digit above it, where 1.5 rounds to 2); into `k` when true.
bool rounds_to_power(const arb_t x, int digits, slong exponent, slong precision, fmpz_t k) {
  fmpz_t low, high, power;
  fmpz_init(low);
  fmpz_init(high);
  fmpz_init(power);
  rounded_range(x, digits, exponent - 1, precision, low, high);
  power_of_ten(power, digits);
  const bool below = fmpz_equal(low, power);
  rounded_range(x, digits, exponent, precision, low, high);
  power_of_ten(k, digits - 1);
  const bool above = fmpz_equal(high, k);
  fmpz_clear(low);
  fmpz_clear(high);
  fmpz_clear(power);
  return below && above;
}

void take_digits(Rounded& rounded, const fmpz_t k) {
  fmpz_get_str(rounded.digits, 10, k);
}

// The tie (m - 1/2) x 10^(exponent - digits + 1), with the sign `negative`, into `tie`.
void set_tie(fmpq_t tie, const fmpz_t m, int digits, slong exponent, bool negative) {
  fmpz_t power;
  fmpz_init(power);
  fmpz_mul_ui(fmpq_numref(tie), m, 2);
  fmpz_sub_ui(fmpq_numref(tie), fmpq_numref(tie), 1);
  fmpz_set_ui(fmpq_denref(tie), 2);
  const slong shift = digits - 1 - exponent;
  power_of_ten(power, shift < 0 ? -shift : shift);
  if (shift >= 0) fmpq_div_fmpz(tie, tie, power);
  if (shift < 0) fmpq_mul_fmpz(tie, tie, power);
  if (negative) fmpq_neg(tie, tie);
  fmpz_clear(power);
}

}  // namespace

void round_rational(const fmpq_t x, int digits, Rounded& rounded) {
  slong exponent = rational_exponent(x);
  fmpq_t y;
  fmpq_init(y);
  fmpz_t k, power, twice_den;
  fmpz_init(k);
  fmpz_init(power);
  fmpz_init(twice_den);
  const slong shift = digits - 1 - exponent;
  power_of_ten(power, shift < 0 ? -shift : shift);
  fmpq_abs(y, x);
  if (shift >= 0) fmpq_mul_fmpz(y, y, power);
  if (shift < 0) fmpq_div_fmpz(y, y, power);
  // k = floor(y + 1/2) = floor((2 num + den) / (2 den)); an exact division is a tie.
  fmpz_mul_ui(power, fmpq_numref(y), 2);
  fmpz_add(power, power, fmpq_denref(y));
  fmpz_mul_ui(twice_den, fmpq_denref(y), 2);
  const bool tie = fmpz_divisible(power, twice_den);
  fmpz_fdiv_q(k, power, twice_den);
  if (tie && fmpz_is_odd(k)) fmpz_sub_ui(k, k, 1);
  carry_to_next_power(k, digits, exponent);
  rounded = {false, fmpq_sgn(x) < 0, {}, exponent};
  take_digits(rounded, k);
  fmpz_clear(k);
  fmpz_clear(power);
  fmpz_clear(twice_den);
  fmpq_clear(y);
}

Rounding round_ball(const arb_t x, int digits, slong precision, Rounded& rounded, fmpq_t tie) {
  slong exponent = 0, high_exponent = 0;
  if (arb_contains_zero(x) || !ball_exponents(x, exponent, high_exponent)) {
    return Rounding::too_wide;
  }
  fmpz_t low, high;
  fmpz_init(low);
  fmpz_init(high);
  Rounding outcome = Rounding::done;
  if (high_exponent > exponent + 1) {
    outcome = Rounding::too_wide;
  } else if (high_exponent > exponent) {
    exponent = high_exponent;
    if (!rounds_to_power(x, digits, exponent, precision, low)) outcome = Rounding::too_wide;
  } else {
    const bool low_is_tie = rounded_range(x, digits, exponent, precision, low, high);
    fmpz_sub(high, high, low);
    if (fmpz_cmp_ui(high, 1) > 0 || (fmpz_is_one(high) && low_is_tie)) {
      outcome = Rounding::too_wide;
    } else if (fmpz_is_one(high) || low_is_tie) {
      // y + 1/2 reaches an integer m: y may be the tie m - 1/2.
      if (fmpz_is_one(high)) fmpz_add_ui(low, low, 1);
      set_tie(tie, low, digits, exponent, arb_is_negative(x) != 0);
      outcome = Rounding::tie_candidate;
    } else {
      carry_to_next_power(low, digits, exponent);
    }
  }
  rounded = {false, arb_is_negative(x) != 0, {}, exponent};
  if (outcome == Rounding::done) take_digits(rounded, low);
  fmpz_clear(low);
  fmpz_clear(high);
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
