// The non-interactive modes: each expression given as an argument, or each line of
// standard input for "-", evaluated as the dialogue evaluates a line and its value printed
// alone; an expression that was not understood is reported on standard error.
#pragma once

#include <cstdio>

// Evaluates `operands` in order ("-" reads standard input to its end at that place),
// printing one value per expression to `out` with `digits` significant digits and one
// report per expression not understood to `err`. Stops quietly when `out` fails. Returns
// exit_not_understood when anything was reported, else exit_success.
int run_expressions(char* const* operands, int count, int digits, FILE* out, FILE* err);
