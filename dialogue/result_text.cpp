#include "dialogue/result_text.h"

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
