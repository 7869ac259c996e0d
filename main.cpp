// trigcalc: an interactive console calculator for trigonometric expressions. Without
// arguments it runs the dialogue; with expressions it prints their values.
#include <cstdio>

#include "cli/expression_mode.h"
#include "cli/expression_output.h"
#include "cli/options.h"
#include "console/descriptor_io.h"
#include "console/output_buffer.h"
#include "console/terminal.h"
#include "dialogue/dialogue.h"

int main(int argc, char** argv) {
  set_up_standard_descriptors();
  Options options;
  if (!parse_options(argc, argv, options, stderr)) return exit_usage;
  static OutputBuffer output;  // 64 KiB: kept off the stack
  open_output_buffer(output, descriptor_of(stdout));
  guard_console(stdin, stdout, console_use(options, argc, argv));
  switch (options.mode) {
    case RunMode::help:
      write_usage(output);
      return finish_command_line(output, exit_success);
    case RunMode::version:
      write_version(output);
      return finish_command_line(output, exit_success);
    case RunMode::expressions:
      return run_expressions(argv + options.first_operand, argc - options.first_operand,
                             {options.digits, options.exact}, output, stderr);
    case RunMode::dialogue:
      break;
  }
  return run_dialogue(stdin, stdout, output, {options.digits, options.exact});
}
