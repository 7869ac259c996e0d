#include "exact/circle_field.h"

#include <flint/ulong_extras.h>

void circle_field_init(struct circle_field* field, ulong order) {
  fmpz_poly_t cyclotomic;
  fmpz_poly_init(cyclotomic);
  fmpz_poly_cyclotomic(cyclotomic, order);
  fmpq_poly_init(field->modulus);
  fmpq_poly_set_fmpz_poly(field->modulus, cyclotomic);
  fmpz_poly_clear(cyclotomic);
  field->order = order;
  field->degree = (slong)n_euler_phi(order);
}

void circle_field_clear(struct circle_field* field) {
  fmpq_poly_clear(field->modulus);
}

void circle_element_mul(fmpq_poly_t result, const fmpq_poly_t a, const fmpq_poly_t b,
                        const struct circle_field* field) {
  fmpq_poly_mul(result, a, b);
  fmpq_poly_rem(result, result, field->modulus);
}

void circle_element_zeta_power(fmpq_poly_t result, slong k, const struct circle_field* field) {
  slong exponent = k % (slong)field->order;
  if (exponent < 0) exponent += (slong)field->order;
  fmpq_poly_zero(result);
  fmpq_poly_set_coeff_si(result, exponent, 1);
  fmpq_poly_rem(result, result, field->modulus);
}

void circle_element_inverse(fmpq_poly_t result, const fmpq_poly_t a,
                            const struct circle_field* field) {
  fmpq_poly_t gcd, other;
  fmpq_poly_init(gcd);
  fmpq_poly_init(other);
  fmpq_poly_xgcd(gcd, result, other, a, field->modulus); /* result a + other modulus = 1 */
  fmpq_poly_clear(gcd);
  fmpq_poly_clear(other);
}

void circle_poly_init(struct circle_poly* poly) {
  poly->coefficients = NULL;
  poly->length = 0;
  poly->room = 0;
}

void circle_poly_clear(struct circle_poly* poly) {
  slong k;
  for (k = 0; k < poly->room; ++k) fmpq_poly_clear(poly->coefficients + k);
  flint_free(poly->coefficients);
  circle_poly_init(poly);
}

/* Room for `length` coefficients; those past the length are 0. */
static void fit_length(struct circle_poly* poly, slong length) {
  slong k;
  if (length <= poly->room) return;
  poly->coefficients = (fmpq_poly_struct*)flint_realloc(poly->coefficients,
                                                        (size_t)length * sizeof(fmpq_poly_struct));
  for (k = poly->room; k < length; ++k) fmpq_poly_init(poly->coefficients + k);
  poly->room = length;
}

/* Drops the zero coefficients at the top, and zeroes what lies past the new length. */
static void normalise(struct circle_poly* poly, slong length) {
  slong k;
  while (length > 0 && fmpq_poly_is_zero(poly->coefficients + length - 1)) --length;
  for (k = length; k < poly->length; ++k) fmpq_poly_zero(poly->coefficients + k);
  poly->length = length;
}

void circle_poly_set(struct circle_poly* result, const struct circle_poly* poly) {
  slong k;
  if (result == poly) return;
  fit_length(result, poly->length);
  for (k = 0; k < poly->length; ++k)
    fmpq_poly_set(result->coefficients + k, poly->coefficients + k);
  normalise(result, poly->length);
}

void circle_poly_swap(struct circle_poly* a, struct circle_poly* b) {
  struct circle_poly t = *a;
  *a = *b;
  *b = t;
}

void circle_poly_zero(struct circle_poly* poly) {
  normalise(poly, 0);
}

void circle_poly_monomial(struct circle_poly* poly, const fmpq_poly_t c, slong k) {
  circle_poly_zero(poly);
  fit_length(poly, k + 1);
  fmpq_poly_set(poly->coefficients + k, c);
  poly->length = k + 1;
  normalise(poly, k + 1);
}

int circle_poly_is_zero(const struct circle_poly* poly) {
  return poly->length == 0;
}

slong circle_poly_degree(const struct circle_poly* poly) {
  return poly->length - 1;
}

slong circle_poly_lowest(const struct circle_poly* poly) {
  slong k;
  for (k = 0; k < poly->length; ++k) {
    if (!fmpq_poly_is_zero(poly->coefficients + k)) return k;
  }
  return -1;
}

int circle_poly_equal(const struct circle_poly* a, const struct circle_poly* b) {
  slong k;
  if (a->length != b->length) return 0;
  for (k = 0; k < a->length; ++k) {
    if (!fmpq_poly_equal(a->coefficients + k, b->coefficients + k)) return 0;
  }
  return 1;
}

/* a + sign b into result. */
static void add_signed(struct circle_poly* result, const struct circle_poly* a,
                       const struct circle_poly* b, int subtract) {
  const slong length = a->length > b->length ? a->length : b->length;
  slong k;
  fit_length(result, length);
  for (k = 0; k < length; ++k) {
    fmpq_poly_struct* c = result->coefficients + k;
    if (k >= a->length) {
      fmpq_poly_zero(c);
    } else if (c != a->coefficients + k) {
      fmpq_poly_set(c, a->coefficients + k);
    }
    if (k < b->length && subtract) fmpq_poly_sub(c, c, b->coefficients + k);
    if (k < b->length && !subtract) fmpq_poly_add(c, c, b->coefficients + k);
  }
  result->length = length > result->length ? length : result->length;
  normalise(result, length);
}

void circle_poly_add(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b) {
  add_signed(result, a, b, 0);
}

void circle_poly_sub(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b) {
  add_signed(result, a, b, 1);
}

void circle_poly_neg(struct circle_poly* result, const struct circle_poly* a) {
  slong k;
  circle_poly_set(result, a);
  for (k = 0; k < result->length; ++k)
    fmpq_poly_neg(result->coefficients + k, result->coefficients + k);
}

void circle_poly_mul(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b, const struct circle_field* field) {
  struct circle_poly product;
  fmpq_poly_t term;
  slong i, j, length;
  if (a->length == 0 || b->length == 0) {
    circle_poly_zero(result);
    return;
  }
  length = a->length + b->length - 1;
  circle_poly_init(&product);
  fit_length(&product, length);
  fmpq_poly_init(term);
  for (i = 0; i < a->length; ++i) {
    if (fmpq_poly_is_zero(a->coefficients + i)) continue;
    for (j = 0; j < b->length; ++j) {
      fmpq_poly_mul(term, a->coefficients + i, b->coefficients + j);
      fmpq_poly_add(product.coefficients + i + j, product.coefficients + i + j, term);
    }
  }
  for (i = 0; i < length; ++i)
    fmpq_poly_rem(product.coefficients + i, product.coefficients + i, field->modulus);
  product.length = length;
  normalise(&product, length);
  circle_poly_swap(result, &product);
  circle_poly_clear(&product);
  fmpq_poly_clear(term);
}

void circle_poly_scale(struct circle_poly* result, const struct circle_poly* a, const fmpq_poly_t c,
                       const struct circle_field* field) {
  slong k;
  circle_poly_set(result, a);
  for (k = 0; k < result->length; ++k) {
    circle_element_mul(result->coefficients + k, result->coefficients + k, c, field);
  }
  normalise(result, result->length);
}

void circle_poly_remove_z(struct circle_poly* poly) {
  const slong lowest = circle_poly_lowest(poly);
  slong k;
  if (lowest <= 0) return;
  for (k = lowest; k < poly->length; ++k) {
    fmpq_poly_swap(poly->coefficients + k - lowest, poly->coefficients + k);
  }
  normalise(poly, poly->length - lowest);
}

/* Makes `poly` monic. */
static void make_monic(struct circle_poly* poly, const struct circle_field* field) {
  fmpq_poly_t inverse;
  if (poly->length == 0) return;
  fmpq_poly_init(inverse);
  circle_element_inverse(inverse, poly->coefficients + poly->length - 1, field);
  circle_poly_scale(poly, poly, inverse, field);
  fmpq_poly_clear(inverse);
}

/* a modulo the monic b, into a. */
static void reduce_by_monic(struct circle_poly* a, const struct circle_poly* b,
                            const struct circle_field* field) {
  fmpq_poly_t lead, term;
  slong shift, k;
  fmpq_poly_init(lead);
  fmpq_poly_init(term);
  while (a->length >= b->length && b->length > 0) {
    shift = a->length - b->length;
    fmpq_poly_set(lead, a->coefficients + a->length - 1);
    for (k = 0; k < b->length; ++k) {
      circle_element_mul(term, lead, b->coefficients + k, field);
      fmpq_poly_sub(a->coefficients + k + shift, a->coefficients + k + shift, term);
    }
    normalise(a, a->length);
  }
  fmpq_poly_clear(lead);
  fmpq_poly_clear(term);
}

void circle_poly_divide_exactly(struct circle_poly* result, const struct circle_poly* a,
                                const struct circle_poly* b, const struct circle_field* field) {
  struct circle_poly rest, quotient;
  fmpq_poly_t term;
  slong shift, k;
  circle_poly_init(&rest);
  circle_poly_init(&quotient);
  fmpq_poly_init(term);
  circle_poly_set(&rest, a);
  fit_length(&quotient, a->length);
  quotient.length = a->length;
  while (rest.length >= b->length && b->length > 0) {
    shift = rest.length - b->length;
    fmpq_poly_set(quotient.coefficients + shift, rest.coefficients + rest.length - 1);
    for (k = 0; k < b->length; ++k) {
      circle_element_mul(term, quotient.coefficients + shift, b->coefficients + k, field);
      fmpq_poly_sub(rest.coefficients + k + shift, rest.coefficients + k + shift, term);
    }
    normalise(&rest, rest.length);
  }
  normalise(&quotient, quotient.length);
  circle_poly_swap(result, &quotient);
  circle_poly_clear(&rest);
  circle_poly_clear(&quotient);
  fmpq_poly_clear(term);
}

void circle_poly_gcd(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b, const struct circle_field* field) {
  struct circle_poly x, y;
  circle_poly_init(&x);
  circle_poly_init(&y);
  circle_poly_set(&x, a);
  circle_poly_set(&y, b);
  make_monic(&y, field);
  while (!circle_poly_is_zero(&y)) {
    reduce_by_monic(&x, &y, field);
    circle_poly_swap(&x, &y);
    make_monic(&y, field);
  }
  make_monic(&x, field);
  circle_poly_swap(result, &x);
  circle_poly_clear(&x);
  circle_poly_clear(&y);
}

ulong circle_poly_exponent_gcd(const struct circle_poly* poly, slong base, ulong gcd) {
  slong k;
  for (k = 0; k < poly->length; ++k) {
    if (fmpq_poly_is_zero(poly->coefficients + k)) continue;
    gcd = n_gcd(gcd, (ulong)(k > base ? k - base : base - k));
  }
  return gcd;
}

/* The conjugate of `poly` by zeta -> zeta^k, into `result`. */
static void conjugate(struct circle_poly* result, const struct circle_poly* poly, ulong k,
                      const struct circle_field* field) {
  fmpq_poly_t power;
  slong j;
  fmpq_poly_init(power);
  fmpq_poly_set_coeff_si(power, (slong)k, 1);
  circle_poly_set(result, poly);
  for (j = 0; j < result->length; ++j) {
    fmpq_poly_compose(result->coefficients + j, result->coefficients + j, power);
    fmpq_poly_rem(result->coefficients + j, result->coefficients + j, field->modulus);
  }
  fmpq_poly_clear(power);
}

int circle_poly_norm(fmpz_poly_t norm, const struct circle_poly* poly,
                     const struct circle_field* field, slong degree_limit) {
  struct circle_poly product, conjugated;
  fmpq_poly_t rational;
  fmpq_t c;
  ulong k;
  slong j;
  int rational_only = 1;
  if (circle_poly_degree(poly) * field->degree > degree_limit) return 0;
  circle_poly_init(&product);
  circle_poly_init(&conjugated);
  circle_poly_set(&product, poly);
  for (k = 2; k < field->order; ++k) {
    if (n_gcd(k, field->order) != 1) continue;
    conjugate(&conjugated, poly, k, field);
    circle_poly_mul(&product, &product, &conjugated, field);
  }
  fmpq_poly_init(rational);
  fmpq_init(c);
  for (j = 0; j < product.length; ++j) {
    rational_only = rational_only && fmpq_poly_degree(product.coefficients + j) <= 0;
    fmpq_poly_get_coeff_fmpq(c, product.coefficients + j, 0);
    fmpq_poly_set_coeff_fmpq(rational, j, c);
  }
  fmpq_poly_get_numerator(norm, rational);
  fmpz_poly_primitive_part(norm, norm);
  fmpq_clear(c);
  fmpq_poly_clear(rational);
  circle_poly_clear(&product);
  circle_poly_clear(&conjugated);
  return rational_only;
}

void circle_poly_set_fmpz_poly(struct circle_poly* result, const fmpz_poly_t poly) {
  const slong length = fmpz_poly_length(poly);
  slong k;
  fit_length(result, length);
  for (k = 0; k < length; ++k) {
    fmpq_poly_zero(result->coefficients + k);
    fmpq_poly_set_coeff_fmpz(result->coefficients + k, 0, poly->coeffs + k);
  }
  result->length = length > result->length ? length : result->length;
  normalise(result, length);
}

int circle_poly_vanishes_at_root_of_unity(const struct circle_poly* poly,
                                          const struct circle_field* field, slong j, ulong n) {
  /* In Q(zeta_M), M = lcm(L, n): zeta_L = zeta_M^(M/L) and z = zeta_n^j = zeta_M^(j M/n). */
  const ulong order = field->order / n_gcd(field->order, n) * n;
  const ulong zeta_step = order / field->order;
  const ulong z_step = (ulong)((j % (slong)n + (slong)n) % (slong)n) * (order / n);
  struct circle_field larger;
  fmpq_poly_t value, term;
  fmpq_t c;
  slong k, e;
  int zero;
  fmpq_poly_init(value);
  fmpq_poly_init(term);
  fmpq_init(c);
  for (k = 0; k < poly->length; ++k) {
    const fmpq_poly_struct* coefficient = poly->coefficients + k;
    for (e = 0; e < fmpq_poly_length(coefficient); ++e) {
      fmpq_poly_get_coeff_fmpq(c, coefficient, e);
      if (fmpq_is_zero(c)) continue;
      fmpq_poly_zero(term);
      fmpq_poly_set_coeff_fmpq(term, (slong)(((ulong)e * zeta_step + (ulong)k * z_step) % order),
                               c);
      fmpq_poly_add(value, value, term);
    }
  }
  circle_field_init(&larger, order);
  fmpq_poly_rem(value, value, larger.modulus);
  zero = fmpq_poly_is_zero(value);
  circle_field_clear(&larger);
  fmpq_clear(c);
  fmpq_poly_clear(term);
  fmpq_poly_clear(value);
  return zero;
}
