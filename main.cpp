// trigcalc: an interactive console calculator for trigonometric expressions. Without
// arguments it runs the dialogue; with expressions it prints their values.
#include <cstdio>

#include "cli/expression_mode.h"
#include "cli/options.h"
#include "dialogue/dialogue.h"

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, options, stderr)) return exit_usage;
  switch (options.mode) {
    case RunMode::help:
      return write_usage(stdout);
    case RunMode::version:
      return write_version(stdout);
    case RunMode::expressions:
      return run_expressions(argv + options.first_operand, argc - options.first_operand,
                             options.digits, stdout, stderr);
    default:
      return run_dialogue(options.digits);
  }
}
