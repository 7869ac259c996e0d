// The one crossing between the program form's function numbers (ProgramFunction, plain C)
// and the reading's TermFunction: both number the functions alike, which is checked here,
// at compile time, for every function.
#pragma once

#include "program/program.h"
#include "term/function_names.h"

static_assert(
    program_no_function == static_cast<int>(TermFunction::none) &&
        program_sine == static_cast<int>(TermFunction::sine) &&
        program_cosine == static_cast<int>(TermFunction::cosine) &&
        program_tangent == static_cast<int>(TermFunction::tangent) &&
        program_cotangent == static_cast<int>(TermFunction::cotangent) &&
        program_secant == static_cast<int>(TermFunction::secant) &&
        program_cosecant == static_cast<int>(TermFunction::cosecant) &&
        program_arc_sine == static_cast<int>(TermFunction::arc_sine) &&
        program_arc_cosine == static_cast<int>(TermFunction::arc_cosine) &&
        program_arc_tangent == static_cast<int>(TermFunction::arc_tangent) &&
        program_natural_logarithm == static_cast<int>(TermFunction::natural_logarithm) &&
        program_common_logarithm == static_cast<int>(TermFunction::common_logarithm) &&
        program_exponential == static_cast<int>(TermFunction::exponential) &&
        program_hyperbolic_sine == static_cast<int>(TermFunction::hyperbolic_sine) &&
        program_hyperbolic_cosine == static_cast<int>(TermFunction::hyperbolic_cosine) &&
        program_hyperbolic_tangent == static_cast<int>(TermFunction::hyperbolic_tangent) &&
        program_arc_hyperbolic_sine == static_cast<int>(TermFunction::arc_hyperbolic_sine) &&
        program_arc_hyperbolic_cosine == static_cast<int>(TermFunction::arc_hyperbolic_cosine) &&
        program_arc_hyperbolic_tangent == static_cast<int>(TermFunction::arc_hyperbolic_tangent) &&
        program_absolute_value == static_cast<int>(TermFunction::absolute_value) &&
        program_absolute_value == static_cast<int>(last_term_function),
    "ProgramFunction and TermFunction number the functions alike");

// The program form's number for `function`.
constexpr int program_function_of(TermFunction function) {
  return static_cast<int>(function);
}

// The function a program_function step's argument names.
constexpr TermFunction term_function_of(int program_function) {
  return program_function >= program_no_function && program_function <= program_absolute_value
             ? static_cast<TermFunction>(program_function)
             : TermFunction::none;
}
