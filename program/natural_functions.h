// The functions of the natural reading in doubles: the trigonometric ones of an angle reduced
// exactly in degrees (an angle known exactly, 30.1 degrees or 2π/3 as written, through its exact
// number of degrees), so that every textbook angle gives the textbook value (0, ±1/2, ±1 and
// the rest rounded once, a pole no value); their inverses rounded once in degrees; the
// logarithms, the exponential, the hyperbolic functions and the absolute value. Every one from
// the portable double-double functions (trig/, program/double_functions.h): the same bytes on
// every target. The default reading keeps its own (term/compute_term.h).
#pragma once

#include "program/exact_fraction.h"
#include "term/function_names.h"

// Why a function has no value.
enum class FunctionFault : unsigned char {
  none,
  pole,           // a tangent, cotangent, secant or cosecant where its divisor is 0
  outside_domain  // an argument outside the function's domain (arcsen 2, ln 0, arccosh 0)
};

// A function's value in doubles, and what is known of it exactly.
struct FunctionValue {
  double value;  // not-a-number with a fault
  ExactFraction known;
  FunctionFault fault;
};

// `function` of `argument` (in radians when `radians`, for the trigonometric ones; an inverse's
// value in radians then), `known` what is known of the argument exactly.
FunctionValue natural_function_value(TermFunction function, bool radians, double argument,
                                     const ExactFraction& known);
