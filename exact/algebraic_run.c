#include "exact/algebraic_run.h"

#include <flint/ulong_extras.h>

#include "exact/half_turns.h"

/* Bounds of a run: what lies beyond them has no short form, and Calcium would take long on it.
   A dear step (on operands whose degrees multiply past the first bound, or on an estimate),
   or a tangent of more than a form's degree, is only estimated in balls in a first run, and
   computed exactly in a second one when the first found a form; past the second bound, or
   past the most dear steps, never. */
#define FREE_DEGREE_PRODUCT 8
#define EXACT_DEGREE_PRODUCT 36
#define DEAR_STEP_LIMIT 3           /* a dear step computed exactly takes up to about 2 ms */
#define HEIGHT_BITS_LIMIT 512       /* bits of the largest coefficient of a value's polynomial */
#define EXPONENT_BITS 6             /* the largest power taken has 6 bits: 63 */
#define ANGLE_DENOMINATOR_LIMIT 120 /* beyond it, no sine of a multiple of pi is of degree 8 */
#define ESTIMATE_PRECISION 192      /* bits of an estimate's ball */
#define GUESS_PRECISION 160         /* bits a guess works with: 8 for each of its 20 below */
#define GUESS_BITS 20               /* bits of the coefficients a guess looks for */

/* A value of the run: number x pi^pi_power, or, in a first run, only a ball of the number. */
struct algebraic {
  int estimated; /* 1: `ball` holds the number, `number` is unset */
  qqbar_t number;
  arb_t ball;
  fmpq_t pi_power;
};

static struct algebraic stack[program_stack_capacity];
static int ready;

/* Whether the run estimates what is dear to compute exactly, whether it has, and how many dear
   steps it has met. */
static int estimating;
static int estimated;
static int dear_steps;

static void set_up(void) {
  int k;
  if (ready) return;
  for (k = 0; k < program_stack_capacity; ++k) {
    qqbar_init(stack[k].number);
    arb_init(stack[k].ball);
    fmpq_init(stack[k].pi_power);
  }
  ready = 1;
}

/* 1 when `x` is within the bounds every value of a run keeps. */
static int within_bounds(const qqbar_t x) {
  return qqbar_within_limits(x, ALGEBRAIC_DEGREE_LIMIT, HEIGHT_BITS_LIMIT) && qqbar_is_real(x);
}

/* 1 when the value is exactly 0 (an estimate never is). */
static int is_zero(const struct algebraic* value) {
  return !value->estimated && qqbar_is_zero(value->number);
}

static void set_zero(struct algebraic* value) {
  value->estimated = 0;
  qqbar_zero(value->number);
  fmpq_zero(value->pi_power);
}

/* Makes `value` an estimate: its number in a ball. */
static void estimate(struct algebraic* value) {
  if (value->estimated) return;
  qqbar_get_arb(value->ball, value->number, ESTIMATE_PRECISION);
  value->estimated = 1;
  estimated = 1;
}

/* 1 when a step on `left` and `right` is dear: their degrees multiply past the free bound,
   or one is an estimate and the other no rational. */
static int dear_step(const struct algebraic* left, const struct algebraic* right) {
  if (left->estimated || right->estimated) {
    const struct algebraic* other = left->estimated ? right : left;
    return other->estimated || !qqbar_is_rational(other->number);
  }
  return qqbar_degree(left->number) * qqbar_degree(right->number) > FREE_DEGREE_PRODUCT;
}

/* left (code) right into `left`, the numbers alone: exactly when the step is not dear, or in
   the exact run; estimated in the first run when it is dear; none past the most degrees or
   dear steps, which the exact run could not prove. A division by 0 has no value. */
static int combine_numbers(int code, struct algebraic* left, struct algebraic* right) {
  int dear = dear_step(left, right);
  if (!left->estimated && !right->estimated &&
      qqbar_degree(left->number) * qqbar_degree(right->number) > EXACT_DEGREE_PRODUCT) {
    return 0;
  }
  if (dear && ++dear_steps > DEAR_STEP_LIMIT) return 0;
  if (!left->estimated && !right->estimated && (!dear || !estimating)) {
    if (code == program_add) qqbar_add(left->number, left->number, right->number);
    if (code == program_subtract) qqbar_sub(left->number, left->number, right->number);
    if (code == program_multiply) qqbar_mul(left->number, left->number, right->number);
    if (code == program_divide) qqbar_div(left->number, left->number, right->number);
    return within_bounds(left->number);
  }
  estimate(left);
  estimate(right);
  if (code == program_divide && arb_contains_zero(right->ball)) return 0;
  if (code == program_add) arb_add(left->ball, left->ball, right->ball, ESTIMATE_PRECISION);
  if (code == program_subtract) arb_sub(left->ball, left->ball, right->ball, ESTIMATE_PRECISION);
  if (code == program_multiply) arb_mul(left->ball, left->ball, right->ball, ESTIMATE_PRECISION);
  if (code == program_divide) arb_div(left->ball, left->ball, right->ball, ESTIMATE_PRECISION);
  return 1;
}

/* left + right or left - right into `left`: both of one power of pi, or one of them 0. */
static int add_values(struct algebraic* left, struct algebraic* right, int code) {
  if (is_zero(right)) return 1;
  if (is_zero(left)) {
    fmpq_set(left->pi_power, right->pi_power);
  } else if (!fmpq_equal(left->pi_power, right->pi_power)) {
    return 0; /* such as 1 + pi: no algebraic number times a power of pi */
  }
  if (!combine_numbers(code, left, right)) return 0;
  if (is_zero(left)) fmpq_zero(left->pi_power);
  return 1;
}

/* left x right or left / right into `left`; a division by 0 has no value. */
static int multiply_values(struct algebraic* left, struct algebraic* right, int code) {
  if (code == program_divide && is_zero(right)) return 0;
  if (is_zero(left)) return 1;
  if (is_zero(right)) {
    set_zero(left);
    return 1;
  }
  if (!combine_numbers(code, left, right)) return 0;
  if (code == program_multiply) fmpq_add(left->pi_power, left->pi_power, right->pi_power);
  if (code == program_divide) fmpq_sub(left->pi_power, left->pi_power, right->pi_power);
  return 1;
}

/* The degree of cos(pi a / b), a / b in lowest terms: that of cos(2 pi k / n) with k / n =
   a / (2b) in lowest terms, phi(n) / 2, or 1 for n at most 2. */
static slong cosine_degree(const fmpq_t turns) {
  fmpz_t n;
  ulong denominator;
  fmpz_init(n);
  fmpz_mul_ui(n, fmpq_denref(turns), fmpz_is_even(fmpq_numref(turns)) ? 1 : 2);
  denominator = fmpz_get_ui(n);
  fmpz_clear(n);
  return denominator <= 2 ? 1 : (slong)(n_euler_phi(denominator) / 2);
}

/* The angle over pi of a direct function's argument, reduced to [0, 2), into `turns`: 1 when
   it is a rational multiple of pi (degrees, or radians that are one) with a small
   denominator. */
static int angle_turns(const struct algebraic* argument, int radians, fmpq_t turns) {
  if (argument->estimated) return 0;
  if (!qqbar_is_zero(argument->number)) {
    if (!qqbar_is_rational(argument->number)) return 0; /* sin(pi sqrt 2): transcendental */
    if (!fmpz_is_one(fmpq_denref(argument->pi_power)) ||
        fmpz_cmp_si(fmpq_numref(argument->pi_power), radians ? 1 : 0) != 0) {
      return 0; /* sin 1 (radians), sin(pi) in degrees: likewise */
    }
  }
  qqbar_get_fmpq(turns, argument->number);
  half_turns_of(turns, turns, radians);
  if (fmpz_cmp_ui(fmpq_denref(turns), ANGLE_DENOMINATOR_LIMIT) > 0) return 0;
  within_one_turn(turns, turns);
  return 1;
}

/* The degree of the function `code` at `turns` x pi, turns = a / n in lowest terms: the sine's
   and cosecant's that of the cosine at pi/2 - x; the tangent's and cotangent's (their squares
   generate the field of cos 2x, of degree d) d when 4 divides n and 2d otherwise. */
static slong function_degree(int code, const fmpq_t turns) {
  fmpq_t other;
  slong degree;
  fmpq_init(other);
  if (code == program_sine || code == program_cosecant) {
    fmpq_set_si(other, 1, 2);
    fmpq_sub(other, other, turns);
  } else if (code == program_tangent || code == program_cotangent) {
    fmpq_mul_2exp(other, turns, 1);
  } else {
    fmpq_set(other, turns);
  }
  degree = cosine_degree(other);
  if ((code == program_tangent || code == program_cotangent) &&
      fmpz_fdiv_ui(fmpq_denref(turns), 4) != 0 && fmpz_cmp_ui(fmpq_denref(turns), 2) > 0) {
    degree *= 2;
  }
  fmpq_clear(other);
  return degree;
}

/* The most a tangent's or cotangent's degree may be: Calcium takes a good part of a
   millisecond on one of degree 6 to 8, which a first run only estimates. */
#define TANGENT_DEGREE_LIMIT 6

/* A tangent or cotangent at `turns` x pi estimated in a ball into `result`; never 0 or
   undefined at a degree above 2. */
static int estimate_tangent(int code, const fmpq_t turns, struct algebraic* result) {
  arb_t cosine;
  arb_init(cosine);
  arb_sin_cos_pi_fmpq(result->ball, cosine, turns, ESTIMATE_PRECISION);
  if (code == program_tangent) arb_div(result->ball, result->ball, cosine, ESTIMATE_PRECISION);
  if (code == program_cotangent) arb_div(result->ball, cosine, result->ball, ESTIMATE_PRECISION);
  arb_clear(cosine);
  result->estimated = 1;
  estimated = 1;
  return arb_is_finite(result->ball);
}

/* The direct function `code` at pi p/q exactly into `number`; 0 where it has no value. */
static int function_number(int code, slong p, ulong q, qqbar_t number) {
  switch (code) {
    case program_sine:
      qqbar_sin_pi(number, p, q);
      return 1;
    case program_cosine:
      qqbar_cos_pi(number, p, q);
      return 1;
    case program_tangent:
      return qqbar_tan_pi(number, p, q);
    case program_cotangent:
      return qqbar_cot_pi(number, p, q);
    case program_secant:
      return qqbar_sec_pi(number, p, q);
    case program_cosecant:
      return qqbar_csc_pi(number, p, q);
    default:
      return 0;
  }
}

/* The direct function `code` at `turns` x pi into `result`: exactly; in a first run, estimated
   in a ball when it is a tangent of more than a form's degree. 0 where it has no value. */
static int direct_at(int code, const fmpq_t turns, struct algebraic* result) {
  int tangent = code == program_tangent || code == program_cotangent;
  slong degree = function_degree(code, turns);
  fmpq_zero(result->pi_power);
  result->estimated = 0;
  if (degree > (tangent ? TANGENT_DEGREE_LIMIT : ALGEBRAIC_DEGREE_LIMIT)) return 0;
  if (tangent && estimating && degree > FORM_DEGREE_LIMIT) {
    return estimate_tangent(code, turns, result);
  }
  return function_number(code, fmpz_get_si(fmpq_numref(turns)), fmpz_get_ui(fmpq_denref(turns)),
                         result->number) &&
         within_bounds(result->number);
}

/* The inverse function `code` at `argument` where its value is a rational multiple of pi,
   into `result` (radians: that multiple of pi; degrees: that many half turns). Elsewhere its value
   is transcendental, and no algebraic number times a power of pi. */
static int inverse_at(int code, const struct algebraic* argument, int radians,
                      struct algebraic* result) {
  slong p = 0;
  ulong q = 1;
  int found = 0;
  if (argument->estimated) return 0;
  if (!fmpq_is_zero(argument->pi_power) && !qqbar_is_zero(argument->number)) return 0;
  if (code == program_arc_sine) found = qqbar_asin_pi(&p, &q, argument->number);
  if (code == program_arc_cosine) found = qqbar_acos_pi(&p, &q, argument->number);
  if (code == program_arc_tangent) found = qqbar_atan_pi(&p, &q, argument->number);
  if (!found) return 0;
  result->estimated = 0;
  fmpq_set_si(result->pi_power, radians ? 1 : 0, 1);
  qqbar_set_si(result->number, radians ? p : DEGREES_IN_HALF_TURN * p);
  qqbar_div_ui(result->number, result->number, q);
  if (qqbar_is_zero(result->number)) fmpq_zero(result->pi_power);
  return 1;
}

/* A function of plain numbers at `argument` into `result`, where its value is an algebraic
   number times a power of pi: the absolute value, and the others at 0 (arccosh at 1); their
   other values are transcendental. */
static int plain_function_at(int code, const struct algebraic* argument, struct algebraic* result) {
  int zero, one;
  if (argument->estimated) return 0;
  if (code == program_absolute_value) {
    result->estimated = 0;
    qqbar_abs(result->number, argument->number);
    fmpq_set(result->pi_power, argument->pi_power);
    return 1;
  }
  zero = qqbar_is_zero(argument->number);
  one = qqbar_is_one(argument->number) && fmpq_is_zero(argument->pi_power);
  if (code == program_natural_logarithm || code == program_common_logarithm) {
    if (!one) return 0;
    set_zero(result);
    return 1;
  }
  if (code == program_arc_hyperbolic_cosine ? !one : !zero) return 0;
  result->estimated = 0;
  fmpq_zero(result->pi_power);
  if (code == program_exponential || code == program_hyperbolic_cosine) {
    qqbar_one(result->number);
  } else {
    qqbar_zero(result->number);
  }
  return 1;
}

/* amplitude argument -> amplitude x f(argument), in `amplitude`; `free_slot` is scratch. */
static int apply_function(const ProgramStep* step, struct algebraic* amplitude,
                          const struct algebraic* argument, struct algebraic* free_slot) {
  int code = step->argument;
  int inverse =
      code == program_arc_sine || code == program_arc_cosine || code == program_arc_tangent;
  int found;
  if (!program_function_is_trigonometric(code)) {
    found = plain_function_at(code, argument, free_slot);
  } else if (inverse) {
    found = inverse_at(code, argument, step->radians, free_slot);
  } else {
    fmpq_t turns;
    fmpq_init(turns);
    found = angle_turns(argument, step->radians, turns) && direct_at(code, turns, free_slot);
    fmpq_clear(turns);
  }
  return found && multiply_values(amplitude, free_slot, program_multiply);
}

/* An estimate's base^e into its place: of a base above 0, or of any for an integer e. */
static int power_estimate(struct algebraic* base, const fmpq_t e) {
  if (!fmpz_is_one(fmpq_denref(e)) && !arb_is_positive(base->ball)) return 0;
  if (fmpz_sgn(fmpq_numref(e)) < 0 && arb_contains_zero(base->ball)) return 0;
  if (fmpz_is_one(fmpq_denref(e))) {
    arb_pow_fmpz(base->ball, base->ball, fmpq_numref(e), ESTIMATE_PRECISION);
  } else {
    arb_pow_fmpq(base->ball, base->ball, e, ESTIMATE_PRECISION);
  }
  return 1;
}

/* An exact base^(p/q) into its place: an integer power of any base but 0 to a power below 0;
   another only of a base above 0 (or 0, to a power above 0), or of odd q. */
static int power_number(struct algebraic* base, slong p, ulong q) {
  int below;
  if (qqbar_is_zero(base->number)) {
    fmpq_zero(base->pi_power);
    return p > 0;
  }
  /* A base below 0 has a real root of odd degree only: (-8)^(1/3) is -(8^(1/3)). */
  below = q > 1 && qqbar_sgn_re(base->number) < 0;
  if (below && q % 2 == 0) return 0; /* no value */
  if (qqbar_degree(base->number) * (slong)q > ALGEBRAIC_DEGREE_LIMIT) return 0;
  if (qqbar_height_bits(base->number) * (p < 0 ? -p : p) > HEIGHT_BITS_LIMIT) return 0;
  if (below) qqbar_neg(base->number, base->number);
  if (q > 1) qqbar_root_ui(base->number, base->number, q);
  qqbar_pow_si(base->number, base->number, p);
  if (below && p % 2 != 0) qqbar_neg(base->number, base->number);
  return within_bounds(base->number);
}

/* base^exponent into `base`, for a small rational exponent (2^sqrt(2), say, is
   transcendental). */
static int power_values(struct algebraic* base, const struct algebraic* exponent) {
  fmpq_t e;
  int done;
  if (exponent->estimated || !qqbar_is_rational(exponent->number)) return 0;
  if (!fmpq_is_zero(exponent->pi_power) && !qqbar_is_zero(exponent->number)) return 0;
  fmpq_init(e);
  qqbar_get_fmpq(e, exponent->number);
  done = fmpz_bits(fmpq_numref(e)) <= EXPONENT_BITS &&
         fmpz_cmp_ui(fmpq_denref(e), ALGEBRAIC_DEGREE_LIMIT) <= 0;
  if (done) {
    fmpq_mul(base->pi_power, base->pi_power, e);
    done = base->estimated
               ? power_estimate(base, e)
               : power_number(base, fmpz_get_si(fmpq_numref(e)), fmpz_get_ui(fmpq_denref(e)));
  }
  fmpq_clear(e);
  return done;
}

/* The square root of `value` in its place: none below 0. */
static int root_value(struct algebraic* value) {
  fmpq_t half;
  if (is_zero(value)) return 1;
  if (value->estimated) {
    if (!arb_is_positive(value->ball)) return 0;
    arb_sqrt(value->ball, value->ball, ESTIMATE_PRECISION);
  } else {
    if (qqbar_sgn_re(value->number) < 0) return 0;
    if (qqbar_degree(value->number) * 2 > ALGEBRAIC_DEGREE_LIMIT) return 0;
    qqbar_sqrt(value->number, value->number);
    if (!within_bounds(value->number)) return 0;
  }
  fmpq_init(half);
  fmpq_set_si(half, 1, 2);
  fmpq_mul(value->pi_power, value->pi_power, half);
  fmpq_clear(half);
  return 1;
}

/* Pushes the number of `step`: pi, or a rational. */
static int push_value(const ExactProgram* program, const ProgramStep* step,
                      struct algebraic* value) {
  const struct exact_number* number = program->numbers + step->argument;
  if (number->too_large) return 0;
  value->estimated = 0;
  if (number->pi) {
    qqbar_one(value->number);
    fmpq_one(value->pi_power);
  } else {
    qqbar_set_fmpq(value->number, number->value);
    fmpq_zero(value->pi_power);
  }
  return 1;
}

/* Runs one step on the stack of `*depth` values; 0 when the run ends without a value. */
static int run_step(const ExactProgram* program, const ProgramStep* step, int* depth) {
  struct algebraic* top = stack + *depth;
  /* One value is kept free above the stack: a function's working room. */
  if (!program_step_fits(step->code, *depth, 1)) return 0;
  if (program_step_takes(step->code) == 0) {
    if (step->code != program_push_number) return 0; /* the unknown: none */
    ++*depth;
    return push_value(program, step, top);
  }
  if (step->code == program_negate) {
    if (top[-1].estimated) arb_neg(top[-1].ball, top[-1].ball);
    if (!top[-1].estimated) qqbar_neg(top[-1].number, top[-1].number);
    return 1;
  }
  if (step->code == program_root) return root_value(top - 1);
  --*depth;
  switch (step->code) {
    case program_add:
    case program_subtract:
      return add_values(top - 2, top - 1, step->code);
    case program_multiply:
    case program_divide:
      return multiply_values(top - 2, top - 1, step->code);
    case program_power:
      return power_values(top - 2, top - 1);
    case program_function:
      return apply_function(step, top - 2, top - 1, top);
    default:
      return 0;
  }
}

/* The estimate `value` made a number of a form's degree with small coefficients that a
   numerical guess (an integer relation among its powers) finds at it; 0 when there is none. */
static int guess_number(struct algebraic* value) {
  acb_t ball;
  int found;
  acb_init(ball);
  acb_set_arb(ball, value->ball);
  found = qqbar_guess(value->number, ball, FORM_DEGREE_LIMIT, GUESS_BITS, 0, GUESS_PRECISION);
  acb_clear(ball);
  value->estimated = 0;
  return found;
}

int exact_algebraic_run(const ExactProgram* program, int estimate, qqbar_t number, fmpq_t pi_power,
                        int* estimates) {
  int depth = 0;
  int s;
  set_up();
  estimating = estimate;
  estimated = 0;
  dear_steps = 0;
  *estimates = 0;
  if (!program->complete) return 0;
  for (s = 0; s < program->step_count; ++s) {
    if (!run_step(program, program->steps + s, &depth)) return 0;
  }
  if (depth != 1) return 0;
  if (stack[0].estimated && !guess_number(stack)) return 0;
  qqbar_set(number, stack[0].number);
  fmpq_set(pi_power, stack[0].pi_power);
  *estimates = estimated;
  return 1;
}
