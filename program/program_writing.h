// Writing the program form: a step appended with the columns it stands for, the one way both
// readings write their programs.
#pragma once

#include "program/program.h"

// Appends a step to `program`; a program that outgrows its room is marked incomplete and
// takes no more steps.
inline void append_step(Program& program, int code, int argument, int column, int length) {
  if (program.step_count >= program_step_capacity) {
    program.complete = 0;
    return;
  }
  program.steps[program.step_count++] = {
      static_cast<unsigned char>(code), 0, static_cast<short>(argument),
      static_cast<unsigned char>(column), static_cast<unsigned char>(length)};
}
