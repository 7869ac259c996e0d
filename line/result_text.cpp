#include "line/result_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "term/term_text.h"

namespace {

// Runtimes disagree on non-finite values, so those are spelt here. The sign of a
// not-a-number means nothing and depends on the CPU (an invalid operation gives a negative
// one on x86 and a positive one on ARM and s390x), so every not-a-number prints "nan".
const char* non_finite_text(double value) {
  if (std::isnan(value)) return "nan";
  return value < 0 ? "-inf" : "inf";
}

}  // namespace

// std::to_chars in general form gives exactly the text of printf's "%.*g" in the C locale,
// from the C++ library's own conversion: the same bytes on every runtime, and faster.
void format_result(double value, int digits, char (&text)[result_text_capacity]) {
  if (std::isfinite(value)) {
    char* const last = text + result_text_capacity - 1;  // room kept for the terminator
    const std::to_chars_result written =
        std::to_chars(text, last, value, std::chars_format::general, digits);
    *(written.ec == std::errc{} ? written.ptr : text) = '\0';
    return;
  }
  copy_text(text, result_text_capacity, non_finite_text(value));
}

namespace {

// Appends `part`, cut to the room left before the terminator; returns the new length.
int append_text(char (&line)[result_line_capacity], int length, const char* part) {
  copy_text(line + length, result_line_capacity - length, part);
  return length + static_cast<int>(std::strlen(line + length));
}

}  // namespace

int format_result_line(double value, int digits, const char* before, const char* after,
                       char (&line)[result_line_capacity]) {
  char text[result_text_capacity];
  format_result(value, digits, text);
  return append_text(line, append_text(line, append_text(line, 0, before), text), after);
}
