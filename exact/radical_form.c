/* A real algebraic number of degree 4 at most written with radicals, as a textbook writes it: a
   rational; a quadratic number (-b +- sqrt(b^2 - 4ac)) / 2a with its root's square factors taken
   out; a pure root of a binomial polynomial; a quartic by Ferrari's resolvent cubic, as
   u + v sqrt(w) with u and w in a quadratic field, its nested root denested when it can be
   (then a sum of square roots) and otherwise scaled to integers. Numbers only choose among the
   signs the formulas leave open; the form is then rebuilt as an algebraic number of its own
   and compared with the value exactly. */
#include "exact/radical_form.h"

#include <flint/fmpq_poly.h>
#include <flint/fmpz_factor.h>
#include <flint/fmpz_poly.h>
#include <flint/fmpz_poly_factor.h>

#include "exact/algebraic_run.h"
#include "exact/radical_number.h"

#define FACTOR_BITS_LIMIT 62 /* the largest integers factored: a short form's are far smaller */
#define FORM_HEIGHT_BITS 64  /* bits of the largest coefficient of a written value's polynomial */
#define SIGN_PRECISION 256   /* bits of the balls that choose among signs */

/* ---- Small rational and ball helpers ---- */

/* x / n into `result`, n nonzero. */
static void divide_by(fmpq_t result, const fmpq_t x, slong n) {
  fmpz_t d;
  fmpz_init_set_si(d, n);
  fmpq_div_fmpz(result, x, d);
  fmpz_clear(d);
}

/* x + r into `result`. */
static void add_rational(arb_t result, const arb_t x, const fmpq_t r, slong precision) {
  arb_t t;
  arb_init(t);
  arb_set_fmpq(t, r, precision);
  arb_add(result, x, t, precision);
  arb_clear(t);
}

void radical_form_init(struct radical_form* form) {
  int k;
  form->term_count = 0;
  for (k = 0; k < RADICAL_TERM_CAPACITY; ++k) {
    struct radical_term* term = form->terms + k;
    term->kind = radical_rational;
    term->index = 2;
    fmpz_init(term->coefficient);
    fmpz_init(term->radicand);
    fmpz_init(term->inner);
    fmpz_init(term->inner_radicand);
  }
  fmpz_init_set_ui(form->denominator, 1);
  fmpq_init(form->pi_power);
}

void radical_form_clear(struct radical_form* form) {
  int k;
  for (k = 0; k < RADICAL_TERM_CAPACITY; ++k) {
    struct radical_term* term = form->terms + k;
    fmpz_clear(term->coefficient);
    fmpz_clear(term->radicand);
    fmpz_clear(term->inner);
    fmpz_clear(term->inner_radicand);
  }
  fmpz_clear(form->denominator);
  fmpq_clear(form->pi_power);
}

void radical_form_set_rational(struct radical_form* form, const fmpq_t value, slong pi_power) {
  form->term_count = fmpq_is_zero(value) ? 0 : 1;
  form->terms[0].kind = radical_rational;
  fmpz_set(form->terms[0].coefficient, fmpq_numref(value));
  fmpz_set(form->denominator, fmpq_denref(value));
  fmpq_set_si(form->pi_power, form->term_count == 0 ? 0 : pi_power, 1);
}

/* ---- Terms gathered with rational coefficients, like terms added up ---- */

struct gathering {
  int count;
  int overflow; /* more unlike terms than a form holds */
  int kind[RADICAL_TERM_CAPACITY];
  int index[RADICAL_TERM_CAPACITY];
  fmpq_t coefficient[RADICAL_TERM_CAPACITY];
  fmpz_t radicand[RADICAL_TERM_CAPACITY];
  fmpz_t inner[RADICAL_TERM_CAPACITY];
  fmpz_t inner_radicand[RADICAL_TERM_CAPACITY];
};

static void gathering_init(struct gathering* g) {
  int k;
  g->count = 0;
  g->overflow = 0;
  for (k = 0; k < RADICAL_TERM_CAPACITY; ++k) {
    fmpq_init(g->coefficient[k]);
    fmpz_init(g->radicand[k]);
    fmpz_init(g->inner[k]);
    fmpz_init(g->inner_radicand[k]);
  }
}

static void gathering_clear(struct gathering* g) {
  int k;
  for (k = 0; k < RADICAL_TERM_CAPACITY; ++k) {
    fmpq_clear(g->coefficient[k]);
    fmpz_clear(g->radicand[k]);
    fmpz_clear(g->inner[k]);
    fmpz_clear(g->inner_radicand[k]);
  }
}

/* The place of a term like the one given, or -1. */
static int like_term(const struct gathering* g, int kind, int index, const fmpz_t radicand,
                     const fmpz_t inner, const fmpz_t inner_radicand) {
  int k;
  for (k = 0; k < g->count; ++k) {
    if (g->kind[k] == kind && g->index[k] == index && fmpz_equal(g->radicand[k], radicand) &&
        fmpz_equal(g->inner[k], inner) && fmpz_equal(g->inner_radicand[k], inner_radicand)) {
      return k;
    }
  }
  return -1;
}

static void drop_term(struct gathering* g, int place) {
  int k;
  for (k = place; k + 1 < g->count; ++k) {
    g->kind[k] = g->kind[k + 1];
    g->index[k] = g->index[k + 1];
    fmpq_swap(g->coefficient[k], g->coefficient[k + 1]);
    fmpz_swap(g->radicand[k], g->radicand[k + 1]);
    fmpz_swap(g->inner[k], g->inner[k + 1]);
    fmpz_swap(g->inner_radicand[k], g->inner_radicand[k + 1]);
  }
  --g->count;
}

/* Adds coefficient x the root described (radicand 1 and kind radical_rational: the
   coefficient alone). */
static void gather(struct gathering* g, int kind, int index, const fmpq_t coefficient,
                   const fmpz_t radicand, const fmpz_t inner, const fmpz_t inner_radicand) {
  int place;
  if (fmpq_is_zero(coefficient)) return;
  place = like_term(g, kind, index, radicand, inner, inner_radicand);
  if (place >= 0) {
    fmpq_add(g->coefficient[place], g->coefficient[place], coefficient);
    if (fmpq_is_zero(g->coefficient[place])) drop_term(g, place);
    return;
  }
  if (g->count == RADICAL_TERM_CAPACITY) {
    g->overflow = 1;
    return;
  }
  place = g->count++;
  g->kind[place] = kind;
  g->index[place] = index;
  fmpq_set(g->coefficient[place], coefficient);
  fmpz_set(g->radicand[place], radicand);
  fmpz_set(g->inner[place], inner);
  fmpz_set(g->inner_radicand[place], inner_radicand);
}

static void gather_rational(struct gathering* g, const fmpq_t value) {
  fmpz_t one, zero;
  fmpz_init_set_ui(one, 1);
  fmpz_init(zero);
  gather(g, radical_rational, 2, value, one, zero, one);
  fmpz_clear(one);
  fmpz_clear(zero);
}

/* n = outside^e x inside with `inside` free of e-th powers, for 1 <= n within the bound of
   what is factored; 0 beyond it. */
static int split_powers(fmpz_t outside, fmpz_t inside, const fmpz_t n, ulong e) {
  fmpz_factor_t factors;
  slong k;
  if (fmpz_sgn(n) <= 0 || fmpz_bits(n) > FACTOR_BITS_LIMIT) return 0;
  fmpz_factor_init(factors);
  fmpz_factor(factors, n);
  fmpz_one(outside);
  fmpz_one(inside);
  for (k = 0; k < factors->num; ++k) {
    fmpz_t power;
    fmpz_init(power);
    fmpz_pow_ui(power, factors->p + k, factors->exp[k] / e);
    fmpz_mul(outside, outside, power);
    fmpz_pow_ui(power, factors->p + k, factors->exp[k] % e);
    fmpz_mul(inside, inside, power);
    fmpz_clear(power);
  }
  fmpz_factor_clear(factors);
  return 1;
}

/* sqrt(r) = outside x sqrt(inside), r >= 0 rational: sqrt(a/b) = sqrt(ab)/b. */
static int split_root(fmpq_t outside, fmpz_t inside, const fmpq_t r) {
  fmpz_t n, f;
  int split;
  if (fmpq_is_zero(r)) {
    fmpq_zero(outside);
    fmpz_one(inside);
    return 1;
  }
  fmpz_init(n);
  fmpz_init(f);
  fmpz_mul(n, fmpq_numref(r), fmpq_denref(r));
  split = split_powers(f, inside, n, 2);
  fmpq_set_fmpz_frac(outside, f, fmpq_denref(r));
  fmpz_clear(n);
  fmpz_clear(f);
  return split;
}

/* Adds coefficient x sqrt(r), r >= 0 rational. */
static int gather_root(struct gathering* g, const fmpq_t coefficient, const fmpq_t r) {
  fmpq_t outside;
  fmpz_t inside, zero;
  int split;
  fmpq_init(outside);
  fmpz_init(inside);
  fmpz_init(zero);
  split = split_root(outside, inside, r);
  if (split) {
    fmpq_mul(outside, outside, coefficient);
    gather(g, fmpz_is_one(inside) ? radical_rational : radical_square, 2, outside, inside, zero,
           inside);
  }
  fmpq_clear(outside);
  fmpz_clear(inside);
  fmpz_clear(zero);
  return split;
}

/* The least L > 0 with n | L^2 (`ceiling`), or the greatest g with g^2 | n (floor). */
static int square_root_part(fmpz_t result, const fmpz_t n, int ceiling) {
  fmpz_factor_t factors;
  slong k;
  fmpz_t power;
  if (fmpz_bits(n) > FACTOR_BITS_LIMIT) return 0;
  fmpz_one(result);
  if (fmpz_is_zero(n)) return 1;
  fmpz_factor_init(factors);
  fmpz_factor(factors, n);
  fmpz_init(power);
  for (k = 0; k < factors->num; ++k) {
    fmpz_pow_ui(power, factors->p + k, (factors->exp[k] + (ceiling ? 1 : 0)) / 2);
    fmpz_mul(result, result, power);
  }
  fmpz_clear(power);
  fmpz_factor_clear(factors);
  return 1;
}

/* Scales t0 and t1 by L^2, the least L > 0 that makes both integers; L into `scale`. */
static int make_integral(fmpq_t t0, fmpq_t t1, fmpz_t scale) {
  fmpz_t lcm;
  int done;
  fmpz_init(lcm);
  fmpz_lcm(lcm, fmpq_denref(t0), fmpq_denref(t1));
  done = square_root_part(scale, lcm, 1);
  if (done) {
    fmpz_mul(lcm, scale, scale);
    fmpq_mul_fmpz(t0, t0, lcm);
    fmpq_mul_fmpz(t1, t1, lcm);
  }
  fmpz_clear(lcm);
  return done;
}

/* Divides the integers t0 and t1 by g^2, the greatest square dividing both; g into `outside`. */
static int take_out_square(fmpq_t t0, fmpq_t t1, fmpz_t outside) {
  fmpz_t common;
  int done;
  fmpz_init(common);
  fmpz_gcd(common, fmpq_numref(t0), fmpq_numref(t1));
  done = square_root_part(outside, common, 0);
  if (done) {
    fmpz_mul(common, outside, outside);
    fmpz_divexact(fmpq_numref(t0), fmpq_numref(t0), common);
    fmpz_divexact(fmpq_numref(t1), fmpq_numref(t1), common);
  }
  fmpz_clear(common);
  return done;
}

/* Adds v sqrt(w0 + w1 sqrt(m)), which does not denest, as (sign v) g / L sqrt(P + Q sqrt(m)):
   P and Q integers free of a common square. */
static int gather_nested(struct gathering* g, const fmpq_t v, const fmpq_t w0, const fmpq_t w1,
                         const fmpz_t m) {
  fmpq_t t0, t1, coefficient;
  fmpz_t scale, outside;
  int done;
  fmpq_init(t0);
  fmpq_init(t1);
  fmpq_init(coefficient);
  fmpz_init(scale);
  fmpz_init(outside);
  fmpq_mul(t0, v, v);
  fmpq_mul(t1, t0, w1);
  fmpq_mul(t0, t0, w0);
  done = make_integral(t0, t1, scale) && take_out_square(t0, t1, outside);
  if (done) {
    fmpq_set_fmpz_frac(coefficient, outside, scale);
    if (fmpq_sgn(v) < 0) fmpq_neg(coefficient, coefficient);
    gather(g, radical_nested, 2, coefficient, fmpq_numref(t0), fmpq_numref(t1), m);
  }
  fmpq_clear(t0);
  fmpq_clear(t1);
  fmpq_clear(coefficient);
  fmpz_clear(scale);
  fmpz_clear(outside);
  return done;
}

/* ---- Numbers that choose among signs ---- */

/* The sign of ball - r: 1, -1, or 0 when the ball cannot tell. */
static int sign_against(const arb_t ball, const fmpq_t r) {
  arb_t difference;
  int sign;
  arb_init(difference);
  arb_set_fmpq(difference, r, SIGN_PRECISION);
  arb_sub(difference, ball, difference, SIGN_PRECISION);
  sign = arb_is_positive(difference) ? 1 : arb_is_negative(difference) ? -1 : 0;
  arb_clear(difference);
  return sign;
}

/* ---- Degrees 1 to 4 ---- */

/* x = -b/2a + sign sqrt(b^2 - 4ac) / 2a. */
static int quadratic_form(struct gathering* g, const qqbar_t x, const arb_t ball) {
  fmpq_t rational, coefficient, discriminant;
  fmpz_t twice;
  int sign, done;
  fmpq_init(rational);
  fmpq_init(coefficient);
  fmpq_init(discriminant);
  fmpz_init(twice);
  fmpz_mul_ui(twice, QQBAR_COEFFS(x) + 2, 2);
  fmpq_set_fmpz_frac(rational, QQBAR_COEFFS(x) + 1, twice);
  fmpq_neg(rational, rational);
  fmpz_mul(fmpq_numref(discriminant), twice, QQBAR_COEFFS(x));
  fmpz_mul_2exp(fmpq_numref(discriminant), fmpq_numref(discriminant), 1);
  fmpz_neg(fmpq_numref(discriminant), fmpq_numref(discriminant));
  fmpz_addmul(fmpq_numref(discriminant), QQBAR_COEFFS(x) + 1, QQBAR_COEFFS(x) + 1);
  sign = sign_against(ball, rational);
  fmpq_set_si(coefficient, sign, 1);
  fmpq_div_fmpz(coefficient, coefficient, twice);
  gather_rational(g, rational);
  done = sign != 0 && gather_root(g, coefficient, discriminant);
  fmpq_clear(rational);
  fmpq_clear(coefficient);
  fmpq_clear(discriminant);
  fmpz_clear(twice);
  return done;
}

/* 1 when the polynomial of x is c_d t^d + c_0. */
static int binomial(const qqbar_t x) {
  slong k;
  for (k = 1; k < qqbar_degree(x); ++k) {
    if (!fmpz_is_zero(QQBAR_COEFFS(x) + k)) return 0;
  }
  return 1;
}

/* x^d = r: x = sign |r|^(1/d) = sign (a b^(d-1))^(1/d) / b for |r| = a/b, its d-th powers taken
   out. */
static int surd_form(struct gathering* g, const qqbar_t x, const arb_t ball) {
  slong degree = qqbar_degree(x);
  fmpz_t n, outside, inside, zero;
  fmpq_t coefficient;
  int done;
  fmpz_init(n);
  fmpz_init(outside);
  fmpz_init(inside);
  fmpz_init(zero);
  fmpq_init(coefficient);
  fmpz_pow_ui(n, QQBAR_COEFFS(x) + degree, (ulong)(degree - 1));
  fmpz_mul(n, n, QQBAR_COEFFS(x));
  fmpz_abs(n, n);
  done = split_powers(outside, inside, n, (ulong)degree) && !fmpz_is_one(inside);
  if (done) {
    fmpq_set_fmpz_frac(coefficient, outside, QQBAR_COEFFS(x) + degree);
    fmpq_abs(coefficient, coefficient);
    if (arb_is_negative(ball)) fmpq_neg(coefficient, coefficient);
    gather(g, radical_surd, (int)degree, coefficient, inside, zero, inside);
  }
  fmpz_clear(n);
  fmpz_clear(outside);
  fmpz_clear(inside);
  fmpz_clear(zero);
  fmpq_clear(coefficient);
  return done;
}

/* A quartic's root x = s + y, y^4 + p y^2 + q y + r = 0 (the depressed quartic), as
   u0 + u1 sqrt(m) + v sqrt(w0 + w1 sqrt(m)). */
struct quartic {
  fmpq_t s, p, q, r;
  fmpq_t u0, u1, v, w0, w1;
  fmpz_t m;
};

/* x's polynomial made monic and shifted by s = -a3/4 (x = y + s): y^4 + p y^2 + q y + r. */
static void depress(struct quartic* f, const qqbar_t x) {
  fmpq_poly_t polynomial, shift;
  fmpq_poly_init(polynomial);
  fmpq_poly_init(shift);
  fmpq_poly_set_fmpz_poly(polynomial, QQBAR_POLY(x));
  fmpq_poly_make_monic(polynomial, polynomial);
  fmpq_poly_get_coeff_fmpq(f->s, polynomial, 3);
  divide_by(f->s, f->s, -4);
  fmpq_poly_set_coeff_fmpq(shift, 0, f->s);
  fmpq_poly_set_coeff_si(shift, 1, 1);
  fmpq_poly_compose(polynomial, polynomial, shift);
  fmpq_poly_get_coeff_fmpq(f->p, polynomial, 2);
  fmpq_poly_get_coeff_fmpq(f->q, polynomial, 1);
  fmpq_poly_get_coeff_fmpq(f->r, polynomial, 0);
  fmpq_poly_clear(polynomial);
  fmpq_poly_clear(shift);
}

static void quartic_init(struct quartic* f, const qqbar_t x) {
  fmpq_init(f->s);
  fmpq_init(f->p);
  fmpq_init(f->q);
  fmpq_init(f->r);
  fmpq_init(f->u0);
  fmpq_init(f->u1);
  fmpq_init(f->v);
  fmpq_init(f->w0);
  fmpq_init(f->w1);
  fmpz_init(f->m);
  depress(f, x);
}

static void quartic_clear(struct quartic* f) {
  fmpq_clear(f->s);
  fmpq_clear(f->p);
  fmpq_clear(f->q);
  fmpq_clear(f->r);
  fmpq_clear(f->u0);
  fmpq_clear(f->u1);
  fmpq_clear(f->v);
  fmpq_clear(f->w0);
  fmpq_clear(f->w1);
  fmpz_clear(f->m);
}

/* sqrt(d) = k sqrt(m) for the rational d > 0 that is no square; 0 otherwise. */
static int quadratic_root(fmpq_t k, fmpz_t m, const fmpq_t d) {
  return fmpq_sgn(d) > 0 && split_root(k, m, d) && !fmpz_is_one(m);
}

/* q = 0: y^2 = -p/2 + sign sqrt(p^2 - 4r)/2, y = sign' sqrt(y^2). */
static int biquadratic_roots(struct quartic* f, const arb_t y) {
  fmpq_t d, k, half_p;
  arb_t square;
  int sign, done;
  fmpq_init(d);
  fmpq_init(k);
  fmpq_init(half_p);
  arb_init(square);
  fmpq_mul_si(d, f->r, -4);
  fmpq_addmul(d, f->p, f->p);
  divide_by(half_p, f->p, -2);
  arb_mul(square, y, y, SIGN_PRECISION);
  sign = sign_against(square, half_p);
  done = sign != 0 && !arb_contains_zero(y) && quadratic_root(k, f->m, d);
  if (done) {
    fmpq_set(f->u0, f->s);
    fmpq_zero(f->u1);
    fmpq_set_si(f->v, arb_is_positive(y) ? 1 : -1, 1);
    fmpq_set(f->w0, half_p);
    divide_by(f->w1, k, 2 * sign);
  }
  fmpq_clear(d);
  fmpq_clear(k);
  fmpq_clear(half_p);
  arb_clear(square);
  return done;
}

/* Ferrari's resolvent 8L^3 - 4pL^2 - 8rL + (4pr - q^2), with integer coefficients. */
static void resolvent(fmpz_poly_t integral, const struct quartic* f) {
  fmpq_poly_t cubic;
  fmpq_t c;
  fmpq_poly_init(cubic);
  fmpq_init(c);
  fmpq_mul(c, f->p, f->r);
  fmpq_mul_si(c, c, 4);
  fmpq_submul(c, f->q, f->q);
  fmpq_poly_set_coeff_fmpq(cubic, 0, c);
  fmpq_mul_si(c, f->r, -8);
  fmpq_poly_set_coeff_fmpq(cubic, 1, c);
  fmpq_mul_si(c, f->p, -4);
  fmpq_poly_set_coeff_fmpq(cubic, 2, c);
  fmpq_poly_set_coeff_si(cubic, 3, 8);
  fmpq_poly_get_numerator(integral, cubic);
  fmpq_clear(c);
  fmpq_poly_clear(cubic);
}

/* The rational roots of Ferrari's resolvent, into `roots`; returns how many. */
static int resolvent_roots(const struct quartic* f, fmpq_t roots[3]) {
  fmpz_poly_t integral;
  fmpz_poly_factor_t factors;
  slong k;
  int count = 0;
  fmpz_poly_init(integral);
  fmpz_poly_factor_init(factors);
  resolvent(integral, f);
  fmpz_poly_factor(factors, integral);
  for (k = 0; k < factors->num && count < 3; ++k) {
    const fmpz_poly_struct* factor = factors->p + k;
    if (fmpz_poly_degree(factor) != 1) continue;
    fmpq_set_fmpz_frac(roots[count], factor->coeffs, factor->coeffs + 1);
    fmpq_neg(roots[count], roots[count]);
    ++count;
  }
  fmpz_poly_factor_clear(factors);
  fmpz_poly_clear(integral);
  return count;
}

/* True when s + e1 sqrt(S)/2 + e2 sqrt(a + b sqrt(S))/2 is real and lies in x's ball. */
static int choice_in_ball(const struct quartic* f, const fmpq_t S, const fmpq_t a, const fmpq_t b,
                          int e1, int e2, const arb_t x) {
  arb_t root, inner;
  int found;
  arb_init(root);
  arb_init(inner);
  arb_set_fmpq(root, S, SIGN_PRECISION);
  arb_sqrt(root, root, SIGN_PRECISION);
  arb_set_fmpq(inner, b, SIGN_PRECISION);
  arb_mul(inner, inner, root, SIGN_PRECISION);
  add_rational(inner, inner, a, SIGN_PRECISION);
  found = arb_is_positive(inner);
  if (found) {
    arb_sqrt(inner, inner, SIGN_PRECISION);
    arb_mul_si(inner, inner, e2, SIGN_PRECISION);
    arb_mul_si(root, root, e1, SIGN_PRECISION);
    arb_add(inner, root, inner, SIGN_PRECISION);
    arb_mul_2exp_si(inner, inner, -1);
    add_rational(inner, inner, f->s, SIGN_PRECISION);
    found = arb_overlaps(inner, x);
  }
  arb_clear(root);
  arb_clear(inner);
  return found;
}

/* One choice of signs for the resolvent's root L (S = 2L - p, sqrt S = k sqrt m): true, with the
   form's parts in `f`, when s + e1 sqrt(S)/2 + e2 sqrt(a + b sqrt(S))/2, a = -2L - p and
   b = -2 e1 q / S, is real and lies in x's ball. */
static int ferrari_choice(struct quartic* f, const fmpq_t lambda, const fmpq_t S, const fmpq_t k,
                          int e1, int e2, const arb_t x) {
  fmpq_t a, b;
  int found;
  fmpq_init(a);
  fmpq_init(b);
  fmpq_mul_si(a, lambda, -2);
  fmpq_sub(a, a, f->p);
  fmpq_div(b, f->q, S);
  fmpq_mul_si(b, b, -2 * e1);
  found = choice_in_ball(f, S, a, b, e1, e2, x);
  if (found) {
    fmpq_set(f->u0, f->s);
    fmpq_mul_si(f->u1, k, e1);
    divide_by(f->u1, f->u1, 2);
    fmpq_set_si(f->v, e2, 2);
    fmpq_set(f->w0, a);
    fmpq_mul(f->w1, b, k);
  }
  fmpq_clear(a);
  fmpq_clear(b);
  return found;
}

/* q != 0: y^2 + L = +-sqrt(S) (y - q/2S) for a rational root L of the resolvent with S > 0. */
static int ferrari_roots(struct quartic* f, const arb_t x) {
  fmpq_t roots[3], S, k;
  int count, j, e1, e2, found = 0;
  fmpq_init(S);
  fmpq_init(k);
  for (j = 0; j < 3; ++j) fmpq_init(roots[j]);
  count = resolvent_roots(f, roots);
  for (j = 0; j < count && !found; ++j) {
    fmpq_mul_2exp(S, roots[j], 1);
    fmpq_sub(S, S, f->p);
    if (!quadratic_root(k, f->m, S)) continue;
    for (e1 = 1; e1 >= -1 && !found; e1 -= 2) {
      for (e2 = 1; e2 >= -1 && !found; e2 -= 2) {
        found = ferrari_choice(f, roots[j], S, k, e1, e2, x);
      }
    }
  }
  for (j = 0; j < 3; ++j) fmpq_clear(roots[j]);
  fmpq_clear(S);
  fmpq_clear(k);
  return found;
}

/* Gathers v sqrt(w0 + w1 sqrt(m)) denested, w0 > 0 and n = sqrt(w0^2 - w1^2 m) rational:
   sqrt(w) = sqrt((w0 + n)/2) + sign(w1) sqrt((w0 - n)/2). */
static int gather_denested(struct gathering* g, const struct quartic* f, const fmpq_t n) {
  fmpq_t half, v;
  int done;
  fmpq_init(half);
  fmpq_init(v);
  fmpq_add(half, f->w0, n);
  fmpq_div_2exp(half, half, 1);
  done = gather_root(g, f->v, half);
  fmpq_sub(half, f->w0, n);
  fmpq_div_2exp(half, half, 1);
  fmpq_set(v, f->v);
  if (fmpq_sgn(f->w1) < 0) fmpq_neg(v, v);
  done = done && gather_root(g, v, half);
  fmpq_clear(half);
  fmpq_clear(v);
  return done;
}

/* Gathers u0 + u1 sqrt(m) + v sqrt(w0 + w1 sqrt(m)), the root denested where it can be. */
static int gather_quartic(struct gathering* g, const struct quartic* f) {
  fmpq_t n, t;
  fmpz_t zero;
  int done;
  fmpq_init(n);
  fmpq_init(t);
  fmpz_init(zero);
  gather_rational(g, f->u0);
  gather(g, radical_square, 2, f->u1, f->m, zero, f->m);
  fmpq_mul(n, f->w0, f->w0);
  fmpq_mul(t, f->w1, f->w1);
  fmpq_mul_fmpz(t, t, f->m);
  fmpq_sub(n, n, t);
  if (fmpq_sgn(n) >= 0 && fmpq_sgn(f->w0) > 0 && fmpz_is_square(fmpq_numref(n)) &&
      fmpz_is_square(fmpq_denref(n))) {
    fmpz_sqrt(fmpq_numref(n), fmpq_numref(n));
    fmpz_sqrt(fmpq_denref(n), fmpq_denref(n));
    done = gather_denested(g, f, n);
  } else {
    done = gather_nested(g, f->v, f->w0, f->w1, f->m);
  }
  fmpq_clear(n);
  fmpq_clear(t);
  fmpz_clear(zero);
  return done;
}

static int quartic_form(struct gathering* g, const qqbar_t x, const arb_t ball) {
  struct quartic f;
  arb_t y;
  int found;
  quartic_init(&f, x);
  arb_init(y);
  fmpq_neg(f.s, f.s);
  add_rational(y, ball, f.s, SIGN_PRECISION); /* y = x - s */
  fmpq_neg(f.s, f.s);
  found = fmpq_is_zero(f.q) ? biquadratic_roots(&f, y) : ferrari_roots(&f, ball);
  found = found && gather_quartic(g, &f);
  arb_clear(y);
  quartic_clear(&f);
  return found;
}

/* The gathered terms over their least common denominator, into `form`. */
static void set_form(struct radical_form* form, const struct gathering* g) {
  int k;
  fmpz_one(form->denominator);
  for (k = 0; k < g->count; ++k) {
    fmpz_lcm(form->denominator, form->denominator, fmpq_denref(g->coefficient[k]));
  }
  form->term_count = g->count;
  for (k = 0; k < g->count; ++k) {
    struct radical_term* term = form->terms + k;
    term->kind = g->kind[k];
    term->index = g->index[k];
    fmpz_divexact(term->coefficient, form->denominator, fmpq_denref(g->coefficient[k]));
    fmpz_mul(term->coefficient, term->coefficient, fmpq_numref(g->coefficient[k]));
    fmpz_set(term->radicand, g->radicand[k]);
    fmpz_set(term->inner, g->inner[k]);
    fmpz_set(term->inner_radicand, g->inner_radicand[k]);
  }
}

/* The form of the real algebraic number x of degree 4 at most into `form` (its terms and
   denominator); 0 when it has none. */
static int radical_form_of(struct radical_form* form, const qqbar_t x) {
  slong degree = qqbar_degree(x);
  struct gathering g;
  arb_t ball;
  fmpq_t rational;
  int found = 0;
  if (degree > FORM_DEGREE_LIMIT || qqbar_height_bits(x) > FORM_HEIGHT_BITS) return 0;
  gathering_init(&g);
  arb_init(ball);
  fmpq_init(rational);
  qqbar_get_arb(ball, x, SIGN_PRECISION);
  if (degree == 1) {
    qqbar_get_fmpq(rational, x);
    gather_rational(&g, rational);
    found = 1;
  } else if (degree == 2) {
    found = quadratic_form(&g, x, ball);
  } else if (binomial(x)) {
    found = surd_form(&g, x, ball);
  } else if (degree == 4) {
    found = quartic_form(&g, x, ball);
  }
  found = found && !g.overflow;
  if (found) set_form(form, &g);
  fmpq_clear(rational);
  arb_clear(ball);
  gathering_clear(&g);
  return found;
}

/* The root a term's coefficient multiplies, as an algebraic number. */
static void term_root(qqbar_t result, const struct radical_term* term) {
  qqbar_t inner;
  qqbar_set_fmpz(result, term->radicand);
  if (term->kind == radical_rational) qqbar_one(result);
  if (term->kind == radical_square) qqbar_sqrt(result, result);
  if (term->kind == radical_surd) qqbar_root_ui(result, result, (ulong)term->index);
  if (term->kind != radical_nested) return;
  qqbar_init(inner);
  qqbar_set_fmpz(inner, term->inner_radicand);
  qqbar_sqrt(inner, inner);
  qqbar_mul_fmpz(inner, inner, term->inner);
  qqbar_add(result, result, inner);
  qqbar_sqrt(result, result);
  qqbar_clear(inner);
}

/* The algebraic part of `form` (without its power of pi) as an algebraic number of its own. */
static void form_number(qqbar_t result, const struct radical_form* form) {
  qqbar_t term;
  int k;
  qqbar_init(term);
  qqbar_zero(result);
  for (k = 0; k < form->term_count; ++k) {
    term_root(term, form->terms + k);
    qqbar_mul_fmpz(term, term, form->terms[k].coefficient);
    qqbar_add(result, result, term);
  }
  qqbar_div_fmpz(result, result, form->denominator);
  qqbar_clear(term);
}

int exact_algebraic_form(const ExactProgram* program, struct radical_form* form) {
  static qqbar_t value, rebuilt;
  static fmpq_t pi_power;
  static int ready;
  int estimates = 0;
  if (!ready) {
    qqbar_init(value);
    qqbar_init(rebuilt);
    fmpq_init(pi_power);
    ready = 1;
  }
  /* A first run estimates the dear steps: most lines without a form end there, cheaply. */
  if (!exact_algebraic_run(program, 1, value, pi_power, &estimates)) return 0;
  if (!radical_form_of(form, value)) return 0;
  if (estimates && !exact_algebraic_run(program, 0, value, pi_power, &estimates)) return 0;
  fmpq_set(form->pi_power, pi_power);
  if (qqbar_is_zero(value)) fmpq_zero(form->pi_power);
  form_number(rebuilt, form);
  return qqbar_equal(rebuilt, value);
}

int radical_form_of_number(struct radical_form* form, const qqbar_t x) {
  qqbar_t rebuilt;
  int equal;
  if (!qqbar_is_real(x) || !radical_form_of(form, x)) return 0;
  fmpq_zero(form->pi_power);
  qqbar_init(rebuilt);
  form_number(rebuilt, form);
  equal = qqbar_equal(rebuilt, x);
  qqbar_clear(rebuilt);
  return equal;
}
