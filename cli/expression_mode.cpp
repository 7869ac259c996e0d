#include "cli/expression_mode.h"

#include <cerrno>
#include <cstring>

#include "cli/expression_output.h"
#include "cli/interactive_loop.h"
#include "cli/options.h"
#include "console/descriptor_io.h"
#include "console/diagnostics.h"
#include "console/input_reader.h"
#include "console/terminal.h"
#include "line/evaluate_line.h"
#include "line/result_text.h"

namespace {

// One expression given as an argument: the `position`-th.
bool evaluate_argument(const char* text, long position, const ExpressionOutput& output) {
  const std::size_t length = std::strlen(text);
  const int counted = length < line_capacity ? static_cast<int>(length) : line_capacity;
  return evaluate_and_print(text, counted, {false, position}, output);
}

// Every line of standard input, each as one expression; an empty line prints nothing (a
// blank line in a file is no expression) but counts in the line numbers. Returns how many
// lines were reported; stops early when the output fails.
int evaluate_standard_input(InputReader& input, long& line_number, const ExpressionOutput& output) {
  int reported = 0;
  for (;;) {
    char line[line_capacity];
    const int length = read_line(input, line, line_capacity);  // a CRLF's '\r' not counted
    if (length < 0 || output.values->error != 0) return reported;
    ++line_number;
    if (length > 0 && evaluate_and_print(line, length, {true, line_number}, output)) ++reported;
  }
}

}  // namespace

bool asks_for_interactive_loop(char* const* operands, int count) {
  bool dash = false;
  for (int k = 0; k < count; ++k) dash = dash || std::strcmp(operands[k], "-") == 0;
  return dash && is_terminal(stdin) && is_terminal(stdout);
}

ConsoleUse console_use(const Options& options, int argc, char* const* argv) {
  if (options.mode == RunMode::dialogue) return ConsoleUse::dialogue;
  const bool loop =
      options.mode == RunMode::expressions &&
      asks_for_interactive_loop(argv + options.first_operand, argc - options.first_operand);
  return loop ? ConsoleUse::interactive_loop : ConsoleUse::command_line;
}

int run_expressions(char* const* operands, int count, ValueFormat format, OutputBuffer& values,
                    FILE* err) {
  const ExpressionOutput output = {&values, err, format};
  InputReader input;  // output is flushed before each wait, so a co-process sees each value
  open_input_reader(input, descriptor_of(stdin), &values, false);
  long line_number = 0;
  int reported = 0;
  const bool loop = asks_for_interactive_loop(operands, count);
  for (int k = 0; k < count && values.error == 0; ++k) {
    if (std::strcmp(operands[k], "-") == 0) {
      reported += loop ? run_interactive_loop(input, line_number, output)
                       : evaluate_standard_input(input, line_number, output);
    } else if (evaluate_argument(operands[k], k + 1, output)) {
      ++reported;
    }
  }
  if (input.error != 0) {
    flush_output(values);
    report_read_error(input.error);
  }
  const int status = reported > 0 || input.error != 0 ? exit_not_understood : exit_success;
  return finish_command_line(values, status);
}
