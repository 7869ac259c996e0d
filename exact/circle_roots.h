/* The roots on the unit circle of a polynomial in z over a cyclotomic field, found exactly:
   its norm down to Q factored over the integers; a cyclotomic factor's roots are roots of
   unity, whose turns are rational; any other factor's roots are Calcium's algebraic numbers,
   kept when their absolute value is exactly 1. Which roots of a factor are roots of the
   polynomial itself is told by the factor's greatest common divisor with it: by counting roots
   whose enclosures show a zero against that divisor's degree, and exactly when counting cannot.
   Plain C: Calcium's headers are. */
#ifndef TRIGCALC_CIRCLE_ROOTS_H
#define TRIGCALC_CIRCLE_ROOTS_H

#include <acb.h>
#include <calcium/qqbar.h>

#include "exact/circle_field.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Roots kept of one polynomial: the degree of the largest norm allows no more. */
#define CIRCLE_ROOT_CAPACITY 512
/* The most degree a norm may have. */
#define CIRCLE_NORM_DEGREE_LIMIT 1536

/* z = e^(2 pi i turn) on the unit circle: a root of unity (its turn rational) or an algebraic
   number whose turn is irrational. */
struct circle_root {
  int unity;
  fmpq_t turn;     /* unity: in [0, 1) */
  qqbar_t value;   /* the root, for both kinds */
  arb_t turn_ball; /* the turn, in [0, 1), enclosed */
};

struct circle_roots {
  int count;
  struct circle_root roots[CIRCLE_ROOT_CAPACITY];
};

void circle_roots_init(struct circle_roots* roots);
void circle_roots_clear(struct circle_roots* roots);

/* The roots on the unit circle of `poly` (not 0), each once, into `roots`; 0 when its norm
   would pass CIRCLE_NORM_DEGREE_LIMIT or the roots their capacity. */
int circle_roots_find(struct circle_roots* roots, const struct circle_poly* poly,
                      const struct circle_field* field);

/* 1 when `poly` is 0 at `root`, decided exactly. */
int circle_root_is_root_of(const struct circle_root* root, const struct circle_poly* poly,
                           const struct circle_field* field);

/* The turn of `root` enclosed within 2^-precision. */
void circle_root_turn(arb_t turn, const struct circle_root* root, slong precision);

#ifdef __cplusplus
}
#endif

#endif
