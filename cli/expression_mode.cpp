#include "cli/expression_mode.h"

#include <cerrno>
#include <cstring>

#include "cli/options.h"
#include "cli/report.h"
#include "console/descriptor_io.h"
#include "console/diagnostics.h"
#include "console/input_reader.h"
#include "line/evaluate_line.h"
#include "line/result_text.h"

namespace {

// Where the values and reports go.
struct ExpressionOutput {
  OutputBuffer* values;  // one line per expression
  FILE* reports;         // standard error
  int digits;            // significant digits of a value
};

// Evaluates the line in `state` as the dialogue does and prints its value; `length` is the
// expression's whole length, of which the line holds at most line_capacity - 1 bytes. The
// values before a report are written out first, so that both keep the expressions' order
// when they go to one place. True when reported.
bool evaluate_and_print(LineState& state, int length, const ExpressionSource& source,
                        const ExpressionOutput& output) {
  const int kept = length < line_capacity ? length : line_capacity - 1;
  char typed[line_capacity];  // the evaluation edits the line; the report quotes it as typed
  std::memcpy(typed, state.line, static_cast<std::size_t>(kept));
  ReadingNotes notes;
  clear_notes(notes);
  const double value = evaluate_line(state, &notes);
  if (length > kept) add_note(&notes, NoteKind::line_cut, kept, 0);
  char line[result_line_capacity];
  put_bytes(*output.values, line, format_result_line(value, output.digits, "", "\n", line));
  if (notes.count == 0) return false;
  flush_output(*output.values);
  return report_notes(output.reports, source, typed, kept, notes);
}

// One expression given as an argument: the `position`-th.
bool evaluate_argument(const char* text, long position, const ExpressionOutput& output) {
  LineState state;
  copy_text(state.line, line_capacity, text);
  const std::size_t length = std::strlen(text);
  const int counted = length < line_capacity ? static_cast<int>(length) : line_capacity;
  return evaluate_and_print(state, counted, {false, position}, output);
}

// Every line of standard input, each as one expression; an empty line prints nothing (a
// blank line in a file is no expression) but counts in the line numbers. Returns how many
// lines were reported; stops early when the output fails.
int evaluate_standard_input(InputReader& input, long& line_number, const ExpressionOutput& output) {
  int reported = 0;
  for (;;) {
    LineState state;
    const int length = read_line(input, state.line, line_capacity);  // a CRLF's '\r' not counted
    if (length < 0 || output.values->error != 0) return reported;
    ++line_number;
    if (length > 0 && evaluate_and_print(state, length, {true, line_number}, output)) ++reported;
  }
}

}  // namespace

int run_expressions(char* const* operands, int count, int digits, OutputBuffer& values, FILE* err) {
  const ExpressionOutput output = {&values, err, digits};
  InputReader input;  // output is flushed before each wait, so a co-process sees each value
  open_input_reader(input, descriptor_of(stdin), &values, false);
  long line_number = 0;
  int reported = 0;
  for (int k = 0; k < count && values.error == 0; ++k) {
    if (std::strcmp(operands[k], "-") == 0) {
      reported += evaluate_standard_input(input, line_number, output);
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

int finish_command_line(OutputBuffer& output, int status) {
  if (close_output(output)) return status;
  if (output.error != EPIPE) report_write_error(output.error);
  return exit_not_understood;
}
