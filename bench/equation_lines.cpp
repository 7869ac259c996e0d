// For bench/equations.sh: reads lines in the unknown from standard input and writes, per line,
// the microseconds its answer takes (the bounded child included), the least of REPETITIONS
// runs after one that warms the module, then the line.
// Usage: trigcalc_equation_lines [REPETITIONS] < LINES   (default 10)
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/value_line.h"

namespace {

double now() {
  timespec clock;
  clock_gettime(CLOCK_MONOTONIC, &clock);
  return static_cast<double>(clock.tv_sec) + static_cast<double>(clock.tv_nsec) * 1e-9;
}

// The least time, in microseconds, of `repetitions` answers to the line.
double least_time(const char* line, int length, int repetitions) {
  static char text[value_line_capacity];
  const ValueFormat format = {6, false, true, FormShown::none, true};
  line_value_text(line, length, format, "", "", text, nullptr);
  double least = 1e30;
  for (int k = 0; k < repetitions; ++k) {
    const double start = now();
    line_value_text(line, length, format, "", "", text, nullptr);
    const double taken = (now() - start) * 1e6;
    if (taken < least) least = taken;
  }
  return least;
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 10;
  if (!exact_mode_available()) {
    std::fprintf(stderr, "trigcalc_equation_lines: the exact mode is not in this build\n");
    return 2;
  }
  char line[line_capacity + 1];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    const int length = static_cast<int>(std::strcspn(line, "\n"));
    line[length] = '\0';
    std::printf("%.0f %s\n", least_time(line, length, repetitions), line);
  }
  return 0;
}
