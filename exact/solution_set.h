/* The solutions of an equation in x, exactly: the roots on the unit circle of the numerator its
   run in z came to (exact/unknown_run.h), less the points where a divisor of the line is 0,
   gathered into families x = start + k period with the longest period the set allows. Each
   start is a rational number of the line's unit (degrees, or multiples of pi in radians), or
   an irrational angle written with an inverse function of a number that has a form with
   radicals (x = 180 - arcsen(1/3)). Every solution is put back into the line exactly, in
   Calcium's algebraic numbers, before it is kept. Plain C (Calcium's headers are), and read
   by C++: nothing of Calcium's crosses this header; the roots stay in the C files, and the
   solver is not re-entrant. */
#ifndef TRIGCALC_SOLUTION_SET_H
#define TRIGCALC_SOLUTION_SET_H

#include <arb.h>

#include "exact/exact_program.h"
#include "exact/radical_form.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Families of one set at most: the roots a norm may have. */
#define SOLUTION_FAMILY_CAPACITY 96

/* A family's start written with an inverse function: offset + sign function(value) / slope. */
struct inverse_start {
  int function; /* program_arc_sine, program_arc_cosine or program_arc_tangent */
  struct radical_form value;
  int sign;      /* 1 or -1 */
  fmpq_t scale;  /* 1 / the angle's slope */
  fmpq_t offset; /* in the line's unit */
};

/* x = start + k period, k an integer. */
struct solution_family {
  int rational;  /* the start is a rational number of the line's unit */
  fmpq_t start;  /* rational: in [0, period) */
  fmpq_t period; /* in the line's unit; 0 for a single solution */
  int written;   /* not rational: `inverse` holds its form */
  struct inverse_start inverse;
  int root; /* which of the solver's roots of z it comes from */
};

/* The families are gathered from the roots in the order of their starts, each the first root
   not yet in one with its turns by j/m of a whole turn, m the most for which all are roots not
   yet in one: sen 2x = sen x has x = k 180 or x = 60 + k 360 or x = 300 + k 360. */

/* What an equation came to. */
enum solution_kind {
  solutions_found,    /* the families */
  solutions_none,     /* no x solves it */
  solutions_every_x,  /* every x where the line has a value, the families being the exceptions */
  solutions_single,   /* one x (a line without angles): families[0].start */
  solutions_unsolved, /* outside the kind solved, or past a bound: `reason` says which */
  /* What a line without "=" came to: */
  expression_constant, /* one value for every x where it has one: `constant`; the families are
                          the points without value */
  expression_varies    /* it depends on x, with `period` when `periodic` */
};

/* Why an equation was not solved. */
enum solution_reason {
  reason_none,
  reason_unknown_outside_angle, /* x outside the angles, with angles or not linearly */
  reason_angle_not_linear,      /* an angle not of the form a x + b */
  reason_not_algebraic,         /* a number the field cannot hold (sen 1 rad, pi in a sum) */
  reason_power,                 /* a power that is no small integer, or a root of x */
  reason_inverse_of_unknown,    /* an inverse function of something in x */
  reason_too_large,             /* the field's order or a degree passes its limit */
  reason_roots_beyond_limits,   /* the norm's degree or the roots passed their bounds */
  reason_check_failed,          /* a solution did not satisfy the line when put back */
  reason_bound_not_exact        /* a bound of the interval is no rational times a power of pi */
};

struct solution_set {
  int kind;
  int reason;
  int step; /* solutions_unsolved: the step where the line left the kind solved, or -1 */
  struct radical_form constant; /* expression_constant: its form, when `constant_written` */
  int constant_written;
  int periodic;
  fmpq_t period; /* expression_varies: the line's period, in its unit */
  int radians;   /* the unit: multiples of pi; else degrees */
  int family_count;
  struct solution_family families[SOLUTION_FAMILY_CAPACITY];
};

void solution_set_init(struct solution_set* set);
void solution_set_clear(struct solution_set* set);

/* Solves "steps `first` to `last` of `program` = 0" for x, in radians when `radians`, into
   `set`. */
void solve_equation(const ExactProgram* program, int first, int last, int radians,
                    struct solution_set* set);

/* Decides what the steps `first` to `last` of `program`, a line in x without "=", are for
   every x, in radians when `radians`, into `set`. */
void decide_expression(const ExactProgram* program, int first, int last, int radians,
                       struct solution_set* set);

/* The value of the steps `first` to `last` of `program`, which hold no unknown, as rational x
   pi^pi_power: 1 when it is one. */
int constant_value(const ExactProgram* program, int first, int last, fmpq_t rational,
                   slong* pi_power);

/* 1 when the steps of `program`, a line of numbers whose angles no small field holds (such
   as sen(2 37.123) - 2 sen 37.123 cos 37.123), are exactly 0: every angle a small multiple of
   one angle plus a turn of a small denominator, the line is 0 as a polynomial identity in that
   angle's exponential. 0 when that cannot be shown. */
int exact_zero_by_common_angle(const ExactProgram* program);

/* The constant of the last expression_constant decided, enclosed within 2^-precision. */
void solution_constant_ball(arb_t value, slong precision);

/* 1 when solving (or deciding) steps `first` to `last` of `program` is light work, of a few
   milliseconds and little memory, that needs no bounded child. */
int answer_is_light(const ExactProgram* program, int first, int last, int radians);

/* A family's start in the line's unit, enclosed within 2^-precision. */
void solution_start_ball(arb_t start, const struct solution_family* family,
                         const struct solution_set* set, slong precision);

#ifdef __cplusplus
}
#endif

#endif
