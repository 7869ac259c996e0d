#include "exact/solution_set.h"

#include "exact/circle_roots.h"
#include "exact/radical_number.h"
#include "exact/unknown_run.h"
#include "program/program.h"

/* Bits of the balls that tell turns apart and choose an inverse function's branch. */
/* The most degree an irrational root may have to be put back into the line in algebraic
   numbers: past it, each of their operations would take seconds. */
#define CHECK_DEGREE_LIMIT 8
#define TURN_PRECISION 128

/* What the solver keeps between its steps: the run in z and the roots of a polynomial. */
struct solver {
  struct unknown_result run;
  struct circle_roots roots;
  struct circle_roots excluded;
  qqbar_t constant; /* an expression's one value, when it has no pi */
  fmpq_t rational;  /* else rational x pi^pi_power */
  slong pi_power;
  int algebraic; /* which of the two */
};

static struct solver* the_solver(void) {
  static struct solver solver;
  static int ready = 0;
  if (!ready) {
    unknown_result_init(&solver.run);
    circle_roots_init(&solver.roots);
    circle_roots_init(&solver.excluded);
    qqbar_init(solver.constant);
    fmpq_init(solver.rational);
    ready = 1;
  }
  return &solver;
}

/* A whole turn of x in the line's unit: 360 degrees, or 2 (times pi). */
static ulong full_turn(int radians) {
  return radians ? 2 : 360;
}

/* `turn` turns of z = e^(i G x) in the line's unit: x = arg z / G. */
static void turn_to_unit(fmpq_t result, const fmpq_t turn, const fmpq_t scale, int radians) {
  fmpq_mul_ui(result, turn, full_turn(radians));
  fmpq_div(result, result, scale);
}

void solution_set_init(struct solution_set* set) {
  int k;
  fmpq_init(set->period);
  radical_form_init(&set->constant);
  for (k = 0; k < SOLUTION_FAMILY_CAPACITY; ++k) {
    struct solution_family* family = set->families + k;
    fmpq_init(family->start);
    fmpq_init(family->period);
    radical_form_init(&family->inverse.value);
    fmpq_init(family->inverse.scale);
    fmpq_init(family->inverse.offset);
  }
}

void solution_set_clear(struct solution_set* set) {
  int k;
  fmpq_clear(set->period);
  radical_form_clear(&set->constant);
  for (k = 0; k < SOLUTION_FAMILY_CAPACITY; ++k) {
    struct solution_family* family = set->families + k;
    fmpq_clear(family->start);
    fmpq_clear(family->period);
    radical_form_clear(&family->inverse.value);
    fmpq_clear(family->inverse.scale);
    fmpq_clear(family->inverse.offset);
  }
}

/* 1 when root `a` turned by j/m of a turn is root `b`, exactly. */
static int turned_is(const struct circle_root* a, const struct circle_root* b, ulong j, ulong m) {
  fmpq_t turn;
  qqbar_t turned;
  int equal;
  if (a->unity != b->unity) return 0;
  if (a->unity) {
    fmpq_init(turn);
    fmpq_set_si(turn, (slong)j, m);
    fmpq_add(turn, turn, a->turn);
    if (fmpz_cmp(fmpq_numref(turn), fmpq_denref(turn)) >= 0) fmpq_sub_si(turn, turn, 1);
    equal = fmpq_equal(turn, b->turn);
    fmpq_clear(turn);
    return equal;
  }
  qqbar_init(turned);
  qqbar_root_of_unity(turned, (slong)j, m);
  qqbar_mul(turned, turned, a->value);
  equal = qqbar_equal(turned, b->value);
  qqbar_clear(turned);
  return equal;
}

/* 1 when root `a`'s turn is below root `b`'s: exactly for roots of unity, by balls made finer
   otherwise (two roots are never at one turn). */
static int turn_before(const struct circle_root* a, const struct circle_root* b) {
  arb_t x, y;
  slong precision;
  int before = 0;
  if (a->unity && b->unity) return fmpq_cmp(a->turn, b->turn) < 0;
  arb_init(x);
  arb_init(y);
  for (precision = TURN_PRECISION; precision <= 64 * TURN_PRECISION; precision *= 2) {
    circle_root_turn(x, a, precision);
    circle_root_turn(y, b, precision);
    arb_sub(x, x, y, precision);
    if (arb_contains_zero(x)) continue;
    before = arb_is_negative(x);
    break;
  }
  arb_clear(x);
  arb_clear(y);
  return before;
}

/* The roots put in the order of their turns. */
static void sort_by_turn(struct circle_roots* roots) {
  int a, b;
  for (a = 1; a < roots->count; ++a) {
    for (b = a; b > 0 && turn_before(roots->roots + b, roots->roots + b - 1); --b) {
      struct circle_root swap = roots->roots[b];
      roots->roots[b] = roots->roots[b - 1];
      roots->roots[b - 1] = swap;
    }
  }
}

/* The root not yet in a family that root `start` turned by j/m is; -1 when there is none. */
static int free_turned(const struct circle_roots* roots, const int* taken, int start, ulong j,
                       ulong m) {
  int b;
  for (b = 0; b < roots->count; ++b) {
    if (!taken[b] && b != start && turned_is(roots->roots + start, roots->roots + b, j, m)) {
      return b;
    }
  }
  return -1;
}

/* The most m for which root `start` turned by every j/m is a root not yet in a family (of
   which there are `free_count`, `start` among them); `start` and those turns are marked taken. */
static ulong take_orbit(const struct circle_roots* roots, int* taken, int start, int free_count) {
  ulong m, j;
  for (m = (ulong)free_count; m > 1; --m) {
    for (j = 1; j < m && free_turned(roots, taken, start, j, m) >= 0; ++j) {
    }
    if (j == m) break;
  }
  if (m < 1) m = 1;
  for (j = 1; j < m; ++j) taken[free_turned(roots, taken, start, j, m)] = 1;
  taken[start] = 1;
  return m;
}

/* The values an inverse function may be written with, for root z at angle `angle`:
   e^(i angle) = w z^power, its sine, cosine and tangent. */
static void angle_values(qqbar_t sine, qqbar_t cosine, const struct unknown_angle* angle,
                         const qqbar_t z) {
  qqbar_t e;
  qqbar_init(e);
  qqbar_root_of_unity(e, fmpz_get_si(fmpq_numref(angle->offset_turns)),
                      fmpz_get_ui(fmpq_denref(angle->offset_turns)));
  qqbar_pow_si(cosine, z, angle->power);
  qqbar_mul(e, e, cosine);
  qqbar_re_im(cosine, sine, e);
  qqbar_clear(e);
}

/* 1 when `x` is simpler than `best` (none yet when `have` is 0): lower degree, then height. */
static int simpler(const qqbar_t x, const qqbar_t best, int have) {
  if (!have) return 1;
  if (qqbar_degree(x) != qqbar_degree(best)) return qqbar_degree(x) < qqbar_degree(best);
  return qqbar_height_bits(x) < qqbar_height_bits(best);
}

/* The simplest of the sine, cosine and tangent of the line's angles at `z` that has a form:
   into `choice` (its angle and function) and `value`; 0 when none has one. */
struct inverse_choice {
  int angle;
  int function;
};

static int choose_inverse(struct inverse_choice* choice, qqbar_t value,
                          const struct unknown_result* run, const qqbar_t z) {
  qqbar_t values[3];
  struct radical_form form;
  int a, f, have = 0;
  for (f = 0; f < 3; ++f) qqbar_init(values[f]);
  radical_form_init(&form);
  for (a = 0; a < run->angle_count; ++a) {
    angle_values(values[0], values[1], run->angles + a, z);
    if (qqbar_is_zero(values[1])) {
      qqbar_set(values[2], values[1]); /* no tangent: a cosine of 0 */
    } else {
      qqbar_div(values[2], values[0], values[1]);
    }
    for (f = 0; f < 3; ++f) {
      if (f == 2 && qqbar_is_zero(values[1])) continue;
      if (!simpler(values[f], value, have) || !radical_form_of_number(&form, values[f])) continue;
      qqbar_set(value, values[f]);
      choice->angle = a;
      choice->function = f == 0   ? program_arc_sine
                         : f == 1 ? program_arc_cosine
                                  : program_arc_tangent;
      have = 1;
    }
  }
  radical_form_clear(&form);
  for (f = 0; f < 3; ++f) qqbar_clear(values[f]);
  return have;
}

/* The branch of the inverse function that gives the angle at `z`: angle = constant + sign
   f(value), modulo a whole turn; `constant` in half turns (0 or 1). */
static void branch_of(int function, const qqbar_t sine, const qqbar_t cosine, int* sign,
                      int* half_turns) {
  *sign = 1;
  *half_turns = 0;
  if (function == program_arc_sine && qqbar_sgn_re(cosine) < 0) {
    *sign = -1; /* 180 - arcsen */
    *half_turns = 1;
  }
  if (function == program_arc_cosine && qqbar_sgn_re(sine) < 0) *sign = -1;         /* -arccos */
  if (function == program_arc_tangent && qqbar_sgn_re(cosine) < 0) *half_turns = 1; /* 180 + */
}

/* f(value) in the line's unit, enclosed. */
static void inverse_ball(arb_t result, int function, const qqbar_t value, int radians,
                         slong precision) {
  arb_t x, pi;
  arb_init(x);
  arb_init(pi);
  qqbar_get_arb(x, value, precision);
  if (function == program_arc_sine) arb_asin(result, x, precision);
  if (function == program_arc_cosine) arb_acos(result, x, precision);
  if (function == program_arc_tangent) arb_atan(result, x, precision);
  arb_const_pi(pi, precision);
  arb_div(result, result, pi, precision); /* multiples of pi */
  if (!radians) arb_mul_ui(result, result, 180, precision);
  arb_clear(x);
  arb_clear(pi);
}

/* The whole turns n in slope x + b = constant + sign f(value) + n turns, for the family's own
   x: an integer, rounded from balls (0 when they cannot tell which). */
static int whole_turns(fmpz_t n, const struct solution_family* family,
                       const struct solution_set* set, const struct unknown_angle* angle,
                       const qqbar_t value, int half_turns) {
  const struct inverse_start* inverse = &family->inverse;
  const ulong turn = full_turn(set->radians);
  arb_t x, term;
  int found;
  arb_init(x);
  arb_init(term);
  solution_start_ball(x, family, set, TURN_PRECISION);
  arb_mul_fmpz(x, x, fmpq_numref(angle->slope), TURN_PRECISION);
  arb_div_fmpz(x, x, fmpq_denref(angle->slope), TURN_PRECISION);
  arb_set_fmpq(term, angle->offset_turns, TURN_PRECISION);
  arb_mul_ui(term, term, turn, TURN_PRECISION);
  arb_add(x, x, term, TURN_PRECISION);
  arb_sub_ui(x, x, (ulong)half_turns * turn / 2, TURN_PRECISION);
  inverse_ball(term, inverse->function, value, set->radians, TURN_PRECISION);
  if (inverse->sign < 0) arb_add(x, x, term, TURN_PRECISION);
  if (inverse->sign > 0) arb_sub(x, x, term, TURN_PRECISION);
  arb_div_ui(x, x, turn, TURN_PRECISION);
  found = arb_get_unique_fmpz(n, x);
  arb_clear(x);
  arb_clear(term);
  return found;
}

/* The start's rational part and scale: x = (constant - b + n turns) / slope + sign f(value)
   / slope, in the line's unit. */
static void set_offset(struct inverse_start* inverse, const struct unknown_angle* angle,
                       const fmpz_t n, int half_turns, int radians) {
  const ulong turn = full_turn(radians);
  fmpq_t offset;
  fmpq_init(offset);
  fmpq_neg(offset, angle->offset_turns);
  fmpq_add_fmpz(offset, offset, n);
  fmpq_mul_ui(offset, offset, turn);
  fmpq_add_si(offset, offset, half_turns * (slong)turn / 2);
  fmpq_set_fmpz_frac(inverse->scale, fmpq_denref(angle->slope), fmpq_numref(angle->slope));
  fmpq_mul(offset, offset, inverse->scale);
  fmpq_swap(inverse->offset, offset);
  fmpq_clear(offset);
}

/* Writes the start of `family`, an irrational root, with an inverse function of the simplest
   value the line's angles take there, on the branch that gives the root. 0 when no value has
   a form, or the whole turns cannot be told. */
static int write_with_inverse(struct solution_family* family, const struct solution_set* set,
                              const struct unknown_result* run, const struct circle_root* root) {
  struct inverse_choice choice;
  struct inverse_start* inverse = &family->inverse;
  qqbar_t value, sine, cosine;
  fmpz_t n;
  int half_turns = 0, found;
  qqbar_init(value);
  qqbar_init(sine);
  qqbar_init(cosine);
  fmpz_init(n);
  found = choose_inverse(&choice, value, run, root->value);
  if (found) {
    const struct unknown_angle* angle = run->angles + choice.angle;
    angle_values(sine, cosine, angle, root->value);
    branch_of(choice.function, sine, cosine, &inverse->sign, &half_turns);
    radical_form_of_number(&inverse->value, value);
    inverse->function = choice.function;
    found = whole_turns(n, family, set, angle, value, half_turns);
    if (found) set_offset(inverse, angle, n, half_turns, set->radians);
  }
  qqbar_clear(value);
  qqbar_clear(sine);
  qqbar_clear(cosine);
  fmpz_clear(n);
  return found;
}

void solution_start_ball(arb_t start, const struct solution_family* family,
                         const struct solution_set* set, slong precision) {
  const struct solver* solver = the_solver();
  if (family->rational) {
    arb_set_fmpq(start, family->start, precision);
    return;
  }
  circle_root_turn(start, solver->roots.roots + family->root, precision);
  arb_mul_ui(start, start, full_turn(set->radians), precision);
  arb_div_fmpz(start, start, fmpq_numref(solver->run.scale), precision);
  arb_mul_fmpz(start, start, fmpq_denref(solver->run.scale), precision);
}

/* The families of `roots` (not none), into `set`, in the order of their starts: each the
   first root not yet in one with its turns by j/m of a whole turn, m the most for which all
   are roots not yet in one; its start in [0, period). */
static void gather_families(struct solution_set* set, struct circle_roots* roots,
                            const struct unknown_result* run, int write_inverses) {
  static int taken[CIRCLE_ROOT_CAPACITY];
  fmpq_t turn;
  int r, free_count = roots->count;
  fmpq_init(turn);
  sort_by_turn(roots);
  for (r = 0; r < roots->count; ++r) taken[r] = 0;
  set->family_count = 0;
  for (r = 0; r < roots->count && set->family_count < SOLUTION_FAMILY_CAPACITY; ++r) {
    const struct circle_root* root = roots->roots + r;
    struct solution_family* family;
    ulong m;
    if (taken[r]) continue;
    m = take_orbit(roots, taken, r, free_count);
    free_count -= (int)m;
    family = set->families + set->family_count++;
    fmpq_set_si(turn, 1, m);
    turn_to_unit(family->period, turn, run->scale, set->radians);
    family->rational = root->unity;
    family->root = r;
    family->written = 0;
    if (root->unity) turn_to_unit(family->start, root->turn, run->scale, set->radians);
    if (!root->unity && write_inverses)
      family->written = write_with_inverse(family, set, run, root);
  }
  fmpq_clear(turn);
}

/* Drops the roots where an excluded polynomial is 0. */
static void drop_excluded(struct circle_roots* roots, const struct unknown_result* run) {
  int r, e, kept = 0;
  for (r = 0; r < roots->count; ++r) {
    int excluded = 0;
    for (e = 0; e < run->exclusion_count && !excluded; ++e) {
      excluded = circle_root_is_root_of(roots->roots + r, run->exclusions + e, &run->field);
    }
    if (excluded) continue;
    if (kept != r) {
      struct circle_root swap = roots->roots[kept];
      roots->roots[kept] = roots->roots[r];
      roots->roots[r] = swap;
    }
    ++kept;
  }
  roots->count = kept;
}

/* The points without value: the roots on the unit circle of every excluded polynomial. */
static int gather_excluded(struct circle_roots* roots, struct circle_roots* scratch,
                           const struct unknown_result* run) {
  int e, r, k;
  roots->count = 0;
  for (e = 0; e < run->exclusion_count; ++e) {
    if (!circle_roots_find(scratch, run->exclusions + e, &run->field)) return 0;
    for (r = 0; r < scratch->count; ++r) {
      int known = 0;
      for (k = 0; k < roots->count && !known; ++k) {
        known = scratch->roots[r].unity == roots->roots[k].unity &&
                qqbar_equal(scratch->roots[r].value, roots->roots[k].value);
      }
      if (known) continue;
      if (roots->count == CIRCLE_ROOT_CAPACITY) return 0;
      {
        struct circle_root swap = roots->roots[roots->count];
        roots->roots[roots->count++] = scratch->roots[r];
        scratch->roots[r] = swap;
      }
    }
  }
  return 1;
}

/* What the line is at `root`, put back into it exactly: 1 when 0 there, 0 when not, -1 when
   it has no value there, -2 when that cannot be computed within bounds. A rational angle runs
   the line with x that number (exact/unknown_run.h); any other root, of degree
   CHECK_DEGREE_LIMIT at most, runs it in algebraic numbers with z that root. */
static int line_at_root(const struct circle_root* root, const ExactProgram* program, int first,
                        int last, int radians, struct unknown_result* run) {
  static struct unknown_result scratch;
  static int ready = 0;
  fmpq_t x;
  qqbar_t value;
  int outcome;
  if (!ready) unknown_result_init(&scratch);
  ready = 1;
  if (root->unity) {
    fmpq_init(x);
    turn_to_unit(x, root->turn, run->scale, radians);
    outcome = unknown_run_at_number(program, first, last, radians, x, &scratch);
    fmpq_clear(x);
    return outcome;
  }
  if (qqbar_degree(root->value) > CHECK_DEGREE_LIMIT) return -2;
  qqbar_init(value);
  switch (unknown_run_at(program, first, last, radians, run, root->value, value)) {
    case 1:
      outcome = qqbar_is_zero(value);
      break;
    case 0:
      outcome = -1; /* no value there */
      break;
    default:
      outcome = -2;
      break;
  }
  qqbar_clear(value);
  return outcome;
}

/* 1 when every root of `roots` puts the line to 0 (`zero`), or makes it have no value; -1
   when one of them could not be put back within bounds. */
static int check_roots(const struct circle_roots* roots, const ExactProgram* program, int first,
                       int last, int radians, struct unknown_result* run, int zero) {
  int r, outcome;
  for (r = 0; r < roots->count; ++r) {
    outcome = line_at_root(roots->roots + r, program, first, last, radians, run);
    if (outcome == -2) return -1;
    if (zero ? outcome != 1 : outcome != -1) return 0;
  }
  return 1;
}

/* Every x where the line has a value solves it: the exceptions are the points without one. */
static void solve_identity(struct solution_set* set, struct solver* solver,
                           const ExactProgram* program, int first, int last) {
  int checked;
  set->kind = solutions_every_x;
  if (!gather_excluded(&solver->roots, &solver->excluded, &solver->run)) {
    set->kind = solutions_unsolved;
    set->reason = reason_roots_beyond_limits;
    return;
  }
  checked = check_roots(&solver->roots, program, first, last, set->radians, &solver->run, 0);
  if (checked != 1) {
    set->kind = solutions_unsolved;
    set->reason = checked < 0 ? reason_too_large : reason_check_failed;
    return;
  }
  set->family_count = 0;
  if (solver->roots.count > 0) gather_families(set, &solver->roots, &solver->run, 0);
}

/* The solutions of numerator = 0 where the line has a value. */
static void solve_in_z(struct solution_set* set, struct solver* solver, const ExactProgram* program,
                       int first, int last) {
  struct unknown_result* run = &solver->run;
  int checked;
  if (circle_poly_is_zero(&run->numerator)) {
    solve_identity(set, solver, program, first, last);
    return;
  }
  set->kind = solutions_none;
  if (!circle_roots_find(&solver->roots, &run->numerator, &run->field)) {
    set->kind = solutions_unsolved;
    set->reason = reason_roots_beyond_limits;
    return;
  }
  drop_excluded(&solver->roots, run);
  if (solver->roots.count == 0) return;
  checked = check_roots(&solver->roots, program, first, last, set->radians, run, 1);
  if (checked != 1) {
    set->kind = solutions_unsolved;
    set->reason = checked < 0 ? reason_too_large : reason_check_failed;
    return;
  }
  set->kind = solutions_found;
  gather_families(set, &solver->roots, run, 1);
}

/* slope x + offset = 0: one x, when the offset is in the line's unit. */
static void solve_linear(struct solution_set* set, const struct unknown_result* run) {
  struct solution_family* family = set->families;
  if (!fmpq_is_zero(run->offset) && run->pi_power != (set->radians ? 1 : 0)) {
    set->kind = solutions_unsolved;
    set->reason = reason_not_algebraic;
    return;
  }
  set->kind = solutions_single;
  set->family_count = 1;
  family->rational = 1;
  family->written = 0;
  family->root = -1;
  fmpq_div(family->start, run->offset, run->slope);
  fmpq_neg(family->start, family->start);
  fmpq_zero(family->period);
}

void solve_equation(const ExactProgram* program, int first, int last, int radians,
                    struct solution_set* set) {
  struct solver* solver = the_solver();
  struct unknown_result* run = &solver->run;
  set->radians = radians;
  set->family_count = 0;
  set->reason = reason_none;
  set->step = -1;
  fmpq_zero(set->period);
  unknown_run(program, first, last, radians, run);
  switch (run->outcome) {
    case unknown_outside:
      set->kind = solutions_unsolved;
      set->reason = run->reason;
      set->step = run->step;
      set->step = run->step;
      return;
    case unknown_no_value:
      set->kind = solutions_none;
      return;
    case unknown_constant:
      set->kind = fmpq_is_zero(run->rational) ? solutions_every_x : solutions_none;
      return;
    case unknown_linear:
      solve_linear(set, run);
      return;
    default:
      solve_in_z(set, solver, program, first, last);
      return;
  }
}

int constant_value(const ExactProgram* program, int first, int last, fmpq_t rational,
                   slong* pi_power) {
  struct unknown_result* run = &the_solver()->run;
  unknown_run(program, first, last, 0, run);
  if (run->outcome != unknown_constant) return 0;
  fmpq_set(rational, run->rational);
  *pi_power = run->pi_power;
  return 1;
}

/* The line's one value c = lc(numerator) / lc(denominator), when numerator = c denominator:
   into the set's constant; 0 when the quotient depends on z. */
static int constant_quotient(struct solution_set* set, const struct unknown_result* run) {
  const struct circle_poly* numerator = &run->numerator;
  const struct circle_poly* denominator = &run->denominator_poly;
  struct circle_poly left, right;
  qqbar_t zeta, top, bottom;
  int constant;
  circle_poly_init(&left);
  circle_poly_init(&right);
  circle_poly_scale(&left, numerator, denominator->coefficients + denominator->length - 1,
                    &run->field);
  circle_poly_scale(&right, denominator, numerator->coefficients + numerator->length - 1,
                    &run->field);
  constant = circle_poly_equal(&left, &right);
  circle_poly_clear(&left);
  circle_poly_clear(&right);
  if (!constant) return 0;
  qqbar_init(zeta);
  qqbar_init(top);
  qqbar_init(bottom);
  qqbar_root_of_unity(zeta, 1, run->field.order);
  qqbar_evaluate_fmpq_poly(top, numerator->coefficients + numerator->length - 1, zeta);
  qqbar_evaluate_fmpq_poly(bottom, denominator->coefficients + denominator->length - 1, zeta);
  qqbar_div(top, top, bottom);
  qqbar_set(the_solver()->constant, top);
  the_solver()->algebraic = 1;
  set->constant_written = radical_form_of_number(&set->constant, top);
  qqbar_clear(zeta);
  qqbar_clear(top);
  qqbar_clear(bottom);
  return 1;
}

/* The period of numerator / denominator: their common factor divided out, the exponents of z
   left all differ by multiples of m, and z may turn by 1/m. */
static void quotient_period(struct solution_set* set, const struct unknown_result* run) {
  struct circle_poly common, numerator, denominator;
  fmpq_t turn;
  ulong m;
  slong base;
  circle_poly_init(&common);
  circle_poly_init(&numerator);
  circle_poly_init(&denominator);
  circle_poly_gcd(&common, &run->numerator, &run->denominator_poly, &run->field);
  circle_poly_divide_exactly(&numerator, &run->numerator, &common, &run->field);
  circle_poly_divide_exactly(&denominator, &run->denominator_poly, &common, &run->field);
  base = circle_poly_lowest(&numerator);
  m = circle_poly_exponent_gcd(&numerator, base, 0);
  m = circle_poly_exponent_gcd(&denominator, base, m);
  fmpq_init(turn);
  fmpq_set_si(turn, 1, m == 0 ? 1 : m);
  turn_to_unit(set->period, turn, run->scale, set->radians);
  set->periodic = 1;
  fmpq_clear(turn);
  circle_poly_clear(&common);
  circle_poly_clear(&numerator);
  circle_poly_clear(&denominator);
}

void decide_expression(const ExactProgram* program, int first, int last, int radians,
                       struct solution_set* set) {
  struct solver* solver = the_solver();
  struct unknown_result* run = &solver->run;
  set->radians = radians;
  set->family_count = 0;
  set->reason = reason_none;
  set->step = -1;
  set->periodic = 0;
  set->constant_written = 0;
  fmpq_zero(set->period);
  unknown_run(program, first, last, radians, run);
  if (run->outcome == unknown_outside) {
    set->kind = solutions_unsolved;
    set->reason = run->reason;
    set->step = run->step;
  } else if (run->outcome == unknown_no_value) {
    set->kind = solutions_none;
  } else if (run->outcome == unknown_linear) {
    set->kind = expression_varies;
  } else if (run->outcome == unknown_constant) {
    set->kind = expression_constant;
    radical_form_set_rational(&set->constant, run->rational, run->pi_power);
    set->constant_written = 1;
    solver->algebraic = 0;
    fmpq_set(solver->rational, run->rational);
    solver->pi_power = run->pi_power;
  } else if (circle_poly_is_zero(&run->numerator) || constant_quotient(set, run)) {
    set->kind = expression_constant;
    if (circle_poly_is_zero(&run->numerator)) {
      fmpq_zero(solver->rational);
      solver->pi_power = 0;
      solver->algebraic = 0;
      radical_form_set_rational(&set->constant, solver->rational, 0);
      set->constant_written = 1;
    }
    if (!gather_excluded(&solver->roots, &solver->excluded, run)) {
      set->kind = solutions_unsolved;
      set->reason = reason_roots_beyond_limits;
    } else if (solver->roots.count > 0) {
      gather_families(set, &solver->roots, run, 0);
    }
  } else {
    set->kind = expression_varies;
    quotient_period(set, run);
  }
}

void solution_constant_ball(arb_t value, slong precision) {
  const struct solver* solver = the_solver();
  arb_t pi;
  if (solver->algebraic) {
    qqbar_get_arb(value, solver->constant, precision);
    return;
  }
  arb_init(pi);
  arb_const_pi(pi, precision);
  arb_pow_ui(pi, pi, (ulong)(solver->pi_power < 0 ? -solver->pi_power : solver->pi_power),
             precision);
  if (solver->pi_power < 0) arb_inv(pi, pi, precision);
  arb_set_fmpq(value, solver->rational, precision);
  arb_mul(value, value, pi, precision);
  arb_clear(pi);
}

int exact_zero_by_common_angle(const ExactProgram* program) {
  return unknown_zero_by_common_angle(program, &the_solver()->run);
}

int answer_is_light(const ExactProgram* program, int first, int last, int radians) {
  return unknown_run_is_light(program, first, last, radians);
}
