/* A value's exact form as a textbook writes it, as the module finds it: terms over a positive
   integer denominator, times a rational power of pi. A term is an integer, or an integer times
   the square root of a square-free integer, times a higher root of an integer free of that
   power, or times the square root of P + Q sqrt(m) that does not denest. Finding it
   (radical_form.c, with Calcium's algebraic numbers) is plain C, as Calcium's headers are; the C++
   files that check it against the value's ball and write it read this header too. */
#ifndef TRIGCALC_RADICAL_FORM_H
#define TRIGCALC_RADICAL_FORM_H

#include <flint/fmpq.h>
#include <flint/fmpz.h>

#include "exact/exact_program.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Terms of a form at most: a rational and three roots, the most a number of degree 4 needs. */
#define RADICAL_TERM_CAPACITY 4

/* What a term's coefficient multiplies. */
enum radical_kind {
  radical_rational, /* nothing: the term is its coefficient */
  radical_square,   /* sqrt(radicand), radicand > 1 square-free */
  radical_surd,     /* radicand^(1/index), index 3 or 4, radicand > 1 free of index-th powers */
  radical_nested    /* sqrt(radicand + inner x sqrt(inner_radicand)), inner != 0,
                       inner_radicand > 1 square-free, radicand and inner free of a common
                       square, not denesting */
};

struct radical_term {
  int kind; /* a radical_kind */
  int index;
  fmpz_t coefficient; /* nonzero */
  fmpz_t radicand;
  fmpz_t inner;
  fmpz_t inner_radicand;
};

/* (the sum of the terms) / denominator x pi^pi_power; no terms: 0. The terms' coefficients and
   the denominator have no common factor; no two terms are alike. */
struct radical_form {
  int term_count;
  struct radical_term terms[RADICAL_TERM_CAPACITY];
  fmpz_t denominator;
  fmpq_t pi_power;
};

void radical_form_init(struct radical_form* form);
void radical_form_clear(struct radical_form* form);

/* Sets `form` to the rational `value` x pi^`pi_power`. */
void radical_form_set_rational(struct radical_form* form, const fmpq_t value, slong pi_power);

/* Finds the form of `program`'s value by running it in algebraic numbers (exact/algebraic_run.h)
   and writing the value, of degree 4 at most, with radicals: 1 with it in `form` when there is
   one and, rebuilt as an algebraic number of its own, it equals the run's value exactly; 0
   otherwise. Not re-entrant. */
int exact_algebraic_form(const ExactProgram* program, struct radical_form* form);

#ifdef __cplusplus
}
#endif

#endif
