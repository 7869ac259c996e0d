#include "exact/calcium_run.h"

#include <calcium/ca.h>

#include "exact/half_turns.h"

/* The state of a run: the context, its stack and whether they are set up. */
static ca_ctx_t context;
static ca_struct stack[program_stack_capacity];
static int ready;

/* Keeps Calcium's work bounded: the degree of the algebraic numbers it forms and the
   precision it tries before answering "unknown". */
static void set_up(void) {
  int k;
  if (ready) return;
  ca_ctx_init(context);
  context->options[CA_OPT_QQBAR_DEG_LIMIT] = 120;
  context->options[CA_OPT_PREC_LIMIT] = 8192;
  context->options[CA_OPT_USE_GROEBNER] = 0;
  for (k = 0; k < program_stack_capacity; ++k) ca_init(stack + k, context);
  ready = 1;
}

void exact_calcium_finish(void) {
  int k;
  if (!ready) return;
  for (k = 0; k < program_stack_capacity; ++k) ca_clear(stack + k, context);
  ca_ctx_clear(context);
  ready = 0;
}

static int truth_answer(truth_t truth) {
  return truth == T_TRUE ? 1 : truth == T_FALSE ? 0 : -1;
}

/* outcome for a denominator `x`: no value when 0, undecided when that is unknown. */
static int nonzero_outcome(const ca_t x) {
  truth_t zero = ca_check_is_zero(x, context);
  return zero == T_TRUE ? exact_no_value : zero == T_FALSE ? exact_value : exact_undecided;
}

/* The domain of arc sine and arc cosine: no value outside [-1, 1]. */
static int domain_outcome(const ca_t x, ca_t scratch) {
  truth_t above, below;
  ca_one(scratch, context);
  above = ca_check_gt(x, scratch, context);
  ca_neg(scratch, scratch, context);
  below = ca_check_lt(x, scratch, context);
  if (above == T_TRUE || below == T_TRUE) return exact_no_value;
  if (above == T_FALSE && below == T_FALSE) return exact_value;
  return exact_undecided;
}

/* A direct function's value at `angle` (radians) into `result`; `scratch` is free. */
static int direct_value(int code, ca_t result, const ca_t angle, ca_t scratch) {
  int outcome = exact_value;
  ca_sin(result, angle, context);
  ca_cos(scratch, angle, context);
  if (code == program_tangent || code == program_secant) outcome = nonzero_outcome(scratch);
  if (code == program_cotangent || code == program_cosecant) outcome = nonzero_outcome(result);
  if (outcome != exact_value) return outcome;
  if (code == program_cosine) ca_set(result, scratch, context);
  if (code == program_tangent) ca_div(result, result, scratch, context);
  if (code == program_cotangent) ca_div(result, scratch, result, context);
  if (code == program_secant) ca_inv(result, scratch, context);
  if (code == program_cosecant) ca_inv(result, result, context);
  return exact_value;
}

/* The outcome of `x` compared with the integer `bound`: a value when `x` is above it (or at it,
   when `or_at`), none when it is not, undecided when that is unknown. */
static int above_outcome(const ca_t x, slong bound, int or_at, ca_t scratch) {
  truth_t above;
  ca_set_si(scratch, bound, context);
  above = or_at ? ca_check_ge(x, scratch, context) : ca_check_gt(x, scratch, context);
  return above == T_TRUE ? exact_value : above == T_FALSE ? exact_no_value : exact_undecided;
}

/* The domain of a function of plain numbers: the logarithms above 0, arccosh from 1 on,
   arctgh within (-1, 1). */
static int plain_domain(int code, const ca_t x, ca_t scratch) {
  int outcome = exact_value;
  if (code == program_natural_logarithm || code == program_common_logarithm) {
    outcome = above_outcome(x, 0, 0, scratch);
  } else if (code == program_arc_hyperbolic_cosine) {
    outcome = above_outcome(x, 1, 1, scratch);
  } else if (code == program_arc_hyperbolic_tangent) {
    ca_neg(scratch, x, context);
    outcome = above_outcome(scratch, -1, 0, scratch); /* -x > -1: x < 1 */
    if (outcome == exact_value) outcome = above_outcome(x, -1, 0, scratch);
  }
  return outcome;
}

/* ln(x + sqrt(x^2 + `shift`)) into `x`: arcsenh (shift 1) and arccosh (shift -1). */
static void log_of_root_sum(ca_t x, slong shift, ca_t scratch) {
  ca_mul(scratch, x, x, context);
  ca_add_si(scratch, scratch, shift, context);
  ca_sqrt(scratch, scratch, context);
  ca_add(x, x, scratch, context);
  ca_log(x, x, context);
}

/* senh x, cosh x or tgh x into `x`, from e^x (e^2x for the tangent). */
static void hyperbolic(int code, ca_t x, ca_t scratch) {
  if (code == program_hyperbolic_tangent) {
    ca_mul_si(x, x, 2, context);
    ca_exp(x, x, context);
    ca_add_si(scratch, x, 1, context);
    ca_sub_si(x, x, 1, context);
    ca_div(x, x, scratch, context);
    return;
  }
  ca_exp(x, x, context);
  ca_inv(scratch, x, context);
  if (code == program_hyperbolic_sine) ca_sub(x, x, scratch, context);
  if (code == program_hyperbolic_cosine) ca_add(x, x, scratch, context);
  ca_div_si(x, x, 2, context);
}

/* A function of plain numbers of `x`, in its place; `scratch` is free. */
static int plain_function(int code, ca_t x, ca_t scratch) {
  int outcome = plain_domain(code, x, scratch);
  if (outcome != exact_value) return outcome;
  switch (code) {
    case program_natural_logarithm:
      ca_log(x, x, context);
      break;
    case program_common_logarithm:
      ca_log(x, x, context);
      ca_set_si(scratch, 10, context);
      ca_log(scratch, scratch, context);
      ca_div(x, x, scratch, context);
      break;
    case program_exponential:
      ca_exp(x, x, context);
      break;
    case program_arc_hyperbolic_sine:
      log_of_root_sum(x, 1, scratch);
      break;
    case program_arc_hyperbolic_cosine:
      log_of_root_sum(x, -1, scratch);
      break;
    case program_arc_hyperbolic_tangent: /* ln((1 + x) / (1 - x)) / 2 */
      ca_sub_si(scratch, x, 1, context);
      ca_neg(scratch, scratch, context);
      ca_add_si(x, x, 1, context);
      ca_div(x, x, scratch, context);
      ca_log(x, x, context);
      ca_div_si(x, x, 2, context);
      break;
    case program_absolute_value:
      ca_abs(x, x, context);
      break;
    default:
      hyperbolic(code, x, scratch);
      break;
  }
  return exact_value;
}

/* amplitude argument -> amplitude x f(argument), in `amplitude`; `free_slot` is scratch. */
static int apply_function(const ProgramStep* step, ca_t amplitude, ca_t argument, ca_t free_slot) {
  int outcome = exact_value;
  int code = step->argument;
  int inverse =
      code == program_arc_sine || code == program_arc_cosine || code == program_arc_tangent;
  if (!program_function_is_trigonometric(code)) {
    outcome = plain_function(code, argument, free_slot);
  } else if (inverse) {
    if (code != program_arc_tangent) outcome = domain_outcome(argument, free_slot);
    if (outcome != exact_value) return outcome;
    if (code == program_arc_sine) ca_asin(argument, argument, context);
    if (code == program_arc_cosine) ca_acos(argument, argument, context);
    if (code == program_arc_tangent) ca_atan(argument, argument, context);
    if (!step->radians) {
      ca_mul_ui(argument, argument, DEGREES_IN_HALF_TURN, context);
      ca_pi(free_slot, context);
      ca_div(argument, argument, free_slot, context);
    }
  } else {
    if (!step->radians) {
      ca_pi(free_slot, context);
      ca_mul(argument, argument, free_slot, context);
      ca_div_ui(argument, argument, DEGREES_IN_HALF_TURN, context);
    }
    outcome = direct_value(code, free_slot, argument, argument);
    ca_swap(argument, free_slot, context);
  }
  if (outcome == exact_value) ca_mul(amplitude, amplitude, argument, context);
  return outcome;
}

/* The outcome of a truth: `when_true` when true, `when_false` when false, else undecided. */
static int outcome_of(truth_t truth, int when_true, int when_false) {
  return truth == T_TRUE ? when_true : truth == T_FALSE ? when_false : exact_undecided;
}

/* The square root of `x`, in its place; no value below 0. `scratch` is free. */
static int root_value(ca_t x, ca_t scratch) {
  int outcome;
  ca_zero(scratch, context);
  outcome = outcome_of(ca_check_lt(x, scratch, context), exact_no_value, exact_value);
  if (outcome == exact_value) ca_sqrt(x, x, context);
  return outcome;
}

/* base^exponent for a base below 0, in the base's place: when the exponent is a fraction of
   odd denominator, the real power ((-8)^(1/3) is -2: minus that of the base's size for an odd
   numerator); no value otherwise. */
static int odd_root_power(ca_t base, const ca_t exponent) {
  fmpq_t fraction;
  int odd_root, odd_numerator;
  fmpq_init(fraction);
  odd_root = ca_get_fmpq(fraction, exponent, context) && fmpz_is_odd(fmpq_denref(fraction));
  odd_numerator = fmpz_is_odd(fmpq_numref(fraction));
  fmpq_clear(fraction);
  if (!odd_root) return exact_no_value;
  ca_neg(base, base, context);
  ca_pow(base, base, exponent, context);
  if (odd_numerator) ca_neg(base, base, context);
  return exact_value;
}

/* base^exponent, in the base's place; no value for 0 to a power below 0, nor for a number
   below 0 to a power that is no integer (but for a fraction of odd denominator). `scratch` is
   free. */
static int power_value(ca_t base, const ca_t exponent, ca_t scratch) {
  int integer = outcome_of(ca_check_is_integer(exponent, context), 1, 0);
  int outcome;
  ca_zero(scratch, context);
  if (integer == exact_undecided) return exact_undecided;
  if (integer) {
    outcome = outcome_of(ca_check_is_zero(base, context), 1, 0);
    if (outcome == 1)
      outcome = outcome_of(ca_check_lt(exponent, scratch, context), exact_no_value, exact_value);
    else if (outcome == 0)
      outcome = exact_value;
  } else {
    outcome = outcome_of(ca_check_lt(base, scratch, context), exact_no_value, exact_value);
    if (outcome == exact_no_value) return odd_root_power(base, exponent);
    if (outcome == exact_value && ca_check_is_zero(base, context) == T_TRUE) {
      outcome = outcome_of(ca_check_lt(exponent, scratch, context), exact_no_value, exact_value);
    }
  }
  if (outcome == exact_value) ca_pow(base, base, exponent, context);
  return outcome;
}

static int run_step(const ExactProgram* program, const ProgramStep* step, int* depth) {
  ca_ptr top = stack + *depth;
  /* One value is kept free above the stack: a function's working room. */
  if (!program_step_fits(step->code, *depth, 1)) return exact_beyond_limits;
  if (program_step_takes(step->code) == 0) {
    const struct exact_number* number;
    if (step->code != program_push_number) return exact_beyond_limits; /* the unknown: none */
    number = program->numbers + step->argument;
    if (number->too_large) return exact_too_large;
    ++*depth;
    if (number->pi) {
      ca_pi(top, context);
    } else {
      ca_set_fmpq(top, number->value, context);
    }
    return exact_value;
  }
  if (program_step_takes(step->code) == 1) {
    if (step->code == program_root) return root_value(top - 1, top);
    ca_neg(top - 1, top - 1, context);
    return exact_value;
  }
  --*depth;
  switch (step->code) {
    case program_add:
      ca_add(top - 2, top - 2, top - 1, context);
      return exact_value;
    case program_subtract:
      ca_sub(top - 2, top - 2, top - 1, context);
      return exact_value;
    case program_multiply:
      ca_mul(top - 2, top - 2, top - 1, context);
      return exact_value;
    case program_divide: {
      int outcome = nonzero_outcome(top - 1);
      if (outcome == exact_value) ca_div(top - 2, top - 2, top - 1, context);
      return outcome;
    }
    case program_power:
      return power_value(top - 2, top - 1, top);
    default:
      return apply_function(step, top - 2, top - 1, top);
  }
}

struct exact_run_end exact_calcium_run(const ExactProgram* program) {
  struct exact_run_end end;
  int depth = 0;
  int s;
  set_up();
  for (s = 0; s < program->step_count; ++s) {
    int outcome = run_step(program, program->steps + s, &depth);
    if (outcome != exact_value) {
      end.outcome = outcome;
      end.step = s;
      return end;
    }
  }
  end.outcome = depth == 1 ? exact_value : exact_beyond_limits;
  end.step = program->step_count;
  return end;
}

int exact_calcium_is_zero(void) {
  return truth_answer(ca_check_is_zero(stack, context));
}

int exact_calcium_equals(const fmpq_t q) {
  truth_t equal;
  ca_set_fmpq(stack + 1, q, context);
  equal = ca_check_equal(stack, stack + 1, context);
  return truth_answer(equal);
}

void exact_calcium_enclose(arb_t ball, slong precision) {
  acb_t enclosure;
  acb_init(enclosure);
  ca_get_acb_accurate_parts(enclosure, stack, precision, context);
  arb_set(ball, acb_realref(enclosure));
  acb_clear(enclosure);
}
