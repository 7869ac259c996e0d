/* The arithmetic a line in the unknown x becomes: with z = e^(i x / D) (x in radians), every
   sine, cosine and tangent of a x + b (a rational, b a rational multiple of pi) is a rational
   function of z whose coefficients lie in a cyclotomic field Q(zeta_L) (which holds i, the
   e^(i b) and the square roots of the line's numbers). This header owns the field's elements
   (rational polynomials in zeta reduced modulo the L-th cyclotomic polynomial) and the
   polynomials in z over the field: their arithmetic, gcd, norm down to Q, and evaluation at a
   root of unity. Plain C, with FLINT, so that the C files that use Calcium's algebraic numbers
   read it too. */
#ifndef TRIGCALC_CIRCLE_FIELD_H
#define TRIGCALC_CIRCLE_FIELD_H

#include <flint/fmpq_poly.h>
#include <flint/fmpz_poly.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Q(zeta_L): its order L, its degree phi(L), and the L-th cyclotomic polynomial. */
struct circle_field {
  ulong order;
  slong degree;
  fmpq_poly_t modulus;
};

/* A polynomial in z over a circle field: coefficients[k] is the element multiplying z^k, a
   rational polynomial in zeta of degree below the field's; the highest is nonzero. */
struct circle_poly {
  fmpq_poly_struct* coefficients;
  slong length;
  slong room;
};

void circle_field_init(struct circle_field* field, ulong order);
void circle_field_clear(struct circle_field* field);

/* Element arithmetic: `result` may be an operand. */
void circle_element_mul(fmpq_poly_t result, const fmpq_poly_t a, const fmpq_poly_t b,
                        const struct circle_field* field);
/* zeta^k for any integer k. */
void circle_element_zeta_power(fmpq_poly_t result, slong k, const struct circle_field* field);
/* 1/a, for a nonzero element. */
void circle_element_inverse(fmpq_poly_t result, const fmpq_poly_t a,
                            const struct circle_field* field);

void circle_poly_init(struct circle_poly* poly);
void circle_poly_clear(struct circle_poly* poly);
void circle_poly_set(struct circle_poly* result, const struct circle_poly* poly);
void circle_poly_swap(struct circle_poly* a, struct circle_poly* b);
void circle_poly_zero(struct circle_poly* poly);
/* c z^k. */
void circle_poly_monomial(struct circle_poly* poly, const fmpq_poly_t c, slong k);
int circle_poly_is_zero(const struct circle_poly* poly);
slong circle_poly_degree(const struct circle_poly* poly); /* -1 for 0 */
int circle_poly_equal(const struct circle_poly* a, const struct circle_poly* b);

/* Arithmetic: `result` may be an operand. */
void circle_poly_add(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b);
void circle_poly_sub(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b);
void circle_poly_neg(struct circle_poly* result, const struct circle_poly* a);
void circle_poly_mul(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b, const struct circle_field* field);
void circle_poly_scale(struct circle_poly* result, const struct circle_poly* a, const fmpq_poly_t c,
                       const struct circle_field* field);
/* Divides by the highest power of z that divides it (z = 0 is never on the unit circle). */
void circle_poly_remove_z(struct circle_poly* poly);
/* The greatest common divisor of `a` and `b`, monic (0 when both are). */
void circle_poly_gcd(struct circle_poly* result, const struct circle_poly* a,
                     const struct circle_poly* b, const struct circle_field* field);
/* The quotient of `a` by the monic `b`, which divides it, into `result`. */
void circle_poly_divide_exactly(struct circle_poly* result, const struct circle_poly* a,
                                const struct circle_poly* b, const struct circle_field* field);
/* The greatest common divisor of `gcd` and the differences between `base` and the exponents
   of z that `poly` uses: a quotient of two polynomials whose exponents all differ by multiples
   of m is unchanged when z turns by 1/m of a turn. */
ulong circle_poly_exponent_gcd(const struct circle_poly* poly, slong base, ulong gcd);
/* The lowest exponent of z that `poly` uses (-1 for 0). */
slong circle_poly_lowest(const struct circle_poly* poly);

/* The norm of `poly` down to Q, the product of its conjugates, made integral and primitive:
   every root of `poly` is a root of `norm`. 0 when it would pass `degree_limit`. */
int circle_poly_norm(fmpz_poly_t norm, const struct circle_poly* poly,
                     const struct circle_field* field, slong degree_limit);
/* The integer polynomial `poly` as a polynomial over the field. */
void circle_poly_set_fmpz_poly(struct circle_poly* result, const fmpz_poly_t poly);

/* 1 when `poly` is 0 at z = e^(2 pi i j / n), decided exactly in Q(zeta_lcm(L, n)). */
int circle_poly_vanishes_at_root_of_unity(const struct circle_poly* poly,
                                          const struct circle_field* field, slong j, ulong n);

#ifdef __cplusplus
}
#endif

#endif
