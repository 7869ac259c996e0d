#include "cli/expression_mode.h"

#include <cstring>

#include "cli/options.h"
#include "console/input_reader.h"
#include "console/read_descriptor.h"
#include "line/evaluate_line.h"
#include "line/result_text.h"

namespace {

// Writes `value` alone on a line, with `digits` significant digits.
void write_value(double value, int digits, FILE* out) {
  char line[result_line_capacity];
  const int length = format_result_line(value, digits, "", "\n", line);
  std::fwrite(line, 1, static_cast<std::size_t>(length), out);
}

// Reports on `err` what was not understood in an expression whose evaluated text was
// `shown`; false when there was nothing to report.
bool report(const char* shown, bool cut, bool recognised, FILE* err) {
  if (recognised && !cut) return false;
  std::fprintf(err, "%s: \"%s%s\": ", program_name, shown, cut ? "..." : "");
  if (cut) std::fprintf(err, "mais de %d bytes, so os primeiros foram lidos", line_capacity - 1);
  if (cut && !recognised) std::fputs("; ", err);
  if (!recognised) std::fputs("nenhuma funcao trigonometrica reconhecida", err);
  std::fputc('\n', err);
  return true;
}

// Evaluates the line in `state` as the dialogue does and prints its value; `length` is the
// expression's whole length, of which the line holds at most 99 bytes. True when reported.
bool evaluate_and_print(LineState& state, int length, int digits, FILE* out, FILE* err) {
  const bool cut = length >= line_capacity;
  char shown[line_capacity];  // the evaluation edits the line; the report quotes it as read
  copy_text(shown, cut ? line_capacity : length + 1, state.line);
  const double value = evaluate_line(state);
  write_value(value, digits, out);
  return report(shown, cut, state.recognised, err);
}

// One expression given as an argument.
bool evaluate_argument(const char* text, int digits, FILE* out, FILE* err) {
  LineState state;
  clear_line_state(state);
  copy_text(state.line, line_capacity, text);
  const std::size_t length = std::strlen(text);
  const int counted = length < line_capacity ? static_cast<int>(length) : line_capacity;
  return evaluate_and_print(state, counted, digits, out, err);
}

// Every line of standard input, each as one expression; an empty line prints nothing (a
// blank line in a file is no expression). Returns how many lines were reported; stops
// early when `out` fails.
int evaluate_standard_input(InputReader& input, int digits, FILE* out, FILE* err) {
  int reported = 0;
  for (;;) {
    LineState state;
    clear_line_state(state);
    const int length =
        read_line(input, state.line, line_capacity);  // a CRLF line's '\r' is not counted
    if (length < 0 || std::ferror(out)) return reported;
    if (length > 0 && evaluate_and_print(state, length, digits, out, err)) ++reported;
  }
}

}  // namespace

int run_expressions(char* const* operands, int count, int digits, FILE* out, FILE* err) {
  int reported = 0;
  InputReader input;  // output is flushed before each wait, so a co-process sees each value
  open_input_reader(input, descriptor_of(stdin), out, false);
  for (int k = 0; k < count && !std::ferror(out); ++k) {
    if (std::strcmp(operands[k], "-") == 0) {
      reported += evaluate_standard_input(input, digits, out, err);
    } else if (evaluate_argument(operands[k], digits, out, err)) {
      ++reported;
    }
  }
  std::fflush(out);
  return reported > 0 ? exit_not_understood : exit_success;
}
