// The one crossing between the program form's function numbers (ProgramFunction, plain C)
// and the reading's TermFunction: both number the functions alike, which is checked here,
// at compile time, for every function.
#pragma once

#include "program/program.h"
#include "term/function_names.h"

static_assert(program_no_function == static_cast<int>(TermFunction::none) &&
                  program_sine == static_cast<int>(TermFunction::sine) &&
                  program_cosine == static_cast<int>(TermFunction::cosine) &&
                  program_tangent == static_cast<int>(TermFunction::tangent) &&
                  program_cotangent == static_cast<int>(TermFunction::cotangent) &&
                  program_secant == static_cast<int>(TermFunction::secant) &&
                  program_cosecant == static_cast<int>(TermFunction::cosecant) &&
                  program_arc_sine == static_cast<int>(TermFunction::arc_sine) &&
                  program_arc_cosine == static_cast<int>(TermFunction::arc_cosine) &&
                  program_arc_tangent == static_cast<int>(TermFunction::arc_tangent),
              "ProgramFunction and TermFunction number the functions alike");

// The program form's number for `function`.
constexpr int program_function_of(TermFunction function) {
  return static_cast<int>(function);
}

// The function a program_function step's argument names.
constexpr TermFunction term_function_of(int program_function) {
  return program_function >= program_no_function && program_function <= program_arc_tangent
             ? static_cast<TermFunction>(program_function)
             : TermFunction::none;
}
