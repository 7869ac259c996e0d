/* A line's program made ready for the exact arithmetics: its steps, with every number they
   push read exactly from its decimal text, and an angle in degrees too large to hold reduced
   by whole turns. Both exact arithmetics run it: Arb's balls (C++, exact/ball_run.cpp) and
   Calcium's exact numbers (C, exact/calcium_run.c, whose headers do not compile as C++).
   Plain C, so that both languages read it. */
#ifndef TRIGCALC_EXACT_PROGRAM_H
#define TRIGCALC_EXACT_PROGRAM_H

#include <flint/fmpq.h>
#include <flint/fmpz.h>

#include "program/program.h"

/* Decimal digits of a number's size (its integer digits, or its leading zeros after the
   point, counted negative) beyond which it is too large for exact evaluation: the products of
   a line's numbers then stay within a few megabits, and an angle within reach of pi's
   digits. */
#define EXACT_MAGNITUDE_LIMIT 20000

/* A number a step pushes: pi, a rational, or a decimal too large to hold (mantissa x
   10^exponent, kept so that an angle in degrees can still be reduced by 360 exactly). */
struct exact_number {
  int pi;
  int too_large;
  fmpq_t value;    /* the number, when it is neither pi nor too large */
  fmpz_t mantissa; /* too large: the digits, signed */
  slong exponent;  /* too large: the power of ten */
};

/* A program ready to run: program_push_number steps push numbers[argument]; there are no
   program_push_integer steps left. */
typedef struct ExactProgram {
  ProgramStep steps[program_step_capacity];
  int step_count;
  struct exact_number numbers[program_step_capacity];
  int number_count;
  int complete; /* 0 when the line's program did not fit */
  /* The sizes the program's values may reach, estimated from its steps when it is made ready
     (exact/prepare_program.h): the bits of the integer parts of its numbers and of the values
     its powers make, added up, and the bits of those numbers and values, numerators and
     denominators, added up. */
  slong magnitude_bits;
  slong number_bits;
} ExactProgram;

/* How running a program ended. */
enum exact_outcome {
  exact_value,         /* a value */
  exact_no_value,      /* a step has no value (division by 0, a function where it is not defined) */
  exact_too_large,     /* a number too large for exact evaluation takes part */
  exact_undecided,     /* a zero or a tie that this arithmetic could not decide */
  exact_beyond_limits, /* the program outgrew the room of its steps or of its stack */
  exact_out_of_memory, /* the computation needed more memory than it may have */
  exact_out_of_time,   /* the computation needed more processor time than it may have */
  exact_interrupted,   /* the computation was stopped from outside (Ctrl-C, a signal that ends
                          the program) */
  exact_stalled,       /* the computation's process took no processor time for seconds */
  exact_ended_by_signal, /* the computation's process ended by a signal: a crash, or a kill */
  exact_no_child         /* no process could be started for the computation */
};

/* How a run ended: with a value, or where and why without one. */
struct exact_run_end {
  int outcome; /* an exact_outcome */
  int step;    /* without a value, the step (for exact_too_large, the one that pushes the
                  number); with one, the step count */
};

#endif
