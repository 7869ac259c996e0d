// The non-interactive modes: each expression given as an argument, or each line of
// standard input for "-", evaluated as the dialogue evaluates a line and its value printed
// alone; an expression read otherwise than written is reported on standard error.
#pragma once

#include <cstdio>

#include "cli/options.h"
#include "io/output_buffer.h"
#include "line/value_line.h"

// Evaluates `operands` in order ("-" reads standard input to its end at that place, or runs
// the interactive loop there when `interactive_loop`, which main decides from the terminal),
// printing one value per expression to `output` as `format` says and one
// report per expression read otherwise than written to `err`, after the values before it.
// Stops when the output fails. Returns exit_success, or exit_not_understood when anything
// was reported or the input or output failed (reported too, unless the output's reader went
// away).
int run_expressions(char* const* operands, int count, ValueFormat format, bool interactive_loop,
                    OutputBuffer& output, FILE* err);
