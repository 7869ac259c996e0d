#include "cli/expression_mode.h"

#include <cerrno>
#include <cstring>

#include "cli/expression_output.h"
#include "cli/interactive_loop.h"
#include "cli/options.h"
#include "io/descriptor_io.h"
#include "io/diagnostics.h"
#include "io/input_reader.h"
#include "line/evaluate_line.h"
#include "line/result_text.h"

namespace {

// One expression given as an argument: the `position`-th, followed by `next` (nullptr for
// the last).
bool evaluate_argument(const char* text, long position, const char* next,
                       const ExpressionPrinting& printing) {
  // An argument longer than a line is given as one byte too long: it is read cut, and its
  // length always fits an int.
  const std::size_t whole = std::strlen(text);
  const int length = whole < line_capacity ? static_cast<int>(whole) : line_capacity;
  return evaluate_and_print(text, length, {false, position, next}, printing);
}

// Every line of standard input, each as one expression; an empty line prints nothing (a
// blank line in a file is no expression) but counts in the line numbers. Returns how many
// lines were reported; stops early when the output fails or the exact mode cannot be had.
int evaluate_standard_input(InputReader& input, long& line_number,
                            const ExpressionPrinting& printing) {
  int reported = 0;
  for (;;) {
    char line[line_capacity];
    const int length = read_input_line(input, line, line_capacity);  // a CRLF's '\r' not counted
    if (length < 0 || printing.output->error != 0) return reported;
    ++line_number;
    if (length > 0 && evaluate_and_print(line, length, {true, line_number, nullptr}, printing))
      ++reported;
    if (*printing.unavailable) return reported;
  }
}

}  // namespace

int run_expressions(char* const* operands, int count, const ExpressionPrinting& printing,
                    bool interactive_loop) {
  OutputBuffer& output = *printing.output;
  InputReader input;  // output is flushed before each wait, so a co-process sees each value
  open_input_reader(input, descriptor_of(stdin), &output, false);
  long line_number = 0;
  int reported = 0;
  for (int k = 0; k < count && !printing_stopped(printing); ++k) {
    if (std::strcmp(operands[k], "-") == 0) {
      reported += interactive_loop ? run_interactive_loop(input, line_number, printing)
                                   : evaluate_standard_input(input, line_number, printing);
    } else if (evaluate_argument(operands[k], k + 1, k + 1 < count ? operands[k + 1] : nullptr,
                                 printing)) {
      ++reported;
    }
  }
  if (input.error != 0) {
    flush_output(output);
    report_read_error(input.error);
  }
  const int status = *printing.unavailable              ? exit_usage
                     : reported > 0 || input.error != 0 ? exit_not_understood
                                                        : exit_success;
  return finish_command_line(output, status);
}
