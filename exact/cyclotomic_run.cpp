// The program run twice over one stack: first to gather the angles' denominators (the least
// order n of a field holding them), then in Q(zeta_n). Values are rational multiples of a
// power of pi, kept exactly, until a function makes them elements of the field, kept as a
// numerator and a denominator reduced modulo the cyclotomic polynomial: a quotient then needs
// no inverse in the field, only its divisor's numerator told from 0.
#include "exact/cyclotomic_run.h"

#include <acb_poly.h>
#include <flint/fmpq_poly.h>
#include <flint/fmpz_poly.h>
#include <flint/fmpz_vec.h>
#include <flint/ulong_extras.h>

#include <initializer_list>

#include "exact/half_turns.h"
#include "exact/prepare_program.h"
#include "program/program_functions.h"

namespace {

// Most order n gathered before its degree is looked at: phi(n) > 4096 for every n past it.
constexpr ulong order_limit = ulong{1} << 20;
// Most degree of the field times the bits of the line's numbers (with 64 for a line of small
// ones): the coefficients of the field's elements grow with those bits, and at this bound a
// product of two takes a few tens of milliseconds.
constexpr slong field_work_limit = slong{1} << 26;
// Most bits of the exponent of an integer power (up to 255), and most bits of a rational
// raised to one.
constexpr ulong power_limit_bits = 8;
constexpr slong power_bits_limit = slong{1} << 20;
// Precisions of the balls around an irrational value: from its digits' bits and its
// polynomial's height, 4 times finer each time, up to this many bits.
constexpr slong enclosure_bits_limit = slong{1} << 20;
constexpr slong enclosure_guard_bits = 64;

// A value of the run: rational x pi^pi_power, or numerator / denominator in the field.
struct FieldValue {
  bool in_field;
  fmpq_t rational;
  slong pi_power;
  fmpq_poly_t numerator, denominator;
};

// How a step went.
enum class StepEnd { done, no_value, not_held };

// The run: its stack and its field; `order` is 0 while the angles are gathered, and the
// polynomials are then left alone.
struct FieldRun {
  FieldValue values[program_stack_capacity];
  int depth;
  ulong order;
  fmpz_t needed;  // gathering: the least order holding the angles so far
  fmpq_poly_t modulus;
  ulong radical;                // the product of the primes dividing the order
  fmpz_poly_t radical_modulus;  // the radical-th cyclotomic polynomial
  fmpz_poly_t power;            // a power of zeta^(order / radical), reduced by it
  fmpq_poly_t scratch;
};

void init_run(FieldRun& run) {
  for (FieldValue& value : run.values) {
    fmpq_init(value.rational);
    fmpq_poly_init(value.numerator);
    fmpq_poly_init(value.denominator);
  }
  fmpz_init_set_ui(run.needed, 4);  // i = zeta^(n/4) makes sines of cosines
  fmpq_poly_init(run.modulus);
  fmpz_poly_init(run.radical_modulus);
  fmpz_poly_init(run.power);
  fmpq_poly_init(run.scratch);
  run.order = 0;
}

void clear_run(FieldRun& run) {
  for (FieldValue& value : run.values) {
    fmpq_clear(value.rational);
    fmpq_poly_clear(value.numerator);
    fmpq_poly_clear(value.denominator);
  }
  fmpz_clear(run.needed);
  fmpq_poly_clear(run.modulus);
  fmpz_poly_clear(run.radical_modulus);
  fmpz_poly_clear(run.power);
  fmpq_poly_clear(run.scratch);
}

bool computing(const FieldRun& run) {
  return run.order != 0;
}

void reduce(FieldRun& run, fmpq_poly_t poly) {
  fmpq_poly_rem(poly, poly, run.modulus);
}

void set_rational(FieldValue& value, const fmpq_t rational, slong pi_power) {
  value.in_field = false;
  fmpq_set(value.rational, rational);
  value.pi_power = fmpq_is_zero(rational) ? 0 : pi_power;
}

bool is_exact_zero(const FieldValue& value) {
  return !value.in_field && fmpq_is_zero(value.rational);
}

// Makes `value` an element of the field; false when it is a multiple of a power of pi.
bool make_element(const FieldRun& run, FieldValue& value) {
  if (value.in_field) return true;
  if (value.pi_power != 0) return false;
  value.in_field = true;
  if (!computing(run)) return true;
  fmpq_poly_set_fmpq(value.numerator, value.rational);
  fmpq_poly_one(value.denominator);
  return true;
}

// left + right, or left - right, of two rationals times powers of pi, into `left`.
StepEnd add_rationals(FieldValue& left, const FieldValue& right, bool subtract) {
  if (fmpq_is_zero(right.rational)) return StepEnd::done;
  if (!fmpq_is_zero(left.rational) && left.pi_power != right.pi_power) return StepEnd::not_held;
  const slong power = right.pi_power;
  if (subtract) fmpq_sub(left.rational, left.rational, right.rational);
  if (!subtract) fmpq_add(left.rational, left.rational, right.rational);
  left.pi_power = fmpq_is_zero(left.rational) ? 0 : power;
  return StepEnd::done;
}

// left + right, or left - right, into `left`.
StepEnd add_values(FieldRun& run, FieldValue& left, FieldValue& right, bool subtract) {
  if (!left.in_field && !right.in_field) return add_rationals(left, right, subtract);
  if (!make_element(run, left) || !make_element(run, right)) return StepEnd::not_held;
  if (!computing(run)) return StepEnd::done;
  if (fmpq_poly_equal(left.denominator, right.denominator)) {
    if (subtract) fmpq_poly_sub(left.numerator, left.numerator, right.numerator);
    if (!subtract) fmpq_poly_add(left.numerator, left.numerator, right.numerator);
    return StepEnd::done;
  }
  fmpq_poly_mul(left.numerator, left.numerator, right.denominator);
  fmpq_poly_mul(run.scratch, right.numerator, left.denominator);
  if (subtract) fmpq_poly_sub(left.numerator, left.numerator, run.scratch);
  if (!subtract) fmpq_poly_add(left.numerator, left.numerator, run.scratch);
  fmpq_poly_mul(left.denominator, left.denominator, right.denominator);
  reduce(run, left.numerator);
  reduce(run, left.denominator);
  return StepEnd::done;
}

// left x right, or left / right, of two elements, into `left`; the divisor's numerator is
// told from 0 first.
StepEnd multiply_elements(FieldRun& run, FieldValue& left, const FieldValue& right, bool divide) {
  if (!computing(run)) return StepEnd::done;
  if (divide && fmpq_poly_is_zero(right.numerator)) return StepEnd::no_value;
  fmpq_poly_mul(left.numerator, left.numerator, divide ? right.denominator : right.numerator);
  fmpq_poly_mul(left.denominator, left.denominator, divide ? right.numerator : right.denominator);
  reduce(run, left.numerator);
  reduce(run, left.denominator);
  return StepEnd::done;
}

// left x right, or left / right, into `left`; an exact 0 times anything is exactly 0.
StepEnd multiply_values(FieldRun& run, FieldValue& left, FieldValue& right, bool divide) {
  if (divide && is_exact_zero(right)) return StepEnd::no_value;
  if (!left.in_field && !right.in_field) {
    if (divide) fmpq_div(left.rational, left.rational, right.rational);
    if (!divide) fmpq_mul(left.rational, left.rational, right.rational);
    left.pi_power += divide ? -right.pi_power : right.pi_power;
    if (fmpq_is_zero(left.rational)) left.pi_power = 0;
    return StepEnd::done;
  }
  if (is_exact_zero(left) && !divide) return StepEnd::done;
  if (is_exact_zero(right)) return set_rational(left, right.rational, 0), StepEnd::done;
  if (is_exact_zero(left)) {  // 0 / an element: 0, when the element is not
    const bool zero_divisor = computing(run) && fmpq_poly_is_zero(right.numerator);
    return zero_divisor ? StepEnd::no_value : StepEnd::done;
  }
  if (!make_element(run, left) || !make_element(run, right)) return StepEnd::not_held;
  return multiply_elements(run, left, right, divide);
}

// The value `exponent` as an integer below 256 in size, into `power`; false when it is none.
bool small_integer(const FieldValue& exponent, slong& power) {
  if (exponent.in_field || exponent.pi_power != 0) return false;
  if (!fmpz_is_one(fmpq_denref(exponent.rational))) return false;
  if (fmpz_bits(fmpq_numref(exponent.rational)) > power_limit_bits) return false;
  power = fmpz_get_si(fmpq_numref(exponent.rational));
  return true;
}

// base to the integer `power`, a rational times a power of pi, into `base`: 0 to a power
// below 0 has no value, and anything to the power 0 is 1, as the program form says.
StepEnd power_of_rational(FieldValue& base, slong power) {
  const slong magnitude = power < 0 ? -power : power;
  if (fmpq_is_zero(base.rational)) {
    if (power < 0) return StepEnd::no_value;
    if (power == 0) fmpq_one(base.rational);
    return StepEnd::done;
  }
  const slong bits = fmpz_bits(fmpq_numref(base.rational)) + fmpz_bits(fmpq_denref(base.rational));
  if (bits * magnitude > power_bits_limit) return StepEnd::not_held;
  if (power < 0) fmpq_inv(base.rational, base.rational);
  fmpz_pow_ui(fmpq_numref(base.rational), fmpq_numref(base.rational),
              static_cast<ulong>(magnitude));
  fmpz_pow_ui(fmpq_denref(base.rational), fmpq_denref(base.rational),
              static_cast<ulong>(magnitude));
  base.pi_power *= power;
  if (power == 0) base.pi_power = 0;
  return StepEnd::done;
}

// base to the integer `power` in the field, into `base`: squarings, each reduced.
StepEnd power_of_element(FieldRun& run, FieldValue& base, slong power) {
  if (!computing(run)) return StepEnd::done;
  if (power < 0 && fmpq_poly_is_zero(base.numerator)) return StepEnd::no_value;
  if (power < 0) fmpq_poly_swap(base.numerator, base.denominator);
  const slong magnitude = power < 0 ? -power : power;
  for (fmpq_poly_struct* part : {base.numerator, base.denominator}) {
    fmpq_poly_set(run.scratch, part);
    fmpq_poly_one(part);
    for (slong bit = magnitude; bit > 0; bit >>= 1) {
      if (bit & 1) fmpq_poly_mul(part, part, run.scratch);
      if (bit & 1) reduce(run, part);
      if (bit > 1) fmpq_poly_mul(run.scratch, run.scratch, run.scratch);
      if (bit > 1) reduce(run, run.scratch);
    }
  }
  return StepEnd::done;
}

// base to the power `exponent`, into `base`.
StepEnd raise_value(FieldRun& run, FieldValue& base, const FieldValue& exponent) {
  slong power = 0;
  if (!small_integer(exponent, power)) return StepEnd::not_held;
  if (!base.in_field) return power_of_rational(base, power);
  return power_of_element(run, base, power);
}

// The turns of pi of a direct function's angle, modulo 2, in [0, 2); false when the angle is
// no rational multiple of pi (or pi takes part in an angle in degrees).
bool angle_turns(const FieldValue& argument, bool radians, fmpq_t turns) {
  if (argument.in_field) return false;
  if (!fmpq_is_zero(argument.rational) && argument.pi_power != (radians ? 1 : 0)) return false;
  half_turns_of(turns, argument.rational, radians);
  within_one_turn(turns, turns);
  return true;
}

// Gathers the order an angle of `turns` needs: e^(i pi turns) = zeta^m needs the denominator
// of turns / 2 to divide n. False when the order passes its limit.
bool gather_order(FieldRun& run, const fmpq_t turns) {
  fmpz_t denominator;
  fmpz_init_set(denominator, fmpq_denref(turns));
  if (fmpz_is_odd(fmpq_numref(turns))) fmpz_mul_ui(denominator, denominator, 2);
  fmpz_lcm(run.needed, run.needed, denominator);
  fmpz_clear(denominator);
  return fmpz_cmp_ui(run.needed, order_limit) <= 0;
}

// zeta^power times `coefficient`, reduced, added to `poly`. The order-th cyclotomic
// polynomial is the radical-th one at y = x^(order / radical), so x^power = x^s y^q is x^s
// times y^q reduced by that small polynomial: sparse, and no division by the large one.
void add_power_of_zeta(FieldRun& run, fmpq_poly_t poly, ulong power, slong coefficient) {
  const ulong spacing = run.order / run.radical;
  power %= run.order;
  fmpz_poly_zero(run.power);
  fmpz_poly_set_coeff_ui(run.power, static_cast<slong>(power / spacing), 1);
  fmpz_poly_rem(run.power, run.power, run.radical_modulus);  // monic: exact over the integers
  fmpq_poly_zero(run.scratch);
  for (slong j = 0; j < fmpz_poly_length(run.power); ++j) {
    fmpz* term = fmpz_poly_get_coeff_ptr(run.power, j);
    fmpz_mul_si(term, term, coefficient);
    fmpq_poly_set_coeff_fmpz(
        run.scratch, j * static_cast<slong>(spacing) + static_cast<slong>(power % spacing), term);
  }
  fmpq_poly_add(poly, poly, run.scratch);
}

// Twice the cosine and twice the sine of pi x `turns` as elements: zeta^m + zeta^-m and
// (zeta^m - zeta^-m) / i, where 1 / i = zeta^(3n/4).
void twice_cosine_and_sine(FieldRun& run, const fmpq_t turns, fmpq_poly_t cosine,
                           fmpq_poly_t sine) {
  fmpz_t m;
  fmpz_init(m);
  fmpz_mul_ui(m, fmpq_numref(turns), run.order / 2);
  fmpz_divexact(m, m, fmpq_denref(turns));
  const ulong n = run.order;
  const ulong up = fmpz_get_ui(m);
  const ulong down = n - up;
  fmpz_clear(m);
  fmpq_poly_zero(cosine);
  add_power_of_zeta(run, cosine, up, 1);
  add_power_of_zeta(run, cosine, down, 1);
  fmpq_poly_zero(sine);
  add_power_of_zeta(run, sine, up + 3 * n / 4, 1);
  add_power_of_zeta(run, sine, down + 3 * n / 4, -1);
}

// The direct function `code` at pi x `turns`, as numerator / denominator, into `value`; a
// denominator 0 (the tangent of 90 degrees, say) has no value.
StepEnd direct_element(FieldRun& run, int code, const fmpq_t turns, FieldValue& value) {
  value.in_field = true;
  if (!computing(run)) return StepEnd::done;
  fmpq_poly_struct* numerator = value.numerator;
  fmpq_poly_struct* denominator = value.denominator;
  const bool cosine_above =
      code == program_cosine || code == program_cotangent || code == program_cosecant;
  twice_cosine_and_sine(run, turns, cosine_above ? numerator : denominator,
                        cosine_above ? denominator : numerator);
  // numerator / denominator is now cos / sin or sin / cos: the cotangent or the tangent; the
  // cosine or sine over 2, and 2 over the cosine or sine, are the others.
  if (code == program_sine || code == program_cosine) fmpq_poly_set_si(denominator, 2);
  if (code == program_secant || code == program_cosecant) fmpq_poly_set_si(numerator, 2);
  return fmpq_poly_is_zero(denominator) ? StepEnd::no_value : StepEnd::done;
}

// amplitude argument -> amplitude x f(argument), in the amplitude's place; `free_slot` is the
// stack's next value, free.
StepEnd apply_function(FieldRun& run, const ProgramStep& step, FieldValue& amplitude,
                       FieldValue& argument, FieldValue& free_slot) {
  if (!program_function_takes_angle(step.argument)) return StepEnd::not_held;
  fmpq_t turns;
  fmpq_init(turns);
  StepEnd end = StepEnd::not_held;
  if (angle_turns(argument, step.radians != 0, turns)) {
    end = computing(run) || gather_order(run, turns) ? StepEnd::done : StepEnd::not_held;
  }
  if (end == StepEnd::done) end = direct_element(run, step.argument, turns, free_slot);
  if (end == StepEnd::done) end = multiply_values(run, amplitude, free_slot, false);
  fmpq_clear(turns);
  return end;
}

// Pushes the number of `step`: pi, or a rational; a number too large is not held.
StepEnd push_number(const ExactProgram& program, const ProgramStep& step, FieldValue& value) {
  const exact_number& number = program.numbers[step.argument];
  if (number.too_large) return StepEnd::not_held;
  if (!number.pi) return set_rational(value, number.value, 0), StepEnd::done;
  fmpq_t one;
  fmpq_init(one);
  fmpq_one(one);
  set_rational(value, one, 1);
  fmpq_clear(one);
  return StepEnd::done;
}

// A step of one value: a negation, a power's base and exponent already joined.
StepEnd negate_value(FieldValue& value) {
  if (value.in_field) fmpq_poly_neg(value.numerator, value.numerator);
  if (!value.in_field) fmpq_neg(value.rational, value.rational);
  return StepEnd::done;
}

StepEnd run_step(const ExactProgram& program, const ProgramStep& step, FieldRun& run) {
  FieldValue* top = run.values + run.depth;
  // One value is kept free above the stack: a function's working room. A root is not held.
  if (!program_step_fits(step.code, run.depth, 1) || step.code == program_root) {
    return StepEnd::not_held;
  }
  const int taken = program_step_takes(step.code);
  if (taken == 0) {
    if (step.code != program_push_number) return StepEnd::not_held;  // the unknown: none
    ++run.depth;
    return push_number(program, step, *top);
  }
  if (taken == 1) return negate_value(top[-1]);
  --run.depth;
  FieldValue& left = top[-2];
  FieldValue& right = top[-1];
  switch (step.code) {
    case program_add:
    case program_subtract:
      return add_values(run, left, right, step.code == program_subtract);
    case program_multiply:
    case program_divide:
      return multiply_values(run, left, right, step.code == program_divide);
    case program_power:
      return raise_value(run, left, right);
    case program_function:
      return apply_function(run, step, left, right, *top);  // *top: a free slot
    default:
      return StepEnd::not_held;
  }
}

// Runs the program once, gathering or computing by `run.order`; the step that ended it in
// `step` when it did not run to its end with one value.
StepEnd run_program(const ExactProgram& program, FieldRun& run, int& step) {
  run.depth = 0;
  for (step = 0; step < program.step_count; ++step) {
    const StepEnd end = run_step(program, program.steps[step], run);
    if (end != StepEnd::done) return end;
  }
  return run.depth == 1 ? StepEnd::done : StepEnd::not_held;
}

// Sets up the field of the order gathered; false when its degree passes the limit, or its
// degree times the bits of the program's numbers passes field_work_limit.
bool set_up_field(FieldRun& run, const ExactProgram& program) {
  const ulong order = fmpz_get_ui(run.needed);
  const slong degree = static_cast<slong>(n_euler_phi(order));
  if (degree > cyclotomic_degree_limit) return false;
  if (degree * (exact_number_bits(program) + 64) > field_work_limit) return false;
  fmpz_poly_t cyclotomic;
  fmpz_poly_init(cyclotomic);
  fmpz_poly_cyclotomic(cyclotomic, order);
  fmpq_poly_set_fmpz_poly(run.modulus, cyclotomic);
  fmpz_poly_clear(cyclotomic);
  n_factor_t primes;
  n_factor_init(&primes);
  n_factor(&primes, order, 1);
  run.radical = 1;
  for (int k = 0; k < primes.num; ++k) run.radical *= primes.p[k];
  fmpz_poly_cyclotomic(run.radical_modulus, run.radical);
  run.order = order;
  return true;
}

// Whether numerator / denominator is rational, and which, into `q`: the denominator's leading
// coefficient fixes the only candidate, numerator = q x denominator being exact.
bool rational_element(FieldRun& run, const FieldValue& value, fmpq_t q) {
  const slong degree = fmpq_poly_degree(value.denominator);
  fmpq_t lead;
  fmpq_init(lead);
  fmpq_poly_get_coeff_fmpq(q, value.numerator, degree);
  fmpq_poly_get_coeff_fmpq(lead, value.denominator, degree);
  fmpq_div(q, q, lead);
  fmpq_clear(lead);
  fmpq_poly_scalar_mul_fmpq(run.scratch, value.denominator, q);
  return fmpq_poly_equal(run.scratch, value.numerator) != 0;
}

// Encloses the element numerator / denominator, evaluated at zeta, in `ball`.
void enclose_element(const FieldRun& run, const FieldValue& value, slong precision, arb_t ball) {
  acb_t zeta, above, below;
  acb_init(zeta);
  acb_init(above);
  acb_init(below);
  acb_poly_t poly;
  acb_poly_init(poly);
  acb_unit_root(zeta, run.order, precision);
  acb_poly_set_fmpq_poly(poly, value.numerator, precision);
  acb_poly_evaluate(above, poly, zeta, precision);
  acb_poly_set_fmpq_poly(poly, value.denominator, precision);
  acb_poly_evaluate(below, poly, zeta, precision);
  acb_div(above, above, below, precision);
  arb_set(ball, acb_realref(above));  // the value is real: its imaginary part is 0
  acb_poly_clear(poly);
  acb_clear(zeta);
  acb_clear(above);
  acb_clear(below);
}

// The bits of the largest coefficient of `poly` and of its denominator.
slong height_bits(const fmpq_poly_t poly) {
  const slong bits = _fmpz_vec_max_bits(fmpq_poly_numref(poly), fmpq_poly_length(poly));
  return (bits < 0 ? -bits : bits) + static_cast<slong>(fmpz_bits(fmpq_poly_denref(poly)));
}

// The digits of an irrational element, from balls 4 times finer each time: it is no tie and
// not 0, so only the precision limit leaves it undecided.
void round_irrational(const FieldRun& run, const FieldValue& value, int digits,
                      ExactOutcome& result) {
  slong precision = bits_for_digits(digits) + enclosure_guard_bits + height_bits(value.numerator) +
                    height_bits(value.denominator);
  arb_t ball;
  arb_init(ball);
  fmpq_t tie;
  fmpq_init(tie);
  result.end.outcome = exact_undecided;
  for (; precision <= enclosure_bits_limit; precision *= 4) {
    enclose_element(run, value, precision, ball);
    result.bound_digits = magnitude_digits(ball);
    if (round_ball(ball, digits, precision, result.rounded, tie) != Rounding::done) continue;
    result.end.outcome = exact_value;
    break;
  }
  fmpq_clear(tie);
  arb_clear(ball);
}

// The value the run ended with, rounded into `result`; false when the field does not hold it (a
// rational multiple of a power of pi, which balls settle by precision alone).
bool round_result(FieldRun& run, int digits, ExactOutcome& result) {
  FieldValue& value = run.values[0];
  if (!value.in_field && value.pi_power != 0) return false;
  fmpq_t q;
  fmpq_init(q);
  const bool rational = !value.in_field || rational_element(run, value, q);
  if (!value.in_field) fmpq_set(q, value.rational);
  result.end.outcome = exact_value;
  result.rounded.zero = rational && fmpq_is_zero(q);
  if (rational && !result.rounded.zero) round_rational(q, digits, result.rounded);
  if (!rational) round_irrational(run, value, digits, result);
  fmpq_clear(q);
  return true;
}

}  // namespace

bool decide_in_cyclotomic_field(const ExactProgram& program, int digits, ExactOutcome& result) {
  if (!program.complete) return false;
  FieldRun run;
  init_run(run);
  int step = 0;
  bool held = run_program(program, run, step) != StepEnd::not_held && set_up_field(run, program);
  StepEnd end = held ? run_program(program, run, step) : StepEnd::not_held;
  held = end != StepEnd::not_held;
  if (end == StepEnd::no_value) result.end = {exact_no_value, step};
  if (end == StepEnd::done) held = round_result(run, digits, result);
  clear_run(run);
  return held;
}
