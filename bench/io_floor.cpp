// The floor of a piped session of sine lines: what no calculator can avoid. It reads the
// session with read(2) into a buffer of its own and writes its transcript with write(2) from
// another, flushed only right before it reads more, as trigcalc flushes; per line it does
// only one decimal conversion (strtod of the digits after "sin"), one libm call (the sine of
// that many degrees) and one result formatting (std::to_chars, as "%g"), and writes the same
// bytes as trigcalc. It shares no code with trigcalc beyond the dialogue's texts.
// Usage: trigcalc_io_floor < session > transcript
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dialogue/dialogue_texts.h"

namespace {

constexpr double radians_per_degree = 3.14159265358979323846 / 180;
constexpr int input_capacity = 4096;    // bytes asked for per read, as trigcalc's reader
constexpr int output_capacity = 65536;  // as trigcalc's output buffer

char input[input_capacity];
int input_next = 0;
int input_end = 0;
char output[output_capacity];
int output_used = 0;

void flush() {
  for (int written = 0; written < output_used;) {
    const ssize_t count = write(1, output + written, static_cast<size_t>(output_used - written));
    if (count <= 0) std::exit(1);
    written += static_cast<int>(count);
  }
  output_used = 0;
}

void put(const char* bytes, int count) {
  if (count > output_capacity - output_used) flush();
  std::memcpy(output + output_used, bytes, static_cast<size_t>(count));
  output_used += count;
}

// The next line, without its '\n', copied into `line` (at most 99 bytes); false at the end.
bool next_line(char (&line)[100]) {
  int length = 0;
  for (;;) {
    if (input_next == input_end) {
      flush();
      const ssize_t count = read(0, input, input_capacity);
      if (count <= 0) return length > 0;
      input_next = 0;
      input_end = static_cast<int>(count);
    }
    const char c = input[input_next++];
    if (c == '\n') break;
    if (length < 99) line[length++] = c;
  }
  line[length] = '\0';
  return true;
}

// "=VALUE\n\n" for the sine of the degrees after the line's first three characters.
void put_sine_line(const char* line) {
  const double value = std::sin(std::strtod(line + 3, nullptr) * radians_per_degree);
  char text[40] = "=";
  char* end = std::to_chars(text + 1, text + 36, value, std::chars_format::general, 6).ptr;
  *end++ = '\n';
  *end++ = '\n';
  put(text, static_cast<int>(end - text));
}

}  // namespace

int main() {
  put(help_text, sizeof help_text - 1);
  char line[100];
  while (next_line(line) && std::atoi(line) == 1) {
    put(prompt_text, sizeof prompt_text - 1);
    if (!next_line(line)) break;
    put_sine_line(line);
    put(question_text, sizeof question_text - 1);
  }
  flush();
  return 0;
}
