// The non-interactive modes: each expression given as an argument, or each line of
// standard input for "-", evaluated as the dialogue evaluates a line and its value printed
// alone; an expression read otherwise than written is reported on standard error.
#pragma once

#include <cstdio>

#include "cli/options.h"
#include "console/output_buffer.h"
#include "console/terminal.h"
#include "line/exact_line.h"

// True when `operands` hold "-" and standard input and output are both terminals: that "-"
// is the interactive loop.
bool asks_for_interactive_loop(char* const* operands, int count);

// How the mode the options chose uses the console: the dialogue, the interactive loop or the
// plain command line (help and version included).
ConsoleUse console_use(const Options& options, int argc, char* const* argv);

// Evaluates `operands` in order ("-" reads standard input to its end at that place),
// printing one value per expression to `output` as `format` says and one
// report per expression read otherwise than written to `err`, after the values before it.
// Stops when the output fails. Returns exit_success, or exit_not_understood when anything
// was reported or the input or output failed (reported too, unless the output's reader went
// away).
int run_expressions(char* const* operands, int count, ValueFormat format, OutputBuffer& output,
                    FILE* err);

// Writes out and closes `output` at the end of a command-line mode: `status` when all was
// delivered; otherwise exit_not_understood, after a report unless the reader went away.
int finish_command_line(OutputBuffer& output, int status);
