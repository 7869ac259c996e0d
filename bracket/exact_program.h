/* The exact computation of a line, as a short program in postfix order that both exact
   arithmetics run: Arb's balls (C++, bracket/exact_arb.cpp) and Calcium's exact numbers (C,
   bracket/exact_calcium.c, whose headers do not compile as C++). The order of the fold, the
   defaults of empty lists and the units are decided once, where a line's reading is turned
   into a program (bracket/exact_program.cpp); the arithmetics only run the steps. Plain C,
   so that both languages read it. */
#ifndef TRIGCALC_EXACT_PROGRAM_H
#define TRIGCALC_EXACT_PROGRAM_H

#include <flint/fmpq.h>
#include <flint/fmpz.h>

/* What a step does to the stack of values. */
enum exact_code {
  exact_push_number, /* pushes numbers[argument] */
  exact_push_pi,     /* pushes pi */
  exact_add,         /* a b -> a + b */
  exact_subtract,    /* a b -> a - b */
  exact_multiply,    /* a b -> a * b */
  exact_divide,      /* a b -> a / b; no value when b is 0 */
  exact_function     /* amplitude argument -> amplitude x f(argument): argument = function */
};

/* The functions of exact_function steps, as TermFunction numbers them. */
enum exact_function_code {
  exact_none,
  exact_sine,
  exact_cosine,
  exact_tangent,
  exact_cotangent,
  exact_secant,
  exact_cosecant,
  exact_arc_sine,
  exact_arc_cosine,
  exact_arc_tangent
};

/* One step, with the columns of the line it stands for (for the note when it has no value). */
struct exact_step {
  unsigned char code;    /* an exact_code */
  unsigned char radians; /* exact_function: the angle, or the inverse's value, in radians */
  short argument;        /* exact_push_number: the number; exact_function: the function */
  unsigned char column;  /* the operator, the term or the number, in the line */
  unsigned char length;
};

/* Steps of one line: each number pushes once and each operator and term is one step; a
   99-byte line has far fewer than this. */
#define EXACT_STEP_CAPACITY 512
/* Numbers one program holds: every number of the reading, and the ones its steps add (1 for
   an empty amplitude, 0 for an empty argument or a missing operand, a reduced angle). */
#define EXACT_NUMBER_CAPACITY 640
/* Values on the stack at once: a bracket's sum and run, under a term's amplitude and argument
   with their own sum and run. */
#define EXACT_STACK_CAPACITY 16

/* Decimal digits of a number's size (its integer digits, or its leading zeros after the
   point, counted negative) beyond which it is too large for exact evaluation: the products of
   a line's numbers then stay within a few megabits, and an angle within reach of pi's
   digits. */
#define EXACT_MAGNITUDE_LIMIT 20000

/* A number of the program: a rational, or a decimal too large to hold (mantissa x 10^exponent,
   kept so that an angle in degrees can still be reduced by 360 exactly). */
struct exact_number {
  int too_large;
  fmpq_t value;    /* the number, when it is not too large */
  fmpz_t mantissa; /* too large: the digits, signed */
  slong exponent;  /* too large: the power of ten */
};

/* A line's program. */
struct exact_program {
  struct exact_step steps[EXACT_STEP_CAPACITY];
  int step_count;
  struct exact_number numbers[EXACT_NUMBER_CAPACITY];
  int number_count;
  int complete; /* 0 when the line needed more steps or numbers than there is room for */
};

/* How running a program ended. */
enum exact_outcome {
  exact_value,     /* a value */
  exact_no_value,  /* a step has no value (division by 0, a function where it is not defined) */
  exact_too_large, /* a number too large for exact evaluation takes part */
  exact_undecided  /* a zero or a tie that this arithmetic could not decide */
};

/* Where and why a run ended without a value. */
struct exact_failure {
  int outcome; /* an exact_outcome */
  int step;    /* the step (or, for exact_too_large, the step that pushes the number) */
};

#endif
