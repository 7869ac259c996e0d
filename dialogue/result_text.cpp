#include "dialogue/result_text.h"

#include <cmath>
#include <cstring>

namespace {

// Runtimes disagree on non-finite values (Windows spells not-a-number without its sign),
// so those are spelt here; finite values print with "%g" everywhere alike.
const char* non_finite_text(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  return value < 0 ? "-inf" : "inf";
}

}  // namespace

void format_result(double value, int digits, char (&text)[result_text_capacity]) {
  if (std::isfinite(value)) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return;
  }
  std::strncpy(text, non_finite_text(value), sizeof text - 1);
  text[sizeof text - 1] = '\0';
}

void write_result(FILE* out, double value, int digits) {
  char text[result_text_capacity];
  format_result(value, digits, text);
  std::fprintf(out, "=%s\n\n", text);
}
