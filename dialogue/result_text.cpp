#include "dialogue/result_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

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
  std::strncpy(text, non_finite_text(value), sizeof text - 1);
  text[sizeof text - 1] = '\0';
}

void write_result(FILE* out, double value, int digits) {
  char line[result_text_capacity + 3] = "=";  // '=', the number, "\n\n"
  char text[result_text_capacity];
  format_result(value, digits, text);
  const std::size_t length = std::strlen(text);
  std::memcpy(line + 1, text, length);
  std::memcpy(line + 1 + length, "\n\n", 2);
  std::fwrite(line, 1, length + 3, out);
}
