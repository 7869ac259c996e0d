#include "exact/unknown_run.h"

#include <calcium/qqbar.h>
#include <flint/fmpz_factor.h>
#include <flint/ulong_extras.h>

#include "program/program.h"

/* The largest degree of the field Q(zeta_L) a run works in: the norm of a polynomial of the
   largest degree then stays within a few thousand. */
#define FIELD_DEGREE_LIMIT 64
/* The largest square-free number whose square root the field is made to hold. */
#define ROOT_RADICAND_LIMIT 1000

enum value_kind {
  kind_number,  /* rational x pi^pi_power */
  kind_linear,  /* slope x + rational x pi^pi_power */
  kind_function /* numerator / denominator in z; in a gathering run, no polynomials */
};

struct value {
  int kind;
  int varies; /* made from the unknown */
  fmpq_t rational;
  slong pi_power;
  fmpq_t slope;
  struct circle_poly numerator, denominator;
  qqbar_t number; /* a substituting run's quotients: their value at the point */
};

/* A run: its stack, whether it gathers (the field and D not known yet) or computes, what it
   gathered, and where its result goes. */
struct run {
  struct value values[program_stack_capacity];
  int depth;
  int gathering;
  int substituting; /* quotients are numbers: their value at z = `point` */
  int at_number;    /* the unknown is the number `number` of its unit: no unknown left */
  fmpq_t number;
  qqbar_t point, zeta; /* substituting: z, and zeta_L */
  int radians;         /* the unknown is in radians */
  fmpz_t order;        /* gathering: the least order of a field holding what was met */
  fmpq_t scale;        /* G, t = e^(i G x): the gcd of the slopes (gathering: so far; 0: none) */
  struct unknown_result* result;
  fmpq_poly_t element, other; /* scratch elements */
  /* A line of numbers whose angles no small field holds, read with z = e^(2 pi i tau): an
     angle of n tau + c turns, c of a small denominator, is w z^n. While `collecting`, the
     turns of such angles are kept instead. */
  int common;
  fmpq_t tau;
  int collecting;
  int collected;
  fmpq_t wide[COMMON_ANGLE_CAPACITY];
  /* Gathering: what the work of the run ahead depends on, the slopes of x met (each sine
     or cosine a polynomial of twice its slope's degree) and the largest power taken. */
  fmpq_t slopes;
  ulong largest_power;
};

enum step_end { step_done, step_no_value, step_outside };

/* 1 when turns of denominator `q` make a field small enough to run in. */
static int small_order(const fmpz_t q) {
  return fmpz_cmp_ui(q, COMMON_SMALL_ORDER) <= 0;
}

/* The multiple n (at most COMMON_MULTIPLE_LIMIT in size) of tau for which turns - n tau has a
   small denominator, with that rest in `rest`; 0 when there is none. */
static int common_multiple(const fmpq_t turns, const fmpq_t tau, slong* n, fmpq_t rest) {
  fmpq_t multiple;
  int found = 0;
  fmpq_init(multiple);
  for (*n = -COMMON_MULTIPLE_LIMIT; *n <= COMMON_MULTIPLE_LIMIT && !found; ++*n) {
    if (*n == 0) continue;
    fmpq_mul_si(multiple, tau, *n);
    fmpq_sub(rest, turns, multiple);
    found = small_order(fmpq_denref(rest));
  }
  --*n;
  fmpq_clear(multiple);
  return found;
}

static void value_init(struct value* value) {
  fmpq_init(value->rational);
  fmpq_init(value->slope);
  circle_poly_init(&value->numerator);
  circle_poly_init(&value->denominator);
  qqbar_init(value->number);
}

static void set_number(struct value* value, const fmpq_t rational, slong pi_power) {
  value->kind = kind_number;
  value->varies = 0;
  fmpq_set(value->rational, rational);
  value->pi_power = fmpq_is_zero(rational) ? 0 : pi_power;
}

/* Fails the run with `reason` at the current step. */
static int outside(struct run* run, int reason) {
  if (run->result->reason == reason_none) run->result->reason = reason;
  return step_outside;
}

/* The field's constant `c` as a quotient in z: c / 1. */
static void set_constant_function(struct run* run, struct value* value, const fmpq_poly_t c) {
  value->kind = kind_function;
  if (run->gathering) return;
  if (run->substituting) {
    qqbar_evaluate_fmpq_poly(value->number, c, run->zeta);
    return;
  }
  fmpq_poly_set(run->other, c);
  circle_poly_monomial(&value->numerator, run->other, 0);
  fmpq_poly_one(run->other);
  circle_poly_monomial(&value->denominator, run->other, 0);
}

/* Makes a number without pi a quotient in z; 0 when it holds pi. */
static int make_function(struct run* run, struct value* value) {
  if (value->kind == kind_function) return 1;
  if (value->kind != kind_number || value->pi_power != 0) return 0;
  fmpq_poly_zero(run->element);
  fmpq_poly_set_coeff_fmpq(run->element, 0, value->rational);
  set_constant_function(run, value, run->element);
  return 1;
}

/* Keeps `divisor` among the polynomials whose roots are points without value: once, made
   monic, without its powers of z. */
static int keep_exclusion(struct run* run, const struct circle_poly* divisor) {
  struct unknown_result* result = run->result;
  struct circle_poly* slot;
  int k;
  if (run->gathering || run->substituting || circle_poly_degree(divisor) <= 0) return step_done;
  if (result->exclusion_count == UNKNOWN_EXCLUSION_CAPACITY) return outside(run, reason_too_large);
  slot = result->exclusions + result->exclusion_count;
  circle_poly_set(slot, divisor);
  circle_poly_remove_z(slot);
  if (circle_poly_degree(slot) <= 0) return step_done;
  circle_poly_gcd(slot, slot, slot, &result->field); /* monic */
  for (k = 0; k < result->exclusion_count; ++k) {
    if (circle_poly_equal(result->exclusions + k, slot)) return step_done;
  }
  ++result->exclusion_count;
  return step_done;
}

/* Divides numerator and denominator by the powers of z they share, and fails a quotient past
   the degree limit. */
static int tidy(struct run* run, struct value* value) {
  const slong low = circle_poly_lowest(&value->numerator);
  const slong low_denominator = circle_poly_lowest(&value->denominator);
  if (low > 0 && low_denominator > 0) {
    const slong shared = low < low_denominator ? low : low_denominator;
    struct circle_poly* parts[2];
    int p;
    slong k;
    parts[0] = &value->numerator;
    parts[1] = &value->denominator;
    for (p = 0; p < 2; ++p) {
      for (k = shared; k < parts[p]->length; ++k) {
        fmpq_poly_swap(parts[p]->coefficients + k - shared, parts[p]->coefficients + k);
      }
      for (k = parts[p]->length - shared; k < parts[p]->length; ++k) {
        fmpq_poly_zero(parts[p]->coefficients + k);
      }
      parts[p]->length -= shared;
    }
  }
  if (circle_poly_degree(&value->numerator) > UNKNOWN_DEGREE_LIMIT ||
      circle_poly_degree(&value->denominator) > UNKNOWN_DEGREE_LIMIT) {
    return outside(run, reason_too_large);
  }
  return step_done;
}

/* left +- right of two quotients, into left. */
static int add_functions(struct run* run, struct value* left, const struct value* right,
                         int subtract) {
  struct circle_poly term;
  const struct circle_field* field = &run->result->field;
  if (run->gathering) return step_done;
  if (run->substituting) {
    if (subtract) qqbar_sub(left->number, left->number, right->number);
    if (!subtract) qqbar_add(left->number, left->number, right->number);
    return step_done;
  }
  if (circle_poly_equal(&left->denominator, &right->denominator)) {
    if (subtract) circle_poly_sub(&left->numerator, &left->numerator, &right->numerator);
    if (!subtract) circle_poly_add(&left->numerator, &left->numerator, &right->numerator);
    return tidy(run, left);
  }
  circle_poly_init(&term);
  circle_poly_mul(&term, &right->numerator, &left->denominator, field);
  circle_poly_mul(&left->numerator, &left->numerator, &right->denominator, field);
  if (subtract) circle_poly_sub(&left->numerator, &left->numerator, &term);
  if (!subtract) circle_poly_add(&left->numerator, &left->numerator, &term);
  circle_poly_mul(&left->denominator, &left->denominator, &right->denominator, field);
  circle_poly_clear(&term);
  return tidy(run, left);
}

/* left +- right of two numbers or linear forms (slope x + offset), into left. */
static int add_linear(struct run* run, struct value* left, const struct value* right,
                      int subtract) {
  const int left_offset = !fmpq_is_zero(left->rational);
  const int right_offset = !fmpq_is_zero(right->rational);
  if (left_offset && right_offset && left->pi_power != right->pi_power) {
    return outside(run, reason_not_algebraic); /* 1 + pi, say */
  }
  if (!left_offset) left->pi_power = right->pi_power;
  if (subtract) fmpq_sub(left->rational, left->rational, right->rational);
  if (!subtract) fmpq_add(left->rational, left->rational, right->rational);
  if (right->kind == kind_linear && left->kind != kind_linear) fmpq_zero(left->slope);
  if (right->kind == kind_linear && subtract) fmpq_sub(left->slope, left->slope, right->slope);
  if (right->kind == kind_linear && !subtract) fmpq_add(left->slope, left->slope, right->slope);
  left->kind = left->kind == kind_linear || right->kind == kind_linear ? kind_linear : kind_number;
  if (left->kind == kind_linear && fmpq_is_zero(left->slope)) left->kind = kind_number;
  if (fmpq_is_zero(left->rational)) left->pi_power = 0;
  return step_done;
}

static int add_values(struct run* run, struct value* left, struct value* right, int subtract) {
  if (left->kind != kind_function && right->kind != kind_function) {
    return add_linear(run, left, right, subtract);
  }
  if (left->kind == kind_linear || right->kind == kind_linear) {
    return outside(run, reason_unknown_outside_angle);
  }
  if (!make_function(run, left) || !make_function(run, right)) {
    return outside(run, reason_not_algebraic);
  }
  return add_functions(run, left, right, subtract);
}

/* left x right or left / right of two numbers, or of a linear form and a number, into left. */
static int multiply_linear(struct run* run, struct value* left, const struct value* right,
                           int divide) {
  const int linear = left->kind == kind_linear || right->kind == kind_linear;
  const struct value* factor = left->kind == kind_linear ? right : left;
  if (left->kind == kind_linear && right->kind == kind_linear) {
    return outside(run, reason_angle_not_linear);
  }
  if (divide && right->kind == kind_linear) return outside(run, reason_angle_not_linear);
  if (divide && fmpq_is_zero(right->rational)) return step_no_value;
  if (linear && factor->pi_power != 0) return outside(run, reason_angle_not_linear);
  if (linear && right->kind == kind_linear) { /* number x (slope x + offset) */
    fmpq_mul(left->slope, right->slope, left->rational);
    fmpq_mul(left->rational, right->rational, left->rational);
    left->pi_power = right->pi_power;
    left->kind = kind_linear;
  } else {
    if (linear && divide) fmpq_div(left->slope, left->slope, right->rational);
    if (linear && !divide) fmpq_mul(left->slope, left->slope, right->rational);
    if (divide) fmpq_div(left->rational, left->rational, right->rational);
    if (!divide) fmpq_mul(left->rational, left->rational, right->rational);
    if (!linear) left->pi_power += divide ? -right->pi_power : right->pi_power;
  }
  if (left->kind == kind_linear && fmpq_is_zero(left->slope)) left->kind = kind_number;
  if (fmpq_is_zero(left->rational)) left->pi_power = 0;
  return step_done;
}

/* left x right or left / right of two quotients, into left; a divisor in z is kept. */
static int multiply_functions(struct run* run, struct value* left, struct value* right,
                              int divide) {
  const struct circle_field* field = &run->result->field;
  if (run->gathering) return step_done;
  if (run->substituting) {
    if (divide && qqbar_is_zero(right->number)) return step_no_value;
    if (divide) qqbar_div(left->number, left->number, right->number);
    if (!divide) qqbar_mul(left->number, left->number, right->number);
    return step_done;
  }
  if (divide) {
    if (circle_poly_is_zero(&right->numerator)) return step_no_value;
    if (keep_exclusion(run, &right->numerator) != step_done) return step_outside;
    circle_poly_swap(&right->numerator, &right->denominator);
  }
  circle_poly_mul(&left->numerator, &left->numerator, &right->numerator, field);
  circle_poly_mul(&left->denominator, &left->denominator, &right->denominator, field);
  return tidy(run, left);
}

static int multiply_values(struct run* run, struct value* left, struct value* right, int divide) {
  if (left->kind != kind_function && right->kind != kind_function) {
    return multiply_linear(run, left, right, divide);
  }
  if (left->kind == kind_linear || right->kind == kind_linear) {
    return outside(run, reason_unknown_outside_angle);
  }
  if (!make_function(run, left) || !make_function(run, right)) {
    return outside(run, reason_not_algebraic);
  }
  return multiply_functions(run, left, right, divide);
}

/* Gathers the order `q`: the field must hold the q-th roots of unity. */
static int gather_order(struct run* run, const fmpz_t q) {
  if (!run->gathering) return step_done;
  fmpz_lcm(run->order, run->order, q);
  return fmpz_cmp_ui(run->order, UNKNOWN_ORDER_LIMIT * 64) <= 0 ? step_done
                                                                : outside(run, reason_too_large);
}

/* zeta_L^(L turns) into `result`: e^(2 pi i turns), turns with a denominator dividing L. */
static void exponential_of_turns(struct run* run, fmpq_poly_t result, const fmpq_t turns) {
  const struct circle_field* field = &run->result->field;
  fmpz_t power;
  fmpz_init(power);
  fmpz_mul_ui(power, fmpq_numref(turns), field->order);
  fmpz_divexact(power, power, fmpq_denref(turns));
  circle_element_zeta_power(result, fmpz_fdiv_ui(power, field->order), field);
  fmpz_clear(power);
}

/* The turns of an angle of `rational` x pi^`pi_power`, in radians when `radians` (else
   degrees), modulo 1, into `turns`; 0 when it is no rational multiple of pi. */
static int angle_turns(const fmpq_t rational, slong pi_power, int radians, fmpq_t turns) {
  const ulong per_turn = radians ? 2 : 360; /* a turn: 2 pi radians, 360 degrees */
  fmpz_t whole;
  if (!fmpq_is_zero(rational) && pi_power != (radians ? 1 : 0)) return 0;
  fmpq_set(turns, rational);
  fmpz_mul_ui(fmpq_denref(turns), fmpq_denref(turns), per_turn);
  fmpq_canonicalise(turns);
  fmpz_init(whole);
  fmpz_fdiv_q(whole, fmpq_numref(turns), fmpq_denref(turns));
  fmpq_sub_fmpz(turns, turns, whole);
  fmpz_clear(whole);
  return 1;
}

/* Keeps the angle slope x + offset, `turns` its offset's, for the answer's inverse functions. */
static void keep_angle(struct run* run, const struct value* argument, const fmpq_t turns,
                       slong power) {
  struct unknown_result* result = run->result;
  struct unknown_angle* angle;
  int k;
  if (run->gathering || argument->kind != kind_linear) return;
  for (k = 0; k < result->angle_count; ++k) {
    angle = result->angles + k;
    if (angle->power == power && fmpq_equal(angle->offset_turns, turns)) return;
  }
  if (result->angle_count == UNKNOWN_ANGLE_CAPACITY) return;
  angle = result->angles + result->angle_count++;
  angle->power = power;
  fmpq_set(angle->slope, argument->slope);
  fmpq_set(angle->offset_turns, turns);
}

/* The integer slope / G, into `power`. */
static void slope_over_scale(fmpz_t power, const fmpq_t slope, const fmpq_t scale) {
  fmpq_t ratio;
  fmpq_init(ratio);
  fmpq_div(ratio, slope, scale);
  fmpz_set(power, fmpq_numref(ratio)); /* G divides every slope: the ratio is whole */
  fmpq_clear(ratio);
}

/* Gathers a slope: G becomes the greatest common divisor of the slopes met, as rationals
   (gcd(a/b, c/d) = gcd(a d, c b) / (b d)), so that every angle is a whole power of t; and
   their sizes add up, for the degree ahead. */
static void gather_slope(struct run* run, const fmpq_t slope) {
  fmpz_t left, right;
  fmpz_init(left);
  fmpz_init(right);
  fmpz_mul(left, fmpq_numref(run->scale), fmpq_denref(slope));
  fmpz_mul(right, fmpq_numref(slope), fmpq_denref(run->scale));
  fmpz_gcd(left, left, right);
  fmpz_mul(right, fmpq_denref(run->scale), fmpq_denref(slope));
  fmpq_set_fmpz_frac(run->scale, left, right);
  if (fmpq_sgn(slope) > 0) fmpq_add(run->slopes, run->slopes, slope);
  if (fmpq_sgn(slope) < 0) fmpq_sub(run->slopes, run->slopes, slope);
  fmpz_clear(left);
  fmpz_clear(right);
}

/* The angle of a direct function's argument as z sees it: e^(i angle) = e^(2 pi i turns)
   z^power. A linear argument's slope times D is its power; the field must hold the offset's
   roots of unity. */
static int angle_of(struct run* run, const ProgramStep* step, const struct value* argument,
                    fmpq_t turns, slong* power) {
  fmpz_t slope_power;
  *power = 0;
  if (argument->kind == kind_function) {
    return outside(run, argument->varies ? reason_angle_not_linear : reason_not_algebraic);
  }
  if (argument->kind == kind_linear && (int)step->radians != run->radians) {
    return outside(run, reason_angle_not_linear);
  }
  if (!angle_turns(argument->rational, argument->pi_power, step->radians, turns)) {
    return outside(run, reason_not_algebraic);
  }
  if (argument->kind == kind_number && !small_order(fmpq_denref(turns))) {
    if (run->collecting) {
      if (run->collected < COMMON_ANGLE_CAPACITY) fmpq_set(run->wide[run->collected++], turns);
      return step_done;
    }
    if (run->common) {
      fmpq_t rest;
      fmpq_init(rest);
      const int found = common_multiple(turns, run->tau, power, rest);
      fmpq_swap(turns, rest);
      fmpq_clear(rest);
      if (!found) return outside(run, reason_too_large);
      {
        fmpz_t whole;
        fmpz_init(whole);
        fmpz_fdiv_q(whole, fmpq_numref(turns), fmpq_denref(turns));
        fmpq_sub_fmpz(turns, turns, whole);
        fmpz_clear(whole);
      }
      return gather_order(run, fmpq_denref(turns));
    }
  }
  if (gather_order(run, fmpq_denref(turns)) != step_done) return step_outside;
  if (argument->kind != kind_linear) return step_done;
  if (run->gathering) {
    gather_slope(run, argument->slope);
    return step_done;
  }
  fmpz_init(slope_power);
  slope_over_scale(slope_power, argument->slope, run->scale);
  *power = fmpz_get_si(slope_power);
  fmpz_clear(slope_power);
  keep_angle(run, argument, turns, *power);
  return step_done;
}

/* The three polynomials the direct functions of e^(i angle) = w z^power are made of:
   E^2 z^s, E z^s and z^s, with s = -2 power when the power is below 0 (else 0). */
struct exponential_parts {
  struct circle_poly square, single, one;
};

static void exponential_parts_of(struct run* run, const fmpq_t turns, slong power,
                                 struct exponential_parts* parts) {
  const struct circle_field* field = &run->result->field;
  const slong shift = power < 0 ? -2 * power : 0;
  fmpq_poly_t w, w_squared, one;
  fmpq_poly_init(w);
  fmpq_poly_init(w_squared);
  fmpq_poly_init(one);
  exponential_of_turns(run, w, turns);
  circle_element_mul(w_squared, w, w, field);
  fmpq_poly_one(one);
  circle_poly_monomial(&parts->square, w_squared, 2 * power + shift);
  circle_poly_monomial(&parts->single, w, power + shift);
  circle_poly_monomial(&parts->one, one, shift);
  fmpq_poly_clear(w);
  fmpq_poly_clear(w_squared);
  fmpq_poly_clear(one);
}

/* The direct function `code` of e^(i angle) = w z^power at the run's point, into `value`; none
   at a pole. */
static int direct_function_at(struct run* run, int code, const fmpq_t turns, slong power,
                              struct value* value) {
  qqbar_t e, inverse, i;
  int end = step_done;
  qqbar_init(e);
  qqbar_init(inverse);
  qqbar_init(i);
  qqbar_root_of_unity(e, fmpz_get_si(fmpq_numref(turns)), fmpz_get_ui(fmpq_denref(turns)));
  qqbar_pow_si(inverse, run->point, power);
  qqbar_mul(e, e, inverse);
  qqbar_inv(inverse, e);
  qqbar_i(i);
  if (code == program_sine || code == program_cosecant || code == program_tangent ||
      code == program_cotangent) {
    qqbar_sub(value->number, e, inverse); /* 2i sin */
  } else {
    qqbar_add(value->number, e, inverse); /* 2 cos */
  }
  if (code == program_sine || code == program_cosecant) qqbar_div(value->number, value->number, i);
  if (code == program_tangent || code == program_cotangent) {
    qqbar_add(e, e, inverse); /* 2 cos */
    qqbar_mul(e, e, i);
    if (code == program_cotangent) qqbar_swap(e, value->number);
    if (qqbar_is_zero(e)) end = step_no_value;
    if (end == step_done) qqbar_div(value->number, value->number, e);
  } else {
    qqbar_div_ui(value->number, value->number, 2);
    if (code == program_secant || code == program_cosecant) {
      if (qqbar_is_zero(value->number)) end = step_no_value;
      if (end == step_done) qqbar_inv(value->number, value->number);
    }
  }
  qqbar_clear(e);
  qqbar_clear(inverse);
  qqbar_clear(i);
  return end;
}

/* `poly` times the element 2^two_power i^i_power. */
static void scale_by(struct run* run, struct circle_poly* poly, int two_power, int i_power) {
  const struct circle_field* field = &run->result->field;
  circle_element_zeta_power(run->element, (slong)(field->order / 4) * i_power, field);
  fmpq_poly_scalar_mul_si(run->element, run->element, two_power ? 2 : 1);
  circle_poly_scale(poly, poly, run->element, field);
}

/* The direct function `code` of e^(i angle) = w z^power as a quotient, into `value`:
   sin = (E^2 - 1) / (2i E), cos = (E^2 + 1) / (2E), tan = (E^2 - 1) / (i (E^2 + 1)), and their
   inverses; the divisor (E^2 + 1 or E^2 - 1) kept, none at a pole. */
static int direct_function(struct run* run, int code, const fmpq_t turns, slong power,
                           struct value* value) {
  struct exponential_parts parts;
  struct circle_poly plus, minus;
  int end = step_done;
  value->kind = kind_function;
  if (run->gathering) return step_done;
  if (run->substituting) return direct_function_at(run, code, turns, power, value);
  circle_poly_init(&parts.square);
  circle_poly_init(&parts.single);
  circle_poly_init(&parts.one);
  circle_poly_init(&plus);
  circle_poly_init(&minus);
  exponential_parts_of(run, turns, power, &parts);
  circle_poly_add(&plus, &parts.square, &parts.one);
  circle_poly_sub(&minus, &parts.square, &parts.one);
  switch (code) {
    case program_sine:
    case program_cosecant:
      circle_poly_set(&value->numerator, &minus);
      circle_poly_set(&value->denominator, &parts.single);
      scale_by(run, &value->denominator, 1, 1);
      break;
    case program_cosine:
    case program_secant:
      circle_poly_set(&value->numerator, &plus);
      circle_poly_set(&value->denominator, &parts.single);
      scale_by(run, &value->denominator, 1, 0);
      break;
    default: /* tangent, cotangent */
      circle_poly_set(&value->numerator, &minus);
      circle_poly_set(&value->denominator, &plus);
      scale_by(run, &value->denominator, 0, 1);
      break;
  }
  if (code == program_cotangent || code == program_secant || code == program_cosecant) {
    circle_poly_swap(&value->numerator, &value->denominator);
  }
  if (code != program_sine && code != program_cosine) {
    if (circle_poly_is_zero(&value->denominator)) end = step_no_value;
    if (end == step_done) end = keep_exclusion(run, &value->denominator);
  }
  circle_poly_clear(&parts.square);
  circle_poly_clear(&parts.single);
  circle_poly_clear(&parts.one);
  circle_poly_clear(&plus);
  circle_poly_clear(&minus);
  return end == step_done ? tidy(run, value) : end;
}

/* An inverse function of a rational, into `value`: a rational multiple of pi, in degrees or
   in radians as the step says; none outside its domain. Anything else is not held. */
static int inverse_function(struct run* run, const ProgramStep* step, const struct value* argument,
                            struct value* value) {
  qqbar_t x;
  slong p = 0;
  ulong q = 1;
  int found = 0;
  if (argument->kind != kind_number || argument->pi_power != 0) {
    return outside(
        run, argument->kind == kind_number ? reason_not_algebraic : reason_inverse_of_unknown);
  }
  if (step->argument != program_arc_tangent &&
      (fmpz_cmpabs(fmpq_numref(argument->rational), fmpq_denref(argument->rational)) > 0)) {
    return step_no_value;
  }
  qqbar_init(x);
  qqbar_set_fmpq(x, argument->rational);
  if (step->argument == program_arc_sine) found = qqbar_asin_pi(&p, &q, x);
  if (step->argument == program_arc_cosine) found = qqbar_acos_pi(&p, &q, x);
  if (step->argument == program_arc_tangent) found = qqbar_atan_pi(&p, &q, x);
  qqbar_clear(x);
  if (!found) return outside(run, reason_not_algebraic);
  value->kind = kind_number;
  fmpq_set_si(value->rational, p, q);
  value->pi_power = 1;
  if (!step->radians) { /* p/q pi radians are 180 p / q degrees */
    fmpq_mul_ui(value->rational, value->rational, 180);
    value->pi_power = 0;
  }
  if (fmpq_is_zero(value->rational)) value->pi_power = 0;
  return step_done;
}

/* amplitude argument -> amplitude x f(argument), in the amplitude's place; `slot` is free. */
static int apply_function(struct run* run, const ProgramStep* step, struct value* amplitude,
                          struct value* argument, struct value* slot) {
  fmpq_t turns;
  slong power = 0;
  int end;
  const int inverse = step->argument == program_arc_sine || step->argument == program_arc_cosine ||
                      step->argument == program_arc_tangent;
  if (!program_function_is_trigonometric(step->argument)) {
    /* A logarithm, an exponential, a hyperbolic function or an absolute value: of x it is no
       function of the angles; of a number, no number the field holds. */
    return outside(run, argument->varies ? reason_unknown_outside_angle : reason_not_algebraic);
  }
  if (inverse) {
    end = inverse_function(run, step, argument, slot);
  } else {
    fmpq_init(turns);
    end = angle_of(run, step, argument, turns, &power);
    if (end == step_done) end = direct_function(run, step->argument, turns, power, slot);
    fmpq_clear(turns);
  }
  if (end != step_done) return end;
  return multiply_values(run, amplitude, slot, 0);
}

/* The square root of the square-free `m` (at most ROOT_RADICAND_LIMIT) as an element: the
   product of those of its primes, sqrt 2 = zeta_8 + zeta_8^-1, and for an odd prime p the
   Gauss sum g = sum of (k | p) zeta_p^k, which is sqrt p when p = 1 modulo 4 and i sqrt p when
   p = 3 modulo 4. */
static void square_root_element(struct run* run, fmpq_poly_t result, ulong m) {
  const struct circle_field* field = &run->result->field;
  const slong order = (slong)field->order;
  fmpq_poly_t factor, term;
  n_factor_t primes;
  int f;
  ulong k;
  fmpq_poly_init(factor);
  fmpq_poly_init(term);
  fmpq_poly_one(result);
  n_factor_init(&primes);
  n_factor(&primes, m, 1);
  for (f = 0; f < primes.num; ++f) {
    const ulong p = primes.p[f];
    fmpq_poly_zero(factor);
    for (k = 1; k < (p == 2 ? 8 : p); k += p == 2 ? 6 : 1) {
      circle_element_zeta_power(term, (slong)k * order / (slong)(p == 2 ? 8 : p), field);
      if (p == 2 || n_jacobi((mp_limb_signed_t)k, p) == 1) fmpq_poly_add(factor, factor, term);
      if (p != 2 && n_jacobi((mp_limb_signed_t)k, p) == -1) fmpq_poly_sub(factor, factor, term);
    }
    if (p % 4 == 3) { /* sqrt p = g / i = -i g */
      circle_element_zeta_power(term, 3 * order / 4, field);
      circle_element_mul(factor, factor, term, field);
    }
    circle_element_mul(result, result, factor, field);
  }
  fmpq_poly_clear(factor);
  fmpq_poly_clear(term);
}

/* n = outside^2 inside with inside square-free (n > 0), into `outside` and `inside`. */
static void split_square(const fmpz_t n, fmpz_t outside_part, fmpz_t inside) {
  fmpz_factor_t factors;
  fmpz_t power;
  slong f;
  fmpz_factor_init(factors);
  fmpz_init(power);
  fmpz_factor(factors, n);
  fmpz_one(outside_part);
  fmpz_one(inside);
  for (f = 0; f < factors->num; ++f) {
    fmpz_pow_ui(power, factors->p + f, factors->exp[f] / 2);
    fmpz_mul(outside_part, outside_part, power);
    if (factors->exp[f] % 2 == 1) fmpz_mul(inside, inside, factors->p + f);
  }
  fmpz_clear(power);
  fmpz_factor_clear(factors);
}

/* (s / b) sqrt(m) into `value`, an element of the field, which is made to hold sqrt m. */
static int root_element(struct run* run, struct value* value, const fmpz_t s, const fmpz_t b,
                        const fmpz_t m) {
  const ulong radicand = fmpz_get_ui(m);
  fmpz_t needed;
  fmpq_t scale;
  int end;
  if (fmpz_cmp_ui(m, ROOT_RADICAND_LIMIT) > 0) return outside(run, reason_too_large);
  fmpz_init_set_ui(needed, radicand % 2 == 0 ? 4 * radicand : radicand); /* zeta_8, zeta_p */
  end = gather_order(run, needed);
  fmpz_clear(needed);
  if (end != step_done) return end;
  if (!run->gathering) {
    fmpq_init(scale);
    fmpq_set_fmpz_frac(scale, s, b);
    square_root_element(run, run->element, radicand);
    fmpq_poly_scalar_mul_fmpq(run->element, run->element, scale);
    fmpq_clear(scale);
  }
  set_constant_function(run, value, run->element);
  return step_done;
}

/* The square root of the rational `value`, into it: a rational when it is a square, else
   an element of the field (which is made to hold it). A number below 0 has none:
   sqrt(a / b) = sqrt(a b) / b = (s / b) sqrt(m), with a b = s^2 m and m square-free. */
static int square_root(struct run* run, struct value* value) {
  fmpz_t product, s, m;
  int end = step_done;
  if (value->kind != kind_number || value->pi_power != 0) {
    return outside(run, value->kind == kind_number ? reason_not_algebraic : reason_power);
  }
  if (fmpq_sgn(value->rational) < 0) return step_no_value;
  if (fmpq_is_zero(value->rational)) return step_done;
  fmpz_init(product);
  fmpz_init(s);
  fmpz_init(m);
  fmpz_mul(product, fmpq_numref(value->rational), fmpq_denref(value->rational));
  split_square(product, s, m);
  if (fmpz_is_one(m)) {
    fmpq_t root;
    fmpq_init(root);
    fmpq_set_fmpz_frac(root, s, fmpq_denref(value->rational));
    fmpq_swap(root, value->rational);
    fmpq_clear(root);
  } else {
    end = root_element(run, value, s, fmpq_denref(value->rational), m);
  }
  fmpz_clear(product);
  fmpz_clear(s);
  fmpz_clear(m);
  return end;
}

/* base^n for an integer n of at most UNKNOWN_POWER_LIMIT in size, into `base`. */
static int integer_power(struct run* run, struct value* base, slong n) {
  const ulong magnitude = (ulong)(n < 0 ? -n : n);
  ulong k;
  if (run->gathering && base->kind == kind_function && magnitude > run->largest_power) {
    run->largest_power = magnitude;
  }
  if (base->kind == kind_linear) {
    if (n == 1) return step_done;
    return outside(run, reason_unknown_outside_angle);
  }
  if (base->kind == kind_number) {
    if (fmpq_is_zero(base->rational) && n < 0) return step_no_value;
    if (n < 0) fmpq_inv(base->rational, base->rational);
    fmpq_pow_si(base->rational, base->rational, (slong)magnitude);
    base->pi_power = fmpq_is_zero(base->rational) || n == 0 ? 0 : base->pi_power * n;
    return step_done;
  }
  if (run->gathering) return step_done;
  if (run->substituting) {
    if (n < 0 && qqbar_is_zero(base->number)) return step_no_value;
    qqbar_pow_si(base->number, base->number, n);
    return step_done;
  }
  if (n < 0) {
    if (circle_poly_is_zero(&base->numerator)) return step_no_value;
    if (keep_exclusion(run, &base->numerator) != step_done) return step_outside;
    circle_poly_swap(&base->numerator, &base->denominator);
  }
  {
    struct circle_poly numerator, denominator;
    circle_poly_init(&numerator);
    circle_poly_init(&denominator);
    circle_poly_set(&numerator, &base->numerator);
    circle_poly_set(&denominator, &base->denominator);
    fmpq_poly_one(run->element);
    circle_poly_monomial(&base->numerator, run->element, 0);
    circle_poly_monomial(&base->denominator, run->element, 0);
    for (k = 0; k < magnitude; ++k) {
      circle_poly_mul(&base->numerator, &base->numerator, &numerator, &run->result->field);
      circle_poly_mul(&base->denominator, &base->denominator, &denominator, &run->result->field);
      if (tidy(run, base) != step_done) break;
    }
    circle_poly_clear(&numerator);
    circle_poly_clear(&denominator);
  }
  return run->result->reason == reason_none ? step_done : step_outside;
}

/* base^exponent, into `base`: an integer exponent, or a half (a square root). */
static int raise_value(struct run* run, struct value* base, const struct value* exponent) {
  const fmpz* numerator = fmpq_numref(exponent->rational);
  const fmpz* denominator = fmpq_denref(exponent->rational);
  if (exponent->kind != kind_number || exponent->pi_power != 0) return outside(run, reason_power);
  if (fmpz_cmp_ui(denominator, 2) == 0 && fmpz_is_one(numerator)) return square_root(run, base);
  if (!fmpz_is_one(denominator) || fmpz_cmp_si(numerator, UNKNOWN_POWER_LIMIT) > 0 ||
      fmpz_cmp_si(numerator, -UNKNOWN_POWER_LIMIT) < 0) {
    return outside(run, reason_power);
  }
  return integer_power(run, base, fmpz_get_si(numerator));
}

static int push_number(struct run* run, const ExactProgram* program, const ProgramStep* step,
                       struct value* value) {
  const struct exact_number* number = program->numbers + step->argument;
  fmpq_t one;
  if (number->too_large) return outside(run, reason_too_large);
  if (!number->pi) {
    set_number(value, number->value, 0);
    return step_done;
  }
  fmpq_init(one);
  fmpq_one(one);
  set_number(value, one, 1);
  fmpq_clear(one);
  return step_done;
}

static int negate(struct run* run, struct value* value) {
  fmpq_neg(value->rational, value->rational);
  fmpq_neg(value->slope, value->slope);
  if (value->kind == kind_function && run->substituting) qqbar_neg(value->number, value->number);
  if (value->kind == kind_function && !run->gathering && !run->substituting) {
    circle_poly_neg(&value->numerator, &value->numerator);
  }
  return step_done;
}

static int run_step(struct run* run, const ExactProgram* program, const ProgramStep* step) {
  struct value *left, *right;
  if (step->code == program_push_number || step->code == program_unknown) {
    if (run->depth + 2 > program_stack_capacity) return outside(run, reason_too_large);
    right = &run->values[run->depth++];
    if (step->code == program_push_number) return push_number(run, program, step, right);
    if (run->at_number) {
      set_number(right, run->number, run->radians ? 1 : 0); /* x pi radians, or x degrees */
      return step_done;
    }
    right->kind = kind_linear;
    right->varies = 1;
    fmpq_one(right->slope);
    fmpq_zero(right->rational);
    right->pi_power = 0;
    return step_done;
  }
  if (run->depth < 1 || run->depth > program_stack_capacity - 1)
    return outside(run, reason_too_large);
  right = &run->values[run->depth - 1];
  if (step->code == program_negate) return negate(run, right);
  if (step->code == program_root) return square_root(run, right);
  if (run->depth < 2) return outside(run, reason_too_large);
  left = &run->values[run->depth - 2];
  --run->depth;
  left->varies = left->varies || right->varies;
  switch (step->code) {
    case program_add:
    case program_subtract:
      return add_values(run, left, right, step->code == program_subtract);
    case program_multiply:
    case program_divide:
      return multiply_values(run, left, right, step->code == program_divide);
    case program_power:
      return raise_value(run, left, right);
    case program_function:
      return apply_function(run, step, left, right, &run->values[run->depth + 1]);
    default:
      return outside(run, reason_too_large);
  }
}

/* Runs the steps once, gathering or computing; the outcome of the run, with the step that
   ended it in the result. */
static int run_steps(struct run* run, const ExactProgram* program, int first, int last) {
  int s;
  run->depth = 0;
  for (s = first; s < last; ++s) {
    const int end = run_step(run, program, program->steps + s);
    run->result->step = s;
    if (end == step_no_value) return unknown_no_value;
    if (end != step_done) return unknown_outside;
  }
  if (run->depth != 1) return unknown_outside;
  if (run->values[0].kind == kind_number) return unknown_constant;
  return run->values[0].kind == kind_linear ? unknown_linear : unknown_function;
}

/* Sets up the field and D the gathering found; 0 when the field is too large. */
static int set_up(struct run* run) {
  const ulong order = fmpz_get_ui(run->order);
  if (fmpz_cmp_ui(run->order, UNKNOWN_ORDER_LIMIT * 64) > 0 ||
      n_euler_phi(order) > FIELD_DEGREE_LIMIT || fmpz_cmp_ui(fmpq_denref(run->scale), 360) > 0) {
    return outside(run, reason_too_large) == step_done;
  }
  circle_field_clear(&run->result->field);
  circle_field_init(&run->result->field, order);
  if (fmpq_is_zero(run->scale)) fmpq_one(run->scale); /* no angle in x: t = e^(i x) */
  fmpq_set(run->result->scale, run->scale);
  return 1;
}

/* Moves the run's one value into the result. */
static void take_value(struct run* run, int outcome) {
  struct unknown_result* result = run->result;
  struct value* value = run->values;
  result->outcome = outcome;
  fmpq_set(result->rational, value->rational);
  result->pi_power = value->pi_power;
  fmpq_set(result->slope, value->slope);
  fmpq_set(result->offset, value->rational);
  if (outcome == unknown_function) {
    circle_poly_swap(&result->numerator, &value->numerator);
    circle_poly_swap(&result->denominator_poly, &value->denominator);
  }
}

void unknown_result_init(struct unknown_result* result) {
  int k;
  circle_field_init(&result->field, 4);
  circle_poly_init(&result->numerator);
  circle_poly_init(&result->denominator_poly);
  fmpq_init(result->rational);
  fmpq_init(result->slope);
  fmpq_init(result->scale);
  fmpq_one(result->scale);
  fmpq_init(result->offset);
  for (k = 0; k < UNKNOWN_EXCLUSION_CAPACITY; ++k) circle_poly_init(result->exclusions + k);
  for (k = 0; k < UNKNOWN_ANGLE_CAPACITY; ++k) {
    fmpq_init(result->angles[k].slope);
    fmpq_init(result->angles[k].offset_turns);
  }
}

void unknown_result_clear(struct unknown_result* result) {
  int k;
  circle_field_clear(&result->field);
  circle_poly_clear(&result->numerator);
  circle_poly_clear(&result->denominator_poly);
  fmpq_clear(result->rational);
  fmpq_clear(result->slope);
  fmpq_clear(result->scale);
  fmpq_clear(result->offset);
  for (k = 0; k < UNKNOWN_EXCLUSION_CAPACITY; ++k) circle_poly_clear(result->exclusions + k);
  for (k = 0; k < UNKNOWN_ANGLE_CAPACITY; ++k) {
    fmpq_clear(result->angles[k].slope);
    fmpq_clear(result->angles[k].offset_turns);
  }
}

/* The run's stack and scratch, made once. */
static struct run* the_run(void) {
  static struct run run; /* its stack is 64 values of polynomials: kept off the stack */
  static int ready = 0;
  int k;
  if (!ready) {
    for (k = 0; k < program_stack_capacity; ++k) value_init(run.values + k);
    fmpz_init(run.order);
    fmpq_init(run.scale);
    fmpq_poly_init(run.element);
    fmpq_poly_init(run.other);
    fmpq_init(run.tau);
    fmpq_init(run.slopes);
    fmpq_init(run.number);
    run.at_number = 0;
    for (k = 0; k < COMMON_ANGLE_CAPACITY; ++k) fmpq_init(run.wide[k]);
    qqbar_init(run.point);
    qqbar_init(run.zeta);
    ready = 1;
  }
  return &run;
}

void unknown_run(const ExactProgram* program, int first, int last, int radians,
                 struct unknown_result* result) {
  struct run* run = the_run();
  int outcome;
  run->result = result;
  run->radians = radians;
  run->substituting = 0;
  run->common = 0;
  run->collecting = 0;
  result->reason = reason_none;
  result->exclusion_count = 0;
  result->angle_count = 0;
  fmpq_one(result->scale);
  run->gathering = 1;
  fmpz_set_ui(run->order, 4); /* i, which every sine needs */
  fmpq_zero(run->scale);
  fmpq_zero(run->slopes);
  run->largest_power = 1;
  outcome = run_steps(run, program, first, last);
  if (outcome != unknown_outside && outcome != unknown_no_value && set_up(run)) {
    run->gathering = 0;
    outcome = run_steps(run, program, first, last);
  } else if (outcome != unknown_no_value) {
    outcome = unknown_outside;
  }
  if (outcome == unknown_outside && result->reason == reason_none)
    result->reason = reason_too_large;
  if (outcome == unknown_outside || outcome == unknown_no_value) {
    result->outcome = outcome;
    return;
  }
  take_value(run, outcome);
}

int unknown_run_at(const ExactProgram* program, int first, int last, int radians,
                   struct unknown_result* result, const qqbar_t point, qqbar_t value) {
  struct run* run = the_run();
  const int reason = result->reason;
  int outcome;
  run->result = result;
  run->radians = radians;
  run->gathering = 0;
  run->substituting = 1;
  fmpq_set(run->scale, result->scale);
  qqbar_set(run->point, point);
  qqbar_root_of_unity(run->zeta, 1, result->field.order);
  outcome = run_steps(run, program, first, last);
  run->substituting = 0;
  result->reason = reason;
  if (outcome == unknown_no_value) return 0;
  if (outcome != unknown_function && outcome != unknown_constant) return -1;
  if (outcome == unknown_constant) {
    if (run->values[0].pi_power != 0) return -1;
    qqbar_set_fmpq(value, run->values[0].rational);
    return 1;
  }
  qqbar_set(value, run->values[0].number);
  return 1;
}

/* 1 when every angle kept is n tau + c, c of a small denominator, for this tau. */
static int tau_fits(const struct run* run, const fmpq_t tau) {
  fmpq_t rest;
  slong n;
  int k, fits = 1;
  fmpq_init(rest);
  for (k = 0; k < run->collected && fits; ++k) fits = common_multiple(run->wide[k], tau, &n, rest);
  fmpq_clear(rest);
  return fits;
}

/* One angle tau of which every angle kept is a small multiple, plus a turn of a small
   denominator: one of them over 1 to 4; 0 when none is. */
static int choose_tau(struct run* run) {
  int k;
  slong parts;
  for (k = 0; k < run->collected; ++k) {
    for (parts = 1; parts <= 4; ++parts) {
      fmpq_set(run->tau, run->wide[k]);
      fmpz_mul_si(fmpq_denref(run->tau), fmpq_denref(run->tau), parts);
      fmpq_canonicalise(run->tau);
      if (tau_fits(run, run->tau)) return 1;
    }
  }
  return 0;
}

/* 1 when no polynomial of the result but 0 vanishes at a root of unity of order M: each has
   fewer roots than a primitive M-th root has conjugates over the field. */
static int none_vanish_at_order(const struct unknown_result* result, const fmpz_t order) {
  fmpz_t conjugates;
  slong most = circle_poly_degree(&result->denominator_poly);
  int k, none;
  for (k = 0; k < result->exclusion_count; ++k) {
    const slong degree = circle_poly_degree(result->exclusions + k);
    if (degree > most) most = degree;
  }
  fmpz_init(conjugates);
  fmpz_euler_phi(conjugates, order);
  none = fmpz_cmp_si(conjugates, most * result->field.degree) > 0;
  fmpz_clear(conjugates);
  return none;
}

int unknown_zero_by_common_angle(const ExactProgram* program, struct unknown_result* result) {
  struct run* run = the_run();
  int outcome, zero;
  run->result = result;
  run->radians = 0;
  run->substituting = 0;
  run->common = 0;
  result->reason = reason_none;
  result->exclusion_count = 0;
  result->angle_count = 0;
  fmpq_one(result->scale);
  run->gathering = 1;
  run->collecting = 1;
  run->collected = 0;
  fmpz_set_ui(run->order, 4);
  fmpq_zero(run->scale);
  outcome = run_steps(run, program, 0, program->step_count);
  run->collecting = 0;
  if (outcome == unknown_outside || outcome == unknown_no_value || run->collected == 0 ||
      !choose_tau(run)) {
    return 0;
  }
  run->common = 1;
  fmpz_set_ui(run->order, 4);
  outcome = run_steps(run, program, 0, program->step_count);
  if (outcome == unknown_outside || outcome == unknown_no_value || !set_up(run)) {
    run->common = 0;
    return 0;
  }
  run->gathering = 0;
  outcome = run_steps(run, program, 0, program->step_count);
  run->common = 0;
  if (outcome == unknown_constant) return fmpq_is_zero(run->values[0].rational);
  if (outcome != unknown_function) return 0;
  take_value(run, outcome);
  zero = circle_poly_is_zero(&result->numerator) &&
         none_vanish_at_order(result, fmpq_denref(run->tau));
  return zero;
}

int unknown_run_is_light(const ExactProgram* program, int first, int last, int radians) {
  struct run* run = the_run();
  static struct unknown_result scratch;
  static int ready = 0;
  fmpz_t degree;
  int light;
  if (!ready) {
    unknown_result_init(&scratch);
    ready = 1;
  }
  if (last - first > LIGHT_STEP_LIMIT) return 0;
  run->result = &scratch;
  run->radians = radians;
  run->substituting = 0;
  run->common = 0;
  run->collecting = 0;
  scratch.reason = reason_none;
  run->gathering = 1;
  fmpz_set_ui(run->order, 4);
  fmpq_zero(run->scale);
  fmpq_zero(run->slopes);
  run->largest_power = 1;
  if (run_steps(run, program, first, last) == unknown_outside) return 1; /* refused at once */
  /* The degree in t the run may reach: twice the slopes over G, times the largest power. */
  fmpz_init(degree);
  if (!fmpq_is_zero(run->scale)) slope_over_scale(degree, run->slopes, run->scale);
  fmpz_mul_ui(degree, degree, 2 * run->largest_power);
  fmpz_mul_ui(degree, degree, n_euler_phi(fmpz_get_ui(run->order)));
  light = fmpz_cmp_ui(run->order, UNKNOWN_ORDER_LIMIT) <= 0 &&
          fmpz_cmp_ui(degree, LIGHT_NORM_DEGREE) <= 0;
  fmpz_clear(degree);
  return light;
}

int unknown_run_at_number(const ExactProgram* program, int first, int last, int radians,
                          const fmpq_t x, struct unknown_result* result) {
  struct run* run = the_run();
  int zero = -2;
  fmpq_set(run->number, x);
  run->at_number = 1;
  unknown_run(program, first, last, radians, result);
  run->at_number = 0;
  if (result->outcome == unknown_no_value) zero = -1;
  if (result->outcome == unknown_constant) zero = fmpq_is_zero(result->rational);
  if (result->outcome == unknown_function) zero = circle_poly_is_zero(&result->numerator);
  return zero;
}
