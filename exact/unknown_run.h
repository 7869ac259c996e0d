/* A line's program in the unknown x run symbolically: with z = e^(i G x) (x in radians, G the
   greatest common divisor of the slopes of x in the line's angles, as rationals, so that each
   angle is a whole power of z), each value is a number, a
   linear form a x + b (what an angle may be), or a quotient of polynomials in z over a
   cyclotomic field (exact/circle_field.h). The lines this holds are those written with + - * /,
   integer powers, square roots of numbers, numbers (trigonometric values of rational multiples
   of pi among them) and the six functions of angles a x + b with rational a and b a rational
   multiple of pi; a line whose unknown stands outside every angle is held only when it is a
   linear form (2x = 60). Every divisor met is kept, for the points where the line has no
   value. Plain C, with FLINT. */
#ifndef TRIGCALC_UNKNOWN_RUN_H
#define TRIGCALC_UNKNOWN_RUN_H

#include <calcium/qqbar.h>
#include <flint/fmpq.h>

#include "exact/circle_field.h"
#include "exact/exact_program.h"
#include "exact/solution_set.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Divisors kept: each a polynomial in z whose roots are points without value. */
#define UNKNOWN_EXCLUSION_CAPACITY 24
/* Angles a x + b kept apart, for the inverse functions an answer is written with. */
#define UNKNOWN_ANGLE_CAPACITY 16
/* The largest order of the field, and of a degree of a polynomial in z, a run may reach. */
#define UNKNOWN_ORDER_LIMIT 720
#define UNKNOWN_DEGREE_LIMIT 96
/* A line of numbers whose angles no small field holds: the most such angles kept, the largest
   order a field of the rest may have, and the largest multiple of the one angle tried. */
#define COMMON_ANGLE_CAPACITY 16
#define COMMON_SMALL_ORDER 720
#define COMMON_MULTIPLE_LIMIT 12
/* A line light enough to solve without a bounded child: at most this many steps, and a
   norm of at most this degree (its field's degree times the degree in z its slopes and powers
   may make). A textbook equation is far below both; solving one takes a few milliseconds. */
#define LIGHT_STEP_LIMIT 64
#define LIGHT_NORM_DEGREE 40
/* The largest exponent of an integer power of a value in z. */
#define UNKNOWN_POWER_LIMIT 32

/* What a run came to. */
enum unknown_outcome {
  unknown_function, /* the line is numerator / denominator in z */
  unknown_linear,   /* the line is slope x + offset: x stands outside every angle */
  unknown_constant, /* the line is a rational times a power of pi, whatever x is */
  unknown_no_value, /* a step has no value whatever x is (a division by 0, a root of -1) */
  unknown_outside   /* the line is not of the kind held: `reason` says why */
};

/* An angle a x + b as z sees it: e^(i(a x + b)) = e^(2 pi i turns) z^power. */
struct unknown_angle {
  slong power;
  fmpq_t slope;        /* a, per unit of the line */
  fmpq_t offset_turns; /* b, in turns, in [0, 1) */
};

struct unknown_result {
  int outcome;  /* an unknown_outcome */
  int reason;   /* a solution_reason, for unknown_outside */
  int step;     /* unknown_no_value, unknown_outside: the step where it was found */
  fmpq_t scale; /* G: the line is in t = e^(i G x), x in radians; every slope a multiple */
  struct circle_field field;
  struct circle_poly numerator, denominator_poly;
  fmpq_t rational; /* unknown_constant: the value is rational x pi^pi_power */
  slong pi_power;
  fmpq_t slope, offset; /* unknown_linear: slope x + offset (offset x pi^pi_power) */
  int exclusion_count;
  struct circle_poly exclusions[UNKNOWN_EXCLUSION_CAPACITY];
  int angle_count;
  struct unknown_angle angles[UNKNOWN_ANGLE_CAPACITY];
};

void unknown_result_init(struct unknown_result* result);
void unknown_result_clear(struct unknown_result* result);

/* Runs the steps `first` to `last` (exclusive) of `program`, whose unknown is in radians when
   `radians` (else degrees), into `result`. */
void unknown_run(const ExactProgram* program, int first, int last, int radians,
                 struct unknown_result* result);

/* Runs the same steps again with z = `point` (x = its argument over G), exactly, in the
   field and with the G of `result`, which a run of those steps made: 1 with the line's value
   there in `value`; 0 when a step has no value there (a pole, a division by 0); -1 when a
   value leaves the algebraic numbers. What the line is at a solution, put back into it. */
int unknown_run_at(const ExactProgram* program, int first, int last, int radians,
                   struct unknown_result* result, const qqbar_t point, qqbar_t value);

/* The steps `first` to `last` of `program` run exactly with their unknown the rational `x` of
   their unit (x pi radians, or x degrees), `result` their room: 1 when the line is 0 there, 0
   when it is not, -1 when a step has no value there, -2 when the field cannot hold it. How a
   solution that is a rational angle is put back into the line. */
int unknown_run_at_number(const ExactProgram* program, int first, int last, int radians,
                          const fmpq_t x, struct unknown_result* result);

/* 1 when the steps `first` to `last` of `program` are light (see LIGHT_NORM_DEGREE): what a
   gathering run, which computes no polynomial, finds of the field and the degrees ahead. */
int unknown_run_is_light(const ExactProgram* program, int first, int last, int radians);

/* 1 when the steps of `program`, a line of numbers whose angles no small field holds, are
   exactly 0: each angle written as n tau + c for one angle tau (n small, c of a small
   denominator), the line is a quotient in z = e^(2 pi i tau) whose numerator is the
   polynomial 0, and no divisor of it has a root of tau's order. 0 when that cannot be shown.
   `result` is the run's room. */
int unknown_zero_by_common_angle(const ExactProgram* program, struct unknown_result* result);

#ifdef __cplusplus
}
#endif

#endif
