// The floor of a piped session of sine lines. It reads the session through trigcalc's own
// input reader (an answer, then per pass a line and an answer), buffers and flushes its
// output as trigcalc does, writes a transcript of the same shape, and per line does only
// what no calculator can avoid: one decimal conversion (strtod of the digits after "sin"),
// one libm call (the sine of that many degrees) and one result formatting (std::to_chars,
// as "%g"). Usage: trigcalc_io_floor < session > transcript
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "console/descriptor_io.h"
#include "console/input_reader.h"
#include "console/terminal.h"
#include "dialogue/dialogue_texts.h"

namespace {

constexpr double radians_per_degree = 3.14159265358979323846 / 180;
constexpr int result_line_capacity = 40;  // '=', a "%g" text, "\n\n"

bool answer_goes_on(InputReader& reader) {
  int answer = 1;
  return read_answer(reader, answer) != AnswerRead::end_of_input && answer == 1;
}

// "=VALUE\n\n" for the sine of the degrees after the line's first three characters.
void write_sine_line(const char* line, FILE* out) {
  const double degrees = std::strtod(line + 3, nullptr);
  const double value = std::sin(degrees * radians_per_degree);
  char text[result_line_capacity] = "=";
  char* end =
      std::to_chars(text + 1, text + sizeof text - 2, value, std::chars_format::general, 6).ptr;
  *end++ = '\n';
  *end++ = '\n';
  std::fwrite(text, 1, static_cast<std::size_t>(end - text), out);
}

}  // namespace

int main() {
  buffer_piped_output(stdout, is_terminal(stdout));
  InputReader reader;
  open_input_reader(reader, descriptor_of(stdin), stdout, false);
  std::fputs(help_text, stdout);
  bool go_on = answer_goes_on(reader);
  while (go_on) {
    discard_pending_input(reader);
    std::fputs(prompt_text, stdout);
    char line[line_capacity];
    if (read_line(reader, line) < 0) break;
    write_sine_line(line, stdout);
    std::fputs(question_text, stdout);
    discard_pending_input(reader);
    go_on = answer_goes_on(reader);
  }
  std::fflush(stdout);
  return 0;
}
