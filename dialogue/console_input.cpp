#include "dialogue/console_input.h"

#include <climits>
#include <cstring>

#include "console/terminal.h"

namespace {

constexpr long long magnitude_cap = 1LL << 40;  // beyond every int; larger answers stop here

bool is_digit(int c) {
  return c >= '0' && c <= '9';
}

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One character of `stream`. The dialogue has a single thread, so where POSIX offers it the
// read skips stdio's per-call locking; a piped session reads millions of characters.
int next_char(FILE* stream) {
#ifdef _WIN32
  return std::getc(stream);
#else
  return getc_unlocked(stream);
#endif
}

int clamp_to_int(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Reads decimal digits starting with `c`; returns the first character after them.
int read_digits(FILE* stream, int c, long long& magnitude) {
  magnitude = 0;
  for (; is_digit(c); c = next_char(stream)) {
    if (magnitude < magnitude_cap) magnitude = magnitude * 10 + (c - '0');
  }
  return c;
}

}  // namespace

int read_line(ConsoleInput& input, char (&line)[line_capacity]) {
  if (input.editor != nullptr) {
    return edit_line(*input.editor, line) ? static_cast<int>(std::strlen(line)) : -1;
  }
  int length = 0;
  int c = next_char(input.stream);
  line[0] = '\0';
  if (c == EOF) return -1;
  int previous = '\0';
  for (; c != EOF && c != '\n'; previous = c, c = next_char(input.stream), ++length) {
    if (length < line_capacity - 1) line[length] = static_cast<char>(c);
  }
  line[length < line_capacity - 1 ? length : line_capacity - 1] = '\0';
  input.mid_line = false;
  return previous == '\r' ? length - 1 : length;
}

AnswerRead read_answer(ConsoleInput& input, int& answer) {
  FILE* stream = input.stream;
  int c = next_char(stream);
  while (is_space(c)) c = next_char(stream);
  const bool negative = c == '-';
  if (c == '+' || c == '-') c = next_char(stream);
  if (c == EOF) return AnswerRead::end_of_input;
  input.mid_line = true;
  if (!is_digit(c)) {
    std::ungetc(c, stream);
    return AnswerRead::nothing_converted;
  }
  long long magnitude = 0;
  c = read_digits(stream, c, magnitude);
  answer = clamp_to_int(negative ? -magnitude : magnitude);
  if (c == EOF) {
    input.mid_line = false;
  } else {
    std::ungetc(c, stream);
  }
  return AnswerRead::converted;
}

void discard_pending_input(ConsoleInput& input, FILE* out) {
  std::fflush(out);
  if (input.mid_line) {
    int c;
    while ((c = next_char(input.stream)) != EOF && c != '\n') {
    }
    input.mid_line = false;
  }
  if (input.terminal) drop_type_ahead(input.stream);
}
