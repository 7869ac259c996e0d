#include "exact/circle_roots.h"

#include <acb_poly.h>
#include <flint/fmpz_poly_factor.h>

/* Precisions of the enclosures that tell which roots of a factor are the polynomial's: from
   the first, 4 times finer each time, up to the last. */
#define FIRST_PRECISION 64
#define LAST_PRECISION 4096

void circle_roots_init(struct circle_roots* roots) {
  int k;
  roots->count = 0;
  for (k = 0; k < CIRCLE_ROOT_CAPACITY; ++k) {
    fmpq_init(roots->roots[k].turn);
    qqbar_init(roots->roots[k].value);
    arb_init(roots->roots[k].turn_ball);
  }
}

void circle_roots_clear(struct circle_roots* roots) {
  int k;
  for (k = 0; k < CIRCLE_ROOT_CAPACITY; ++k) {
    fmpq_clear(roots->roots[k].turn);
    qqbar_clear(roots->roots[k].value);
    arb_clear(roots->roots[k].turn_ball);
  }
}

/* The value of `poly` at the complex ball `z`, in balls of `precision` bits. */
static void evaluate_in_balls(acb_t value, const struct circle_poly* poly,
                              const struct circle_field* field, const acb_t z, slong precision) {
  acb_t zeta, coefficient;
  acb_poly_t element;
  slong k;
  acb_init(zeta);
  acb_init(coefficient);
  acb_poly_init(element);
  acb_set_ui(zeta, 2);
  acb_div_ui(zeta, zeta, field->order, precision);
  acb_exp_pi_i(zeta, zeta, precision); /* e^(2 pi i / L) */
  acb_zero(value);
  for (k = poly->length - 1; k >= 0; --k) {
    acb_poly_set_fmpq_poly(element, poly->coefficients + k, precision);
    acb_poly_evaluate(coefficient, element, zeta, precision);
    acb_mul(value, value, z, precision);
    acb_add(value, value, coefficient, precision);
  }
  acb_clear(zeta);
  acb_clear(coefficient);
  acb_poly_clear(element);
}

/* The value of `poly` at the algebraic number `x`, exactly. */
static void evaluate_exactly(qqbar_t value, const struct circle_poly* poly,
                             const struct circle_field* field, const qqbar_t x) {
  qqbar_t zeta, coefficient;
  slong k;
  qqbar_init(zeta);
  qqbar_init(coefficient);
  qqbar_root_of_unity(zeta, 1, field->order);
  qqbar_zero(value);
  for (k = poly->length - 1; k >= 0; --k) {
    qqbar_evaluate_fmpq_poly(coefficient, poly->coefficients + k, zeta);
    qqbar_mul(value, value, x);
    qqbar_add(value, value, coefficient);
  }
  qqbar_clear(zeta);
  qqbar_clear(coefficient);
}

void circle_root_turn(arb_t turn, const struct circle_root* root, slong precision) {
  acb_t z;
  arb_t two_pi;
  if (root->unity) {
    arb_set_fmpq(turn, root->turn, precision);
    return;
  }
  acb_init(z);
  arb_init(two_pi);
  qqbar_get_acb(z, root->value, precision + 16);
  acb_arg(turn, z, precision + 16);
  arb_const_pi(two_pi, precision + 16);
  arb_mul_2exp_si(two_pi, two_pi, 1);
  arb_div(turn, turn, two_pi, precision + 16);
  if (arb_is_negative(turn)) arb_add_ui(turn, turn, 1, precision + 16);
  acb_clear(z);
  arb_clear(two_pi);
}

int circle_root_is_root_of(const struct circle_root* root, const struct circle_poly* poly,
                           const struct circle_field* field) {
  acb_t z, value;
  qqbar_t exact;
  int zero;
  if (root->unity) {
    return circle_poly_vanishes_at_root_of_unity(poly, field, fmpz_get_si(fmpq_numref(root->turn)),
                                                 fmpz_get_ui(fmpq_denref(root->turn)));
  }
  acb_init(z);
  acb_init(value);
  qqbar_get_acb(z, root->value, FIRST_PRECISION);
  evaluate_in_balls(value, poly, field, z, FIRST_PRECISION);
  zero = acb_contains_zero(value);
  acb_clear(z);
  acb_clear(value);
  if (!zero) return 0;
  qqbar_init(exact);
  evaluate_exactly(exact, poly, field, root->value);
  zero = qqbar_is_zero(exact);
  qqbar_clear(exact);
  return zero;
}

/* Adds the root of unity e^(2 pi i j / n). */
static int add_unity(struct circle_roots* roots, slong j, ulong n) {
  struct circle_root* root;
  if (roots->count == CIRCLE_ROOT_CAPACITY) return 0;
  root = roots->roots + roots->count++;
  root->unity = 1;
  fmpq_set_si(root->turn, j, n);
  qqbar_root_of_unity(root->value, j, n);
  arb_set_fmpq(root->turn_ball, root->turn, FIRST_PRECISION);
  return 1;
}

/* Adds the algebraic `x`, of absolute value 1 and no root of unity. */
static int add_algebraic(struct circle_roots* roots, const qqbar_t x) {
  struct circle_root* root;
  if (roots->count == CIRCLE_ROOT_CAPACITY) return 0;
  root = roots->roots + roots->count++;
  root->unity = 0;
  fmpq_zero(root->turn);
  qqbar_set(root->value, x);
  circle_root_turn(root->turn_ball, root, FIRST_PRECISION);
  return 1;
}

/* The roots of the cyclotomic factor of order n that are roots of `divisor` (its greatest
   common divisor with the polynomial, of degree `found` out of `degree`). */
static int add_roots_of_unity(struct circle_roots* roots, ulong n,
                              const struct circle_poly* divisor, const struct circle_field* field,
                              slong found, slong degree) {
  ulong j;
  for (j = 0; j < n; ++j) {
    if (n_gcd(j, n) != 1) continue;
    if (found < degree && !circle_poly_vanishes_at_root_of_unity(divisor, field, (slong)j, n)) {
      continue;
    }
    if (!add_unity(roots, (slong)j, n)) return 0;
  }
  return 1;
}

/* Which of the `count` roots `candidates` of a factor are roots of `divisor`, of degree
   `found`, into `chosen`: by enclosures, finer until exactly `found` show a zero; exactly when
   they never do. */
static void choose_roots(int* chosen, qqbar_srcptr candidates, slong count,
                         const struct circle_poly* divisor, const struct circle_field* field,
                         slong found) {
  acb_t z, value;
  qqbar_t exact;
  slong k, shown = 0, precision;
  acb_init(z);
  acb_init(value);
  for (precision = FIRST_PRECISION; precision <= LAST_PRECISION; precision *= 4) {
    for (k = 0, shown = 0; k < count; ++k) {
      qqbar_get_acb(z, candidates + k, precision);
      evaluate_in_balls(value, divisor, field, z, precision);
      chosen[k] = acb_contains_zero(value);
      shown += chosen[k];
    }
    if (shown == found) break;
  }
  if (shown != found) {
    qqbar_init(exact);
    for (k = 0; k < count; ++k) {
      evaluate_exactly(exact, divisor, field, candidates + k);
      chosen[k] = qqbar_is_zero(exact);
    }
    qqbar_clear(exact);
  }
  acb_clear(z);
  acb_clear(value);
}

/* 1 when the integer polynomial `factor` is its own reciprocal up to sign: z^d f(1/z) = +-f(z).
   An irreducible factor with a root r on the unit circle has 1/r = conj(r) among its roots
   too (its coefficients are real), so it shares a root with its reciprocal, and is it. */
static int self_reciprocal(const fmpz_poly_t factor) {
  const slong degree = fmpz_poly_degree(factor);
  int sign, same = 1, opposite = 1;
  slong k;
  for (k = 0; k <= degree; ++k) {
    const fmpz* low = factor->coeffs + k;
    const fmpz* high = factor->coeffs + degree - k;
    same = same && fmpz_equal(low, high);
    sign = fmpz_cmpabs(low, high) == 0 && fmpz_sgn(low) == -fmpz_sgn(high);
    opposite = opposite && sign;
  }
  return same || opposite;
}

/* 1 when the root `k` of the self-reciprocal irreducible `candidates` lies on the unit circle:
   1/conj(r) is a root; enclosed, it meets r's enclosure alone (then it is r) or another's
   alone (then it is not), the enclosures made finer until one of the two holds. */
static int on_unit_circle(qqbar_srcptr candidates, slong count, slong k) {
  acb_t own, other, mirrored;
  slong precision, j;
  int decided = 0, on = 0;
  acb_init(own);
  acb_init(other);
  acb_init(mirrored);
  for (precision = FIRST_PRECISION; !decided && precision <= LAST_PRECISION; precision *= 2) {
    int meets_own, meets_other = 0;
    qqbar_get_acb(own, candidates + k, precision);
    acb_conj(mirrored, own);
    acb_inv(mirrored, mirrored, precision);
    meets_own = acb_overlaps(mirrored, own);
    for (j = 0; j < count; ++j) {
      if (j == k) continue;
      qqbar_get_acb(other, candidates + j, precision);
      meets_other = meets_other || acb_overlaps(mirrored, other);
    }
    decided = meets_own != meets_other;
    on = meets_own && !meets_other;
  }
  acb_clear(own);
  acb_clear(other);
  acb_clear(mirrored);
  if (!decided) { /* never for distinct roots; exactly, at worst */
    qqbar_t size;
    qqbar_init(size);
    qqbar_abs2(size, candidates + k);
    on = qqbar_is_one(size);
    qqbar_clear(size);
  }
  return on;
}

/* The roots on the unit circle of the irreducible factor `factor` that are roots of
   `divisor`, of degree `found`. */
static int add_algebraic_roots(struct circle_roots* roots, const fmpz_poly_t factor,
                               const struct circle_poly* divisor, const struct circle_field* field,
                               slong found) {
  const slong degree = fmpz_poly_degree(factor);
  qqbar_ptr candidates;
  int* chosen;
  slong k;
  int kept = 1;
  if (!self_reciprocal(factor)) return 1; /* none of its roots is on the circle */
  candidates = _qqbar_vec_init(degree);
  chosen = (int*)flint_malloc((size_t)degree * sizeof(int));
  qqbar_roots_fmpz_poly(candidates, factor, QQBAR_ROOTS_IRREDUCIBLE);
  for (k = 0; k < degree; ++k) chosen[k] = 1;
  if (found < degree) choose_roots(chosen, candidates, degree, divisor, field, found);
  for (k = 0; k < degree && kept; ++k) {
    if (chosen[k] && on_unit_circle(candidates, degree, k)) {
      kept = add_algebraic(roots, candidates + k);
    }
  }
  flint_free(chosen);
  _qqbar_vec_clear(candidates, degree);
  return kept;
}

int circle_roots_find(struct circle_roots* roots, const struct circle_poly* poly,
                      const struct circle_field* field) {
  struct circle_poly reduced, lifted, divisor;
  fmpz_poly_t norm;
  fmpz_poly_factor_t factors;
  slong f;
  int kept = 1;
  roots->count = 0;
  circle_poly_init(&reduced);
  circle_poly_init(&lifted);
  circle_poly_init(&divisor);
  fmpz_poly_init(norm);
  fmpz_poly_factor_init(factors);
  circle_poly_set(&reduced, poly);
  circle_poly_remove_z(&reduced);
  if (circle_poly_degree(&reduced) > 0) {
    kept = circle_poly_norm(norm, &reduced, field, CIRCLE_NORM_DEGREE_LIMIT);
    if (kept) fmpz_poly_factor(factors, norm);
  }
  for (f = 0; kept && circle_poly_degree(&reduced) > 0 && f < factors->num; ++f) {
    const fmpz_poly_struct* factor = factors->p + f;
    const slong degree = fmpz_poly_degree(factor);
    ulong order;
    circle_poly_set_fmpz_poly(&lifted, factor);
    circle_poly_gcd(&divisor, &reduced, &lifted, field);
    if (circle_poly_degree(&divisor) <= 0) continue;
    order = fmpz_poly_is_cyclotomic(factor);
    if (order != 0) {
      kept =
          add_roots_of_unity(roots, order, &divisor, field, circle_poly_degree(&divisor), degree);
    } else {
      kept = add_algebraic_roots(roots, factor, &divisor, field, circle_poly_degree(&divisor));
    }
  }
  fmpz_poly_factor_clear(factors);
  fmpz_poly_clear(norm);
  circle_poly_clear(&reduced);
  circle_poly_clear(&lifted);
  circle_poly_clear(&divisor);
  return kept;
}
