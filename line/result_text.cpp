#include "line/result_text.h"

#include <charconv>
#include <cmath>

#include "exact/exact_text.h"

namespace {

// Runtimes disagree on non-finite values, so those are spelt here. The sign of a
// not-a-number means nothing and depends on the CPU (an invalid operation gives a negative
// one on x86 and a positive one on ARM and s390x), so every not-a-number prints "nan".
const char* non_finite_text(double value) {
  if (std::isnan(value)) return no_value_text;
  return value < 0 ? "-inf" : "inf";
}

// Copies the zero-terminated `part` to `text`, before `end`; returns the end of the copy.
char* write_part(const char* part, char* text, char* end) {
  while (*part != '\0' && text < end) *text++ = *part++;
  return text;
}

// std::to_chars in general form gives exactly the text of printf's "%.*g" in the C locale,
// from the C++ library's own conversion: the same bytes on every runtime, and faster. Writes
// at `text`, before `end`; returns the end of what it wrote.
char* write_number(double value, int digits, char* text, char* end) {
  if (!std::isfinite(value)) return write_part(non_finite_text(value), text, end);
  const std::to_chars_result written =
      std::to_chars(text, end, value, std::chars_format::general, digits);
  return written.ec == std::errc{} ? written.ptr : text;
}

}  // namespace

int format_result_line(double value, int digits, const char* before, const char* after, char* text,
                       int capacity) {
  char* const end = text + capacity - 1;  // room kept for the terminator
  char* at = write_part(before, text, end);
  at = write_number(value, digits, at, end);
  at = write_part(after, at, end);
  *at = '\0';
  return static_cast<int>(at - text);
}
