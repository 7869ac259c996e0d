// The non-interactive modes: each expression given as an argument, or each line of
// standard input for "-", evaluated as the dialogue evaluates a line and its value printed
// alone; an expression read otherwise than written is reported on standard error.
#pragma once

#include <cstdio>

#include "cli/expression_output.h"
#include "cli/options.h"

// Evaluates `operands` in order ("-" reads standard input to its end at that place, or runs
// the interactive loop there when `interactive_loop`, which main decides from the terminal),
// printing one value (or picture) per expression as `printing` says and one report per
// expression read otherwise than written, after the values before it.
// Stops when the output fails. Returns exit_success, or exit_not_understood when anything
// was reported or the input or output failed (reported too, unless the output's reader went
// away).
int run_expressions(char* const* operands, int count, const ExpressionPrinting& printing,
                    bool interactive_loop);
