// For bench/forms.sh: reads expression lines from standard input and writes, per line, the
// microseconds its exact value takes without its form and with it, each the least of
// REPETITIONS runs (the module's loading and the line's first run, which warms Calcium's
// caches, left out), so that the cost of each line's form is seen alone, in one process.
// Usage: trigcalc_form_lines [REPETITIONS] < LINES   (default 20)
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/result_text.h"

namespace {

double now() {
  timespec clock;
  clock_gettime(CLOCK_MONOTONIC, &clock);
  return static_cast<double>(clock.tv_sec) + static_cast<double>(clock.tv_nsec) * 1e-9;
}

// The least time, in microseconds, of `repetitions` exact runs of the line, with its form
// when `form` is given.
double least_time(const char* line, int length, int repetitions, ExactForm* form) {
  static char text[exact_text_capacity];
  exact_line_text(line, length, default_result_digits, text, nullptr, form);
  double least = 1e30;
  for (int k = 0; k < repetitions; ++k) {
    const double start = now();
    exact_line_text(line, length, default_result_digits, text, nullptr, form);
    const double taken = (now() - start) * 1e6;
    if (taken < least) least = taken;
  }
  return least;
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 20;
  char line[line_capacity];
  if (!exact_mode_available()) {
    std::fprintf(stderr, "trigcalc_form_lines: the exact mode is not in this build\n");
    return 2;
  }
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    const int length = static_cast<int>(std::strcspn(line, "\n"));
    line[length] = '\0';
    static ExactForm form;
    form.unicode = false;
    const double digits = least_time(line, length, repetitions, nullptr);
    const double formed = least_time(line, length, repetitions, &form);
    std::printf("%s %.1f %.1f %s\n", line, digits, formed, form.length > 0 ? "form" : "none");
  }
  return 0;
}
