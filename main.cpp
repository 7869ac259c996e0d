// trigcalc: an interactive console calculator for trigonometric expressions. Without
// arguments it runs the dialogue; with expressions it prints their values. This file only
// dispatches: it reads the options, decides how the mode uses the terminal, and runs it.
#include <cstdio>
#include <cstring>

#include "cli/expression_mode.h"
#include "cli/expression_output.h"
#include "cli/options.h"
#include "dialogue/dialogue.h"
#include "io/descriptor_io.h"
#include "io/output_buffer.h"
#include "io/text_form.h"
#include "line/exact_line.h"
#include "terminal/terminal.h"

namespace {

// Before a line goes to the exact mode's bounded child, where it may take seconds, the values
// finished so far are written out, so that a signal ending the program meanwhile loses only
// that line.
void write_out_finished(void* output) {
  flush_output(*static_cast<OutputBuffer*>(output));
}

// While the child computes, the terminal may ask to abandon the line (Ctrl-C in the
// interactive loop, a signal put off until the history is saved).
bool abandon_asked(void*) {
  return terminal_stop_asked();
}

// How the mode the options chose uses the terminal: the dialogue; the interactive loop when
// an expression operand is "-" and standard input and output are both terminals; otherwise
// the plain command line (help and version included), which changes nothing of it.
TerminalUse terminal_use(const Options& options, int argc, char* const* argv) {
  if (options.mode == RunMode::dialogue) return TerminalUse::dialogue;
  bool dash = false;
  if (options.mode == RunMode::expressions) {
    for (int k = options.first_operand; k < argc; ++k)
      dash = dash || std::strcmp(argv[k], "-") == 0;
  }
  const bool loop = dash && is_terminal(stdin) && is_terminal(stdout);
  return loop ? TerminalUse::interactive_loop : TerminalUse::command_line;
}

}  // namespace

int main(int argc, char** argv) {
  set_up_standard_descriptors();
  choose_text_form();  // before the options, whose errors are among the program's texts
  Options options;
  if (!parse_options(argc, argv, options, stderr)) return exit_usage;
  static OutputBuffer output;  // 64 KiB, for the whole run: the one buffer of standard output
  open_output_buffer(output, descriptor_of(stdout));
  // The signs of forms and of the natural reading's answers follow the environment's
  // character type, asked once, before the terminal is set up.
  const bool unicode = (options.form != FormShown::none || options.natural) && texts_accented();
  const ValueFormat format = {options.digits, options.exact, options.natural, options.form,
                              unicode};
  const TerminalUse use = terminal_use(options, argc, argv);
  guard_terminal(stdin, stdout, use);
  if (options.exact) set_exact_waiting({write_out_finished, abandon_asked, &output});
  switch (options.mode) {
    case RunMode::help:
      write_usage(output);
      return finish_command_line(output, exit_success);
    case RunMode::version:
      write_version(output);
      return finish_command_line(output, exit_success);
    case RunMode::expressions: {
      bool unavailable = false;  // set when the exact mode asked for cannot be had
      static LastAnswer last;    // the session's last answer: a few KiB, kept off the stack
      last.held = false;
      return run_expressions(argv + options.first_operand, argc - options.first_operand,
                             {&output, stderr, format, options.picture, &unavailable, &last},
                             use == TerminalUse::interactive_loop);
    }
    case RunMode::dialogue:
      break;
  }
  return run_dialogue(stdin, stdout, output, format);
}
