// The I/O floor of a piped session: reads a session as trigcalc does (an answer, then
// per pass a line and an answer), writes the same transcript with the same flushes, and
// computes nothing: each result line is copied from RESULTS, one "=..." line per pass.
// Usage: trigcalc_io_floor RESULTS < session > transcript
#include <cstdio>

#include "dialogue/dialogue_texts.h"

namespace {

#ifdef _WIN32
int next_char(FILE* stream) {
  return std::getc(stream);
}
#else
int next_char(FILE* stream) {
  return getc_unlocked(stream);
}
#endif

// Skips blanks, reads an optional sign and digits, then drops the rest of the line;
// true when the answer was exactly the digit 1 (the only answer that goes on).
bool answer_goes_on(FILE* in) {
  int c = next_char(in);
  while (c == ' ' || c == '\n' || c == '\t' || c == '\r') c = next_char(in);
  const bool one = c == '1';
  int digits = 0;
  while (c >= '0' && c <= '9') c = next_char(in), ++digits;
  while (c != EOF && c != '\n') c = next_char(in);
  return one && digits == 1;
}

// Reads one line and drops it; false at the end of the input.
bool skip_line(FILE* in) {
  int c = next_char(in);
  if (c == EOF) return false;
  while (c != EOF && c != '\n') c = next_char(in);
  return true;
}

// Copies one line of `results`, its end of line included.
void copy_result(FILE* results, FILE* out) {
  int c;
  while ((c = next_char(results)) != EOF) {
    std::putc(c, out);
    if (c == '\n') break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: trigcalc_io_floor RESULTS < session > transcript\n", stderr);
    return 2;
  }
  FILE* results = std::fopen(argv[1], "r");
  if (results == nullptr) return 2;
  std::fputs(help_text, stdout);
  std::fflush(stdout);
  bool go_on = answer_goes_on(stdin);
  while (go_on) {
    std::fflush(stdout);
    std::fputs(prompt_text, stdout);
    if (!skip_line(stdin)) break;
    copy_result(results, stdout);
    std::putc('\n', stdout);
    std::fputs(question_text, stdout);
    std::fflush(stdout);
    go_on = answer_goes_on(stdin);
  }
  std::fflush(stdout);
  std::fclose(results);
  return 0;
}
