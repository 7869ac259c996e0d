// The exact program run in Arb's balls. Each value keeps, beside its ball, whether it is
// exactly a rational multiple of a power of pi: numbers and pi are, and products, quotients
// and sums of like powers stay so. Such a value's zero is decided exactly (its rational is 0),
// and so is the value of a function at a rational multiple of pi (the cases where it is
// rational, by Niven's theorem, are in tables below, and only there is the sine, cosine or
// tangent 0). Any other zero a ball cannot exclude is reported undecided.
#include "exact/ball_run.h"

#include "exact/half_turns.h"
#include "program/program_functions.h"

namespace {

// A value of the run.
struct BallValue {
  arb_t ball;
  bool exact;  // the value is `rational` x pi^`pi_power`
  fmpq_t rational;
  slong pi_power;
};

// The run's stack, kept for the program's life: its numbers grow once and are reused.
struct BallStack {
  BallValue values[program_stack_capacity];
  int depth;
  bool ready;
};

BallStack& ball_stack() {
  static BallStack stack;
  if (!stack.ready) {
    for (BallValue& value : stack.values) {
      arb_init(value.ball);
      fmpq_init(value.rational);
    }
    stack.ready = true;
  }
  return stack;
}

// Sets `value` to the exact rational x pi^power, its ball at `precision` bits.
void set_exact(BallValue& value, const fmpq_t rational, slong power, slong precision) {
  fmpq_set(value.rational, rational);
  value.exact = true;
  value.pi_power = fmpq_is_zero(rational) ? 0 : power;
  arb_set_fmpq(value.ball, rational, precision);
  if (value.pi_power == 0) return;
  arb_t pi;
  arb_init(pi);
  arb_const_pi(pi, precision);
  arb_pow_ui(pi, pi, static_cast<ulong>(value.pi_power < 0 ? -value.pi_power : value.pi_power),
             precision);
  if (value.pi_power > 0) arb_mul(value.ball, value.ball, pi, precision);
  if (value.pi_power < 0) arb_div(value.ball, value.ball, pi, precision);
  arb_clear(pi);
}

bool is_exact_zero(const BallValue& value) {
  return value.exact && fmpq_is_zero(value.rational);
}

// The bits of the integer part of an exact value's ball: what a sum with it needs beyond
// `precision` to keep its absolute error below 2^-precision.
slong size_bits(const BallValue& value) {
  if (!value.exact || fmpq_is_zero(value.rational)) return 0;
  const slong size = arf_abs_bound_lt_2exp_si(arb_midref(value.ball));
  return size > 0 ? size : 0;
}

// Sets `value`'s ball again with its size's bits more, when it is exact: a sum then keeps
// the units of a large operand (an angle such as 1e300 + pi needs them all).
void refine_for_sum(BallValue& value, slong precision) {
  const slong size = size_bits(value);
  if (size > 0) set_exact(value, value.rational, value.pi_power, precision + size);
}

// left + right (or left - right when `subtract`) into `left`.
void add_values(BallValue& left, BallValue& right, bool subtract, slong precision) {
  refine_for_sum(left, precision);
  refine_for_sum(right, precision);
  const slong bits =
      precision + (size_bits(left) > size_bits(right) ? size_bits(left) : size_bits(right));
  if (subtract) {
    arb_sub(left.ball, left.ball, right.ball, bits);
  } else {
    arb_add(left.ball, left.ball, right.ball, bits);
  }
  if (!left.exact || !right.exact) {
    left.exact = false;
  } else if (fmpq_is_zero(right.rational)) {
  } else if (fmpq_is_zero(left.rational)) {
    fmpq_set(left.rational, right.rational);
    if (subtract) fmpq_neg(left.rational, left.rational);
    left.pi_power = right.pi_power;
  } else if (left.pi_power == right.pi_power) {
    if (subtract) fmpq_sub(left.rational, left.rational, right.rational);
    if (!subtract) fmpq_add(left.rational, left.rational, right.rational);
    if (fmpq_is_zero(left.rational)) set_exact(left, left.rational, 0, precision);
  } else {
    left.exact = false;
  }
}

// left x right into `left`; an exact 0 times anything is exactly 0.
void multiply_values(BallValue& left, const BallValue& right, slong precision) {
  if (is_exact_zero(left)) return;
  if (is_exact_zero(right)) return set_exact(left, right.rational, 0, precision);
  arb_mul(left.ball, left.ball, right.ball, precision);
  if (!left.exact || !right.exact) {
    left.exact = false;
    return;
  }
  fmpq_mul(left.rational, left.rational, right.rational);
  left.pi_power += right.pi_power;
}

// left / right into `left`; the outcome says whether the quotient exists.
exact_outcome divide_values(BallValue& left, const BallValue& right, slong precision) {
  if (is_exact_zero(right)) return exact_no_value;
  if (!right.exact && arb_contains_zero(right.ball)) return exact_undecided;
  if (is_exact_zero(left)) return exact_value;
  arb_div(left.ball, left.ball, right.ball, precision);
  if (!left.exact || !right.exact) {
    left.exact = false;
    return exact_value;
  }
  fmpq_div(left.rational, left.rational, right.rational);
  left.pi_power -= right.pi_power;
  return exact_value;
}

// Twice sin(k pi / 12) for k from 0 to 23 where it is rational (Niven's theorem: the sine of
// a rational multiple of pi is rational only when it is 0, 1/2 or 1 in size); `irrational`
// elsewhere.
constexpr int irrational = 9;
constexpr int twice_sine_of_twelfths[24] = {
    0,          irrational, 1,  irrational, irrational, irrational, 2,  irrational,
    irrational, irrational, 1,  irrational, 0,          irrational, -1, irrational,
    irrational, irrational, -2, irrational, irrational, irrational, -1, irrational};

// The twelfths of pi in [0, 24) that the rational `turns` (the angle over pi) is modulo 2, or
// -1 when it is no whole number of them. `reduced` receives turns modulo 2, in [0, 2).
int twelfths_of_pi(const fmpq_t turns, fmpq_t reduced) {
  within_one_turn(reduced, turns);
  int twelfths = -1;
  fmpz_t whole;
  fmpz_init_set_ui(whole, 12);
  if (fmpz_divisible(whole, fmpq_denref(reduced))) {
    fmpz_mul_ui(whole, fmpq_numref(reduced), 12);
    fmpz_divexact(whole, whole, fmpq_denref(reduced));
    twelfths = static_cast<int>(fmpz_get_si(whole));
  }
  fmpz_clear(whole);
  return twelfths;
}

// Sets `value` to the small rational numerator / denominator.
void set_small(BallValue& value, slong numerator, slong denominator, slong precision) {
  fmpq_t rational;
  fmpq_init(rational);
  fmpq_set_si(rational, numerator, static_cast<ulong>(denominator));
  set_exact(value, rational, 0, precision);
  fmpq_clear(rational);
}

void set_ball(BallValue& value, const arb_t ball) {
  arb_set(value.ball, ball);
  value.exact = false;
}

// Twice the sine of `twelfths` of pi, `irrational` when unknown (-1).
int twice_sine(int twelfths) {
  return twelfths < 0 ? irrational : twice_sine_of_twelfths[twelfths];
}

// Sets `value` to 2 / `twice` (a secant or cosecant from its rational cosine or sine).
exact_outcome set_reciprocal_half(BallValue& value, int twice, slong precision) {
  if (twice == 0) return exact_no_value;
  set_small(value, 2 * (twice < 0 ? -1 : 1), twice < 0 ? -twice : twice, precision);
  return exact_value;
}

// The tangent (or, when `cotangent`, its reciprocal) where it is rational: 0 and +-1; true
// when set. At a zero of its denominator there is no value.
bool tangent_by_table(int twelfths, bool cotangent, BallValue& value, exact_outcome& outcome,
                      slong precision) {
  if (twelfths < 0 || twelfths % 3 != 0) return false;
  const int place = twelfths % 12;  // 0, 3, 6 or 9: 0, 45, 90, 135 degrees
  const int zero_at = cotangent ? 6 : 0;
  const int none_at = cotangent ? 0 : 6;
  outcome = place == none_at ? exact_no_value : exact_value;
  if (place == zero_at) set_small(value, 0, 1, precision);
  if (place == 3) set_small(value, 1, 1, precision);
  if (place == 9) set_small(value, -1, 1, precision);
  return true;
}

// The function `code` at `turns` x pi radians, `turns` rational: exactly where Niven's
// theorem makes it rational, in a ball elsewhere (where it is never 0, nor its reciprocal
// undefined).
exact_outcome direct_at_rational(int code, const fmpq_t turns, BallValue& value, slong precision) {
  fmpq_t reduced;
  fmpq_init(reduced);
  const int twelfths = twelfths_of_pi(turns, reduced);
  arb_t sine, cosine;
  arb_init(sine);
  arb_init(cosine);
  arb_sin_cos_pi_fmpq(sine, cosine, reduced, precision);
  const int twice_sin = twice_sine(twelfths);
  const int twice_cos = twice_sine(twelfths < 0 ? -1 : (twelfths + 6) % 24);
  exact_outcome outcome = exact_value;
  const bool cotangent = code == program_cotangent;
  if (code == program_sine || code == program_cosecant || code == program_cosine ||
      code == program_secant) {
    const bool sine_based = code == program_sine || code == program_cosecant;
    const int twice = sine_based ? twice_sin : twice_cos;
    const bool reciprocal = code == program_cosecant || code == program_secant;
    if (twice != irrational && reciprocal) {
      outcome = set_reciprocal_half(value, twice, precision);
    } else if (twice != irrational) {
      set_small(value, twice, 2, precision);
    } else {
      if (reciprocal) arb_inv(sine_based ? sine : cosine, sine_based ? sine : cosine, precision);
      set_ball(value, sine_based ? sine : cosine);
    }
  } else if (!tangent_by_table(twelfths, cotangent, value, outcome, precision)) {
    arb_div(sine, cotangent ? cosine : sine, cotangent ? sine : cosine, precision);
    set_ball(value, sine);
  }
  arb_clear(sine);
  arb_clear(cosine);
  fmpq_clear(reduced);
  return outcome;
}

// Bits beyond `precision` an angle of ball `angle` needs for its sine to keep `precision`.
slong angle_bits(const arb_t angle, slong precision) {
  const slong size = arf_abs_bound_lt_2exp_si(arb_midref(angle));
  return size > 0 ? precision + size : precision;
}

// Most bits of size an angle in radians may have to be reduced by 2 pi: a larger one is too
// large.
constexpr slong angle_bits_limit = 1 << 19;
// Bits of an angle's size from which its whole turns are taken away before its sine is
// computed, and the step to which the precision of pi for that is rounded up, so that the
// finer attempts of one line reuse the pi Arb keeps.
constexpr slong turn_reduction_bits = 64;
constexpr slong pi_precision_step = slong{1} << 16;

// The angle of ball `angle` (of `bits` bits, as angle_bits gives them) less its whole turns,
// in place, when it is large: its sine then needs only the precision asked for, where Arb,
// given the whole angle, computes it to all the angle's bits (a third of a second at
// 520,000). True when they were taken away.
bool take_whole_turns(arb_t angle, slong bits) {
  if (arf_abs_bound_lt_2exp_si(arb_midref(angle)) < turn_reduction_bits) return false;
  const slong pi_bits = (bits / pi_precision_step + 1) * pi_precision_step;
  arb_t turn, count;
  arb_init(turn);
  arb_init(count);
  fmpz_t whole;
  fmpz_init(whole);
  arb_const_pi(turn, pi_bits);
  arb_mul_2exp_si(turn, turn, 1);
  arb_div(count, angle, turn, bits);
  arf_get_fmpz(whole, arb_midref(count), ARF_RND_FLOOR);
  arb_submul_fmpz(angle, turn, whole, bits);
  fmpz_clear(whole);
  arb_clear(count);
  arb_clear(turn);
  return true;
}

// The function `code` at an angle that is no rational multiple of pi: in a ball. A sine or
// cosine 0 would need the angle a rational multiple of pi, so a denominator is never 0, but
// a ball that cannot tell is undecided.
exact_outcome direct_in_ball(int code, BallValue& angle, BallValue& value, slong precision) {
  arb_t turned, sine, cosine;
  arb_init(turned);
  arb_init(sine);
  arb_init(cosine);
  const slong bits = angle_bits(angle.ball, precision);
  exact_outcome outcome = bits - precision > angle_bits_limit ? exact_too_large : exact_value;
  if (outcome == exact_value) {
    if (angle.exact) set_exact(angle, angle.rational, angle.pi_power, bits);  // a finer ball
    const bool reduced = take_whole_turns(angle.ball, bits);
    arb_sin_cos(sine, cosine, angle.ball, reduced ? precision + turn_reduction_bits : bits);
    const bool over_sine = code == program_cotangent || code == program_cosecant;
    const bool over_cosine = code == program_tangent || code == program_secant;
    if ((over_sine && arb_contains_zero(sine)) || (over_cosine && arb_contains_zero(cosine))) {
      outcome = exact_undecided;
    } else {
      if (code == program_sine) arb_set(turned, sine);
      if (code == program_cosine) arb_set(turned, cosine);
      if (code == program_tangent) arb_div(turned, sine, cosine, precision);
      if (code == program_cotangent) arb_div(turned, cosine, sine, precision);
      if (code == program_secant) arb_inv(turned, cosine, precision);
      if (code == program_cosecant) arb_inv(turned, sine, precision);
      set_ball(value, turned);
    }
  }
  arb_clear(turned);
  arb_clear(sine);
  arb_clear(cosine);
  return outcome;
}

// The angle of a direct function over pi, when it is rational: degrees in half turns, or
// radians that are a rational multiple of pi. False otherwise.
bool rational_turns(const BallValue& argument, bool radians, fmpq_t turns) {
  if (!argument.exact) return false;
  const slong wanted = radians ? 1 : 0;
  if (!fmpq_is_zero(argument.rational) && argument.pi_power != wanted) return false;
  half_turns_of(turns, argument.rational, radians);
  return true;
}

// The angle in radians of a direct function whose angle is no rational multiple of pi.
void angle_in_radians(BallValue& argument, bool radians, slong precision) {
  if (radians) return;
  BallValue turn;  // pi / 180, a degree, exactly
  arb_init(turn.ball);
  fmpq_init(turn.rational);
  set_small(turn, 1, DEGREES_IN_HALF_TURN, precision);
  set_exact(turn, turn.rational, 1, precision);
  multiply_values(argument, turn, precision);
  arb_clear(turn.ball);
  fmpq_clear(turn.rational);
}

exact_outcome direct_value(int code, BallValue& argument, bool radians, BallValue& value,
                           slong precision) {
  fmpq_t turns;
  fmpq_init(turns);
  exact_outcome outcome = exact_value;
  if (rational_turns(argument, radians, turns)) {
    outcome = direct_at_rational(code, turns, value, precision);
  } else {
    angle_in_radians(argument, radians, precision);
    outcome = direct_in_ball(code, argument, value, precision);
  }
  fmpq_clear(turns);
  return outcome;
}

// The inverse `code` of a rational where its value is a rational multiple of pi (Niven's
// theorem: arc sine of 0, +-1/2, +-1; arc tangent of 0, +-1), in turns of pi; false
// elsewhere.
bool inverse_by_table(int code, const fmpq_t x, fmpq_t turns) {
  const bool small =
      fmpz_cmpabs(fmpq_numref(x), fmpq_denref(x)) <= 0 && fmpz_cmp_ui(fmpq_denref(x), 2) <= 0;
  if (!small) return false;
  const int twice = static_cast<int>(fmpz_get_si(fmpq_numref(x)) * 2 / fmpz_get_si(fmpq_denref(x)));
  if (code == program_arc_tangent) {
    if (twice == 1 || twice == -1) return false;  // arc tangent of 1/2: irrational turns
    fmpq_set_si(turns, twice / 2, 4);
    return true;
  }
  // arc sine: 0, 1/2, 1 give 0, 1/6, 1/2; arc cosine is 1/2 minus the arc sine.
  const slong sixths[] = {-3, -1, 0, 1, 3};
  fmpq_set_si(turns, sixths[twice + 2], 6);
  if (code == program_arc_cosine) {
    fmpq_t half;
    fmpq_init(half);
    fmpq_set_si(half, 1, 2);
    fmpq_sub(turns, half, turns);
    fmpq_clear(half);
  }
  return true;
}

// True when the ball lies wholly outside [-1, 1].
bool outside_unit(const arb_t x) {
  arb_t bound;
  arb_init(bound);
  arb_abs(bound, x);
  arb_sub_ui(bound, bound, 1, 53);
  const bool outside = arb_is_positive(bound);
  arb_clear(bound);
  return outside;
}

// The inverse function `code` of `argument`, in radians.
exact_outcome inverse_value(int code, const BallValue& argument, BallValue& value,
                            slong precision) {
  const bool rational = argument.exact && argument.pi_power == 0;
  const bool bounded = code != program_arc_tangent;
  if (rational && bounded &&
      fmpz_cmpabs(fmpq_numref(argument.rational), fmpq_denref(argument.rational)) > 0) {
    return exact_no_value;
  }
  fmpq_t turns;
  fmpq_init(turns);
  exact_outcome outcome = exact_value;
  if (rational && inverse_by_table(code, argument.rational, turns)) {
    set_exact(value, turns, 1, precision);
  } else {
    arb_t result;
    arb_init(result);
    if (code == program_arc_sine) arb_asin(result, argument.ball, precision);
    if (code == program_arc_cosine) arb_acos(result, argument.ball, precision);
    if (code == program_arc_tangent) arb_atan(result, argument.ball, precision);
    if (!arb_is_finite(result))
      outcome = outside_unit(argument.ball) ? exact_no_value : exact_undecided;
    set_ball(value, result);
    arb_clear(result);
  }
  fmpq_clear(turns);
  return outcome;
}

// An inverse function's value in radians made degrees: x 180 / pi.
void radians_to_degrees(BallValue& value, slong precision) {
  BallValue scale;
  arb_init(scale.ball);
  fmpq_init(scale.rational);
  fmpq_set_si(scale.rational, DEGREES_IN_HALF_TURN, 1);
  set_exact(scale, scale.rational, -1, precision);
  multiply_values(value, scale, precision);
  arb_clear(scale.ball);
  fmpq_clear(scale.rational);
}

bool within_size(const arb_t ball);

// How a ball compares with a bound: wholly above, wholly at most, or not known.
enum class Side { above, at_most, unknown };

// Where `value` stands against the integer `bound` (exactly when the value is exact).
Side side_of(const BallValue& value, slong bound) {
  if (value.exact && value.pi_power == 0) {
    return fmpq_cmp_si(value.rational, bound) > 0 ? Side::above : Side::at_most;
  }
  arb_t difference;
  arb_init(difference);
  arb_sub_si(difference, value.ball, bound, 2 * arb_rel_accuracy_bits(value.ball) + 64);
  const Side side = arb_is_positive(difference)      ? Side::above
                    : arb_is_nonpositive(difference) ? Side::at_most
                                                     : Side::unknown;
  arb_clear(difference);
  return side;
}

// True when the exact `value` is the integer `whole`.
bool is_exact_integer(const BallValue& value, slong whole) {
  return value.exact && value.pi_power == 0 && fmpz_is_one(fmpq_denref(value.rational)) &&
         fmpz_equal_si(fmpq_numref(value.rational), whole);
}

// The exact power of ten `value` is (log 1000 is 3), into `power`; false when it is none.
bool power_of_ten(const BallValue& value, fmpz_t power) {
  if (!value.exact || value.pi_power != 0 || fmpq_sgn(value.rational) <= 0) return false;
  const bool whole = fmpz_is_one(fmpq_denref(value.rational));
  if (!whole && !fmpz_is_one(fmpq_numref(value.rational))) return false;
  fmpz_t rest;
  fmpz_init_set(rest, whole ? fmpq_numref(value.rational) : fmpq_denref(value.rational));
  fmpz_zero(power);
  while (fmpz_divisible_si(rest, 10)) {
    fmpz_divexact_si(rest, rest, 10);
    fmpz_add_ui(power, power, 1);
  }
  const bool found = fmpz_is_one(rest);
  if (!whole) fmpz_neg(power, power);
  fmpz_clear(rest);
  return found;
}

// A logarithm (natural or base 10) of `argument` into `value`: no value at most 0; exact at 1,
// and base 10 at a power of ten.
exact_outcome logarithm_value(int code, const BallValue& argument, BallValue& value,
                              slong precision) {
  const Side positive = side_of(argument, 0);
  if (positive != Side::above) return positive == Side::at_most ? exact_no_value : exact_undecided;
  fmpz_t power;
  fmpz_init(power);
  const bool common = code == program_common_logarithm;
  const bool exact = is_exact_integer(argument, 1) || (common && power_of_ten(argument, power));
  if (exact) {
    fmpq_t whole;
    fmpq_init(whole);
    if (common) fmpz_set(fmpq_numref(whole), power);
    set_exact(value, whole, 0, precision);
    fmpq_clear(whole);
  } else {
    arb_log(value.ball, argument.ball, precision);
    if (common) {
      arb_t ten;
      arb_init(ten);
      arb_log_ui(ten, 10, precision);
      arb_div(value.ball, value.ball, ten, precision);
      arb_clear(ten);
    }
    value.exact = false;
  }
  fmpz_clear(power);
  return exact_value;
}

// An inverse hyperbolic function's domain: arccosh from 1 on, arctgh within (-1, 1).
exact_outcome hyperbolic_domain(int code, const BallValue& argument) {
  if (code == program_arc_hyperbolic_cosine) {
    if (is_exact_integer(argument, 1)) return exact_value;
    const Side side = side_of(argument, 1);
    return side == Side::above     ? exact_value
           : side == Side::at_most ? exact_no_value
                                   : exact_undecided;
  }
  if (code != program_arc_hyperbolic_tangent) return exact_value;
  const Side high = side_of(argument, 1);
  const Side low = side_of(argument, -1);
  if (high == Side::above || high == Side::unknown) {
    return high == Side::above || is_exact_integer(argument, 1) ? exact_no_value : exact_undecided;
  }
  if (low == Side::at_most) return exact_no_value;
  return low == Side::above ? exact_value : exact_undecided;
}

// The functions of plain numbers (the exponential, the hyperbolic functions and their
// inverses, the absolute value) into `value`: exact at 0 (and arccosh at 1), in a ball
// elsewhere, too large past what can be rounded.
exact_outcome plain_function_value(int code, const BallValue& argument, BallValue& value,
                                   slong precision) {
  if (code == program_natural_logarithm || code == program_common_logarithm) {
    return logarithm_value(code, argument, value, precision);
  }
  const exact_outcome domain = hyperbolic_domain(code, argument);
  if (domain != exact_value) return domain;
  if (code == program_absolute_value) {
    arb_abs(value.ball, argument.ball);
    value.exact = argument.exact;
    value.pi_power = argument.pi_power;
    if (argument.exact) fmpq_abs(value.rational, argument.rational);
    return exact_value;
  }
  const bool at_one = code == program_arc_hyperbolic_cosine && is_exact_integer(argument, 1);
  if (is_exact_zero(argument) || at_one) {
    const bool one = code == program_exponential || code == program_hyperbolic_cosine;
    set_small(value, one ? 1 : 0, 1, precision);
    return exact_value;
  }
  if (code == program_exponential) arb_exp(value.ball, argument.ball, precision);
  if (code == program_hyperbolic_sine) arb_sinh(value.ball, argument.ball, precision);
  if (code == program_hyperbolic_cosine) arb_cosh(value.ball, argument.ball, precision);
  if (code == program_hyperbolic_tangent) arb_tanh(value.ball, argument.ball, precision);
  if (code == program_arc_hyperbolic_sine) arb_asinh(value.ball, argument.ball, precision);
  if (code == program_arc_hyperbolic_cosine) arb_acosh(value.ball, argument.ball, precision);
  if (code == program_arc_hyperbolic_tangent) arb_atanh(value.ball, argument.ball, precision);
  value.exact = false;
  if (!arb_is_finite(value.ball)) return exact_undecided;
  return within_size(value.ball) ? exact_value : exact_too_large;
}

// amplitude argument -> amplitude x f(argument), in the amplitude's place.
exact_outcome apply_function(const ProgramStep& step, BallValue& amplitude, BallValue& argument,
                             BallValue& scratch, slong precision) {
  const bool radians = step.radians != 0;
  exact_outcome outcome = exact_value;
  if (!program_function_is_trigonometric(step.argument)) {
    outcome = plain_function_value(step.argument, argument, scratch, precision);
  } else if (is_inverse(term_function_of(step.argument))) {
    outcome = inverse_value(step.argument, argument, scratch, precision);
    if (outcome == exact_value && !radians) radians_to_degrees(scratch, precision);
  } else {
    outcome = direct_value(step.argument, argument, radians, scratch, precision);
  }
  if (outcome == exact_value) multiply_values(amplitude, scratch, precision);
  return outcome;
}

// Pushes the number of `step`: pi, or a rational.
exact_outcome push_value(const ExactProgram& program, const ProgramStep& step, BallValue& value,
                         slong precision) {
  const exact_number& number = program.numbers[step.argument];
  if (number.too_large) return exact_too_large;
  if (!number.pi) {
    set_exact(value, number.value, 0, precision);
    return exact_value;
  }
  fmpq_t one;
  fmpq_init(one);
  fmpq_one(one);
  set_exact(value, one, 1, precision);
  fmpq_clear(one);
  return exact_value;
}

// Bits of a value's size past which a power's result is too large for exact evaluation: as
// large as the largest products of a line's numbers (about 315,000 digits).
constexpr slong power_size_limit = slong{1} << 20;

// True when the ball's magnitude lies within 2^-power_size_limit to 2^power_size_limit, or it
// may be 0: what can still be rounded to digits, or decided beyond the balls (a power of a
// value that is exactly 0, whose ball is 0 give or take its error, is 0 as the product is).
bool within_size(const arb_t ball) {
  if (!arb_is_finite(ball)) return false;
  if (arb_contains_zero(ball)) return true;
  const slong size = arf_abs_bound_lt_2exp_si(arb_midref(ball));
  return size < power_size_limit && size > -power_size_limit;
}

// -value, in its place.
void negate_value(BallValue& value) {
  arb_neg(value.ball, value.ball);
  if (value.exact) fmpq_neg(value.rational, value.rational);
}

// True when the nonnegative rational `x` is the square of one, which `root` receives.
bool rational_square_root(const fmpq_t x, fmpq_t root) {
  fmpz_t remainder;
  fmpz_init(remainder);
  fmpz_sqrtrem(fmpq_numref(root), remainder, fmpq_numref(x));
  bool square = fmpz_is_zero(remainder);
  fmpz_sqrtrem(fmpq_denref(root), remainder, fmpq_denref(x));
  square = square && fmpz_is_zero(remainder);
  fmpz_clear(remainder);
  return square;
}

// The square root of `value`, in its place: exact for the square of a rational multiple of an
// even power of pi; no value below 0.
exact_outcome root_value(BallValue& value, slong precision) {
  if (value.exact && fmpq_sgn(value.rational) < 0) return exact_no_value;
  if (is_exact_zero(value)) return exact_value;
  if (value.exact && value.pi_power % 2 == 0) {
    fmpq_t root;
    fmpq_init(root);
    const bool square = rational_square_root(value.rational, root);
    if (square) set_exact(value, root, value.pi_power / 2, precision);
    fmpq_clear(root);
    if (square) return exact_value;
  }
  if (arb_is_negative(value.ball)) return exact_no_value;
  if (!arb_is_positive(value.ball)) return exact_undecided;
  arb_sqrt(value.ball, value.ball, precision);
  value.exact = false;
  return exact_value;
}

// True when the exact `value` is 1 or -1.
bool is_unit(const BallValue& value) {
  return value.exact && value.pi_power == 0 && fmpz_is_one(fmpq_denref(value.rational)) &&
         fmpz_is_pm1(fmpq_numref(value.rational));
}

// base^n for the integer n, in the base's place: exact for an exact base, as long as the
// result's size stays within power_size_limit.
exact_outcome integer_power(BallValue& base, const fmpz_t n, slong precision) {
  if (is_exact_zero(base) && !fmpz_is_zero(n)) {
    return fmpz_sgn(n) < 0 ? exact_no_value : exact_value;
  }
  if (fmpz_is_zero(n) || is_unit(base)) {  // 0^0 is 1, as in the doubles
    const bool minus = is_unit(base) && fmpq_sgn(base.rational) < 0 && fmpz_is_odd(n);
    set_small(base, minus ? -1 : 1, 1, precision);
    return exact_value;
  }
  if (!base.exact && fmpz_sgn(n) < 0 && arb_contains_zero(base.ball)) return exact_undecided;
  if (!base.exact) {
    arb_pow_fmpz(base.ball, base.ball, n, precision + fmpz_bits(n));
    return within_size(base.ball) ? exact_value : exact_too_large;
  }
  const slong size = fmpz_bits(fmpq_numref(base.rational)) + fmpz_bits(fmpq_denref(base.rational));
  const bool fits = fmpz_bits(n) < 32 && size * fmpz_get_si(n) <= power_size_limit &&
                    -size * fmpz_get_si(n) <= power_size_limit;
  if (!fits) return exact_too_large;
  const slong exponent = fmpz_get_si(n);
  fmpq_t power;
  fmpq_init(power);
  fmpq_pow_si(power, base.rational, exponent);
  set_exact(base, power, base.pi_power * exponent, precision);
  fmpq_clear(power);
  return within_size(base.ball) ? exact_value : exact_too_large;
}

// True when the exponent is exactly a fraction of odd denominator: a number below 0 has a
// real power of it ((-8)^(1/3) is -2).
bool odd_root_exponent(const BallValue& exponent) {
  return exponent.exact && exponent.pi_power == 0 && fmpz_is_odd(fmpq_denref(exponent.rational));
}

// base^exponent for an exponent that is no integer: the base must be above 0 (no value below
// it, none for 0 to a negative power), or the exponent a fraction of odd denominator, whose
// power of a base below 0 is minus that of its size for an odd numerator, and that of its size
// otherwise.
exact_outcome fractional_power(BallValue& base, const BallValue& exponent, slong precision) {
  if (is_exact_zero(base)) {
    if (arb_is_positive(exponent.ball)) return exact_value;
    return arb_is_negative(exponent.ball) ? exact_no_value : exact_undecided;
  }
  const bool below = base.exact ? fmpq_sgn(base.rational) < 0 : arb_is_negative(base.ball);
  const bool odd_root = odd_root_exponent(exponent);
  if (below && !odd_root) return exact_no_value;
  if (!below && !arb_is_positive(base.ball)) return exact_undecided;
  if (below) negate_value(base);
  arb_pow(base.ball, base.ball, exponent.ball, precision);
  base.exact = false;
  if (below && fmpz_is_odd(fmpq_numref(exponent.rational))) negate_value(base);
  return within_size(base.ball) ? exact_value : exact_too_large;
}

// base^exponent, in the base's place.
exact_outcome power_value(BallValue& base, const BallValue& exponent, slong precision) {
  const bool rational = exponent.exact && exponent.pi_power == 0;
  if (rational && fmpz_is_one(fmpq_denref(exponent.rational))) {
    return integer_power(base, fmpq_numref(exponent.rational), precision);
  }
  if (!rational && !arb_is_finite(exponent.ball)) return exact_undecided;
  // An exponent no ball tells from an integer could make a negative base's power exist.
  if (!rational && !base.exact && !arb_is_positive(base.ball)) return exact_undecided;
  return fractional_power(base, exponent, precision);
}

// Runs one step on the stack.
exact_outcome run_step(const ExactProgram& program, const ProgramStep& step, BallStack& stack,
                       slong precision) {
  BallValue* top = stack.values + stack.depth;
  // One value is kept free above the stack: a function's working room.
  if (!program_step_fits(step.code, stack.depth, 1)) return exact_beyond_limits;
  const int taken = program_step_takes(step.code);
  if (taken == 0) {
    if (step.code != program_push_number) return exact_beyond_limits;  // the unknown: none
    ++stack.depth;
    return push_value(program, step, *top, precision);
  }
  if (taken == 1) {
    if (step.code == program_root) return root_value(top[-1], precision);
    negate_value(top[-1]);
    return exact_value;
  }
  --stack.depth;
  BallValue& left = top[-2];
  BallValue& right = top[-1];
  switch (step.code) {
    case program_add:
    case program_subtract:
      add_values(left, right, step.code == program_subtract, precision);
      return exact_value;
    case program_multiply:
      multiply_values(left, right, precision);
      return exact_value;
    case program_divide:
      return divide_values(left, right, precision);
    case program_power:
      return power_value(left, right, precision);
    default:
      return apply_function(step, left, right, *top, precision);  // *top: a free slot
  }
}

}  // namespace

exact_run_end run_in_balls(const ExactProgram& program, slong precision, arb_t value,
                           fmpq_t rational, BallKnowledge& knowledge) {
  BallStack& stack = ball_stack();
  stack.depth = 0;
  for (int s = 0; s < program.step_count; ++s) {
    const exact_outcome outcome = run_step(program, program.steps[s], stack, precision);
    if (outcome != exact_value) return {outcome, s};
  }
  if (stack.depth != 1) return {exact_beyond_limits, 0};
  const BallValue& result = stack.values[0];
  arb_set(value, result.ball);
  knowledge = {result.exact, result.pi_power};
  if (result.exact) fmpq_set(rational, result.rational);
  return {exact_value, program.step_count};
}
