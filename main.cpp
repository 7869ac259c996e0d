// trigcalc: an interactive console calculator for trigonometric expressions. Without
// arguments it runs the dialogue; with expressions it prints their values.
#include <cstdio>

#include "cli/expression_mode.h"
#include "cli/options.h"
#include "console/input_reader.h"
#include "console/terminal.h"
#include "dialogue/dialogue.h"

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, options, stderr)) return exit_usage;
  buffer_piped_output(stdout, is_terminal(stdout));
  guard_console(
      stdin, stdout,
      options.mode == RunMode::dialogue ? ConsoleUse::dialogue : ConsoleUse::command_line);
  switch (options.mode) {
    case RunMode::help:
      return write_usage(stdout);
    case RunMode::version:
      return write_version(stdout);
    case RunMode::expressions:
      return run_expressions(argv + options.first_operand, argc - options.first_operand,
                             options.digits, stdout, stderr);
    case RunMode::dialogue:
      break;
  }
  return run_dialogue(stdin, stdout, options.digits);
}
