/* The program form of a line: what the line computes, as steps in postfix order over its
   numbers, whichever reading it came from and whichever arithmetic runs it. A number is
   named by its index in the line's number store (its decimal text, or pi); the small
   integers a reading supplies itself (an empty amplitude's 1, the 0 a missing operand
   meets) are steps of their own. Every step keeps the columns of the line it stands for,
   for the note when it has no value. Plain C, so that the C file of Calcium's arithmetic
   reads it too. */
#ifndef TRIGCALC_PROGRAM_H
#define TRIGCALC_PROGRAM_H

#include "text/limits.h"

/* What a step does to the stack of values. */
enum ProgramCode {
  program_push_number,  /* pushes number `argument` of the line's number store */
  program_push_integer, /* pushes the integer `argument` */
  program_add,          /* a b -> a + b */
  program_subtract,     /* a b -> a - b */
  program_multiply,     /* a b -> a * b */
  program_divide,       /* a b -> a / b; no value when b is 0 */
  program_function,     /* amplitude argument -> amplitude x f(argument); `argument`: f */
  /* Steps only the natural reading writes: */
  program_negate, /* a -> -a */
  program_power,  /* a b -> a to the power b: no value for 0 to a power below 0, nor for a
                     number below 0 to a power that is no integer */
  program_root,   /* a -> the square root of a; no value below 0 */
  /* A step only a line with an unknown holds: */
  program_unknown /* pushes the unknown, in the unit the line's angles are in */
};

/* The functions of program_function steps. Numbered as TermFunction numbers them, which a
   compile-time check where the one becomes the other holds to. The trigonometric ones come
   first; those after them (the natural reading's alone) take and give plain numbers, and
   ignore a step's `radians`. */
enum ProgramFunction {
  program_no_function,
  program_sine,
  program_cosine,
  program_tangent,
  program_cotangent,
  program_secant,
  program_cosecant,
  program_arc_sine,
  program_arc_cosine,
  program_arc_tangent,
  program_natural_logarithm,      /* ln x: no value for x at most 0 */
  program_common_logarithm,       /* log x, base 10: no value for x at most 0 */
  program_exponential,            /* e^x */
  program_hyperbolic_sine,        /* senh x */
  program_hyperbolic_cosine,      /* cosh x */
  program_hyperbolic_tangent,     /* tgh x */
  program_arc_hyperbolic_sine,    /* arcsenh x */
  program_arc_hyperbolic_cosine,  /* arccosh x: no value below 1 */
  program_arc_hyperbolic_tangent, /* arctgh x: no value outside (-1, 1) */
  program_absolute_value          /* |x| */
};

/* True when a program_function step's `argument` names a trigonometric function, direct or
   inverse: what the arithmetics that know angles alone hold. */
static inline int program_function_is_trigonometric(int function) {
  return function >= program_sine && function <= program_arc_tangent;
}

/* True when a program_function step's `argument` names a direct trigonometric function, of an
   angle. */
static inline int program_function_takes_angle(int function) {
  return function >= program_sine && function <= program_cosecant;
}

/* One step, with the columns of the line it stands for. */
typedef struct ProgramStep {
  unsigned char code;    /* a ProgramCode */
  unsigned char radians; /* program_function: the angle, or the inverse's value, in radians */
  short argument;        /* the number, the integer or the function, by `code` */
  unsigned char column;  /* the operator, the term or the number, in the line */
  unsigned char length;
} ProgramStep;

/* What a program that holds the unknown says: one or more expressions in it, an equation, an
   interval for it. Each part's steps follow the last's; the two bounds of an interval, which
   hold no unknown, follow the parts. */
typedef struct ProgramShape {
  unsigned char unknown;     /* the program holds program_unknown steps */
  unsigned char radians;     /* the unknown is in radians (the line holds pi or "rad") */
  unsigned char equation;    /* the one part is the left side minus the right, to be 0 */
  unsigned char interval;    /* an interval follows the parts: the low bound, the high one */
  unsigned char low_open;    /* the interval leaves its low bound out */
  unsigned char high_open;   /* the interval leaves its high bound out */
  unsigned char part_count;  /* the expressions (1 to program_part_capacity) */
  unsigned char name_column; /* where the unknown is first written, and its bytes */
  unsigned char name_length;
  short part_end[program_part_capacity + 2]; /* the step after each part, then each bound */
} ProgramShape;

/* A line's program. */
typedef struct Program {
  ProgramStep steps[program_step_capacity];
  int step_count;
  int complete; /* 0 when the line needed more steps than there is room for */
} Program;

/* How many values a step of `code` takes from the stack: every step leaves one value there.
   The one table of it, for every arithmetic that runs the program form; a code left out of
   the switch is named by the compiler. */
static inline int program_step_takes(int code) {
  switch ((enum ProgramCode)code) {
    case program_push_number:
    case program_push_integer:
    case program_unknown:
      return 0;
    case program_negate:
    case program_root:
      return 1;
    case program_add:
    case program_subtract:
    case program_multiply:
    case program_divide:
    case program_function:
    case program_power:
      return 2;
  }
  return 2;
}

/* True when a step of `code` can run on a stack of `depth` values with `spare` more kept free
   above them (an arithmetic's working room): a step that takes none finds room for the value
   it pushes, any other the values it takes. */
static inline int program_step_fits(int code, int depth, int spare) {
  const int takes = program_step_takes(code);
  return takes == 0 ? depth + 1 + spare <= program_stack_capacity : depth >= takes;
}

/* The most values `program` holds on its stack at once when run. */
static inline int program_deepest_stack(const Program* program) {
  int depth = 0;
  int deepest = 0;
  int s;
  for (s = 0; s < program->step_count; ++s) {
    depth += 1 - program_step_takes(program->steps[s].code);
    if (depth > deepest) deepest = depth;
  }
  return deepest;
}

#endif
